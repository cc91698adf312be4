// Cursors made from the old platform's cursor data, and the outline a view tracks while
// something is dragged.
#include "platform/interface/gui/GuiTestSupport.h"

#include <vector>

#include "platform/interface/gui/Cursor.h"
#include "platform/interface/gui/GuiHost.h"

TEST(Cursor, ImageAndMaskGiveBlackWhiteAndClearPixels) {
    uint8 data[68] = {16, 1, 3, 5};
    // Row 0: image and mask in the leftmost pixel (black); mask only in the next (white).
    data[4] = 0x80;
    data[36] = 0xC0;
    // Row 15: image without mask stays clear.
    data[4 + 30] = 0x80;
    BCursor cursor(data);
    ASSERT_EQ(cursor.InitCheck(), B_OK);
    EXPECT_EQ(cursor.HotSpot(), BPoint(5, 3));
    const std::vector<uint32>& pixels = cursor.Pixels();
    ASSERT_EQ(pixels.size(), 256u);
    EXPECT_EQ(pixels[0], 0xff000000u);
    EXPECT_EQ(pixels[1], 0xffffffffu);
    EXPECT_EQ(pixels[2], 0u);
    EXPECT_EQ(pixels[15 * 16], 0u);

    // Only 16-pixel, one-bit cursors are understood.
    uint8 other[68] = {32, 1, 0, 0};
    EXPECT_NE(BCursor(other).InitCheck(), B_OK);
    EXPECT_NE(BCursor(nullptr).InitCheck(), B_OK);
}

TEST(Tracking, TheOutlineIsDrawnOverTheViewUntilItEnds) {
    REQUIRE_DISPLAY();
    RecordingWindow* window = new RecordingWindow(BRect(100, 100, 299, 299));
    BView* view =
        new BView(BRect(10, 10, 109, 109), "view", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW);
    view->SetViewColor(255, 255, 255);
    window->AddChild(view);
    window->Show();
    Settle();
    auto pixelAt = [&](int32 x, int32 y) {
        std::vector<uint32> pixels;
        int32 width = 0, height = 0;
        EXPECT_TRUE(GuiHost::CaptureWindow(window, &pixels, &width, &height));
        return pixels[(size_t)y * width + x] & 0xffffff;
    };
    window->Lock();
    view->BeginRectTracking(BRect(20, 30, 60, 40));
    EXPECT_TRUE(view->IsTrackingRect());
    EXPECT_EQ(view->TrackedRect(), BRect(20, 30, 60, 40));
    window->Unlock();
    // The view is at (10,10) in the window: the outline's corner is at (30,40).
    EXPECT_EQ(pixelAt(30, 40), 0u);
    EXPECT_EQ(pixelAt(50, 45), 0xffffffu);
    window->Lock();
    view->EndRectTracking();
    EXPECT_FALSE(view->IsTrackingRect());
    window->Unlock();
    EXPECT_EQ(pixelAt(30, 40), 0xffffffu);

    // The view's cursor is the window's until it is set back to the system's arrow.
    uint8 data[68] = {16, 1, 8, 8};
    data[4] = 0x80;
    data[36] = 0x80;
    BCursor cursor(data);
    window->Lock();
    view->SetViewCursor(&cursor);
    window->Unlock();
    Settle();
    EXPECT_EQ(GuiHost::CursorOf(window), cursor.Pixels());
    window->Lock();
    view->SetViewCursor(B_CURSOR_SYSTEM_DEFAULT);
    window->Unlock();
    Settle();
    EXPECT_TRUE(GuiHost::CursorOf(window).empty());
    CloseWindow(window);
}
