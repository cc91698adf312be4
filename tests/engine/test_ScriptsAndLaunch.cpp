// Script blocks, the StartUp hook, the launch offer and the completion dialog.

#include "InstallRunFixture.h"
#include "engine/InstalledRecord.h"
#include "engine/UserBootHooks.h"

using namespace engine_test;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

class ScriptsTest : public InstallFixture {
protected:
    void SetUp() override {
        boot = StdFolder(B_USER_BOOT_DIRECTORY);
        home = StdFolder(B_USER_DIRECTORY);
        fs::remove_all(boot);
        fs::remove(fs::path(home) / ".profile");
        fs::remove(UserBootHooks::AutostartEntryPath());
    }
    BMessage Installed() {
        BMessage message;
        std::string error;
        EXPECT_TRUE(InstalledRecord::Read(Folder() / "Tool 1.0 Deinstaller", message, error))
            << error;
        return message;
    }
    fs::path boot;
    fs::path home;
};

} // namespace

TEST_F(ScriptsTest, EditsTheThreeScriptsAndHooksThemIntoLinux) {
    package.config.AddBool("edit_bootscript", true);
    package.config.AddString("edit_bootscript_tag", "ToolBoot");
    package.config.AddString("edit_bootscript_contents", "tool --daemon");
    package.config.AddBool("edit_setup_env", true);
    package.config.AddString("edit_setup_env_tag", "ToolEnv");
    package.config.AddString("edit_setup_env_contents", "export TOOL=1");
    package.config.AddBool("edit_profile", true);
    package.config.AddString("edit_profile_tag", "ToolProfile");
    package.config.AddString("edit_profile_contents", "alias t=tool");
    package.AddItem(MakeTree("src", {{"a", "1"}}) / "a", Meta("User Selected"));
    ASSERT_EQ(Run(), kInstallFinished);

    EXPECT_EQ(ReadFile(boot / "UserBootscript"),
              "\n#BEGIN_ToolBoot\ntool --daemon\n#END_ToolBoot\n");
    EXPECT_EQ(ReadFile(boot / "UserSetupEnvironment"),
              "\n#BEGIN_ToolEnv\nexport TOOL=1\n#END_ToolEnv\n");
    std::string profile = ReadFile(home / ".profile");
    // The hook that makes login shells read the setup-environment script, then the block.
    EXPECT_NE(profile.find("#BEGIN_TarnwhistleUserSetupEnvironment\nif [ -r " +
                           (boot / "UserSetupEnvironment").string() + " ]; then\n"),
              std::string::npos)
        << profile;
    EXPECT_NE(profile.find("#BEGIN_ToolProfile\nalias t=tool\n#END_ToolProfile\n"),
              std::string::npos);
    std::string autostart = ReadFile(UserBootHooks::AutostartEntryPath());
    EXPECT_NE(autostart.find("Exec=/bin/sh \"" + (boot / "UserBootscript").string() + "\"\n"),
              std::string::npos)
        << autostart;

    EXPECT_TRUE(LogHas("\tAdded script tab ToolBoot to /boot/home/config/boot/UserBootscript\n"
                       "\tAdded script tab ToolEnv to /boot/home/config/boot/"
                       "UserSetupEnvironment\n"
                       "\tAdded script tab ToolProfile to /boot/home/.profile\n"));

    // The deinstaller learns the tags and which blocks were written where.
    BMessage installed = Installed();
    const char* file = nullptr;
    const char* tag = nullptr;
    ASSERT_EQ(installed.FindString("script_file", 0, &file), B_OK);
    ASSERT_EQ(installed.FindString("script_tag", 2, &tag), B_OK);
    EXPECT_EQ(fs::path(file), boot / "UserBootscript");
    EXPECT_STREQ(tag, "ToolProfile");
}

// An edit that names no contents takes out the package's old block and adds none; an edit
// whose contents are given but empty still adds its (empty) block.
TEST_F(ScriptsTest, AnEditWithoutContentsOnlyRemovesTheOldBlock) {
    fs::create_directories(boot);
    WriteFile(boot / "UserBootscript", "keep\n#BEGIN_ToolBoot\nold\n#END_ToolBoot\nafter\n");
    WriteFile(fs::path(home) / ".profile", "#BEGIN_ToolProfile\nold\n#END_ToolProfile\n");
    package.config.AddBool("edit_bootscript", true);
    package.config.AddString("edit_bootscript_tag", "ToolBoot");
    package.config.AddBool("edit_profile", true);
    package.config.AddString("edit_profile_tag", "ToolProfile");
    package.config.AddString("edit_profile_contents", "");
    package.AddItem(MakeTree("src", {{"a", "1"}}) / "a", Meta("User Selected"));
    ASSERT_EQ(Run(), kInstallFinished);

    EXPECT_EQ(ReadFile(boot / "UserBootscript"), "keep\nafter\n");
    EXPECT_FALSE(fs::exists(UserBootHooks::AutostartEntryPath()));
    EXPECT_EQ(ReadFile(fs::path(home) / ".profile"), "#BEGIN_ToolProfile\n\n#END_ToolProfile\n");
}

TEST_F(ScriptsTest, StartUpFolderComesFromTheCustomFolder) {
    package.config.AddBool("opt_create_startup", true);
    package.AddCustomFolder("StartUp", 3000, "config/boot/StartUp", false);
    package.AddItem(MakeTree("src", {{"a", "1"}}) / "a", Meta("StartUp"));
    ASSERT_EQ(Run(), kInstallFinished);
    fs::path startup = fs::path(home) / "config/boot/StartUp";
    EXPECT_TRUE(fs::exists(startup / "a"));
    std::string script = ReadFile(boot / "UserBootscript");
    EXPECT_NE(script.find("#BEGIN_StartUpFolder\n#\n# This section was placed by Tarnwhistle.\n"),
              std::string::npos);
    EXPECT_NE(script.find("startup_folder=" + startup.string() + "\n"), std::string::npos);
    EXPECT_TRUE(LogHas("\tCreating StartUp folder in " + startup.string() + ".\n"));
}

TEST_F(ScriptsTest, NoStartUpFolderNoBlock) {
    package.config.AddBool("opt_create_startup", true);
    package.AddItem(MakeTree("src", {{"a", "1"}}) / "a", Meta("User Selected"));
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_FALSE(fs::exists(boot / "UserBootscript"));
    EXPECT_FALSE(fs::exists(UserBootHooks::AutostartEntryPath()));
}

TEST_F(ScriptsTest, ScriptWithoutReasonRunsAtOnceInItsOwnFolder) {
    BMessage meta = Meta("User Selected");
    meta.ReplaceString("auto_launch", "True");
    package.AddItem(MakeTree("src", {{"setup.sh", "pwd > ran.txt\n"}}) / "setup.sh", meta);
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(ReadFile(Folder() / "ran.txt"), Folder().string() + "\n");
    // No question, only the completion message.
    ASSERT_EQ(ui.frontend.requests.size(), 1u);
}

TEST_F(ScriptsTest, FromTheFirstReasonOnEveryLaunchIsAsked) {
    auto launching = [&](const char* name, const char* reason) {
        BMessage meta = Meta("User Selected");
        meta.ReplaceString("auto_launch", "True");
        meta.ReplaceString("auto_launch_reason", reason);
        std::string script = std::string("echo ") + name + " >> ran.txt\n";
        package.AddItem(MakeTree("src", {{name, script}}) / name, meta);
    };
    launching("A", "");
    launching("B", "It sets things up.");
    launching("C", "");
    BMessage lower = Meta("User Selected");
    lower.ReplaceString("auto_launch", "true");
    package.AddItem(MakeTree("src", {{"D", "echo D >> ran.txt\n"}}) / "D", lower);
    ui.frontend.Answer(0); // B: Later
    ui.frontend.Answer(1); // C: Run
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(ReadFile(Folder() / "ran.txt"), "A\nC\n");
    ASSERT_EQ(ui.frontend.requests.size(), 3u);
    const FrontendRequest& question = ui.frontend.requests[0];
    EXPECT_EQ(question.text,
              "Do you wish to run '" + (Folder() / "B").string() + "' now?\n\nIt sets things up.");
    EXPECT_EQ(question.buttons, (std::vector<std::string>{"Later", "Run"}));
    EXPECT_EQ(ui.frontend.requests[1].text,
              "Do you wish to run '" + (Folder() / "C").string() + "' now?");
}

TEST_F(ScriptsTest, RestartIsOfferedAndRemembered) {
    package.config.AddBool("complete_restart", true);
    package.config.AddBool("complete_display_folder", true);
    package.AddItem(MakeTree("src", {{"a", "1"}}) / "a", Meta("User Selected"));
    ui.frontend.Answer(1);
    ASSERT_EQ(Run(), kInstallFinished);
    const FrontendRequest& last = ui.frontend.requests.back();
    EXPECT_EQ(last.text, "Installation successfully completed.\n\nThe system needs to be "
                         "restarted for the installation to take effect.");
    EXPECT_EQ(last.buttons, (std::vector<std::string>{"Restart Later", "Restart Now"}));
    EXPECT_TRUE(engine->RestartRequested());
    // The installation folder was handed to the opener.
    std::string commands;
    for (int i = 0; i < 100 && commands.find(Folder().string()) == std::string::npos; i++) {
        usleep(20000);
        commands = ReadFile(Sandbox::CommandLog());
    }
    EXPECT_NE(commands.find(Folder().string()), std::string::npos);
}

TEST_F(ScriptsTest, ProgramThatCannotStartIsReported) {
    fs::path folder = Sandbox::MakeFolder("prog");
    fs::copy_file("/bin/true", folder / "tool");
    fs::permissions(folder / "tool", fs::perms::owner_read | fs::perms::owner_write);
    BMessage meta = Meta("User Selected");
    meta.ReplaceString("auto_launch", "True");
    package.AddItem(folder / "tool", meta);
    ASSERT_EQ(Run(), kInstallFinished);
    ASSERT_EQ(ui.frontend.requests.size(), 2u);
    EXPECT_EQ(ui.frontend.requests[0].text, "'tool' was unable to be run at this time.");
    EXPECT_EQ(ui.frontend.requests[0].icon, FrontendIcon::Stop);
}
