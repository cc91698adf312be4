#include "engine/EngineTexts.h"
#include "engine/InstallPaths.h"
#include "engine/ProcessLauncher.h"

#include <gtest/gtest.h>

#include "support/Sandbox.h"

using tarnw::test::ReadFile;
using tarnw::test::Sandbox;

TEST(EngineTexts, TranslatedFormatsMustKeepTheConversions) {
    EXPECT_EQ(EngineTexts::ConversionsOf(EngineTexts::English(1036)), "dds");
    EXPECT_EQ(EngineTexts::ConversionsOf(EngineTexts::English(1045)), "ssss");
    EXPECT_TRUE(EngineTexts::ConversionsMatch("Installiere %d von %d (%s)", "dds"));
    EXPECT_TRUE(EngineTexts::ConversionsMatch("100%% %s", "s"));
    EXPECT_FALSE(EngineTexts::ConversionsMatch("%s %d (%s)", "dds"));
    EXPECT_FALSE(EngineTexts::ConversionsMatch("%d %d (%s) %n", "dds"));
    EXPECT_FALSE(EngineTexts::ConversionsMatch("%d %d", "dds"));
    EXPECT_FALSE(EngineTexts::ConversionsMatch("%5d %d (%s)", "dds"));
    EXPECT_FALSE(EngineTexts::ConversionsMatch("%d %d (%s) %", "dds"));
    EXPECT_FALSE(EngineTexts::ConversionsMatch(nullptr, ""));
}

TEST(EngineTexts, ReplaceQuestionNamesTheKindWithoutFollowingLinks) {
    auto folder = Sandbox::MakeFolder("kinds");
    std::filesystem::create_directory(folder / "dir");
    std::filesystem::create_directory_symlink(folder / "dir", folder / "link");
    EXPECT_EQ(EngineTexts::ReplaceQuestion((folder / "dir").c_str()),
              "The folder 'dir' already exists. Do you wish to replace existing");
    EXPECT_EQ(EngineTexts::ReplaceQuestion((folder / "link").c_str()),
              "The symbolic link 'link' already exists. Do you wish to replace existing");
}

TEST(InstallPaths, NamesThatStayInside) {
    EXPECT_TRUE(InstallPaths::IsPlainName("Tool"));
    EXPECT_FALSE(InstallPaths::IsPlainName(""));
    EXPECT_FALSE(InstallPaths::IsPlainName(".."));
    EXPECT_FALSE(InstallPaths::IsPlainName("a/b"));
    EXPECT_EQ(InstallPaths::SafeLeaf("A/B 1.0 Deinstaller"), "A-B 1.0 Deinstaller");
    std::string relative;
    EXPECT_TRUE(InstallPaths::CleanRelative("/Product//./Manuals/", relative));
    EXPECT_EQ(relative, "Product/Manuals");
    EXPECT_FALSE(InstallPaths::CleanRelative("Product/../../etc", relative));
    EXPECT_EQ(InstallPaths::SignatureOf("Editor (application/x-vnd.Ed) v2"),
              "application/x-vnd.Ed");
    EXPECT_EQ(InstallPaths::SignatureOf("Editor (unclosed"), "");
}

TEST(ProcessLauncher, ArgumentsWorkingFolderAndStatus) {
    auto folder = Sandbox::MakeFolder("spawn");
    int status = -5;
    ASSERT_EQ(ProcessLauncher::Run(
                  {"/bin/sh", "-c", "pwd > out; echo \"$1\" >> out; exit 3", "sh", "a b; $(x)"},
                  folder.string(), true, &status),
              B_OK);
    EXPECT_EQ(status, 3);
    EXPECT_EQ(ReadFile(folder / "out"), folder.string() + "\na b; $(x)\n");
    EXPECT_NE(ProcessLauncher::Run({(folder / "missing").string()}, "", true), B_OK);
    EXPECT_NE(ProcessLauncher::Run({}, "", true), B_OK);
}
