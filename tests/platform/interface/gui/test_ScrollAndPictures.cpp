#include "GuiTestSupport.h"

#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/Picture.h"
#include "platform/interface/gui/PictureButton.h"
#include "platform/interface/gui/ScrollView.h"
#include "platform/interface/gui/StringView.h"

namespace {

// A tall view to scroll.
class Canvas : public BView {
public:
    Canvas() : BView(BRect(0, 0, 99, 99), "canvas", B_FOLLOW_ALL_SIDES, B_WILL_DRAW) {}
};

BPicture* SolidPicture(BView* view, rgb_color color) {
    auto* picture = new BPicture();
    view->BeginPicture(picture);
    view->SetHighColor(color);
    view->FillRect(BRect(0, 0, 23, 23));
    view->EndPicture();
    return picture;
}

} // namespace

TEST(ScrollView, GeometryAndScrollBarSteps) {
    auto* window = new RecordingWindow(BRect(100, 100, 399, 399));
    auto* canvas = new Canvas();
    canvas->MoveTo(20, 30);
    auto* scroll = new BScrollView("scroll", canvas, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, true, true);
    window->AddChild(scroll);
    // The scroll view takes the target's place, with a 2-pixel border and both bars.
    EXPECT_EQ(scroll->Frame(), BRect(18, 28, 18 + 99 + 4 + B_V_SCROLL_BAR_WIDTH,
                                     28 + 99 + 4 + B_H_SCROLL_BAR_HEIGHT));
    EXPECT_EQ(canvas->Frame().LeftTop(), BPoint(2, 2));
    BScrollBar* bar = scroll->ScrollBar(B_VERTICAL);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(canvas->ScrollBar(B_VERTICAL), bar);
    EXPECT_EQ(bar->Frame().left, canvas->Frame().right + 1);
    bar->SetRange(0, 400);
    bar->SetSteps(10, 90);
    window->Show();
    window->Lock();
    BRect barFrame = bar->ConvertToWindow(bar->Bounds());
    window->Unlock();
    // The arrow at the bottom scrolls by the small step, the trough by the large one.
    Click(window, BPoint(barFrame.left + 5, barFrame.bottom - 3));
    ASSERT_TRUE(Pump([&] { return canvas->Bounds().top == 10; }));
    Click(window, BPoint(barFrame.left + 5, barFrame.bottom - 30));
    ASSERT_TRUE(Pump([&] { return canvas->Bounds().top == 100; }));
    Click(window, BPoint(barFrame.left + 5, barFrame.top + 3));
    ASSERT_TRUE(Pump([&] { return canvas->Bounds().top == 90; }));
    // Values stay inside the range, and scrolling the target moves the bar.
    window->Lock();
    bar->SetValue(1000);
    EXPECT_FLOAT_EQ(canvas->Bounds().top, 400);
    canvas->ScrollTo(0, 20);
    EXPECT_FLOAT_EQ(bar->Value(), 20);
    bar->SetRange(0, 5);
    EXPECT_FLOAT_EQ(canvas->Bounds().top, 5);
    window->Unlock();
    CloseWindow(window);
}

TEST(PictureButton, OneAndTwoStateButtons) {
    auto* window = new RecordingWindow(BRect(100, 100, 299, 199));
    BView* top = window->TopView();
    BPicture* off = SolidPicture(top, make_color(200, 200, 200));
    BPicture* on = SolidPicture(top, make_color(50, 50, 50));
    auto* once = new BPictureButton(BRect(10, 10, 33, 33), "once", off, on, new BMessage('once'));
    auto* twice = new BPictureButton(BRect(50, 10, 73, 33), "twice", off, on, new BMessage('twic'),
                                     B_TWO_STATE_BUTTON);
    delete off;
    delete on;
    window->AddChild(once);
    window->AddChild(twice);
    window->Show();
    Click(window, BPoint(20, 20));
    Click(window, BPoint(60, 20));
    ASSERT_TRUE(Pump([&] { return window->CountReceived('twic') == 1; }));
    ASSERT_TRUE(Pump([&] { return window->CountReceived('once') == 1; }));
    EXPECT_EQ(once->Value(), B_CONTROL_OFF);
    EXPECT_EQ(twice->Value(), B_CONTROL_ON);
    Click(window, BPoint(60, 20));
    ASSERT_TRUE(Pump([&] { return window->CountReceived('twic') == 2; }));
    EXPECT_EQ(twice->Value(), B_CONTROL_OFF);
    // The pictures were copied: the button draws though the originals are gone.
    ASSERT_NE(once->EnabledOff(), nullptr);
    EXPECT_EQ(once->EnabledOff()->CountOps(), 1);
    window->Lock();
    once->SetEnabled(false);
    window->Unlock();
    Click(window, BPoint(20, 20));
    Settle();
    EXPECT_EQ(window->CountReceived('once'), 1u);
    CloseWindow(window);
}

TEST(PictureButton, DisabledPictureIsDrawn) {
    REQUIRE_DISPLAY();
    auto* window = new RecordingWindow(BRect(100, 100, 149, 149));
    BView* top = window->TopView();
    BPicture* off = SolidPicture(top, make_color(255, 0, 0));
    BPicture* disabled = SolidPicture(top, make_color(0, 0, 255));
    auto* button = new BPictureButton(BRect(0, 0, 23, 23), "b", off, off, new BMessage('b   '));
    button->SetDisabledOff(disabled);
    delete off;
    delete disabled;
    window->AddChild(button);
    window->Show();
    Settle();
    std::vector<uint32> pixels;
    int32 w, h;
    ASSERT_TRUE(GuiHost::CaptureWindow(window, &pixels, &w, &h));
    EXPECT_EQ(pixels[(size_t)5 * w + 5] & 0xffffff, 0xff0000u);
    window->Lock();
    button->SetEnabled(false);
    window->Unlock();
    ASSERT_TRUE(GuiHost::CaptureWindow(window, &pixels, &w, &h));
    EXPECT_EQ(pixels[(size_t)5 * w + 5] & 0xffffff, 0x0000ffu);
    CloseWindow(window);
}
