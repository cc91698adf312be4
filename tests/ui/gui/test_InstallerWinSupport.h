#pragma once

// Helpers of the installer window tests: small installers built in the test process, a
// front-end that answers from a script, and a hosted looper standing in for the
// application.

#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "platform/app/Looper.h"
#include "platform/app/Message.h"
#include "platform/interface/Frontend.h"

namespace window_test {

namespace fs = std::filesystem;

// Answers every question from a queue (button 0 when it is empty) and keeps what was
// asked and every status text.
class ScriptedFrontend : public Frontend {
public:
    ScriptedFrontend() { SetFrontend(this); }
    ~ScriptedFrontend() override { SetFrontend(nullptr); }

    FrontendAnswer Ask(const FrontendRequest& request) override;
    void Status(const char* text) override;

    void Answer(int32 button, bool box = false);
    std::vector<FrontendRequest> Requests();
    std::vector<std::string> Statuses();

private:
    std::mutex fLock;
    std::vector<FrontendRequest> fRequests;
    std::vector<std::string> fStatuses;
    std::deque<FrontendAnswer> fAnswers;
};

// The application's part: records what the window sends it, quit requests included (it
// does not quit on them). Made with new; Quit() deletes it.
class RecordingLooper : public BLooper {
public:
    RecordingLooper();
    void DispatchMessage(BMessage* message, BHandler* handler) override;
    std::vector<BMessage> Received(uint32 what);

private:
    std::mutex fLock;
    std::vector<BMessage> fReceived;
};

struct PackageFile {
    std::string name;
    int32 size;
    std::string groups; // "Typical;Full;"
    // A file to carry as the item's payload; none for a record alone.
    fs::path payload;
    // The record's "file_type": 0 file, 1 program, 2 folder, 3 symbolic link.
    int8 type = 0;
};

// An installer: a copy of a tiny program with the configuration (and payloads) in its
// resources.
class Package {
public:
    Package();
    void AddGroup(const char* name, const char* description = "");
    void AddFile(const PackageFile& file);
    fs::path Build(const std::string& leaf = "ToolInstaller");

    BMessage config;
    BMessage groups;
    std::vector<PackageFile> files;
};

} // namespace window_test
