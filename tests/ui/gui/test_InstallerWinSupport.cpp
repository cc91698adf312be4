#include "test_InstallerWinSupport.h"

#include <gtest/gtest.h>

#include "files/LibAppResource.h"
#include "files/ProgramRole.h"
#include "support/Sandbox.h"

namespace window_test {

using tarnw::test::Sandbox;

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
    config.AddString("app_name", "Tool");
    config.AddString("version", "1.0");
    config.AddString("release_date", "December 2026");
    config.AddString("company", "Maker");
    config.AddString("support_email", "help@example.invalid");
    config.AddString("opt_created_folder", "Tool");
    config.AddInt32("TWC:deinstaller_size", 1000);
}

void Package::AddGroup(const char* name, const char* description) {
    groups.AddString("group_name", name);
    groups.AddString("group_description", description);
}

void Package::AddFile(const PackageFile& file) {
    files.push_back(file);
}

fs::path Package::Build(const std::string& leaf) {
    fs::path folder = Sandbox::MakeFolder("package");
    fs::path installer = folder / leaf;
    fs::copy_file("/bin/true", installer, fs::copy_options::overwrite_existing);

    BMessage whole = config;
    if (!groups.IsEmpty())
        whole.AddMessage("groups", &groups);
    BMessage instructions;
    for (const PackageFile& file : files) {
        BMessage record;
        record.AddString("file_name", ("/build/" + file.name).c_str());
        record.AddInt8("file_type", file.type);
        record.AddInt32("file_size", file.size);
        record.AddInt32("file_size", file.size);
        record.AddInt64("file_modified", 1000000000);
        record.AddInt64("file_accessed", 1000000000);
        record.AddString("groups", file.groups.c_str());
        BMessage meta;
        meta.AddString("destination", "User Selected");
        meta.AddString("destination_exists", "Replace");
        meta.AddString("link", "None");
        meta.AddString("link_exists", "Replace");
        meta.AddString("deinstallable", "True");
        record.AddMessage("install_meta", &meta);
        instructions.AddMessage("install_file", &record);
    }
    whole.AddMessage("install_instructions", &instructions);
    std::string flat = whole.Flatten();

    LibAppResource resources(installer.c_str(), uint32(B_READ_WRITE));
    EXPECT_TRUE(resources.IsAttached());
    for (size_t i = 0; i < files.size(); i++) {
        if (files[i].payload.empty())
            continue;
        EXPECT_TRUE(resources.AddEntry(files[i].payload.c_str(), int32(2100 + i),
                                       files[i].payload.filename().c_str(), 1))
            << resources.LastError();
    }
    EXPECT_EQ(resources.AddResource(kDeinstallerResourceType, kDeinstallerResourceId,
                                    kDeinstallerRecord.data(), kDeinstallerRecord.size(),
                                    kDeinstallerResourceName),
              B_OK);
    EXPECT_EQ(
        resources.AddResource(B_STRING_TYPE, 2002, flat.data(), flat.size(), "TWC:configuration"),
        B_OK);
    EXPECT_EQ(resources.Sync(), B_OK);
    return installer;
}

} // namespace window_test
