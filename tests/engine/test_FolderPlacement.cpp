// Where the folders a run makes lie, and with which modes: the system's places whatever
// volume the destination is on, and the modes the user's umask allows.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EngineTestSupport.h"
#include "InstallRunFixture.h"
#include "support/Sandbox.h"

using namespace engine_test;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;

namespace {

mode_t ModeOf(const fs::path& path) {
    struct stat st;
    EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// Everything below a folder, as relative paths.
std::vector<std::string> TreeOf(const fs::path& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        entries.push_back(fs::relative(entry.path(), folder).string());
    std::sort(entries.begin(), entries.end());
    return entries;
}

class FolderPlacementTest : public InstallFixture {
protected:
    void SetUp() override { savedMask = umask(022); }
    void TearDown() override {
        umask(savedMask);
        if (!mounted.empty())
            umount2(mounted.c_str(), MNT_DETACH);
    }

    // A tmpfs of its own, as a USB stick or a separate partition would be.
    bool MountOtherVolume() {
        if (geteuid() != 0)
            return false;
        fs::path point = Sandbox::MakeFolder("other-volume");
        if (mount("tarnw-test", point.c_str(), "tmpfs", 0, "size=16m") != 0)
            return false;
        mounted = point;
        return true;
    }

    mode_t savedMask = 0;
    fs::path mounted;
};

} // namespace

TEST_F(FolderPlacementTest, FoldersTheRunMakesGetTheModesTheUmaskAllows) {
    fs::path tool = MakeTree("modes", {{"tool.txt", "t"}}) / "tool.txt";
    package.AddCustomFolder("Docs", 2009, "Tool/html/en", true);
    package.AddItem(tool, Meta("Docs"));
    ASSERT_EQ(Run(), kInstallFinished);

    fs::path docs = StdFolder(B_COMMON_DOCUMENTATION_DIRECTORY);
    EXPECT_EQ(ModeOf(Folder()), 0755u);
    EXPECT_EQ(ModeOf(docs / "Tool"), 0755u);
    EXPECT_EQ(ModeOf(docs / "Tool/html/en"), 0755u);
    EXPECT_EQ(ReadFile(docs / "Tool/html/en/tool.txt"), "t");
}

TEST_F(FolderPlacementTest, StandardAndCustomFoldersStayInTheSystemsPlacesOnAnotherVolume) {
    if (!MountOtherVolume())
        GTEST_SKIP() << "needs root to mount a second volume";
    destination = mounted;
    fs::path tree =
        MakeTree("volume", {{"tool", "#!/bin/sh\n"}, {"tool.1", "manual"}, {"notes.txt", "notes"}});
    package.AddCustomFolder("Man 1", 2009, "man/man1", false);
    package.AddItem(tree / "tool", Meta("User Selected", "Replace", "Common Bin"));
    package.AddItem(tree / "tool.1", Meta("Man 1"));
    package.AddItem(tree / "notes.txt", Meta("Common Etc"));
    ASSERT_EQ(Run(), kInstallFinished);

    fs::path docs = StdFolder(B_COMMON_DOCUMENTATION_DIRECTORY);
    EXPECT_EQ(ReadFile(docs / "man/man1/tool.1"), "manual");
    EXPECT_EQ(ReadFile(fs::path(StdFolder(B_COMMON_ETC_DIRECTORY)) / "notes.txt"), "notes");
    fs::path link = fs::path(StdFolder(B_COMMON_BIN_DIRECTORY)) / "tool";
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), mounted / "Tool" / "tool");

    // The other volume holds the installation folder and nothing else.
    for (const std::string& entry : TreeOf(mounted))
        EXPECT_EQ(entry.rfind("Tool", 0), 0u) << entry;
    EXPECT_TRUE(fs::exists(mounted / "Tool" / "tool"));
    EXPECT_TRUE(fs::exists(mounted / "Tool" / "Log"));
}
