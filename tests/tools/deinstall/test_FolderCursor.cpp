#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "deinstall/FolderCursor.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

// A folder asked about often is read once; what it tells must match a look at each entry,
// also after entries were removed through the cursor or went behind its back.
TEST(FolderCursor, KindsAndAttributesMatchALookAtEachEntry) {
    fs::path folder = Sandbox::MakeFolder("cursor");
    for (int i = 0; i < 12; ++i)
        WriteFile(folder / ("f" + std::to_string(i)), "x");
    fs::create_directory(folder / "sub");
    fs::create_symlink("f0", folder / "link");
    fs::create_symlink("sub", folder / "folder-link");
    ASSERT_EQ(setxattr((folder / "f3").c_str(), "user.InstallBy", "Demo;", 5, 0), 0);

    FolderCursor cursor;
    auto kind = [&](const std::string& leaf) -> int {
        mode_t found = 0;
        return cursor.KindOf((folder / leaf).string(), found) ? int(found) : -errno;
    };
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(kind("f" + std::to_string(i)), S_IFREG);
        EXPECT_EQ(kind("sub"), S_IFDIR);
        EXPECT_EQ(kind("link"), S_IFLNK);
        EXPECT_EQ(kind("folder-link"), S_IFLNK);
        EXPECT_EQ(kind("missing"), -ENOENT);
    }

    char value[16];
    EXPECT_EQ(cursor.ReadAttribute((folder / "f3").string(), "user.InstallBy", value, 16), 5);
    EXPECT_EQ(std::string(value, 5), "Demo;");
    EXPECT_EQ(cursor.ReadAttribute((folder / "f3").string(), "user.InstallBy", value, 2), -1);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(cursor.ReadAttribute((folder / "f4").string(), "user.InstallBy", value, 16), -1);
    EXPECT_EQ(errno, ENODATA);
    // Not through a link.
    EXPECT_EQ(cursor.ReadAttribute((folder / "link").string(), "user.InstallBy", value, 16), -1);

    EXPECT_TRUE(cursor.Remove((folder / "f5").string(), 0));
    EXPECT_EQ(kind("f5"), -ENOENT);
    EXPECT_FALSE(cursor.Remove((folder / "sub").string(), 0));
    EXPECT_TRUE(cursor.Remove((folder / "sub").string(), AT_REMOVEDIR));
    EXPECT_EQ(kind("sub"), -ENOENT);

    // Another folder, then back: the first is looked at afresh.
    fs::path other = Sandbox::MakeFolder("cursor-other");
    WriteFile(other / "g", "y");
    mode_t found = 0;
    EXPECT_TRUE(cursor.KindOf((other / "g").string(), found));
    EXPECT_EQ(found, S_IFREG);
    fs::remove(folder / "f6");
    EXPECT_EQ(kind("f6"), -ENOENT);
    EXPECT_EQ(kind("f7"), S_IFREG);
    // A folder that is not there.
    EXPECT_FALSE(cursor.KindOf((folder / "nowhere" / "f").string(), found));
    EXPECT_EQ(errno, ENOENT);
}
