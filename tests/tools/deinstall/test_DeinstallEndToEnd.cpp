// Installs a package with the real installer, then runs the deinstaller it placed, both
// unattended, and compares the sandbox with what it was before.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <sys/xattr.h>
#include <thread>

#include "platform/storage/FindDirectory.h"
#include "platform/storage/MimeType.h"
#include "platform/storage/Path.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/UnattendedRun.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

const char* kManifest = R"json({
  "app_name": "Tool", "version": "2.0", "release_date": "today", "company": "Makers",
  "support_email": "help@makers.invalid",
  "opt_created_folder": "Tool", "opt_log": true, "opt_save_replaced": true,
  "opt_create_startup": true,
  "groups": [{"name": "All", "description": "everything"}],
  "custom_folders": [
    {"name": "StartUp", "root": "User Boot", "sub_dir": "StartUp", "replace": false},
    {"name": "Tool Docs", "root": "Common Documentation", "sub_dir": "Tool/manuals", "replace": true}],
  "edit_bootscript": true, "edit_bootscript_tag": "ToolBoot", "edit_bootscript_contents": "echo boot",
  "edit_setup_env": true, "edit_setup_env_tag": "ToolEnv", "edit_setup_env_contents": "export TOOL=1",
  "edit_profile": true, "edit_profile_tag": "ToolPath", "edit_profile_contents": "export PATH=$PATH:/tool",
  "files": [
    {"source": "tool", "groups": ["All"], "destination": "User Selected", "link": "Desktop",
     "deinstallable": true},
    {"source": "manual", "groups": ["All"], "destination": "Tool Docs", "deinstallable": true},
    {"source": "tool.conf", "groups": ["All"], "destination": "User Settings",
     "destination_exists": "Replace", "deinstallable": true}
  ]
})json";

// Every entry below the watched folders: its kind and contents (files), or its target
// (links). The Trash and ".orig" copies are left out.
using Snapshot = std::map<std::string, std::string>;

// Every installer that starts registers itself for its document type; that record belongs
// to the installer, not to the product, so it is there before the sandbox is looked at.
void RegisterTheInstallersType() {
    ASSERT_EQ(
        BMimeType("text/x-tarnw").SetPreferredApp("application/x-vnd.Kestrelwood.Tarnw", B_OPEN),
        B_OK);
}

Snapshot Take(const std::vector<fs::path>& roots) {
    Snapshot snapshot;
    for (const fs::path& root : roots) {
        if (!fs::exists(root))
            continue;
        for (auto it = fs::recursive_directory_iterator(root);
             it != fs::recursive_directory_iterator(); ++it) {
            const fs::path& path = it->path();
            if (path.filename() == "Trash") {
                it.disable_recursion_pending();
                continue;
            }
            if (path.extension() == ".orig")
                continue;
            if (it->is_symlink())
                snapshot[path.string()] = "link " + fs::read_symlink(path).string();
            else if (it->is_directory())
                snapshot[path.string()] = "folder";
            else
                snapshot[path.string()] = "file " + ReadFile(path);
        }
    }
    return snapshot;
}

using ProgramRun = tarnw::test::UnattendedRun;

ProgramRun Start(const fs::path& program, const std::string& answers) {
    return tarnw::test::RunUnattended(program, answers);
}

class DeinstallEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        fs::path package = Sandbox::MakeFolder("package");
        WriteFile(package / "manifest.json", kManifest);
        WriteFile(package / "tool", "#!/bin/sh\necho tool\n");
        WriteFile(package / "manual" / "index.txt", "index");
        WriteFile(package / "manual" / "chapters" / "one.txt", "one");
        WriteFile(package / "tool.conf", "new=1\n");
        installer = Sandbox::MakeFolder("installer") / "ToolInstaller";
        auto built = tarnw::test::PackInstaller(package / "manifest.json", installer);
        ASSERT_EQ(built.status, 0) << built.output;

        destination = Sandbox::MakeFolder("apps");
        // What the user had: a profile of their own and settings the package replaces.
        WriteFile(Sandbox::Home() / ".profile", "# mine\nexport EDITOR=vi\n");
        WriteFile(Sandbox::Home() / ".config" / "tool.conf", "old=1\n");
        // An older manual folder that the package replaces as a whole.
        BPath documentation;
        ASSERT_EQ(find_directory(B_COMMON_DOCUMENTATION_DIRECTORY, &documentation, false, nullptr),
                  B_OK);
        manuals = fs::path(documentation.Path()) / "Tool" / "manuals";
        WriteFile(manuals / "old-manual.txt", "old manual");
        RegisterTheInstallersType();
        before = Look();

        ProgramRun install =
            Start(installer, "license: agree\ndestination: " + destination.string() + "\n");
        ASSERT_EQ(install.status, 0) << install.output;
        deinstaller = destination / "Tool" / "Tool 2.0 Deinstaller";
        ASSERT_TRUE(fs::exists(deinstaller));
    }

    Snapshot Look() const { return Take({Sandbox::Home(), Sandbox::Prefix(), destination}); }

    fs::path installer, destination, deinstaller, manuals;
    Snapshot before;
};

} // namespace

TEST_F(DeinstallEndToEnd, LeavesTheSandboxAsItWasBeforeTheInstallation) {
    std::string installed = ReadFile(Sandbox::Home() / ".profile");
    ASSERT_NE(installed.find("#BEGIN_ToolPath"), std::string::npos);

    ProgramRun run = Start(deinstaller, "remove: yes\nrestore: yes\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(Look(), before) << run.output;
    EXPECT_EQ(ReadFile(Sandbox::Home() / ".profile.orig").find("#BEGIN_ToolPath") !=
                  std::string::npos,
              true);
    ASSERT_FALSE(run.transcript.empty());
    EXPECT_EQ(run.transcript.back(), nlohmann::json({{"event", "end"}, {"status", 0}}));
}

TEST_F(DeinstallEndToEnd, InstallingOverItselfKeepsTheFirstRunsOriginalsRestorable) {
    ProgramRun again = Start(
        installer, "license: agree\nanswer: Replace\ndestination: " + destination.string() + "\n");
    ASSERT_EQ(again.status, 0) << again.output;
    ASSERT_TRUE(fs::exists(deinstaller));

    ProgramRun run = Start(deinstaller, "remove: yes\nrestore: yes\n");
    EXPECT_EQ(run.status, 0) << run.output;
    // The user's settings and manuals, not what the first run placed there.
    EXPECT_EQ(ReadFile(Sandbox::Home() / ".config" / "tool.conf"), "old=1\n");
    EXPECT_EQ(ReadFile(manuals / "old-manual.txt"), "old manual");
    Snapshot now = Look();
    for (const auto& [path, state] : before) {
        if (path.find("/.config/") != std::string::npos ||
            path.find("/doc/Tool/") != std::string::npos) {
            EXPECT_EQ(now[path], state) << path;
        }
    }
}

TEST_F(DeinstallEndToEnd, WithoutConsentNothingIsRemoved) {
    Snapshot installed = Look();
    ProgramRun run = Start(deinstaller, "restore: yes\n");
    EXPECT_EQ(run.status, 7) << run.output;
    EXPECT_EQ(Look(), installed);

    ProgramRun wrong = Start(deinstaller, "remove: yes\nlicense: agree\n");
    EXPECT_EQ(wrong.status, 2) << wrong.output;
    EXPECT_EQ(Look(), installed);
}

TEST_F(DeinstallEndToEnd, WithoutItsRecordTheDeinstallerRemovesNothingAndSaysItIsDamaged) {
    // The list of what was installed lies beside the program; the program itself was never
    // rewritten to carry it.
    fs::path record = destination / "Tool" / ".Tool 2.0 Deinstaller.tarnw-record";
    ASSERT_TRUE(fs::exists(record));
    fs::remove(record);
    Snapshot installed = Look();
    ProgramRun run = Start(deinstaller, "remove: yes\n");
    EXPECT_EQ(run.status, 5) << run.output;
    EXPECT_NE(run.output.find("damaged"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Nothing of"), std::string::npos) << run.output;
    EXPECT_EQ(Look(), installed);
}

TEST_F(DeinstallEndToEnd, UserFilesAndAnotherProductsEntriesSurviveAndASecondRunIsHarmless) {
    // Find the installed manual through the installation's own tags.
    fs::path manual;
    for (auto& entry : fs::recursive_directory_iterator(Sandbox::Root()))
        if (entry.path().filename() == "manual" && entry.is_directory() &&
            entry.path().string().find("package") == std::string::npos)
            manual = entry.path();
    ASSERT_FALSE(manual.empty());
    WriteFile(manual / "chapters" / "my-notes.txt", "mine");
    std::string other = "Other;1.0;;Else;;";
    fs::path tool = destination / "Tool" / "tool";
    ASSERT_EQ(setxattr(tool.c_str(), "user.InstallBy", other.data(), other.size(), 0), 0);

    ProgramRun run = Start(deinstaller, "remove: yes\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(ReadFile(manual / "chapters" / "my-notes.txt"), "mine");
    EXPECT_FALSE(fs::exists(manual / "index.txt"));
    EXPECT_FALSE(fs::exists(manual / "chapters" / "one.txt"));
    EXPECT_TRUE(fs::exists(tool));
    EXPECT_FALSE(fs::exists(manuals / "old-manual.txt"));
    // Without "restore: yes" the replaced settings stay in Saved Files, with the
    // installation folder and its deinstaller.
    EXPECT_EQ(ReadFile(destination / "Tool" / "Saved Files" / "tool.conf"), "old=1\n");
    EXPECT_FALSE(fs::exists(Sandbox::Home() / ".config" / "tool.conf"));
    ASSERT_TRUE(fs::exists(deinstaller));

    Snapshot afterFirst = Look();
    ProgramRun again = Start(deinstaller, "remove: yes\n");
    EXPECT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(Look(), afterFirst);

    // Putting the saved settings back later still works.
    ProgramRun restore = Start(deinstaller, "remove: yes\nrestore: yes\n");
    EXPECT_EQ(ReadFile(Sandbox::Home() / ".config" / "tool.conf"), "old=1\n");
    // The replaced manual folder cannot go back while the user's notes are in its place.
    EXPECT_EQ(restore.status, 4);
    EXPECT_TRUE(fs::exists(destination / "Tool" / "Saved Files" / "manuals" / "old-manual.txt"));
}

TEST(DeinstallDemo, AfterInstallingTwiceTheSandboxIsAsBeforeApartFromTheTrash) {
    fs::path installer = Sandbox::MakeFolder("installer") / "DemoInstaller";
    auto built = tarnw::test::PackInstaller(tarnw::test::DemoManifest(), installer);
    ASSERT_EQ(built.status, 0) << built.output;
    auto look = [] { return Take({Sandbox::Home(), Sandbox::Prefix()}); };
    RegisterTheInstallersType();
    Snapshot before = look();

    // No destination: the default folder, made for the installation.
    for (int run = 0; run < 2; run++) {
        ProgramRun install = Start(installer, "license: agree\ngroup: Full\nanswer: Replace\n");
        ASSERT_EQ(install.status, 0) << install.output;
    }
    fs::path deinstaller;
    for (auto& entry : fs::recursive_directory_iterator(Sandbox::Root()))
        if (entry.path().filename() == "Demo 1.0 Deinstaller" &&
            entry.path().string().find("Trash") == std::string::npos)
            deinstaller = entry.path();
    ASSERT_FALSE(deinstaller.empty());

    ProgramRun run = Start(deinstaller, "remove: yes\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(look(), before) << run.output;
}

// A deinstaller killed at any instant, then run again, leaves the sandbox as it was before
// the installation. With this many entries its removal runs on two threads.
TEST(DeinstallKilled, WhatAKilledRunLeftTheNextRunRemoves) {
    fs::path package = Sandbox::MakeFolder("many-package");
    WriteFile(package / "manifest.json", R"json({
      "app_name": "Many", "version": "1.0", "opt_created_folder": "Many",
      "install_folder_name": "Many", "opt_include_deinstall": true,
      "groups": [{"name": "All", "description": "everything"}],
      "files": [{"source": "Tree", "groups": ["All"], "destination": "User Selected",
                 "deinstallable": true}]
    })json");
    for (int folder = 0; folder < 4; ++folder)
        for (int file = 0; file < 150; ++file)
            WriteFile(package / "Tree" / ("d" + std::to_string(folder)) /
                          ("f" + std::to_string(file)),
                      std::to_string(file));
    fs::path installer = Sandbox::MakeFolder("many-installer") / "ManyInstaller";
    auto built = tarnw::test::PackInstaller(package / "manifest.json", installer);
    ASSERT_EQ(built.status, 0) << built.output;
    fs::path destination = Sandbox::MakeFolder("many-apps");
    auto look = [&] { return Take({Sandbox::Home(), Sandbox::Prefix(), destination}); };
    RegisterTheInstallersType();
    Snapshot before = look();
    fs::path answers = Sandbox::MakeFolder("many-answers") / "answers";
    WriteFile(answers, "remove: yes\n");

    unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    for (int round = 0; round < 6; ++round) {
        ProgramRun install = Start(installer, "destination: " + destination.string() + "\n");
        ASSERT_EQ(install.status, 0) << install.output;
        fs::path deinstaller = destination / "Many" / "Many 1.0 Deinstaller";
        ASSERT_TRUE(fs::exists(deinstaller));
        int delay = std::uniform_int_distribution<int>(0, 40)(random);
        std::string context = "seed " + std::to_string(seed) + ", round " + std::to_string(round) +
                              ", killed after " + std::to_string(delay) + " ms";
        {
            tarnw::test::BackgroundProgram run(
                {deinstaller.string()},
                {"TARNW_FRONTEND=unattended", "TARNW_ANSWERS=" + answers.string()},
                Sandbox::MakeFolder("many-run") / "output");
            ASSERT_TRUE(run.Started());
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            run.Signal(SIGKILL);
            int status = run.Wait(std::chrono::seconds(10));
            EXPECT_TRUE(status == 0 || status == 128 + SIGKILL) << context << ": " << status;
        }
        // Killed before it removed itself: the next run finds its list and ends the work.
        if (fs::exists(deinstaller)) {
            ProgramRun again = Start(deinstaller, "remove: yes\n");
            EXPECT_EQ(again.status, 0) << context << "\n" << again.output;
        }
        // Killed between removing its own files, it leaves its folder with what is left
        // of them, and nothing else.
        fs::path folder = destination / "Many";
        if (fs::exists(folder)) {
            for (const auto& entry : fs::directory_iterator(folder))
                EXPECT_TRUE(entry.path().filename() == ".Many 1.0 Deinstaller.tarnw-record")
                    << context << ": " << entry.path();
            fs::remove_all(folder);
        }
        ASSERT_EQ(look(), before) << context;
    }
}
