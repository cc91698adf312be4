#pragma once

// Helpers of the installer window tests: their installers (built by the shared
// PackageBuilder), a front-end that answers from a script, and a hosted looper standing in
// for the application.

#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "platform/app/Looper.h"
#include "platform/app/Message.h"
#include "platform/interface/Frontend.h"
#include "support/PackageBuilder.h"

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

// The package of the window's tests: the shared one with the texts its pages show.
class Package : public tarnw::test::PackageBuilder {
public:
    Package();
    fs::path Build(const std::string& leaf = "ToolInstaller") {
        return PackageBuilder::Build(leaf);
    }
};

} // namespace window_test
