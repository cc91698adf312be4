#include "GuiTestSupport.h"
#include "ImageCompare.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "GalleryWindow.h"
#include "platform/interface/Font.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/MenuBar.h"
#include "platform/interface/gui/MenuField.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/PopUpMenu.h"
#include "support/Sandbox.h"

extern char** environ;

namespace {

// Runs a program with an argument vector (never through a shell); answers its exit code.
int RunProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    // The toolkit must keep running while the program talks to the display.
    while (waitpid(pid, &status, WNOHANG) == 0)
        GuiHost::RunOnce(5000);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::string paths = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= paths.size()) {
        size_t end = paths.find(':', start);
        std::string dir =
            paths.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

Image Capture(BWindow* window) {
    Image image;
    EXPECT_TRUE(GuiHost::CaptureWindow(window, &image.pixels, &image.width, &image.height));
    return image;
}

// Shows a window and waits until the toolkit has drawn it.
void ShowAndSettle(BWindow* window) {
    window->Show();
    Pump([&] { return !window->IsHidden(); });
    for (int i = 0; i < 20; i++)
        GuiHost::RunOnce(10000);
}

} // namespace

TEST(Screenshots, TextIsMeasuredAsTheToolkitDrawsIt) {
    REQUIRE_DISPLAY();
    if (!BFont::HasFontEngine())
        GTEST_SKIP() << "no font engine";
    const char* samples[] = {"Installation Complete", "Überprüfung läuft",
                             "/boot/home/config/settings", "WWW iii ..."};
    for (float size : {10.0f, 12.0f, 14.0f, 18.0f}) {
        for (uint16 face : {(uint16)B_REGULAR_FACE, (uint16)B_BOLD_FACE}) {
            BFont font;
            font.SetSize(size);
            font.SetFace(face);
            for (const char* text : samples)
                EXPECT_NEAR(font.StringWidth(text), GuiHost::ToolkitStringWidth(font, text), 1.0f)
                    << text << " at " << size << (face == B_BOLD_FACE ? " bold" : "");
        }
    }
}

TEST(Screenshots, GalleryLooksAsReviewed) {
    REQUIRE_DISPLAY();
    auto* window = new GalleryWindow(BPoint(40, 40));
    ShowAndSettle(window);
    Image shot = Capture(window);
    std::string reference = std::string(TARNW_GUI_REFERENCE_DIR) + "/gallery.png";
    if (std::getenv("TARNW_UPDATE_REFERENCES") || !std::filesystem::exists(reference)) {
        ASSERT_TRUE(WritePng(reference, shot));
        CloseWindow(window);
        GTEST_SKIP() << "reference written to " << reference << "; review it";
    }
    Image expected;
    ASSERT_TRUE(ReadPng(reference, &expected));
    ImageDifference difference = CompareImages(shot, expected, 64);
    ASSERT_TRUE(difference.sameSize);
    // Font rendering may differ a little between machines; layout errors change far more.
    EXPECT_LT(difference.differing, (int64)shot.pixels.size() / 100)
        << "largest channel difference " << difference.largest;
    WritePng((tarnw::test::Sandbox::Temp() / "gallery-actual.png").string(), shot);
    CloseWindow(window);
}

TEST(Screenshots, ScreenShowsWhatTheWindowDraws) {
    REQUIRE_DISPLAY();
    if (!HaveProgram("import"))
        GTEST_SKIP() << "ImageMagick's import is not installed";
    auto* window = new GalleryWindow(BPoint(60, 70));
    ShowAndSettle(window);
    BRect frame = window->Frame();
    Image offscreen = Capture(window);
    std::string file = (tarnw::test::Sandbox::Temp() / "screen.png").string();
    ASSERT_EQ(RunProgram({"import", "-silent", "-window", "root", file}), 0);
    Image screen;
    ASSERT_TRUE(ReadPng(file, &screen));
    Image part =
        screen.Crop((int32)frame.left, (int32)frame.top, offscreen.width, offscreen.height);
    ImageDifference difference = CompareImages(part, offscreen, 64);
    ASSERT_TRUE(difference.sameSize);
    EXPECT_LT(difference.differing, (int64)offscreen.pixels.size() / 100);
    CloseWindow(window);
}

TEST(Screenshots, MenuFieldPullDownChoosesAnItem) {
    REQUIRE_DISPLAY();
    if (!HaveProgram("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    auto* window = new RecordingWindow(BRect(300, 200, 549, 299), "menu");
    auto* menu = new BPopUpMenu("pick");
    menu->AddItem(new BMenuItem("First", new BMessage('pick')));
    menu->AddItem(new BMenuItem("Second", new BMessage('pick')));
    menu->AddItem(new BMenuItem("Third", new BMessage('pick')));
    menu->ItemAt(0)->SetMarked(true);
    auto* field = new BMenuField(BRect(10, 10, 200, 30), "field", "Pick:", menu);
    window->AddChild(field);
    ShowAndSettle(window);
    BRect bar = field->MenuBar()->ConvertToScreen(field->MenuBar()->Bounds());
    BPoint press((bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2);
    // The menu opens with the marked item over the bar; the item two rows further
    // down is "Third". The click on it comes while the menu runs its own loop.
    std::string x = std::to_string((int)press.x), y = std::to_string((int)press.y);
    std::vector<std::string> args = {"xdotool",
                                     "mousemove",
                                     "--sync",
                                     x,
                                     y,
                                     "click",
                                     "1",
                                     "sleep",
                                     "0.5",
                                     "mousemove",
                                     "--sync",
                                     x,
                                     std::to_string((int)press.y + 2 * 21),
                                     "sleep",
                                     "0.2",
                                     "click",
                                     "1"};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid;
    ASSERT_EQ(posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ), 0);
    EXPECT_TRUE(Pump([&] { return window->CountReceived('pick') == 1; }, 10000000));
    int status;
    waitpid(pid, &status, 0);
    EXPECT_STREQ(field->MenuItem()->Label(), "Third");
    EXPECT_EQ(menu->FindMarkedIndex(), 2);
    CloseWindow(window);
}

TEST(Screenshots, RealClickThroughTheWindowSystem) {
    REQUIRE_DISPLAY();
    if (!HaveProgram("xdotool"))
        GTEST_SKIP() << "xdotool is not installed";
    auto* window = new RecordingWindow(BRect(200, 150, 399, 249), "click");
    auto* button = new BButton(BRect(20, 20, 120, 44), "press", "Press me", new BMessage('prsd'));
    window->AddChild(button);
    ShowAndSettle(window);
    BPoint target = button->ConvertToScreen(BPoint(50, 12));
    ASSERT_EQ(RunProgram({"xdotool", "mousemove", "--sync", std::to_string((int)target.x),
                          std::to_string((int)target.y), "click", "1"}),
              0);
    EXPECT_TRUE(Pump([&] { return window->CountReceived('prsd') == 1; }));
    CloseWindow(window);
}
