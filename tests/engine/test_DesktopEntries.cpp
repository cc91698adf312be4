// Menu entries and icons written by a run: where they go in the install's scope, that the
// desktop's own validator accepts them, that they name the installed program, and that the
// deinstaller is told about them.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "EngineTestSupport.h"
#include "InstallRunFixture.h"
#include "engine/DesktopEntries.h"
#include "support/Process.h"
#include "support/Sandbox.h"

using namespace engine_test;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

const char* kSvg = "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                   "width=\"16\" height=\"16\"/>\n";

// The tool's path, or "" when it is not installed.
std::string Tool(const char* name) {
    for (const char* folder : {"/usr/bin/", "/bin/", "/usr/local/bin/"})
        if (access((std::string(folder) + name).c_str(), X_OK) == 0)
            return std::string(folder) + name;
    return "";
}

class DesktopEntriesTest : public InstallFixture {
protected:
    void SetUp() override {
        // The sandbox lives as long as the test program: start from an empty scope.
        fs::remove_all(DesktopEntries::ApplicationsFolder());
        fs::remove_all(fs::path(DesktopEntries::DataFolder()) / "icons");
        tree = MakeTree("desktop", {{"My Tool/bin/tool", "#!/bin/sh\n"}, {"readme", "r"}});
        chmod((tree / "My Tool/bin/tool").c_str(), 0755);
        package.AddItem(tree / "My Tool", Meta("User Selected"));
        package.AddItem(tree / "readme", Meta("User Selected"));
        package.config.AddBool("deinstaller_menu_entry", true);
        package.config.AddString("deinstaller_menu_id", "Tool-deinstaller");
    }

    void AddEntry(const char* id, int32 item, const char* inside, bool withIcon) {
        BMessage entry;
        entry.AddString("entry_id", id);
        entry.AddString("entry_name", "My Tool");
        entry.AddString("entry_comment", "Counts to 100%");
        entry.AddInt32("entry_item", item);
        entry.AddString("entry_path", inside);
        entry.AddString("entry_arg", "--open");
        entry.AddString("entry_arg", "%F");
        entry.AddString("entry_category", "Utility");
        entry.AddBool("entry_terminal", true);
        if (withIcon) {
            entry.AddString("entry_icon_type", "svg");
            entry.AddInt32("entry_icon_size", 0);
            entry.AddData("entry_icon", B_RAW_TYPE, kSvg, ssize_t(strlen(kSvg)));
        }
        entries.AddMessage("desktop_entry", &entry);
    }

    int32 RunWithEntries(std::vector<bool> selection = {}) {
        package.config.AddMessage("desktop_entries", &entries);
        return Run(selection);
    }

    fs::path Applications() const { return DesktopEntries::ApplicationsFolder(); }

    fs::path tree;
    BMessage entries;
};

} // namespace

TEST_F(DesktopEntriesTest, EntriesNameTheInstalledProgramAndPassTheValidator) {
    AddEntry("Tool", 0, "bin/tool", true);
    ASSERT_EQ(RunWithEntries(), kInstallFinished);

    // Root installs for the system, others for themselves.
    fs::path expectedData =
        geteuid() == 0 ? Sandbox::Prefix() / "usr/local/share" : Sandbox::Home() / ".local/share";
    EXPECT_EQ(fs::path(DesktopEntries::DataFolder()), expectedData);

    fs::path entry = Applications() / "Tool.desktop";
    std::string text = ReadFile(entry);
    std::string program = (Folder() / "My Tool/bin/tool").string();
    EXPECT_NE(text.find("Exec=\"" + program + "\" --open %F\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Comment=Counts to 100%\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Icon=Tool\n"), std::string::npos);
    EXPECT_NE(text.find("Terminal=true\n"), std::string::npos);
    fs::path icon = expectedData / "icons/hicolor/scalable/apps/Tool.svg";
    EXPECT_EQ(ReadFile(icon), kSvg);

    // The deinstaller has an entry of its own, in every language of the catalogue.
    std::string remover = ReadFile(Applications() / "Tool-deinstaller.desktop");
    EXPECT_NE(remover.find("Name=Remove Tool\n"), std::string::npos) << remover;
    EXPECT_NE(remover.find("Name[de]=Tool entfernen\n"), std::string::npos) << remover;
    EXPECT_NE(remover.find("Exec=\"" + (Folder() / "Tool 1.0 Deinstaller").string() + "\"\n"),
              std::string::npos)
        << remover;

    // Both are the product's, for the deinstaller to take away.
    for (const fs::path& path : {entry, icon, Applications() / "Tool-deinstaller.desktop"}) {
        EXPECT_EQ(InstallByOf(path), "Tool;1.0;2026-12-01;Maker;help@example.com;") << path;
        auto tagged = engine->TaggedPaths();
        EXPECT_NE(std::find(tagged.begin(), tagged.end(), path.string()), tagged.end()) << path;
    }
    struct stat st;
    ASSERT_EQ(stat(entry.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    std::string validate = Tool("desktop-file-validate");
    ASSERT_NE(validate, "") << "desktop-file-utils is a test dependency";
    auto checked = RunProgram(
        {validate, entry.string(), (Applications() / "Tool-deinstaller.desktop").string()});
    EXPECT_EQ(checked.status, 0) << checked.output;
    EXPECT_EQ(checked.output, "");
}

TEST_F(DesktopEntriesTest, AProgramThatWasNotInstalledGetsNoEntry) {
    AddEntry("Tool", 0, "bin/tool", false);
    AddEntry("Tool-readme", 1, "", false);
    ASSERT_EQ(RunWithEntries({false, true}), kInstallFinished);
    EXPECT_FALSE(fs::exists(Applications() / "Tool.desktop"));
    EXPECT_TRUE(fs::exists(Applications() / "Tool-readme.desktop"));
    EXPECT_TRUE(fs::exists(Applications() / "Tool-deinstaller.desktop"));
    EXPECT_TRUE(engine->Failures().empty());
}

TEST_F(DesktopEntriesTest, UnusableNamesAndMissingProgramsAreFailuresNotFiles) {
    AddEntry("../../escape", 1, "", false);
    AddEntry("Tool", 0, "bin/not-there", false);
    AddEntry("Tool-out", 0, "../../readme", false);
    AddEntry("Tool-badicon", 1, "", true);
    BMessage badIcon;
    entries.FindMessage("desktop_entry", 3, &badIcon);
    badIcon.ReplaceString("entry_icon_type", "png");
    badIcon.ReplaceInt32("entry_icon_size", -16);
    entries.ReplaceMessage("desktop_entry", 3, &badIcon);
    // The user is told, as of an item that could not be placed, and keeps what was placed.
    ui.frontend.Answer(0);
    ui.frontend.Answer(1);
    ASSERT_EQ(RunWithEntries(), kInstallIncomplete);
    EXPECT_EQ(engine->Failures().size(), 4u) << testing::PrintToString(engine->Failures());
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(Applications()))
        if (entry.path().filename() != "mimeinfo.cache")
            written.push_back(entry.path().filename().string());
    EXPECT_EQ(written, std::vector<std::string>{"Tool-deinstaller.desktop"});
    EXPECT_FALSE(fs::exists(Sandbox::Root() / "escape.desktop"));
    EXPECT_FALSE(fs::exists(fs::path(DesktopEntries::DataFolder()) / "icons"));
}

TEST_F(DesktopEntriesTest, TheDesktopCachesAreRefreshedInTheSandboxOnly) {
    if (Tool("update-desktop-database").empty() || Tool("gtk-update-icon-cache").empty())
        GTEST_SKIP() << "the desktop's cache tools are not installed";
    // A theme with an index keeps a cache; one without is left without.
    WriteFile(fs::path(DesktopEntries::IconThemeFolder()) / "index.theme",
              "[Icon Theme]\nName=Hicolor\nDirectories=scalable/apps\n\n[scalable/apps]\n"
              "Size=48\nType=Scalable\nMinSize=1\nMaxSize=512\n");
    AddEntry("Tool", 0, "bin/tool", true);
    ASSERT_EQ(RunWithEntries(), kInstallFinished);
    EXPECT_TRUE(fs::exists(Applications() / "mimeinfo.cache"));
    EXPECT_TRUE(fs::exists(fs::path(DesktopEntries::IconThemeFolder()) / "icon-theme.cache"));
    EXPECT_NE(LogText().find("Refreshed: update-desktop-database " + Applications().string()),
              std::string::npos);
}
