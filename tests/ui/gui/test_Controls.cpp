// The small controls: hovering list, picture button tips, truncating string view, file
// rows, bitmaps and pictures, the reference filter and the about image.

#include "platform/interface/gui/GuiTestSupport.h"

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "TestApp.h"
#include "package/InstallListItem.h"
#include "platform/interface/Frontend.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/Cursor.h"
#include "platform/interface/gui/GuiHost.h"
#include "platform/interface/gui/ListItem.h"
#include "platform/interface/gui/Picture.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Mime.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "ui/gui/FileListRow.h"
#include "ui/gui/InstallImage.h"
#include "ui/gui/InstallListRow.h"
#include "ui/gui/LibBitmap.h"
#include "ui/gui/LibBitmapToPicture.h"
#include "ui/gui/LibListView.h"
#include "ui/gui/LibPictureButton.h"
#include "ui/gui/LibRefFilter.h"
#include "ui/gui/LibStringView.h"

using tarnw::test::Sandbox;
using tarnw::test::WriteFile;
namespace fs = std::filesystem;

namespace {

constexpr uint32 kHover = 2001;

void Activate(BWindow* window) {
    BMessage active(B_WINDOW_ACTIVATED);
    active.AddBool("active", true);
    window->PostMessage(&active);
    Settle();
}

// A 24-bit BMP of one colour.
void WriteBmp(const fs::path& path, int32 width, int32 height) {
    int32 rowBytes = (width * 3 + 3) & ~3;
    int32 dataSize = rowBytes * height;
    std::string out(54 + dataSize, '\0');
    auto put32 = [&](size_t at, uint32 v) {
        for (int i = 0; i < 4; i++)
            out[at + i] = (char)((v >> (8 * i)) & 0xff);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + dataSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    out[26] = 1;
    out[28] = 24;
    put32(34, dataSize);
    for (int32 y = 0; y < height; y++)
        for (int32 x = 0; x < width; x++) {
            size_t at = 54 + y * rowBytes + x * 3;
            out[at] = (char)200; // blue
            out[at + 1] = 100;
            out[at + 2] = 50;
        }
    std::ofstream(path, std::ios::binary) << out;
}

class RecordingFrontend : public Frontend {
public:
    FrontendAnswer Ask(const FrontendRequest& request) override {
        requests.push_back(request);
        return FrontendAnswer();
    }
    std::vector<FrontendRequest> requests;
};

// An off-screen 32-bit canvas with one view over all of it.
struct Canvas {
    BBitmap bitmap;
    BView* view;
    Canvas(BRect bounds) : bitmap(bounds, B_RGB32, true) {
        view = new BView(bounds, "canvas", B_FOLLOW_NONE, B_WILL_DRAW);
        bitmap.AddChild(view);
    }
    ~Canvas() {
        bitmap.RemoveChild(view);
        delete view;
    }
};

} // namespace

TEST(ListView, HoverReportsTheRowUnderTheMouse) {
    REQUIRE_DISPLAY();
    RecordingWindow* window = new RecordingWindow(BRect(100, 100, 399, 299));
    LibListView* list = new LibListView(BRect(10, 10, 110, 150), "install_type");
    window->AddChild(list);
    for (int i = 0; i < 5; i++)
        list->AddItem(new BStringItem(("group " + std::to_string(i)).c_str()));
    window->Show();
    auto row = [&](int32 index, float dy = 0) {
        BRect frame = list->ItemFrame(index);
        return list->ConvertToWindow(BPoint(20, frame.top + 2 + dy));
    };
    // Without a hover command, or in an inactive window, nothing is reported.
    Activate(window);
    MoveMouse(window, row(1));
    Settle();
    EXPECT_EQ(window->CountReceived(kHover), 0u);
    list->SetHoverCommand(kHover);

    MoveMouse(window, BPoint(200, 190)); // outside first
    MoveMouse(window, row(2));
    MoveMouse(window, row(3));
    MoveMouse(window, row(3, 3)); // within row 3
    MoveMouse(window, BPoint(200, 190));
    MoveMouse(window, BPoint(205, 195)); // moving outside reports nothing
    Settle();
    std::vector<int32> items;
    for (const BMessage& m : window->Received(kHover))
        items.push_back(m.GetInt32("item", -99));
    EXPECT_EQ(items, (std::vector<int32>{2, 3, -1}));

    // Below the last row is "no row".
    MoveMouse(window, list->ConvertToWindow(BPoint(20, 138)));
    Settle();
    EXPECT_EQ(window->Received(kHover).back().GetInt32("item", -99), -1);

    window->Lock();
    while (BListItem* item = list->RemoveItem((int32)0))
        delete item;
    window->Unlock();
    CloseWindow(window);
}

TEST(ListView, EscapeHidesAPopUpWindowButNotAMainWindow) {
    REQUIRE_DISPLAY();
    for (bool floating : {true, false}) {
        BWindow* window = floating
                              ? new BWindow(BRect(100, 100, 299, 299), "chooser",
                                            B_BORDERED_WINDOW_LOOK, B_FLOATING_APP_WINDOW_FEEL, 0)
                              : new RecordingWindow(BRect(100, 100, 299, 299));
        LibListView* list = new LibListView(BRect(10, 10, 110, 150), "list");
        window->AddChild(list);
        window->Show();
        window->Lock();
        list->MakeFocus(true);
        window->Unlock();
        Settle();
        PressKey(window, "a");
        Settle();
        EXPECT_FALSE(window->IsHidden());
        PressKey(window, "\x1b");
        Settle();
        // A main window that vanished could not be brought back by the user.
        EXPECT_EQ(window->IsHidden(), floating);
        CloseWindow(window);
    }
}

namespace {

// A list that lets its rows be dragged and records the moves it is told of.
class ReorderingList : public LibListView {
public:
    ReorderingList() : LibListView(BRect(10, 10, 110, 150), "list") {}
    void ItemReordered(const int32& from, const int32& to) override { moves.push_back({from, to}); }
    std::vector<std::pair<int32, int32>> moves;
};

} // namespace

TEST(ListView, DraggingASelectedRowShowsItsOutlineAndTheDragCursor) {
    REQUIRE_DISPLAY();
    std::string xdotool = tarnw::test::FindProgram("xdotool");
    if (xdotool.empty())
        GTEST_SKIP() << "xdotool is needed";
    RecordingWindow* window = new RecordingWindow(BRect(100, 100, 299, 299));
    auto* list = new ReorderingList();
    window->AddChild(list);
    for (const char* name : {"one", "two", "three", "four"})
        list->AddItem(new BStringItem(name));
    list->AllowReorder(true, nullptr);
    list->SetReorderCommand('rodr');
    window->Show();
    Activate(window);
    window->Lock();
    list->Select(0);
    BPoint from = window->ConvertToScreen(list->ConvertToWindow(list->ItemFrame(0).LeftTop())) +
                  BPoint(20, 5);
    BPoint to = window->ConvertToScreen(list->ConvertToWindow(list->ItemFrame(2).LeftTop())) +
                BPoint(20, 5);
    window->Unlock();
    Settle();

    // The user presses on the selected row, drags it two rows down and lets go; what the
    // list shows meanwhile is looked at half way.
    std::atomic<bool> done{false}, tracking{false};
    std::vector<uint32> cursorMeanwhile;
    std::thread user([&] {
        auto run = [&](std::vector<std::string> args) {
            args.insert(args.begin(), xdotool);
            tarnw::test::RunProgram(args);
        };
        auto at = [](BPoint p) {
            return std::vector<std::string>{std::to_string((int)p.x), std::to_string((int)p.y)};
        };
        std::vector<std::string> move{"mousemove"};
        for (const std::string& v : at(from))
            move.push_back(v);
        run(move);
        run({"mousedown", "1"});
        for (int step = 1; step <= 4; step++) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            BPoint p = from + BPoint(0, (to.y - from.y) * step / 4);
            std::vector<std::string> drag{"mousemove"};
            for (const std::string& v : at(p))
                drag.push_back(v);
            run(drag);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        tracking = list->IsTrackingRect();
        cursorMeanwhile = GuiHost::CursorOf(window);
        run({"mouseup", "1"});
        done = true;
    });
    Pump([&] { return done.load(); }, 20000000);
    user.join();
    Settle();

    EXPECT_TRUE(tracking);
    // The vertical double arrow with its small box: the rows' bits, hot spot in the middle.
    ASSERT_EQ(cursorMeanwhile.size(), 256u);
    for (int32 y = 0; y < 16; y++)
        for (int32 x = 0; x < 16; x++) {
            bool set = LibListView::kDragCursorRows[y] & (0x8000 >> x);
            EXPECT_EQ(cursorMeanwhile[y * 16 + x], set ? 0xff000000u : 0u) << x << "," << y;
        }
    EXPECT_EQ(LibListView::DragCursor().HotSpot(), BPoint(8, 8));
    // Let go: the outline and the cursor are gone, and the row was moved.
    EXPECT_FALSE(list->IsTrackingRect());
    EXPECT_TRUE(GuiHost::CursorOf(window).empty());
    ASSERT_EQ(list->moves.size(), 1u);
    EXPECT_EQ(list->moves[0], std::make_pair(int32(0), int32(2)));
    EXPECT_EQ(window->Received('rodr').size(), 1u);
    CloseWindow(window);
}

TEST(PictureButton, TipsOnEnterLeaveAndPress) {
    REQUIRE_DISPLAY();
    TestApp* app = TestApp::Get();
    app->Clear();
    std::vector<uint8> bits(24 * 24, 0);
    RecordingWindow* window = new RecordingWindow(BRect(100, 100, 299, 299));
    LibPictureButton* button = new LibPictureButton(BPoint(10, 20), 24, 24, "folder", bits.data(),
                                                    bits.data(), 2003, bits.data());
    window->AddChild(button);
    window->Show();
    Activate(window);
    EXPECT_EQ(button->Frame(), BRect(10, 20, 33, 43));
    EXPECT_STREQ(button->Label(), "folder");
    ASSERT_NE(button->DisabledOff(), nullptr);

    // No tip text: no tip messages.
    MoveMouse(window, BPoint(15, 25));
    MoveMouse(window, BPoint(150, 150));
    Settle();
    EXPECT_TRUE(app->Received('stip').empty());

    button->AddTip('stip', "Change destination folder");
    MoveMouse(window, BPoint(15, 25));
    Settle();
    Click(window, BPoint(15, 25));
    Settle();
    MoveMouse(window, BPoint(150, 150));
    Settle();
    std::vector<BMessage> tips = app->Received('stip');
    ASSERT_EQ(tips.size(), 3u);
    EXPECT_TRUE(tips[0].GetBool("show"));
    EXPECT_STREQ(tips[0].GetString("tip", ""), "Change destination folder");
    BPoint loc;
    ASSERT_EQ(tips[0].FindPoint("loc", &loc), B_OK);
    EXPECT_EQ(loc, button->ConvertToScreen(BPoint(28, 1)));
    EXPECT_FALSE(tips[1].GetBool("show", true));
    EXPECT_FALSE(tips[2].GetBool("show", true));
    // The press still worked.
    EXPECT_EQ(window->CountReceived(2003), 1u);
    CloseWindow(window);
}

TEST(StringView, TruncatesToItsWidthAndDoesNotNestHiding) {
    LibStringView view(BRect(35, 180, 275, 195), "destination", "");
    view.SetTruncatedText("/boot/home", B_TRUNCATE_BEGINNING);
    EXPECT_STREQ(view.Text(), "/boot/home");
    std::string longPath = "/boot/home";
    for (int i = 0; i < 20; i++)
        longPath += "/a-rather-long-folder-name";
    view.SetTruncatedText(longPath.c_str(), B_TRUNCATE_BEGINNING);
    std::string shown = view.Text();
    EXPECT_LT(shown.size(), longPath.size());
    EXPECT_EQ(shown.rfind(B_UTF8_ELLIPSIS, 0), 0u);
    BFont font;
    view.GetFont(&font);
    EXPECT_LE(font.StringWidth(shown.c_str()), view.Frame().Width());
    // The end of the path stays.
    EXPECT_EQ(shown.substr(shown.size() - 10), longPath.substr(longPath.size() - 10));
    view.SetTruncatedText(nullptr, B_TRUNCATE_END);
    EXPECT_STREQ(view.Text(), "");

    view.Hide();
    view.Hide();
    view.Show();
    EXPECT_FALSE(view.IsHiddenSelf());
    view.Show();
    view.Hide();
    EXPECT_TRUE(view.IsHiddenSelf());
}

TEST(FileRow, SelectedRowsAreGreyAndFullPathsSplit) {
    REQUIRE_DISPLAY();
    RecordingWindow* window = new RecordingWindow(BRect(100, 100, 399, 199));
    BListView* list = new BListView(BRect(0, 0, 299, 99), "custom_list");
    list->SetViewColor(255, 0, 0);
    window->AddChild(list);
    auto* plain = new InstallListRow(false);
    plain->Item().SetPath("/boot/apps/Thing");
    plain->Item().SetShowFullPath(true);
    plain->Item().SetTruncateMode(0);
    auto* selected = new InstallListRow(false);
    selected->Item().SetPath("/boot/apps/Thing");
    selected->Item().SetShowFullPath(true);
    selected->Item().SetTruncateMode(0);
    list->AddItem(plain);
    list->AddItem(selected);
    list->Select(1);
    window->Show();
    Settle();
    std::vector<uint32> pixels;
    int32 width = 0, height = 0;
    ASSERT_TRUE(GuiHost::CaptureWindow(window, &pixels, &width, &height));
    auto at = [&](int32 x, int32 y) {
        uint32 p = pixels[(size_t)y * width + x];
        return make_color((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
    };
    EXPECT_EQ(list->ItemFrame(0).Height(), 17);
    EXPECT_EQ(at(1, 1), make_color(255, 0, 0));
    EXPECT_EQ(at(1, 19), make_color(216, 216, 216));
    EXPECT_EQ(at(290, 34), make_color(216, 216, 216));
    // The folder part is grey, the leaf black: the darkest pixel of each part.
    BFont font;
    list->GetFont(&font);
    float split = 3 + 21 + font.StringWidth("/boot/apps");
    int32 darkestFolder = 255, darkestLeaf = 255;
    for (int32 x = 24; x < 200; x++) {
        if (x >= split - 1 && x <= split + 1)
            continue;
        int32& darkest = x < split ? darkestFolder : darkestLeaf;
        for (int32 y = 19; y < 35; y++)
            darkest = std::min<int32>(darkest, at(x, y).red);
    }
    EXPECT_GE(darkestFolder, 100);
    EXPECT_LT(darkestFolder, 180);
    EXPECT_LT(darkestLeaf, 60);
    window->Lock();
    list->RemoveItem(plain);
    list->RemoveItem(selected);
    window->Unlock();
    delete plain;
    delete selected;
    CloseWindow(window);
}

TEST(FileRow, UpdateFixesTheHeightAndTruncatesOnlyWithAMode) {
    BView owner(BRect(0, 0, 60, 100), "list", B_FOLLOW_NONE, B_WILL_DRAW);
    std::string longName(80, 'x');
    InstallListRow plain(new InstallListItem(longName.c_str(), false, false));
    plain.Item().SetTruncateMode(0);
    plain.Update(&owner, be_plain_font);
    EXPECT_EQ(plain.Height(), 18);
    EXPECT_EQ(std::string(plain.Item().DisplayText()), longName);

    InstallListRow cut(new InstallListItem(longName.c_str(), false, false));
    cut.Item().SetTruncateMode(B_TRUNCATE_BEGINNING);
    cut.Update(&owner, be_plain_font);
    EXPECT_EQ(cut.Height(), 18);
    EXPECT_LT(std::strlen(cut.Item().DisplayText()), longName.size());
    // The text fits into the width left after the indent, the icon and the margins.
    EXPECT_LE(be_plain_font->StringWidth(cut.Item().DisplayText()), 60 - 3 - 14 - 7);
}

TEST(Bitmaps, PaletteImageBecomesAPictureOfTheSamePixels) {
    std::vector<uint8> bits(576);
    for (size_t i = 0; i < bits.size(); i++)
        bits[i] = (uint8)(i % 200);
    std::unique_ptr<BPicture> picture =
        LibBitmapToPicture(BRect(0, 0, 23, 23), bits.data(), B_CMAP8);
    ASSERT_NE(picture, nullptr);
    Canvas canvas(BRect(0, 0, 23, 23));
    canvas.bitmap.Lock();
    canvas.view->DrawPicture(picture.get(), B_ORIGIN);
    canvas.bitmap.Unlock();
    int32 same = 0;
    for (int32 y = 0; y < 24; y++)
        for (int32 x = 0; x < 24; x++)
            same += canvas.bitmap.ColorAt(x, y) == system_colors()->color_list[bits[y * 24 + x]];
    EXPECT_EQ(same, 576);
    EXPECT_EQ(LibBitmapToPicture(nullptr), nullptr);
    EXPECT_EQ(LibBitmapToPicture(BRect(0, 0, 23, 23), nullptr, B_CMAP8), nullptr);

    // Raw pixels into a bitmap: rows padded to 4 bytes.
    std::vector<uint8> padded(LibBitmap::PaletteBytesFor(BRect(0, 0, 2, 1)), 7);
    EXPECT_EQ(padded.size(), 8u);
    LibBitmap small(BRect(0, 0, 2, 1), padded.data(), B_CMAP8);
    EXPECT_EQ(small.ColorAt(2, 1), system_colors()->color_list[7]);
}

TEST(Bitmaps, IconsFromFilesAndMissingPaths) {
    LibBitmap icon(BRect(0, 0, 15, 15), B_CMAP8);
    std::memset(icon.Bits(), 5, icon.BitsLength());
    std::vector<uint8> before((uint8*)icon.Bits(), (uint8*)icon.Bits() + icon.BitsLength());
    EXPECT_FALSE(icon.SetTo((Sandbox::Root() / "missing").c_str(), B_MINI_ICON));
    EXPECT_EQ(std::memcmp(before.data(), icon.Bits(), before.size()), 0);
    // The wrong size for the bitmap changes nothing either.
    EXPECT_FALSE(icon.SetTo(Sandbox::Root().c_str(), B_LARGE_ICON));
    EXPECT_EQ(std::memcmp(before.data(), icon.Bits(), before.size()), 0);
    EXPECT_TRUE(icon.SetTo(Sandbox::Root().c_str(), B_MINI_ICON));
    EXPECT_NE(std::memcmp(before.data(), icon.Bits(), before.size()), 0);
    BEntry entry(Sandbox::Root().c_str());
    EXPECT_TRUE(icon.SetTo(entry, B_MINI_ICON));
}

TEST(RefFilter, FoldersVolumesAndLinksToThem) {
    fs::path dir = Sandbox::MakeFolder("filter");
    fs::create_directory(dir / "folder");
    WriteFile(dir / "file.txt", "text");
    fs::create_directory_symlink(dir / "folder", dir / "to-folder");
    fs::create_symlink(dir / "file.txt", dir / "to-file");
    fs::create_symlink(dir / "nowhere", dir / "dangling");

    LibRefFilter filter;
    filter.AddType(B_DIRECTORY_MIME_TYPE);
    filter.AddType("application/x-vnd.Be-volume");
    auto accepts = [&](const char* name, const char* type) {
        std::string path = (dir / name).string();
        struct stat st;
        EXPECT_EQ(lstat(path.c_str(), &st), 0) << name;
        entry_ref ref;
        EXPECT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
        return filter.Filter(&ref, nullptr, &st, type);
    };
    EXPECT_TRUE(accepts("folder", B_DIRECTORY_MIME_TYPE));
    EXPECT_FALSE(accepts("file.txt", "text/plain"));
    EXPECT_TRUE(accepts("to-folder", B_SYMLINK_MIME_TYPE));
    EXPECT_FALSE(accepts("to-file", B_SYMLINK_MIME_TYPE));
    EXPECT_FALSE(accepts("dangling", B_SYMLINK_MIME_TYPE));

    filter.AllowAllFiles(true);
    EXPECT_TRUE(accepts("file.txt", "text/plain"));
    EXPECT_FALSE(accepts("to-file", B_SYMLINK_MIME_TYPE));
    filter.AllowSoftLinks(false);
    EXPECT_FALSE(accepts("to-folder", B_SYMLINK_MIME_TYPE));
}

TEST(AboutImage, ClicksToggleBetweenPictureAndCredits) {
    REQUIRE_DISPLAY();
    RecordingWindow* window = new RecordingWindow(BRect(100, 100, 455, 357));
    InstallImage* image = new InstallImage(BPoint(10, 16), false);
    window->AddChild(image);
    window->Show();
    window->Lock();
    EXPECT_EQ(image->Frame(), BRect(10, 16, 160, 216));
    EXPECT_STREQ(image->Name(), "InstallImage");
    image->SetAppName("Tarnwhistle Demo");
    BFont font;
    image->GetFont(&font);
    EXPECT_EQ(font.Rotation(), 90);
    font.SetSize(18);
    EXPECT_FLOAT_EQ(image->TextPosition(0), (200 + font.StringWidth("Tarnwhistle Demo")) / 2);
    image->SetVersion(nullptr);
    EXPECT_FLOAT_EQ(image->TextPosition(1), 100);

    BBitmap picture(BRect(0, 0, 149, 199), B_RGB32);
    BMessage archive;
    ASSERT_EQ(picture.Archive(&archive), B_OK);
    image->SetImage(archive);
    ASSERT_NE(image->Image(), nullptr);
    EXPECT_TRUE(image->ShowsPicture());
    BMessage copy;
    image->GetImage(copy);
    EXPECT_FALSE(copy.IsEmpty());
    window->Unlock();

    Click(window, BPoint(80, 100));
    Settle();
    EXPECT_FALSE(image->ShowsPicture());
    Click(window, BPoint(80, 100), B_TERTIARY_MOUSE_BUTTON); // not editable: a plain toggle
    Settle();
    EXPECT_TRUE(image->ShowsPicture());

    window->Lock();
    BMessage empty;
    image->SetImage(empty);
    EXPECT_EQ(image->Image(), nullptr);
    window->Unlock();
    CloseWindow(window);
}

TEST(AboutImage, DroppedPicturesAndTheSizeWarning) {
    REQUIRE_DISPLAY();
    RecordingFrontend frontend;
    SetFrontend(&frontend);
    fs::path dir = Sandbox::MakeFolder("pictures");
    WriteBmp(dir / "right.bmp", 150, 200);
    WriteBmp(dir / "small.bmp", 100, 100);
    WriteFile(dir / "broken.png", "not a picture");

    RecordingWindow* window = new RecordingWindow(BRect(100, 100, 455, 357));
    InstallImage* image = new InstallImage(BPoint(10, 16), false);
    window->AddChild(image);
    window->Show();
    auto drop = [&](const char* name) {
        BMessage dropped(B_SIMPLE_DATA);
        entry_ref ref;
        ASSERT_EQ(get_ref_for_path((dir / name).c_str(), &ref), B_OK);
        AddRefToMessage(&dropped, "refs", ref);
        dropped.AddBool("be:dropped", true);
        dropped.AddPoint("be:drop_point", BPoint(50, 50));
        dropped.AddPoint("where", BPoint(50, 50));
        window->PostMessage(&dropped);
        Settle();
    };

    drop("right.bmp");
    ASSERT_NE(image->Image(), nullptr);
    EXPECT_EQ(image->Image()->Bounds(), BRect(0, 0, 149, 199));
    EXPECT_TRUE(frontend.requests.empty());
    EXPECT_EQ(window->CountReceived(InstallImage::kImageChanged), 1u);

    drop("small.bmp");
    ASSERT_NE(image->Image(), nullptr);
    EXPECT_TRUE(image->ShowsPicture());
    ASSERT_EQ(frontend.requests.size(), 1u);
    EXPECT_EQ(frontend.requests[0].icon, FrontendIcon::Warning);
    EXPECT_EQ(frontend.requests[0].text,
              "Image is not the correct size of 150x200. You may use this image, but it will "
              "appear in the installer as shown here.");

    drop("broken.png");
    EXPECT_EQ(image->Image(), nullptr);
    ASSERT_EQ(frontend.requests.size(), 2u);
    EXPECT_EQ(frontend.requests[1].icon, FrontendIcon::Stop);
    EXPECT_EQ(frontend.requests[1].text, "Image file not current supported");
    EXPECT_EQ(window->CountReceived(InstallImage::kImageChanged), 3u);
    SetFrontend(nullptr);
    CloseWindow(window);
}
