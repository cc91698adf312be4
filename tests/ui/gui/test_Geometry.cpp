// Layout arithmetic, window placement, colour matching and the folder button's pictures:
// none of these needs a display.

#include <gtest/gtest.h>

#include <set>

#include "platform/app/Message.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/View.h"
#include "ui/gui/FolderButtonArt.h"
#include "ui/gui/LibLayoutRect.h"
#include "ui/gui/LibRect.h"
#include "ui/gui/LibSystemColor.h"
#include "ui/gui/LibWindow.h"

namespace {

const BRect kScreen(0, 0, 1023, 767);

BPoint Place(int32 position, BRect bounds, float tab, const BRect* reference = nullptr) {
    BPoint where(-999, -999);
    EXPECT_TRUE(LibWindow::PlacementFor(position, bounds, kScreen, tab, reference, &where));
    return where;
}

} // namespace

TEST(LayoutRect, RectanglesCountBothEdges) {
    EXPECT_EQ(LibRect(10, 16, 150, 200), BRect(10, 16, 160, 216));

    BRect list(10, 33, 80, 140);
    // Below the list with a gap, keeping its left.
    EXPECT_EQ(LibLayoutRect(list, kEdgeBottom, kEdgeTop, 4, 100, 25), BRect(10, 144, 110, 169));
    // Bottom edge laid on the list's top.
    EXPECT_EQ(LibLayoutRect(list, kEdgeTop, kEdgeBottom, -3, 70, 15), BRect(10, 15, 80, 30));
    // Right of the list, and with its right edge on the list's left.
    EXPECT_EQ(LibLayoutRect(list, kEdgeRight, kEdgeLeft, 30, 153, 107), BRect(110, 33, 263, 140));
    EXPECT_EQ(LibLayoutRect(list, kEdgeLeft, kEdgeRight, -5, 20, 20), BRect(-15, 33, 5, 53));
    // Pairs that make no sense give the rectangle at the origin.
    EXPECT_EQ(LibLayoutRect(list, kEdgeTop, kEdgeLeft, 4, 20, 10), BRect(0, 0, 20, 10));
    EXPECT_EQ(LibLayoutRect(list, kEdgeRight, kEdgeBottom, 4, 20, 10), BRect(0, 0, 20, 10));
}

TEST(WindowPlacement, NinePlacesOnTheScreen) {
    BRect installer(0, 0, 455, 257);
    EXPECT_EQ(Place(LibWindow::kCenter, installer, 30), BPoint(284, 255));
    EXPECT_EQ(Place(LibWindow::kTopLeft, installer, 30), BPoint(10, 30));
    EXPECT_EQ(Place(LibWindow::kTopRight, installer, 30), BPoint(1023 - 455 - 10, 30));
    EXPECT_EQ(Place(LibWindow::kBottomLeft, installer, 30), BPoint(10, 767 - 257 - 10));
    EXPECT_EQ(Place(LibWindow::kMiddleRight, installer, 0).y, 255);
    // A window without a title tab goes right to the top.
    EXPECT_EQ(Place(LibWindow::kTopCenter, installer, 0).y, 0);

    BPoint unchanged(1, 2);
    EXPECT_FALSE(LibWindow::PlacementFor(9, installer, kScreen, 30, nullptr, &unchanged));
    EXPECT_FALSE(LibWindow::PlacementFor(-1, installer, kScreen, 30, nullptr, &unchanged));
    EXPECT_EQ(unchanged, BPoint(1, 2));
}

TEST(WindowPlacement, AroundAReferenceAndKeptOnScreen) {
    BRect tip(0, 0, 99, 49);
    BRect middle(400, 300, 599, 499);
    EXPECT_EQ(Place(LibWindow::kMiddleRight, tip, 0, &middle), BPoint(619, 375));
    EXPECT_EQ(Place(LibWindow::kMiddleLeft, tip, 0, &middle), BPoint(281, 375));
    EXPECT_EQ(Place(LibWindow::kTopCenter, tip, 30, &middle), BPoint(450, 221));
    EXPECT_EQ(Place(LibWindow::kBottomCenter, tip, 30, &middle), BPoint(450, 539));

    // Near the right edge: pulled back to S.right - w - 5.
    BRect right(900, 300, 1000, 400);
    EXPECT_EQ(Place(LibWindow::kMiddleRight, tip, 0, &right).x, 1023 - 99 - 5);
    // Above the top: y = 25; left of the screen: x = 2; below the bottom: S.bottom - h - 5.
    BRect corner(10, 10, 60, 60);
    EXPECT_EQ(Place(LibWindow::kTopLeft, tip, 30, &corner), BPoint(2, 25));
    BRect low(500, 700, 600, 760);
    EXPECT_EQ(Place(LibWindow::kBottomCenter, tip, 30, &low).y, 767 - 49 - 5);
}

TEST(WindowPlacement, ScreenChangesKeepTheRelativePlace) {
    EXPECT_EQ(LibWindow::ScaledForScreen(BPoint(284, 255), BRect(0, 0, 1023, 767),
                                         BRect(0, 0, 2046, 1534)),
              BPoint(568, 510));
    // An unknown old screen leaves the window alone.
    EXPECT_EQ(LibWindow::ScaledForScreen(BPoint(5, 6), BRect(0, 0, -1, -1), kScreen), BPoint(5, 6));
}

TEST(WindowPlacement, HelpKeyIsShiftF1) {
    BMessage key(B_KEY_DOWN);
    key.AddInt32("modifiers", B_SHIFT_KEY);
    key.AddInt32("key", 2);
    EXPECT_TRUE(LibWindow::IsHelpKey(key));
    key.ReplaceInt32("key", 0xffbe); // as the toolkit reports F1
    EXPECT_TRUE(LibWindow::IsHelpKey(key));
    key.ReplaceInt32("modifiers", 0);
    EXPECT_FALSE(LibWindow::IsHelpKey(key));
    key.ReplaceInt32("modifiers", B_SHIFT_KEY);
    key.ReplaceInt32("key", 3);
    EXPECT_FALSE(LibWindow::IsHelpKey(key));
    BMessage up(B_KEY_UP);
    up.AddInt32("modifiers", B_SHIFT_KEY);
    up.AddInt32("key", 2);
    EXPECT_FALSE(LibWindow::IsHelpKey(up));
}

TEST(SystemColor, NearestPaletteEntries) {
    rgb_color black = lib_nearest_system_color(make_color(0, 0, 0));
    EXPECT_TRUE(lib_is_same_color(black, system_colors()->color_list[index_for_color(0, 0, 0)]));
    EXPECT_EQ(black.red + black.green + black.blue, 0);

    rgb_color grey = lib_nearest_system_color(128, 128, 128, 255);
    // No palette entry is nearer to the grey than the one chosen.
    auto distance = [](rgb_color c) {
        int dr = c.red - 128, dg = c.green - 128, db = c.blue - 128;
        return dr * dr + dg * dg + db * db;
    };
    for (int i = 0; i < 255; i++)
        EXPECT_GE(distance(system_colors()->color_list[i]), distance(grey)) << i;

    EXPECT_TRUE(lib_is_same_color(make_color(1, 2, 3, 4), make_color(1, 2, 3, 4)));
    EXPECT_FALSE(lib_is_same_color(make_color(1, 2, 3, 4), make_color(1, 2, 3, 5)));
}

TEST(FolderButtonArt, ThreeDistinctPictures) {
    const uint8* normal = FolderButtonArt::Normal();
    const uint8* pressed = FolderButtonArt::Pressed();
    const uint8* disabled = FolderButtonArt::Disabled();
    auto colours = [](const uint8* bits) {
        return std::set<uint8>(bits, bits + FolderButtonArt::kBytes);
    };
    // The folder's fill is in the normal picture only, not in the disabled one.
    uint8 fill = index_for_color(255, 216, 96);
    EXPECT_TRUE(colours(normal).count(fill));
    EXPECT_FALSE(colours(disabled).count(fill));
    // Pressed: the bevel is inverted, so the top-left corner is dark where it was light.
    EXPECT_NE(normal[0], pressed[0]);
    EXPECT_EQ(normal[0], pressed[FolderButtonArt::kBytes - 1]);
    // The folder moved one pixel right and down.
    int32 at = 10 * FolderButtonArt::kSize + 8;
    EXPECT_EQ(normal[at], pressed[at + FolderButtonArt::kSize + 1]);
}
