// The installer window's choices as a user makes them with the mouse and keyboard: files
// added with a click, a new folder named in the folder panel, the user's language, and what
// a desktop shows of the windows. Bare and under a window manager, with screenshots kept
// for people to look at.
#include <gtest/gtest.h>

#include "platform/storage/Node.h"
#include "platform/support/TypeConstants.h"
#include "support/TreeSnapshot.h"

#include "GuiDriver.h"

using namespace tarnw::test::gui;

namespace {

constexpr int kFolderButtonX = 187, kFolderButtonY = 197;
// The middle of file row `row` (the list starts at (267,43) in the window).
constexpr int kFileX = 327, kFirstFileY = 52, kFileRowHeight = 18;
const char* const kPanelTitle = "Choose a folder";

// The language kept on the installer file (empty: none).
std::string StoredLanguage(const fs::path& file) {
    char buffer[16] = "";
    ssize_t length = BNode(file.c_str()).ReadAttr("language", B_STRING_TYPE, 0, buffer, 15);
    return length > 0 ? std::string(buffer, size_t(length)) : std::string();
}

bool WithWindowManager(Display& display, bool managed) {
    return !managed || display.StartWindowManager();
}

// Waits for the completion message, answers it and the run's end.
void FinishRun(Display& display, InstallerRun& run) {
    XWindow done;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &done, 30)) << ReadFile(run.output);
    display.Key(done, "Return");
    ASSERT_EQ(run.child->Wait(std::chrono::seconds(30)), 0) << ReadFile(run.output);
}

void ClickAddsAFile(Display& display, const std::string& shots) {
    fs::path installer = BuildInstaller();
    ForgetEarlierInstallations();
    InstallerRun run = StartInstaller(display, installer);
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    display.Click(window, kButtonX, kButtonY); // Agree; "Typical" has the program only
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Screenshot(display, shots + "-1-typical");
    // A plain click on the manual adds it; the program stays.
    display.Click(window, kFileX, kFirstFileY + kFileRowHeight);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Screenshot(display, shots + "-2-manual-added");
    display.Click(window, kButtonX, kButtonY); // Install
    FinishRun(display, run);
    EXPECT_TRUE(fs::is_regular_file(StandardFolder(B_APPS_DIRECTORY) / "Clicky" / "clicky"));
    EXPECT_TRUE(fs::is_regular_file(StandardFolder(B_COMMON_DOCUMENTATION_DIRECTORY) / "Clicky" /
                                    "readme.txt"));
}

void NewFolderAsksForItsName(Display& display, const std::string& shots) {
    fs::path installer = BuildInstaller();
    ForgetEarlierInstallations();
    fs::path applications = StandardFolder(B_APPS_DIRECTORY);
    fs::path parent = applications.parent_path();
    auto look = [&] { return tarnw::test::TreeSnapshot::Take({parent}); };
    InstallerRun run = StartInstaller(display, installer);
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    display.Click(window, kButtonX, kButtonY); // Agree
    auto before = look();

    // The panel shows the destination selected in its folder.
    display.Click(window, kFolderButtonX, kFolderButtonY);
    XWindow panel;
    ASSERT_TRUE(display.WaitForWindow(kPanelTitle, &panel)) << ReadFile(run.output);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Screenshot(display, shots + "-1-panel-on-destination");
    // New Folder asks for the name; Escape cancels the question and makes nothing.
    constexpr int kNewFolderX = 67, kNewFolderY = 326;
    display.Click(panel, kNewFolderX, kNewFolderY);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Screenshot(display, shots + "-2-asks-for-a-name");
    display.Key(panel, "Escape");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    auto after = look();
    EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
    XWindow still;
    EXPECT_TRUE(display.WaitForWindow(kPanelTitle, &still, 2)) << "Escape closed the panel";

    // Named and made, it is shown, and Select takes it.
    display.Click(panel, kNewFolderX, kNewFolderY);
    display.Xdotool({"type", "--delay", "20", "Games"});
    display.Key(panel, "Return");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Screenshot(display, shots + "-3-made");
    EXPECT_TRUE(fs::is_directory(parent / "Games"));
    display.Key(panel, "Return");
    ASSERT_TRUE(display.WaitUntilGone(kPanelTitle));
    display.Click(window, kButtonX, kButtonY); // Install
    FinishRun(display, run);
    EXPECT_TRUE(fs::is_regular_file(parent / "Games" / "Clicky" / "clicky"));
    fs::remove_all(parent / "Games");
}

// Packs "ClickyInstaller" from `folder`, whose menu entry's icon is the file `icon` there.
fs::path PackClickyWithIcon(const fs::path& folder, const std::string& icon) {
    WriteFile(folder / "clicky", "#!/bin/sh\necho clicky\n");
    fs::permissions(folder / "clicky", fs::perms(0755));
    WriteFile(folder / "manifest.json", R"({
  "app_name": "Clicky", "version": "2.0", "opt_created_folder": "Clicky",
  "opt_default_folder": "Applications",
  "groups": [{"name": "Typical", "description": "The program itself"}],
  "desktop_entries": [{"name": "Clicky", "exec": "clicky", "icon": ")" +
                                            icon + R"("}],
  "files": [{"source": "clicky", "groups": ["Typical"]}]
})");
    fs::path installer = Sandbox::MakeFolder("installer") / "ClickyInstaller";
    auto built = tarnw::test::PackInstaller(folder / "manifest.json", installer);
    EXPECT_EQ(built.status, 0) << built.output;
    ForgetEarlierInstallations();
    return built.status == 0 ? installer : fs::path();
}

} // namespace

class GuiWindowChoices : public ::testing::TestWithParam<bool> {};

TEST_P(GuiWindowChoices, AClickAddsAFileAndTheRunInstallsWhatTheMarksShow) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (!WithWindowManager(display, GetParam()))
        GTEST_SKIP() << "openbox, xprop and xwininfo are needed";
    ClickAddsAFile(display, GetParam() ? "openbox" : "bare");
}

TEST_P(GuiWindowChoices, NewFolderAsksForItsNameAndSelectTakesIt) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (!WithWindowManager(display, GetParam()))
        GTEST_SKIP() << "openbox, xprop and xwininfo are needed";
    NewFolderAsksForItsName(display, GetParam() ? "openbox" : "bare");
}

TEST_P(GuiWindowChoices, TheLocaleGivesAGermanWindowAndStoresNothing) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (!WithWindowManager(display, GetParam()))
        GTEST_SKIP() << "openbox, xprop and xwininfo are needed";
    fs::path installer = BuildInstaller();
    ForgetEarlierInstallations();
    fs::create_directories(StandardFolder(B_APPS_DIRECTORY) / "Clicky");
    InstallerRun run = StartInstaller(display, installer, {"LANG=de_DE.UTF-8"});
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Screenshot(display, std::string(GetParam() ? "openbox" : "bare") + "-german");
    display.Click(window, kButtonX, kButtonY); // Zustimmen
    XWindow alert;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &alert)) << ReadFile(run.output);
    display.Key(alert, "Return");
    run.child->Signal(SIGTERM);
    EXPECT_EQ(run.child->Wait(std::chrono::seconds(30)), 7) << ReadFile(run.output);
    auto alerts = Alerts(Transcript(run.transcript));
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0]["text"], "Der Ordner 'Clicky' existiert bereits im Zielordner.");
    // The locale chose for this run only.
    EXPECT_NE(StoredLanguage(installer), "de");
}

TEST_P(GuiWindowChoices, WindowsCarryTheProductsNameAndIcon) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (FindProgram("xprop").empty() || FindProgram("convert").empty())
        GTEST_SKIP() << "xprop and ImageMagick are needed";
    if (!WithWindowManager(display, GetParam()))
        GTEST_SKIP() << "openbox, xprop and xwininfo are needed";
    // The package brings a menu entry with a 32-pixel icon.
    fs::path folder = Sandbox::MakeFolder("package");
    display.Run({"convert", "-size", "32x32", "xc:#d02020", (folder / "clicky.png").string()});
    ASSERT_TRUE(fs::exists(folder / "clicky.png"));
    fs::path installer = PackClickyWithIcon(folder, "clicky.png");
    ASSERT_FALSE(installer.empty());
    InstallerRun run = StartInstaller(display, installer);
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Screenshot(display, std::string(GetParam() ? "openbox" : "bare") + "-description-line");

    std::string windowClass = display.Property(window.id, "WM_CLASS");
    EXPECT_NE(windowClass.find("= \"Clicky\", \"Clicky\""), std::string::npos) << windowClass;
    std::string pid = display.Xdotool({"getwindowpid", window.id});
    EXPECT_GT(std::atoi(pid.c_str()), 0) << pid;
    std::string icon = display.Property(window.id, "_NET_WM_ICON");
    // 32 by 32, opaque red.
    EXPECT_NE(icon.find("Icon (32 x 32)"), std::string::npos) << icon.substr(0, 200);
    // Alerts are the program's windows too.
    display.Click(window, kButtonX, kButtonY); // Install (no licence)
    XWindow done;
    ASSERT_TRUE(display.WaitForWindow("Clicky", &done, 30)) << ReadFile(run.output);
    std::string alertClass = display.Property(done.id, "WM_CLASS");
    EXPECT_NE(alertClass.find("\"Clicky\""), std::string::npos) << alertClass;
    EXPECT_EQ(display.Xdotool({"getwindowpid", done.id}), pid);
    display.Key(done, "Return");
    EXPECT_EQ(run.child->Wait(std::chrono::seconds(30)), 0) << ReadFile(run.output);
}

TEST(GuiWindowIcon, AnSvgIconIsDrawnIntoTheWindowsIcon) {
    Display display;
    REQUIRE_PRIVATE_DISPLAY(display);
    if (FindProgram("xprop").empty())
        GTEST_SKIP() << "xprop is needed";
    fs::path folder = Sandbox::MakeFolder("package");
    WriteFile(folder / "clicky.svg", R"(<?xml version="1.0"?>
<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
  <rect x="2" y="2" width="12" height="12" fill="#2040d0"/>
</svg>
)");
    fs::path installer = PackClickyWithIcon(folder, "clicky.svg");
    ASSERT_FALSE(installer.empty());
    InstallerRun run = StartInstaller(display, installer);
    XWindow window;
    ASSERT_TRUE(display.WaitForWindow("ClickyInstaller", &window)) << ReadFile(run.output);
    std::string icon = display.Property(window.id, "_NET_WM_ICON");
    EXPECT_NE(icon.find("Icon (128 x 128)"), std::string::npos) << icon.substr(0, 200);
    display.Click(window, kButtonX, kButtonY); // Install (no licence)
    FinishRun(display, run);
}

INSTANTIATE_TEST_SUITE_P(BareAndUnderOpenbox, GuiWindowChoices, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "UnderOpenbox" : "Bare";
                         });

TEST(ConsoleLanguage, TheLocaleGivesAGermanConsole) {
    fs::path installer = BuildInstaller();
    auto run =
        RunProgram({installer.string()}, "q\n", {"TARNW_FRONTEND=console", "LANG=de_DE.UTF-8"});
    EXPECT_EQ(run.status, 6) << run.output;
    EXPECT_NE(run.output.find("== Lizenz =="), std::string::npos) << run.output;
    EXPECT_NE(StoredLanguage(installer), "de");
}
