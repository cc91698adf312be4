// "Saved Files" on a volume that keeps neither modes nor attributes (exFAT through FUSE):
// the user's replaced entry must come back exactly as it was, never as a world-writable
// file without its attributes.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/xattr.h>

#include "LoopVolume.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"

namespace fs = std::filesystem;
using tarnw::test::LoopVolume;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

namespace {

fs::path BuildTool() {
    fs::path package = Sandbox::MakeFolder("package");
    WriteFile(package / "prodtool", "#!/bin/sh\necho new\n");
    WriteFile(package / "readme", "read me\n");
    WriteFile(package / "manifest.json", R"({
      "app_name": "Prod", "version": "1.0", "opt_created_folder": "Prod",
      "opt_save_replaced": true,
      "groups": [{"name": "All", "description": "everything"}],
      "files": [
        {"source": "readme", "groups": ["All"], "destination": "User Selected"},
        {"source": "prodtool", "groups": ["All"], "destination": "User Settings",
         "destination_exists": "Replace", "deinstallable": true}]})");
    fs::path installer = Sandbox::MakeFolder("installer") / "ProdInstaller";
    auto built = tarnw::test::PackInstaller(package / "manifest.json", installer);
    EXPECT_EQ(built.status, 0) << built.output;
    return installer;
}

} // namespace

TEST(SavedFilesVolume, AnOriginalTheVolumeCannotKeepStaysWhereItIsAndTheRunSaysWhy) {
    LoopVolume volume(LoopVolume::Kind::kExfat, 32);
    if (!volume.Ready())
        GTEST_SKIP() << volume.Problem();
    // The user's own program, 0750 with an attribute, in the folder the package replaces.
    fs::path original = Sandbox::Home() / ".config" / "prodtool";
    WriteFile(original, "#!/bin/sh\necho mine\n");
    fs::permissions(original, fs::perms(0750));
    const char note[] = "keep me";
    if (setxattr(original.c_str(), "user.note", note, sizeof note - 1, 0) != 0)
        GTEST_SKIP() << "the sandbox's volume keeps no user attributes";
    TreeSnapshot before = TreeSnapshot::Take({Sandbox::Home(), volume.Path()});

    fs::path installer = BuildTool();
    fs::path answers = Sandbox::MakeFolder("run") / "answers";
    for (const char* ending : {"undo", "keep"}) {
        SCOPED_TRACE(ending);
        WriteFile(answers, "license: agree\ngroup: All\ndestination: " + volume.Path().string() +
                               "\non_failure: " + ending + "\n");
        auto run = RunProgram({installer.string()}, "",
                              {"TARNW_FRONTEND=unattended", "TARNW_ANSWERS=" + answers.string()});
        EXPECT_EQ(run.status, 4) << run.output;
        EXPECT_NE(run.output.find("cannot keep it: the mode 0750 of " + original.string()),
                  std::string::npos)
            << run.output;
        // The original never left its place: contents, mode and attribute as they were.
        EXPECT_EQ(ReadFile(original), "#!/bin/sh\necho mine\n");
        EXPECT_EQ(fs::status(original).permissions() & fs::perms::all, fs::perms(0750));
        char got[32] = {};
        EXPECT_EQ(getxattr(original.c_str(), "user.note", got, sizeof got),
                  ssize_t(sizeof note - 1));
        EXPECT_FALSE(fs::exists(volume.Path() / "Prod" / "Saved Files" / "prodtool"));
        // Undone, the home folder and the volume are as they were.
        if (std::string(ending) == "undo") {
            EXPECT_EQ(TreeSnapshot::Take({Sandbox::Home(), volume.Path()}).DifferencesFrom(before),
                      "");
        }
    }
}
