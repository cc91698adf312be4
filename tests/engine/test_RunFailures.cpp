// A run that fails says why: the system's reason reaches the user's detail, not a guess.

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "InstallRunFixture.h"
#include "support/Sandbox.h"

using namespace engine_test;
using tarnw::test::ReadFile;
using tarnw::test::WriteFile;

namespace {

class RunFailureTest : public InstallFixture {};

bool AnyHas(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& text : texts)
        if (text.find(part) != std::string::npos)
            return true;
    return false;
}

} // namespace

TEST_F(RunFailureTest, AnEarlierFolderThatCannotGoToTheTrashSaysWhyAndStays) {
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a volume needs root";
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    package.AddItem(a, Meta("User Selected"));
    fs::create_directories(Folder());
    WriteFile(Folder() / "old.txt", "old");
    fs::path trash = fs::path(StdFolder(B_TRASH_DIRECTORY)).parent_path();
    fs::create_directories(trash);
    if (mount("tmpfs", trash.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "no tmpfs could be mounted: " << std::strerror(errno);
    fs::create_directories(trash / "files");
    fs::create_directories(trash / "info");
    // The Trash is there, with room, but its volume takes nothing.
    int remounted = mount("tmpfs", trash.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=256k");
    int32 result = remounted == 0 ? Run() : -1;
    umount2(trash.c_str(), MNT_DETACH);
    ASSERT_EQ(remounted, 0) << std::strerror(errno);

    EXPECT_EQ(result, kInstallNoFolder);
    EXPECT_TRUE(AnyHas(ui.frontend.errors, "could not be moved to the Trash (cannot make the "
                                           "Trash record \"" +
                                               (trash / "info" / "Tool.trashinfo").string() +
                                               "\": Read-only file system)"))
        << testing::PrintToString(ui.frontend.errors);
    EXPECT_EQ(ReadFile(Folder() / "old.txt"), "old");
    EXPECT_FALSE(fs::exists(Folder() / "a"));
}

TEST_F(RunFailureTest, AnItemThatCannotReachItsFolderSaysWhyAndStaysInTheInstallation) {
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a volume needs root";
    fs::path settings = StdFolder(B_USER_SETTINGS_DIRECTORY);
    fs::create_directories(settings);
    if (mount("tmpfs", settings.c_str(), "tmpfs", MS_RDONLY, "size=256k") != 0)
        GTEST_SKIP() << "no tmpfs could be mounted: " << std::strerror(errno);
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    package.AddItem(a, Meta("User Settings"));
    ui.frontend.Answer(0); // the list of what failed
    ui.frontend.Answer(1); // keep
    int32 result = Run();
    umount2(settings.c_str(), MNT_DETACH);

    EXPECT_EQ(result, kInstallIncomplete);
    EXPECT_TRUE(AnyHas(ui.frontend.errors, "a was not installed: it could not be moved to " +
                                               settings.string() + " (Read-only file system)"))
        << testing::PrintToString(ui.frontend.errors);
    EXPECT_EQ(ReadFile(Folder() / "a"), "1");
}
