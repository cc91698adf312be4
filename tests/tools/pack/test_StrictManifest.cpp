// Manifests that would build an installer failing only on the user's machine are refused,
// each error naming the key and, where one is close, the value probably meant.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ConfigBuilder.h"
#include "DesktopEntrySource.h"
#include "Manifest.h"
#include "NearestName.h"
#include "platform/app/Message.h"
#include "support/Sandbox.h"

using namespace tarnw::pack;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;
namespace fs = std::filesystem;

namespace {

class StrictManifestTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = Sandbox::MakeFolder("strict");
        WriteFile(folder / "a.txt", "hello");
        WriteFile(folder / "other" / "a.txt", "another a");
        WriteFile(folder / "tree" / "inside.txt", "inside");
    }

    // The error of a manifest made of `extra` keys after a valid installation folder.
    std::string ErrorOf(const std::string& extra) {
        std::string text = R"({"opt_created_folder": "Demo")" +
                           (extra.empty() ? std::string() : ", " + extra) + "}";
        try {
            ParseManifest(text, folder);
        } catch (const ManifestError& error) {
            return error.what();
        }
        return "";
    }

    fs::path folder;
};

} // namespace

TEST_F(StrictManifestTest, MisspeltFolderNamesAreRefusedWithTheNameProbablyMeant) {
    EXPECT_EQ(ErrorOf(R"("files": [{"source": "a.txt", "link": "Common Bins"}])"),
              "files[0].link: unknown folder 'Common Bins'; did you mean 'Common Bin'?");
    EXPECT_EQ(ErrorOf(R"("custom_folders": [{"name": "Man1", "root": "Common Documentation"}],
                         "files": [{"source": "a.txt", "destination": "Man 1"}])"),
              "files[0].destination: unknown folder 'Man 1'; did you mean 'Man1'?");
    EXPECT_EQ(ErrorOf(R"("custom_folders": [{"name": "x", "root": "Comon Documentation"}])"),
              "custom_folders[0].root: unknown folder 'Comon Documentation'; did you mean "
              "'Common Documentation'?");
    EXPECT_EQ(ErrorOf(R"("opt_default_folder": "applications")"),
              "opt_default_folder: unknown folder 'applications'; did you mean 'Applications'?");
    // Nothing close: no guess.
    EXPECT_EQ(
        ErrorOf(R"("files": [{"source": "a.txt", "destination": "Somewhere Else Entirely"}])"),
        "files[0].destination: unknown folder 'Somewhere Else Entirely'");

    // Every kind of valid place still builds.
    EXPECT_EQ(ErrorOf(R"("opt_default_folder": "Current",
                         "custom_folders": [{"name": "Man 1", "root": "Common Documentation",
                                             "sub_dir": "share/man/man1"}],
                         "files": [{"source": "a.txt", "destination": "Man 1", "link": "User Selected"},
                                   {"source": "tree", "destination": "Common Etc", "link": "None"}])"),
              "");
}

TEST_F(StrictManifestTest, FolderNamesThatLeaveTheirPlaceAreRefused) {
    try {
        ParseManifest(R"({"opt_created_folder": "../../evil"})", folder);
        FAIL() << "accepted a climbing installation folder";
    } catch (const ManifestError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("opt_created_folder:", 0), 0u) << error.what();
    }
    for (const char* name : {"a/b", "..", "/abs"}) {
        std::string text = std::string(R"({"opt_created_folder": ")") + name + "\"}";
        EXPECT_THROW(ParseManifest(text, folder), ManifestError) << name;
    }
    EXPECT_NE(ErrorOf(R"("custom_folders": [{"name": "x", "root": 2009, "sub_dir": "a/../../b"}])")
                  .find("custom_folders[0].sub_dir: must stay below"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"("custom_folders": [{"name": "x", "root": 2009, "sub_dir": "/etc"}])")
                  .find("custom_folders[0].sub_dir: must be relative"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"("custom_folders": [{"name": "x", "root": 2009},
                                            {"name": "x", "root": 2007}])")
                  .find("custom_folders[1].name"),
              std::string::npos);
    EXPECT_EQ(ErrorOf(R"("custom_folders": [{"name": "x", "root": 2009, "sub_dir": "demo/html"}])"),
              "");
}

TEST_F(StrictManifestTest, NumbersOutOfRangeAreRefused) {
    EXPECT_NE(
        ErrorOf(R"("opt_compression": 10)").find("opt_compression: must be a compression level"),
        std::string::npos);
    EXPECT_NE(ErrorOf(R"("opt_compression": -1)").find("opt_compression"), std::string::npos);
    EXPECT_NE(ErrorOf(R"("req_ram_amount": -64)").find("req_ram_amount"), std::string::npos);
    EXPECT_NE(ErrorOf(R"("req_ram_amount": 2000000000)").find("req_ram_amount"), std::string::npos);
    EXPECT_NE(ErrorOf(R"("req_disk_space_amount": -1)").find("req_disk_space_amount"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"("req_disk_space_amount": 1e30)").find("req_disk_space_amount"),
              std::string::npos);
    EXPECT_EQ(ErrorOf(R"("opt_compression": 0, "req_ram_amount": 0, "req_disk_space_amount": 0)"),
              "");
    EXPECT_EQ(ErrorOf(R"("opt_compression": 9, "req_ram_amount": 65536)"), "");
}

TEST_F(StrictManifestTest, TextWithANulAndKeysGivenTwiceAreRefused) {
    EXPECT_EQ(ErrorOf(R"("app_name": "Demo\u0000Evil")"),
              "app_name: must not contain a NUL character");
    EXPECT_NE(ErrorOf(R"("groups": [{"name": "Ty\u0000pical"}])").find("groups[0].name"),
              std::string::npos);
    EXPECT_EQ(ErrorOf(R"("app_name": "one", "app_name": "two")"), "app_name: key given twice");
    EXPECT_EQ(ErrorOf(R"("files": [{"source": "a.txt"},
                                  {"source": "tree", "link": "None", "link": "Common Bin"}])"),
              "files[1].link: key given twice");
    EXPECT_EQ(ErrorOf(R"("groups": [{"name": "a"}], "custom_folders": [
                         {"name": "x", "root": 1, "sub_dir": "s", "sub_dir": "t"}])"),
              "custom_folders[0].sub_dir: key given twice");
    // The same key in two different objects is fine.
    EXPECT_EQ(ErrorOf(R"("groups": [{"name": "a"}, {"name": "b"}])"), "");
}

TEST_F(StrictManifestTest, SourcesThatAreNotFilesFoldersOrLinksAreRefused) {
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((folder / "tree" / "deep-pipe").c_str(), 0644), 0);
    EXPECT_NE(ErrorOf(R"("files": [{"source": "pipe"}])").find("files[0].source: "),
              std::string::npos);
    std::string inside = ErrorOf(R"("files": [{"source": "tree"}])");
    EXPECT_NE(inside.find("deep-pipe"), std::string::npos) << inside;
    EXPECT_NE(ErrorOf(R"("files": [{"source": "/dev/null"}])").find("is not a file, folder"),
              std::string::npos);

    fs::remove(folder / "tree" / "deep-pipe");
    fs::create_symlink("a.txt", folder / "link-to-a");
    fs::create_symlink("nowhere", folder / "tree" / "dangling");
    EXPECT_EQ(ErrorOf(R"("files": [{"source": "link-to-a"}, {"source": "tree/"}])"), "");
}

TEST_F(StrictManifestTest, TwoEntriesAtOnePathAreRefused) {
    EXPECT_NE(ErrorOf(R"("files": [{"source": "a.txt"}, {"source": "other/a.txt"}])")
                  .find("files[1].source: files[1] ('a.txt') would be placed where files[0]"),
              std::string::npos);
    // One folder reached by a standard name and by a custom folder without a sub folder.
    EXPECT_NE(ErrorOf(R"("custom_folders": [{"name": "Bin", "root": "Common Bin"}],
                         "files": [{"source": "a.txt", "destination": "Common Bin"},
                                   {"source": "other/a.txt", "destination": "Bin"}])")
                  .find("files[1].source"),
              std::string::npos);
    // A link that lands on another item.
    EXPECT_NE(ErrorOf(R"("files": [{"source": "a.txt", "destination": "Common Bin"},
                                  {"source": "other/a.txt", "link": "Common Bin"}])")
                  .find("files[1].link"),
              std::string::npos);
    // An item called like the installation log.
    WriteFile(folder / "Log", "not the log");
    EXPECT_NE(ErrorOf(R"("files": [{"source": "Log"}])").find("the installation log"),
              std::string::npos);
    // One leaf in two different folders is fine.
    EXPECT_EQ(ErrorOf(R"("files": [{"source": "a.txt"},
                                  {"source": "other/a.txt", "destination": "Common Etc"}])"),
              "");
}

TEST_F(StrictManifestTest, ThePackageKeepsNoAbsolutePathOfTheBuildingMachine) {
    fs::path outside = Sandbox::MakeFolder("elsewhere") / "outside.txt";
    WriteFile(outside, "outside");
    Manifest manifest = ParseManifest(R"({"opt_created_folder": "Demo", "files": [
        {"source": "a.txt"}, {"source": "tree/inside.txt", "destination": "Common Etc"},
        {"source": ")" + outside.string() +
                                          R"("}]})",
                                      folder);
    BMessage config;
    BuildConfiguration(manifest, 0, config);
    BMessage instructions, record;
    ASSERT_EQ(config.FindMessage("install_instructions", &instructions), B_OK);
    std::vector<std::string> names;
    for (int32 i = 0; instructions.FindMessage("install_file", i, &record) == B_OK; i++) {
        const char* name = nullptr;
        ASSERT_EQ(record.FindString("file_name", &name), B_OK);
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "tree/inside.txt", "outside.txt"}));
}

TEST(NearestName, OffersOnlyCloseNames) {
    std::vector<std::string> names = {"Common Bin", "Common Boot", "User Bin", "Desktop"};
    EXPECT_EQ(DidYouMean("Common Bins", names), "; did you mean 'Common Bin'?");
    EXPECT_EQ(DidYouMean("COMMON BIN", names), "; did you mean 'Common Bin'?");
    EXPECT_EQ(DidYouMean("desktp", names), "; did you mean 'Desktop'?");
    EXPECT_EQ(DidYouMean("Trash", names), "");
    EXPECT_EQ(DidYouMean("", names), "");
}

namespace {

// A square PNG header of the given side (the rest of the file does not matter here).
std::string PngHeader(uint32_t width, uint32_t height) {
    std::string bytes = "\x89PNG\r\n\x1a\n";
    bytes += std::string("\0\0\0\x0d", 4) + "IHDR";
    for (uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += char((value >> shift) & 0xff);
    return bytes + std::string(8, '\0');
}

class DesktopEntryManifestTest : public StrictManifestTest {
protected:
    void SetUp() override {
        StrictManifestTest::SetUp();
        WriteFile(folder / "app" / "bin" / "tool", "#!/bin/sh\n");
        chmod((folder / "app" / "bin" / "tool").c_str(), 0755);
        WriteFile(folder / "icon.svg", "<?xml version=\"1.0\"?>\n<svg/>\n");
        WriteFile(folder / "icon48.png", PngHeader(48, 48));
        WriteFile(folder / "icon50.png", PngHeader(50, 50));
        WriteFile(folder / "wide.png", PngHeader(64, 48));
    }
    std::string EntryError(const std::string& entry) {
        return ErrorOf(
            R"("files": [{"source": "app"}, {"source": "a.txt"}], "desktop_entries": [)" + entry +
            "]");
    }
};

} // namespace

TEST_F(DesktopEntryManifestTest, EntriesThatCouldNotWorkAreRefused) {
    EXPECT_EQ(EntryError(R"({"name": "Tool", "exec": "app/bin/tol"})"),
              "desktop_entries[0].exec: 'app/bin/tol' is not a file");
    EXPECT_NE(EntryError(R"({"name": "Tool", "exec": "elsewhere/tool"})")
                  .find("desktop_entries[0].exec: 'elsewhere/tool' is neither an item"),
              std::string::npos);
    EXPECT_EQ(EntryError(R"({"name": "Tool", "exec": "a.txt"})"),
              "desktop_entries[0].exec: 'a.txt' is not executable");
    EXPECT_NE(EntryError(R"({"name": "Tool", "exec": "app/bin/tool", "icon": "icon50.png"})")
                  .find("desktop_entries[0].icon: a PNG icon of 50x50 pixels"),
              std::string::npos);
    EXPECT_EQ(EntryError(R"({"name": "Tool", "exec": "app/bin/tool", "icon": "wide.png"})"),
              "desktop_entries[0].icon: a PNG icon must be square");
    EXPECT_NE(EntryError(R"({"name": "Tool", "exec": "app/bin/tool", "icon": "a.txt"})")
                  .find("is neither a PNG nor an SVG image"),
              std::string::npos);
    EXPECT_EQ(EntryError(R"({"name": "Tool", "exec": "app/bin/tool", "categories": ["Utilty"]})"),
              "desktop_entries[0].categories[0]: 'Utilty' is no registered menu category; did "
              "you mean 'Utility'?");
    EXPECT_EQ(EntryError(R"({"name": "Tool", "exec": "app/bin/tool", "termnal": true})"),
              "desktop_entries[0].termnal: unknown key; did you mean 'terminal'?");
    EXPECT_NE(EntryError(R"({"name": "Tool", "exec": "app/bin/tool"},
                            {"name": "Tool", "exec": "app/bin/tool"})")
                  .find("desktop_entries[1].name"),
              std::string::npos);
    EXPECT_NE(EntryError(R"({"name": "deinstaller", "exec": "app/bin/tool"})")
                  .find("desktop_entries[0].name"),
              std::string::npos);
    EXPECT_NE(ErrorOf(R"("deinstaller_menu_entry": "yes")").find("deinstaller_menu_entry"),
              std::string::npos);
}

TEST_F(DesktopEntryManifestTest, AnEntryIsStoredWithItsProgramItemAndIcon) {
    Manifest manifest = ParseManifest(
        R"({"opt_created_folder": "My Tool 2", "deinstaller_menu_entry": false,
            "files": [{"source": "a.txt"}, {"source": "app"}],
            "desktop_entries": [
              {"name": "Tool", "exec": "app/bin/tool", "icon": "icon48.png", "comment": "c",
               "categories": ["Utility", "X-Own"], "terminal": true, "args": ["%f"]},
              {"name": "Tool SVG", "exec": "app/bin/tool", "icon": "icon.svg"}]})",
        folder);
    BMessage config;
    BuildConfiguration(manifest, 0, config);
    BMessage entries, entry;
    ASSERT_EQ(config.FindMessage("desktop_entries", &entries), B_OK);
    ASSERT_EQ(entries.FindMessage("desktop_entry", 0, &entry), B_OK);
    const char* text = nullptr;
    entry.FindString("entry_id", &text);
    EXPECT_STREQ(text, "My_Tool_2-Tool");
    int32 item = -1;
    entry.FindInt32("entry_item", &item);
    EXPECT_EQ(item, 1);
    entry.FindString("entry_path", &text);
    EXPECT_STREQ(text, "bin/tool");
    int32 side = 0;
    entry.FindInt32("entry_icon_size", &side);
    EXPECT_EQ(side, 48);
    const void* icon = nullptr;
    ssize_t iconBytes = 0;
    ASSERT_EQ(entry.FindData("entry_icon", B_RAW_TYPE, &icon, &iconBytes), B_OK);
    EXPECT_EQ(std::string(static_cast<const char*>(icon), size_t(iconBytes)), PngHeader(48, 48));
    ASSERT_EQ(entries.FindMessage("desktop_entry", 1, &entry), B_OK);
    entry.FindString("entry_icon_type", &text);
    EXPECT_STREQ(text, "svg");
    bool offered = true;
    EXPECT_EQ(config.FindBool("deinstaller_menu_entry", &offered), B_OK);
    EXPECT_FALSE(offered);
    EXPECT_EQ(DesktopEntryId("7 Days", "Tool"), "_7_Days-Tool");
}
