#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "platform/storage/StoragePrivate.h"
#include "platform/storage/Volume.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

const int32 kAllFolders[] = {0,    1,    1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008,
                             1009, 1010, 1011, 1012, 1013, 1014, 2000, 2001, 2002, 2003, 2004,
                             2005, 2006, 2007, 2008, 2009, 2010, 2011, 2012, 2013, 2014, 2015,
                             2016, 2017, 2018, 3000, 3001, 3002, 3003, 3004, 3005, 3006, 3007,
                             3008, 3009, 3010, 3011, 4000, 4001, 4002};

bool Inside(const std::string& path, const fs::path& folder) {
    std::string prefix = folder.string() + "/";
    return path == folder.string() || path.compare(0, prefix.size(), prefix) == 0;
}

std::string Folder(int32 which, bool asRoot) {
    std::string path;
    EXPECT_EQ(storage_private::StandardFolder(which, asRoot, &path), B_OK) << which;
    return path;
}

} // namespace

TEST(FindDirectory, EveryFolderStaysInsideTheSandbox) {
    static_assert(sizeof kAllFolders / sizeof kAllFolders[0] == 51);
    for (bool asRoot : {false, true}) {
        for (int32 which : kAllFolders) {
            std::string path = Folder(which, asRoot);
            EXPECT_TRUE(Inside(path, Sandbox::Root())) << which << " -> " << path;
        }
    }
    BPath path;
    for (int32 which : kAllFolders) {
        ASSERT_EQ(find_directory(static_cast<directory_which>(which), &path, true), B_OK) << which;
        EXPECT_TRUE(fs::is_directory(path.Path())) << which;
    }
    EXPECT_EQ(find_directory(static_cast<directory_which>(5000), &path), B_BAD_VALUE);
    EXPECT_EQ(find_directory(static_cast<directory_which>(2019), &path), B_BAD_VALUE);
}

TEST(FindDirectory, PlacesUserAndSystemFoldersWhereLinuxKeepsThem) {
    fs::path home = Sandbox::Home();
    fs::path prefix = Sandbox::Prefix();
    EXPECT_EQ(Folder(B_USER_DIRECTORY, false), home.string());
    EXPECT_EQ(Folder(B_USER_SETTINGS_DIRECTORY, false), (home / ".config").string());
    EXPECT_EQ(Folder(B_USER_BOOT_DIRECTORY, false), (home / ".config/tarnwhistle/boot").string());
    EXPECT_EQ(Folder(B_DESKTOP_DIRECTORY, false), (home / "Desktop").string());
    EXPECT_EQ(Folder(B_TRASH_DIRECTORY, false), (home / ".local/share/Trash/files").string());
    EXPECT_EQ(Folder(B_BEOS_BIN_DIRECTORY, false), (prefix / "usr/bin").string());
    // Common folders: system-wide for root, the user's own tree otherwise.
    EXPECT_EQ(Folder(B_COMMON_BIN_DIRECTORY, true), (prefix / "usr/local/bin").string());
    EXPECT_EQ(Folder(B_COMMON_BIN_DIRECTORY, false), (home / ".local/bin").string());
    EXPECT_EQ(Folder(B_COMMON_SETTINGS_DIRECTORY, true), (prefix / "etc").string());
    EXPECT_EQ(Folder(B_COMMON_LOG_DIRECTORY, true), (prefix / "var/log").string());
    EXPECT_EQ(Folder(B_COMMON_TEMP_DIRECTORY, true), Sandbox::Temp().string());
    EXPECT_EQ(Folder(B_APPS_DIRECTORY, true), (prefix / "opt").string());
    EXPECT_EQ(Folder(B_APPS_DIRECTORY, false), (home / "Applications").string());
    // Folders a package can name separately get separate places, except where the old
    // platform itself shared them.
    std::map<std::string, int32> seen;
    for (int32 which : {2000, 2002, 2003, 2004, 2007, 2009, 2010, 2012, 2013, 2014, 2015, 3001,
                        3003, 3004, 3007, 3011, 4000, 4001, 4002}) {
        auto [it, inserted] = seen.emplace(Folder(which, true), which);
        EXPECT_TRUE(inserted) << which << " shares " << it->first << " with " << it->second;
    }
}

TEST(FindDirectory, DesktopFollowsTheUserDirs) {
    unsetenv("XDG_DESKTOP_DIR");
    WriteFile(Sandbox::Home() / ".config/user-dirs.dirs",
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(Folder(B_DESKTOP_DIRECTORY, false), (Sandbox::Home() / "Schreibtisch").string());
    fs::remove(Sandbox::Home() / ".config/user-dirs.dirs");
    EXPECT_EQ(Folder(B_DESKTOP_DIRECTORY, false), (Sandbox::Home() / "Desktop").string());
    setenv("XDG_DESKTOP_DIR", (Sandbox::Home() / "Desktop").c_str(), 1);
}

TEST(FindDirectory, TrashIsCreatedWithItsInfoFolderAndCharFormChecksLength) {
    BPath trash;
    ASSERT_EQ(find_directory(B_TRASH_DIRECTORY, &trash, true), B_OK);
    fs::path files = trash.Path();
    EXPECT_TRUE(fs::is_directory(files));
    EXPECT_TRUE(fs::is_directory(files.parent_path() / "info"));
    struct stat st;
    ASSERT_EQ(stat(files.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    char buffer[B_PATH_NAME_LENGTH];
    ASSERT_EQ(
        find_directory(B_USER_DIRECTORY, static_cast<dev_t>(-1), false, buffer, sizeof buffer),
        B_OK);
    EXPECT_EQ(std::string(buffer), Sandbox::Home().string());
    char small[4];
    EXPECT_EQ(find_directory(B_USER_DIRECTORY, static_cast<dev_t>(-1), false, small, sizeof small),
              B_NAME_TOO_LONG);
}

TEST(FindDirectory, FoldersOnAnotherVolumeLieBelowItsMountPoint) {
    fs::path stick = Sandbox::MakeFolder("stick");
    fs::path table = Sandbox::MakeFolder("mounts") / "mountinfo";
    WriteFile(table, "27 1 8:1 / / rw - ext4 /dev/sda1 rw\n30 27 8:17 / " + stick.string() +
                         " rw - vfat /dev/sdb1 rw\n");
    setenv("TARNW_MOUNTINFO", table.c_str(), 1);
    BVolume volume(makedev(8, 17));
    ASSERT_EQ(volume.InitCheck(), B_OK);

    BPath path;
    ASSERT_EQ(find_directory(B_COMMON_DOCUMENTATION_DIRECTORY, &path, true, &volume), B_OK);
    std::string usual = Folder(B_COMMON_DOCUMENTATION_DIRECTORY, geteuid() == 0);
    EXPECT_EQ(std::string(path.Path()), stick.string() + usual);
    EXPECT_TRUE(fs::is_directory(path.Path()));
    ASSERT_EQ(find_directory(B_TRASH_DIRECTORY, &path, false, &volume), B_OK);
    EXPECT_EQ(std::string(path.Path()),
              (stick / (".Trash-" + std::to_string(getuid())) / "files").string());
    // Without a volume nothing moves.
    ASSERT_EQ(find_directory(B_COMMON_DOCUMENTATION_DIRECTORY, &path), B_OK);
    EXPECT_EQ(std::string(path.Path()), usual);
    unsetenv("TARNW_MOUNTINFO");
}
