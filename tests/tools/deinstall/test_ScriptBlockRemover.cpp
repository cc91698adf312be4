#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "deinstall/ScriptBlockRemover.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

TEST(ScriptBlockRemover, RemovesEveryBlockOfTheTagAndOnlyWholeTagLines) {
    std::string text = "export A=1\n"
                       "#BEGIN_Demo\nfirst\n#END_Demo\n"
                       "#BEGIN_DemoTools\nother product\n#END_DemoTools\n"
                       "middle\n"
                       "#BEGIN_Demo  \r\nsecond\n#END_Demo\r\n"
                       "tail";
    bool removed = false;
    EXPECT_EQ(ScriptBlockRemover::Without(text, "Demo", &removed),
              "export A=1\n#BEGIN_DemoTools\nother product\n#END_DemoTools\nmiddle\ntail");
    EXPECT_TRUE(removed);
}

TEST(ScriptBlockRemover, ABeginWithoutItsEndIsLeftAlone) {
    std::string text = "#BEGIN_Demo\nhalf a block\n#END_Other\n";
    bool removed = true;
    EXPECT_EQ(ScriptBlockRemover::Without(text, "Demo", &removed), text);
    EXPECT_FALSE(removed);
}

TEST(ScriptBlockRemover, RewritesTheFileKeepingOrigModeAndLinks) {
    fs::path folder = Sandbox::MakeFolder("scripts");
    fs::path real = folder / "real-profile";
    std::string before = "keep\n#BEGIN_Demo\nexport X=1\n#END_Demo\n";
    WriteFile(real, before);
    chmod(real.c_str(), 0640);
    fs::create_symlink(real, folder / ".profile");

    ASSERT_TRUE(ScriptBlockRemover::HasBlock((folder / ".profile").string(), "Demo"));
    EXPECT_TRUE(ScriptBlockRemover::Remove((folder / ".profile").string(), "Demo"));
    EXPECT_TRUE(fs::is_symlink(folder / ".profile"));
    EXPECT_EQ(ReadFile(real), "keep\n");
    EXPECT_EQ(ReadFile(folder / ".profile.orig"), before);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(fs::exists(folder / "real-profile.tmp"));
    EXPECT_FALSE(ScriptBlockRemover::HasAnyBlock(real.string()));
}

TEST(ScriptBlockRemover, TheRewrittenFileKeepsItsAttributesAndOwner) {
    fs::path folder = Sandbox::MakeFolder("attributed");
    fs::path profile = folder / ".profile";
    WriteFile(profile, "mine\n#BEGIN_Demo\nexport X=1\n#END_Demo\n");
    const char value[] = "the user's own note";
    if (setxattr(profile.c_str(), "user.note", value, sizeof value - 1, 0) != 0)
        GTEST_SKIP() << "the file system keeps no user attributes";
    bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(profile.c_str(), 65534, 65534), 0);
    }

    EXPECT_TRUE(ScriptBlockRemover::Remove(profile.string(), "Demo"));
    EXPECT_EQ(ReadFile(profile), "mine\n");
    char got[64] = {};
    ASSERT_EQ(getxattr(profile.c_str(), "user.note", got, sizeof got), ssize_t(sizeof value - 1));
    EXPECT_STREQ(got, value);
    struct stat info;
    ASSERT_EQ(stat(profile.c_str(), &info), 0);
    if (root) {
        EXPECT_EQ(info.st_uid, 65534u);
    }
}

TEST(ScriptBlockRemover, NothingToRemoveWritesNothing) {
    fs::path folder = Sandbox::MakeFolder("scripts");
    EXPECT_TRUE(ScriptBlockRemover::Remove((folder / "missing").string(), "Demo"));
    EXPECT_FALSE(fs::exists(folder / "missing"));
    WriteFile(folder / "plain", "echo hi\n");
    EXPECT_TRUE(ScriptBlockRemover::Remove((folder / "plain").string(), "Demo"));
    EXPECT_FALSE(fs::exists(folder / "plain.orig"));
    EXPECT_FALSE(ScriptBlockRemover::Remove((folder / "plain").string(), ""));
}

TEST(ScriptBlockRemover, BlankMeansOnlyWhiteSpace) {
    fs::path folder = Sandbox::MakeFolder("scripts");
    WriteFile(folder / "blank", "\n \t\r\n");
    WriteFile(folder / "full", "\n#\n");
    EXPECT_TRUE(ScriptBlockRemover::IsBlank((folder / "blank").string()));
    EXPECT_FALSE(ScriptBlockRemover::IsBlank((folder / "full").string()));
    EXPECT_FALSE(ScriptBlockRemover::IsBlank((folder / "missing").string()));
}
