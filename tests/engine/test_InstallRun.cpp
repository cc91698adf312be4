// The installation run end to end, on installers built in the test.

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

#include "EngineTestSupport.h"
#include "InstallRunFixture.h"
#include "engine/InstallConfig.h"
#include "engine/InstalledRecord.h"
#include "files/LibAppResource.h"
#include "files/LibNode.h"
#include "lib/LibString.h"
#include "platform/storage/File.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "platform/storage/Resources.h"
#include "support/Sandbox.h"

using namespace engine_test;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

const char* kIdentity = "Tool;1.0;2026-12-01;Maker;help@example.com;";

std::string InstallBy(const fs::path& path) {
    return InstallByOf(path);
}

BMessage ResourceMessage(const fs::path& file, int32 id) {
    LibAppResource resources(file.c_str(), uint32(B_READ_ONLY));
    size_t size = 0;
    void* data = resources.FindResource(B_STRING_TYPE, id, &size);
    BMessage message;
    if (data != nullptr) {
        EXPECT_EQ(message.Unflatten(static_cast<const char*>(data), size), B_OK);
        free(data);
    }
    return message;
}

std::vector<std::string> Strings(const BMessage& message, const char* name) {
    std::vector<std::string> values;
    const char* value = nullptr;
    for (int32 i = 0; message.FindString(name, i, &value) == B_OK; i++)
        values.push_back(value);
    return values;
}

class InstallRunTest : public InstallFixture {};

} // namespace

// Where each item went goes into the records once its last item is handled: for an item
// that did not reach its own folder too, never for an item left out, and not at all when
// the run is stopped before its end.
TEST_F(InstallRunTest, WhereItemsWentIsWrittenBackAfterTheLastItem) {
    fs::path kept = MakeTree("a", {{"kept.txt", "kept"}}) / "kept.txt";
    fs::path lost = MakeTree("b", {{"lost.txt", "lost"}}) / "lost.txt";
    fs::path left = MakeTree("c", {{"left.txt", "left"}}) / "left.txt";
    package.AddItem(kept, Meta("User Selected"));
    package.AddItem(lost, Meta("No Such Folder"));
    package.AddItem(left, Meta("User Selected"));
    auto fileName = [this](int32 index) {
        BMessage record;
        EXPECT_TRUE(engine->GetInstallFile(index, record));
        return std::string(record.GetString("file_name", ""));
    };

    ASSERT_EQ(Run({true, true, false}), kInstallIncomplete);
    EXPECT_EQ(fileName(0), (Folder() / "kept.txt").string());
    EXPECT_EQ(fileName(1), (Folder() / "lost.txt").string()); // where it was unpacked
    EXPECT_EQ(fileName(2), "/build/machine/left.txt");
    EXPECT_TRUE(engine->IsMarkedForInstall(1));
    EXPECT_FALSE(engine->IsMarkedForInstall(2));
    EXPECT_EQ(engine->FindInstallFile("lost.txt"), 1);

    // Stopped while the second item is placed: the third is not, and nothing is written back.
    beforeRun = [](InstallConfig& run) {
        run.SetStatusListener([&run](const char* text) {
            if (std::string(text).rfind("Installing 2 of", 0) == 0)
                run.RequestStop();
        });
    };
    package.AddItem(MakeTree("d", {{"last.txt", "last"}}) / "last.txt", Meta("User Selected"));
    ASSERT_EQ(Run({true, false, true, true}), kInstallStopped);
    EXPECT_FALSE(fs::exists(Folder() / "last.txt"));
    EXPECT_EQ(fileName(0), "/build/machine/kept.txt");
    EXPECT_EQ(fileName(2), "/build/machine/left.txt");
}

TEST_F(InstallRunTest, PlacesItemsWritesTheLogAndLeavesTheDeinstaller) {
    fs::path file = MakeTree("a", {{"readme.txt", "read me"}}) / "readme.txt";
    fs::path skipped = MakeTree("b", {{"skipped.txt", "not me"}}) / "skipped.txt";
    fs::path docs =
        MakeTree("c", {{"docs/guide.txt", "guide"}, {"docs/img/logo.txt", "logo"}}) / "docs";
    package.config.AddString("complete_comments", "Thanks 100%");
    package.AddCustomFolder("Manuals", 3000, "Product/Manuals", true);
    package.AddItem(file, Meta("User Selected"));
    package.AddItem(skipped, Meta("User Selected"));
    package.AddItem(docs, Meta("Manuals", "Replace", "User Selected"));

    ASSERT_EQ(Run({true, false, true}), kInstallFinished);

    // Payloads follow the record index; the ordinal counts selected items only.
    EXPECT_EQ(ReadFile(Folder() / "readme.txt"), "read me");
    EXPECT_FALSE(fs::exists(Folder() / "skipped.txt"));
    fs::path manuals = fs::path(StdFolder(B_USER_DIRECTORY)) / "Product/Manuals";
    EXPECT_EQ(ReadFile(manuals / "docs/img/logo.txt"), "logo");
    EXPECT_TRUE(fs::is_symlink(Folder() / "docs"));
    EXPECT_EQ(fs::read_symlink(Folder() / "docs"), manuals / "docs");
    EXPECT_EQ(ui.frontend.statuses.size(), 0u); // statuses go to the messenger, not here

    // Deinstall tags on the items and everything inside the folder.
    EXPECT_EQ(InstallBy(Folder() / "readme.txt"), kIdentity);
    EXPECT_EQ(InstallBy(manuals / "docs"), kIdentity);
    EXPECT_EQ(InstallBy(manuals / "docs/img/logo.txt"), kIdentity);

    // Installed paths are written back into the records.
    BMessage record;
    ASSERT_TRUE(engine->GetInstallFile(2, record));
    const char* installed = nullptr;
    record.FindString("file_name", &installed);
    EXPECT_EQ(fs::path(installed), manuals / "docs");

    // The deinstaller with its configuration, language and list of what was installed.
    fs::path deinstaller = Folder() / "Tool 1.0 Deinstaller";
    ASSERT_TRUE(fs::exists(deinstaller));
    BMessage configuration = ResourceMessage(deinstaller, 2002);
    EXPECT_EQ(Strings(configuration, "app_name"), std::vector<std::string>{"Tool"});
    EXPECT_EQ(Strings(configuration, "support_email"),
              std::vector<std::string>{"help@example.com"});
    bool bootscript = true;
    EXPECT_EQ(configuration.FindBool("edit_bootscript", &bootscript), B_OK);
    EXPECT_FALSE(bootscript);
    EXPECT_FALSE(configuration.HasString("edit_bootscript_tag"));
    LibNode node(deinstaller.c_str());
    LibString language;
    EXPECT_EQ(node.ReadStringAttr("language", language), 2);
    EXPECT_STREQ(language, "en");
    EXPECT_EQ(InstallBy(deinstaller), "");
    // The list lies beside the program, which carries only what was known when it was
    // written.
    BMessage installedList;
    std::string error;
    ASSERT_TRUE(InstalledRecord::Read(deinstaller, installedList, error)) << error;
    EXPECT_EQ(fs::path(InstalledRecord::PathFor(deinstaller)).parent_path(), Folder());
    EXPECT_FALSE(ResourceMessage(deinstaller, kInstalledResourceId).HasString("path"));
    std::vector<std::string> paths = Strings(installedList, "path");
    ASSERT_GE(paths.size(), 5u);
    EXPECT_EQ(paths.front(), (Folder() / "readme.txt").string());
    EXPECT_EQ(paths.back(), (Folder() / "docs").string());

    // The log, line by line; the system line and the times vary.
    std::vector<std::string> log = Lines(LogText());
    std::vector<std::string> expected = {
        "",
        "APPLICATION",
        "\tApplication : Tool",
        "\tVersion : 1.0",
        "\tRelease Date : 2026-12-01",
        "\tCompany : Maker",
        "\tSupport Email : help@example.com",
        "",
        "ABOUT THIS SYSTEM",
        "*",
        "*",
        "",
        "INSTALLER REQUIREMENTS",
        "\tDisk Space Needed: No",
        "\tPhysical RAM Needed: No",
        "\tBoot Volume Only: No",
        "\tRemovable Volume Allowed: No",
        "\tShared Volume Allowed: No",
        "\tShared Libraries:",
        "\tDependent Applications:",
        "",
        "INSTALLATION",
        "*",
        "\tIn folder " + Folder().string() + ".",
        "",
        "*",
        "\t\tInstalling : readme.txt",
        "\t\tInstalling : docs",
        "\t\t\tPlaced in " + manuals.string(),
        "\t\t\tPlaced a link in " + Folder().string(),
        "*",
    };
    ASSERT_EQ(log.size(), expected.size()) << LogText();
    for (size_t i = 0; i < log.size(); i++) {
        if (expected[i] != "*") {
            EXPECT_EQ(log[i], expected[i]) << "line " << i;
        }
    }
    EXPECT_EQ(log[9].rfind("\tAT Clone", 0) == 0 || log[9].rfind("\tUnknown", 0) == 0, true);
    EXPECT_EQ(log[10].rfind("\tFree Disk Space : ", 0), 0u);
    EXPECT_EQ(log[25].rfind("\tInstallation Started: ", 0), 0u);
    EXPECT_EQ(log.back().rfind("\tInstallation Complete: ", 0), 0u);

    // The completion message shows the comments literally.
    EXPECT_EQ(LastAlert().text, "Installation successfully completed.\n\nThanks 100%");
    EXPECT_EQ(LastAlert().icon, FrontendIcon::Info);
    EXPECT_FALSE(engine->RestartRequested());
}

TEST_F(InstallRunTest, StatusTextsInOrder) {
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    fs::path b = MakeTree("b", {{"b", "2"}}) / "b";
    package.AddItem(a, Meta("User Selected"));
    package.AddItem(b, Meta("User Selected"));
    fs::path installer = package.Build();
    InstallConfig config;
    config.SetInstallerPath(installer.c_str());
    BFile file(installer.c_str(), B_READ_ONLY);
    BResources resources;
    resources.SetTo(&file);
    ASSERT_TRUE(config.LoadConfiguration(resources));
    config.MarkInstallFile(int32(0), true);
    config.MarkInstallFile(int32(1), true);
    config.SetDestinationPath(destination.c_str());
    std::vector<std::string> statuses;
    config.SetStatusListener([&](const char* text) { statuses.push_back(text); });
    ASSERT_EQ(config.Go("install", std::nullopt, 10, true), B_OK);
    EXPECT_EQ(config.LastResult(), kInstallFinished);
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"Checking System Resources...", "Creating deinstaller...",
                                        "Installing 1 of 2 (a)", "Installing 2 of 2 (b)",
                                        "Installation Complete"}));
}

TEST_F(InstallRunTest, NothingSelectedStillMakesTheFolderAndCompletes) {
    package.config.AddBool("opt_include_deinstall", false);
    package.config.ReplaceBool("opt_log", false);
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    package.AddItem(a, Meta("User Selected"));
    ASSERT_EQ(Run({false}), kInstallFinished);
    EXPECT_TRUE(fs::is_directory(Folder()));
    EXPECT_FALSE(fs::exists(Folder() / "Log"));
    EXPECT_FALSE(fs::exists(Folder() / "Tool 1.0 Deinstaller"));
    EXPECT_FALSE(fs::exists(Folder() / "a"));
    EXPECT_EQ(LastAlert().text, "Installation successfully completed.");
}

TEST_F(InstallRunTest, SecondRunMovesTheOldFolderToTheTrash) {
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    package.AddItem(a, Meta("User Selected", "Replace", "None", "Replace", "False"));
    fs::create_directories(Folder());
    WriteFile(Folder() / "old.txt", "old");
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_FALSE(fs::exists(Folder() / "old.txt"));
    fs::path trash = StdFolder(B_TRASH_DIRECTORY);
    EXPECT_EQ(ReadFile(trash / "Tool" / "old.txt"), "old");
    EXPECT_EQ(InstallBy(Folder() / "a"), "");
    EXPECT_NE(LogText().find("\t\t\tThis file will not be removed by the de-installer\n"),
              std::string::npos);
}

TEST_F(InstallRunTest, UnusableInstallationFolderNameIsRefused) {
    package.config.ReplaceString("opt_created_folder", "..");
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    package.AddItem(a, Meta("User Selected"));
    WriteFile(destination / "mine.txt", "keep");
    ASSERT_EQ(Run(), kInstallNoFolder);
    EXPECT_EQ(LastAlert().text,
              "Unable to create installation folder '..'. Unable to install files.");
    EXPECT_EQ(LastAlert().icon, FrontendIcon::Stop);
    EXPECT_EQ(ReadFile(destination / "mine.txt"), "keep");
}

TEST_F(InstallRunTest, MissingDestinationFails) {
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    package.AddItem(a, Meta("User Selected"));
    destination = destination / "gone";
    ASSERT_EQ(Run(), kInstallNoFolder);
    EXPECT_EQ(LastAlert().text,
              "Failure to find selected installation folder. Unable to install files.");
}

TEST_F(InstallRunTest, ItemsThatCannotBeInstalledAreReported) {
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    fs::path b = MakeTree("b", {{"b", "2"}}) / "b";
    package.AddItem(a, Meta("User Selected"), false);
    package.AddItem(b, Meta("Nowhere Special"));
    // The list of what failed, then the choice: Keep.
    ui.frontend.Answer(0);
    ui.frontend.Answer(1);
    ASSERT_EQ(Run(), kInstallIncomplete);
    ASSERT_EQ(engine->Failures().size(), 2u);
    const auto& requests = ui.frontend.requests;
    ASSERT_GE(requests.size(), 2u);
    const FrontendRequest& report = requests[requests.size() - 2];
    EXPECT_EQ(report.icon, FrontendIcon::Warning);
    EXPECT_EQ(report.text,
              "The installation could not be completed. These items were not installed:\n\na\nb"
              "\n\nThe log in " +
                  Folder().string() + " tells more.");
    EXPECT_EQ(LastAlert().answerKey, "on_failure");
    EXPECT_EQ(LastAlert().buttons, (std::vector<std::string>{"Undo", "Keep"}));
    EXPECT_NE(LogText().find("\t\t\tNot installed: the package holds no data for it\n"),
              std::string::npos);
    EXPECT_NE(LogText().find("\t\t\tNot installed: its destination 'Nowhere Special' is no "
                             "known folder\n"),
              std::string::npos);
    // The item that could not be placed stays in the installation folder.
    EXPECT_EQ(ReadFile(Folder() / "b"), "2");
}

// Small items that stay where they are unpacked are written while the run goes on; the run
// still ends only when they are all in place, and one that fails is reported like any
// other: here a file item that cannot take the place of an earlier folder item of its name.
TEST_F(InstallRunTest, ItemsWrittenWhileTheRunGoesOnAreAllInPlaceOrReportedAtItsEnd) {
    package.AddItem(MakeTree("data", {{"Data/inner", "in"}}) / "Data", Meta("User Selected"));
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) {
        std::string name = "f" + std::to_string(100 + i);
        names.push_back(name);
        package.AddItem(MakeTree(name, {{name, "contents of " + name}}) / name,
                        Meta("User Selected"));
        if (i == 20)
            package.AddItem(MakeTree("clash", {{"Data", "a file"}}) / "Data",
                            Meta("User Selected"));
    }
    ui.frontend.Answer(0); // the list of what failed: OK
    ui.frontend.Answer(1); // Keep
    ASSERT_EQ(Run(), kInstallIncomplete);
    ASSERT_EQ(engine->Failures().size(), 1u);
    EXPECT_EQ(engine->Failures()[0].rfind("Data: it could not be extracted (", 0), 0u)
        << engine->Failures()[0];
    EXPECT_EQ(ReadFile(Folder() / "Data" / "inner"), "in");
    for (const std::string& name : names) {
        EXPECT_EQ(ReadFile(Folder() / name), "contents of " + name);
        EXPECT_EQ(InstallBy(Folder() / name), kIdentity);
    }
    // Nothing else is left in the folder: no temporary name, no half-written file.
    std::vector<std::string> left, expected = names;
    for (const auto& entry : fs::directory_iterator(Folder()))
        left.push_back(entry.path().filename());
    expected.insert(expected.end(),
                    {"Data", "Log", "Tool 1.0 Deinstaller", ".Tool 1.0 Deinstaller.tarnw-record"});
    std::sort(left.begin(), left.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);

    // The deinstaller's list names the folder item once and every file item.
    BMessage installedList;
    std::string error;
    ASSERT_TRUE(InstalledRecord::Read(Folder() / "Tool 1.0 Deinstaller", installedList, error))
        << error;
    std::vector<std::string> paths = Strings(installedList, "path");
    EXPECT_EQ(std::count(paths.begin(), paths.end(), (Folder() / "Data").string()), 1);
    for (const std::string& name : names)
        EXPECT_EQ(std::count(paths.begin(), paths.end(), (Folder() / name).string()), 1) << name;
}

// The end of a partial installation speaks the user's language, and a package that needs
// a restart still offers it: what was placed may need it.
TEST_F(InstallRunTest, APartialInstallationEndsInTheUsersLanguageAndOffersTheRestart) {
    package.config.AddBool("complete_restart", true);
    package.AddItem(MakeTree("a", {{"a", "1"}}) / "a", Meta("User Selected"));
    package.AddItem(MakeTree("b", {{"b", "2"}}) / "b", Meta("Nowhere Special"));
    language = "de";
    ui.frontend.Answer(0); // the warning: OK
    ui.frontend.Answer(1); // Restart Now
    ui.frontend.Answer(1); // Keep
    ASSERT_EQ(Run(), kInstallIncomplete);
    ASSERT_GE(ui.frontend.requests.size(), 3u);
    const FrontendRequest& warning = ui.frontend.requests[ui.frontend.requests.size() - 3];
    EXPECT_EQ(warning.icon, FrontendIcon::Warning);
    EXPECT_EQ(warning.text, "Die Installation konnte nicht abgeschlossen werden. Diese Elemente "
                            "wurden nicht installiert:\n\nb\n\nDas Protokoll in " +
                                Folder().string() + " enthält weitere Einzelheiten.");
    const FrontendRequest& restart = ui.frontend.requests[ui.frontend.requests.size() - 2];
    EXPECT_EQ(restart.text,
              "Das System muss neu gestartet werden, damit die Installation wirksam wird.");
    EXPECT_EQ(restart.buttons,
              (std::vector<std::string>{"Später neu starten", "Jetzt neu starten"}));
    EXPECT_TRUE(engine->RestartRequested());
}

TEST_F(InstallRunTest, AnIncompleteRunIsUndoneUnlessTheUserKeepsIt) {
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    fs::path b = MakeTree("b", {{"b", "2"}}) / "b";
    package.AddItem(a, Meta("User Selected"));
    package.AddItem(b, Meta("Nowhere Special"));
    ASSERT_EQ(Run(), kInstallIncomplete);
    // Unanswered, the choice is its first button: everything the run made is gone.
    EXPECT_EQ(LastAlert().buttons.front(), "Undo");
    EXPECT_TRUE(fs::is_empty(destination)) << fs::directory_iterator(destination)->path();
}

TEST_F(InstallRunTest, LinkInTheItemsOwnPlaceIsSkipped) {
    fs::path a = MakeTree("a", {{"tool", "binary"}}) / "tool";
    package.AddItem(a, Meta("User Selected", "Replace", "User Selected"));
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_FALSE(fs::is_symlink(Folder() / "tool"));
    EXPECT_EQ(ReadFile(Folder() / "tool"), "binary");
    // Nobody was asked, so nobody declined.
    EXPECT_EQ(LogText().find("User desired not to place a link"), std::string::npos);
}

TEST_F(InstallRunTest, CustomFolderIsClearedOnceIntoSavedFiles) {
    package.config.AddBool("opt_save_replaced", true);
    package.AddCustomFolder("Docs", 3000, "Product", true);
    package.AddCustomFolder("Docs", 3000, "Other", false);
    fs::path product = fs::path(StdFolder(B_USER_DIRECTORY)) / "Product";
    WriteFile(product / "old.txt", "old");
    fs::path a = MakeTree("a", {{"a.txt", "1"}}) / "a.txt";
    fs::path b = MakeTree("b", {{"b.txt", "2"}}) / "b.txt";
    package.AddItem(a, Meta("Docs"));
    package.AddItem(b, Meta("Docs"));
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(ReadFile(product / "a.txt"), "1");
    EXPECT_EQ(ReadFile(product / "b.txt"), "2");
    EXPECT_FALSE(fs::exists(product / "old.txt"));
    EXPECT_EQ(ReadFile(Folder() / "Saved Files" / "Product" / "old.txt"), "old");
    EXPECT_NE(LogText().find("\tReplaced files moved to " + (Folder() / "Saved Files").string()),
              std::string::npos);
}

TEST_F(InstallRunTest, StandardFolderIsNeverClearedItself) {
    // A definition without a sub folder names the standard folder itself.
    package.AddCustomFolder("Home", 3000, "", true);
    fs::path home = StdFolder(B_USER_DIRECTORY);
    WriteFile(fs::path(home) / "precious.txt", "mine");
    fs::path a = MakeTree("a", {{"a.txt", "1"}}) / "a.txt";
    package.AddItem(a, Meta("Home"));
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(ReadFile(fs::path(home) / "precious.txt"), "mine");
    EXPECT_EQ(ReadFile(fs::path(home) / "a.txt"), "1");
}

TEST_F(InstallRunTest, LongStatusTextsAreCut) {
    std::string name(150, 'n');
    fs::path a = MakeTree("a", {{name, "1"}}) / name;
    package.AddItem(a, Meta("User Selected"));
    fs::path installer = package.Build();
    InstallConfig config;
    config.SetInstallerPath(installer.c_str());
    BFile file(installer.c_str(), B_READ_ONLY);
    BResources resources;
    resources.SetTo(&file);
    ASSERT_TRUE(config.LoadConfiguration(resources));
    config.MarkInstallFile(int32(0), true);
    config.SetDestinationPath(destination.c_str());
    std::vector<std::string> statuses;
    config.SetStatusListener([&](const char* text) { statuses.push_back(text); });
    EXPECT_EQ(config.Action(), kInstallFinished);
    ASSERT_EQ(statuses.size(), 4u);
    EXPECT_EQ(statuses[2], ("Installing 1 of 1 (" + name).substr(0, 99));
    EXPECT_EQ(ReadFile(Folder() / name), "1");
}

TEST_F(InstallRunTest, UnsafeRecordNamesAreRefused) {
    fs::path a = MakeTree("a", {{"x", "1"}}) / "x";
    package.AddItem(a, Meta("User Selected"));
    BMessage record;
    package.instructions.FindMessage("install_file", 0, &record);
    record.ReplaceString("file_name", "/build/..");
    package.instructions.ReplaceMessage("install_file", 0, &record);
    ASSERT_EQ(Run(), kInstallIncomplete);
    EXPECT_EQ(engine->Failures().size(), 1u);
    EXPECT_FALSE(fs::exists(destination / "x"));
}

TEST(DeinstallTags, StayInsideTheTaggedTree) {
    fs::path outside = MakeTree("outside", {{"system.conf", "theirs"}}) / "system.conf";
    fs::path tree = MakeTree("tree", {{"pkg/file", "1"}, {"pkg/sub/deep", "2"}}) / "pkg";
    fs::create_symlink(outside, tree / "config-link");
    InstallConfig config;
    config.AddDeinstallTag(tree.c_str(), "First;");
    config.AddDeinstallTag(tree.c_str(), kIdentity);
    EXPECT_EQ(InstallBy(tree), kIdentity);
    EXPECT_EQ(InstallBy(tree / "sub/deep"), kIdentity);
    // The link is listed for the deinstaller, but what it points to is not tagged.
    EXPECT_EQ(InstallBy(outside), "");
    const std::vector<std::string>& tagged = config.TaggedPaths();
    EXPECT_NE(std::find(tagged.begin(), tagged.end(), (tree / "config-link").string()),
              tagged.end());
    config.AddDeinstallTag((tree / "missing").c_str(), kIdentity);
    EXPECT_EQ(std::count(tagged.begin(), tagged.end(), (tree / "missing").string()), 0);
}

TEST_F(InstallRunTest, FileSizeComesFromTheFirstRecordOfALeaf) {
    fs::path a = MakeTree("a", {{"same", "12345"}}) / "same";
    fs::path b = MakeTree("b", {{"same", "1"}}) / "same";
    package.AddItem(a, Meta("User Selected"));
    package.AddItem(b, Meta("User Selected"));
    fs::path installer = package.Build();
    InstallConfig config;
    BFile file(installer.c_str(), B_READ_ONLY);
    BResources resources;
    resources.SetTo(&file);
    ASSERT_TRUE(config.LoadConfiguration(resources));
    EXPECT_EQ(config.GetFileSize("same"), 5);
    EXPECT_EQ(config.GetFileSize("other"), 0);
}

// The same engine run again (the window's "try again") carries nothing of the run before:
// its failures, what it tagged and its answers are its own.
TEST_F(InstallRunTest, ARunAgainStartsFromNothingOfTheRunBefore) {
    fs::path a = MakeTree("a", {{"a", "1"}}) / "a";
    fs::path b = MakeTree("b", {{"b", "2"}}) / "b";
    package.AddItem(a, Meta("User Selected"));
    package.AddItem(b, Meta("Nowhere Special"));
    // The list of what failed, then the choice: Keep.
    ui.frontend.Answer(0);
    ui.frontend.Answer(1);
    ASSERT_EQ(Run(), kInstallIncomplete);
    ASSERT_EQ(engine->Failures().size(), 1u);
    std::string placed = (Folder() / "a").string();
    auto count = [&] {
        const std::vector<std::string>& tagged = engine->TaggedPaths();
        return std::count(tagged.begin(), tagged.end(), placed);
    };
    EXPECT_EQ(count(), 1);

    engine->MarkInstallFile(1, false);
    ASSERT_EQ(engine->Action(), kInstallFinished);
    EXPECT_TRUE(engine->Failures().empty());
    EXPECT_EQ(count(), 1);
    EXPECT_FALSE(engine->HasUnsettledRun());
    EXPECT_EQ(LogText().find("Not installed"), std::string::npos);
    EXPECT_EQ(ReadFile(Folder() / "a"), "1");
}
