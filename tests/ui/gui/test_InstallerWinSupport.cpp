#include "test_InstallerWinSupport.h"

namespace window_test {

FrontendAnswer ScriptedFrontend::Ask(const FrontendRequest& request) {
    std::lock_guard<std::mutex> guard(fLock);
    fRequests.push_back(request);
    FrontendAnswer answer;
    if (!fAnswers.empty()) {
        answer = fAnswers.front();
        fAnswers.pop_front();
    }
    return answer;
}

void ScriptedFrontend::Status(const char* text) {
    std::lock_guard<std::mutex> guard(fLock);
    fStatuses.push_back(text != nullptr ? text : "");
}

void ScriptedFrontend::Answer(int32 button, bool box) {
    std::lock_guard<std::mutex> guard(fLock);
    fAnswers.push_back({button, box});
}

std::vector<FrontendRequest> ScriptedFrontend::Requests() {
    std::lock_guard<std::mutex> guard(fLock);
    return fRequests;
}

std::vector<std::string> ScriptedFrontend::Statuses() {
    std::lock_guard<std::mutex> guard(fLock);
    return fStatuses;
}

RecordingLooper::RecordingLooper() : BLooper("application") {
    SetHosted(true);
    Run();
}

void RecordingLooper::DispatchMessage(BMessage* message, BHandler*) {
    std::lock_guard<std::mutex> guard(fLock);
    fReceived.push_back(*message);
}

std::vector<BMessage> RecordingLooper::Received(uint32 what) {
    std::lock_guard<std::mutex> guard(fLock);
    std::vector<BMessage> out;
    for (const BMessage& message : fReceived)
        if (message.what == what)
            out.push_back(message);
    return out;
}

Package::Package() {
    config.AddString("release_date", "December 2026");
    config.AddString("support_email", "help@example.invalid");
    config.AddInt32("TWC:deinstaller_size", 1000);
}

} // namespace window_test
