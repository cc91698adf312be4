#pragma once

// The engine tests' installers (built by the shared PackageBuilder), and a front-end that
// records what the engine asks and answers from a script.

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/app/Message.h"
#include "platform/interface/Frontend.h"
#include "support/PackageBuilder.h"

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

using tarnw::test::Meta;

// The package of the engine's tests: the shared one with a release date, a support
// address and a log.
class PackageBuilder : public tarnw::test::PackageBuilder {
public:
    PackageBuilder();
};

// A new folder holding the given files (relative path -> contents).
fs::path MakeTree(const std::string& hint,
                  const std::vector<std::pair<std::string, std::string>>& files);

std::vector<std::string> Lines(const std::string& text);

} // namespace engine_test
