#pragma once

// Small installers built in the test process, and a front-end that records what the
// engine asks and answers from a script.

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/app/Message.h"
#include "platform/interface/Frontend.h"

namespace engine_test {

namespace fs = std::filesystem;

class RecordingFrontend : public Frontend {
public:
    FrontendAnswer Ask(const FrontendRequest& request) override;
    void Status(const char* text) override { statuses.push_back(text); }
    void Error(const char* detail) override { errors.push_back(detail); }

    void Answer(int32 button, bool box = false) { answers.push_back({button, box}); }

    std::vector<FrontendRequest> requests;
    std::vector<std::string> statuses;
    std::vector<std::string> errors; // the details of failures, as told
    std::deque<FrontendAnswer> answers;
};

// Installs the recording front-end for the life of the object.
class ScopedFrontend {
public:
    ScopedFrontend() { SetFrontend(&frontend); }
    ~ScopedFrontend() { SetFrontend(nullptr); }
    RecordingFrontend frontend;
};

BMessage Meta(const char* destination, const char* exists = "Replace", const char* link = "None",
              const char* linkExists = "Replace", const char* deinstallable = "True");

class PackageBuilder {
public:
    PackageBuilder();

    // Adds a record for the file or folder at source (no payload when withPayload is false).
    void AddItem(const fs::path& source, const BMessage& meta, bool withPayload = true,
                 const char* groups = "Typical;");
    void AddCustomFolder(const char* name, int32 root, const char* sub, bool replace);
    void AddGroup(const char* name, const char* description);

    // Writes the installer: a copy of a tiny program with the configuration, the payloads
    // and a deinstaller in its resources.
    fs::path Build();

    fs::path root;
    BMessage config;
    BMessage instructions;
    BMessage customFolders;
    BMessage groups;
    std::vector<fs::path> payloads;
};

// A new folder holding the given files (relative path -> contents).
fs::path MakeTree(const std::string& hint,
                  const std::vector<std::pair<std::string, std::string>>& files);

std::vector<std::string> Lines(const std::string& text);

} // namespace engine_test
