#include <gtest/gtest.h>

#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/Rect.h"

TEST(Rect, EdgesAreInclusive) {
    BRect r(10, 15, 255, 196);
    EXPECT_FLOAT_EQ(r.Width(), 245);
    EXPECT_EQ(r.IntegerWidth(), 245);
    EXPECT_EQ(r.IntegerHeight(), 181);
    EXPECT_TRUE(r.Contains(BPoint(10, 15)));
    EXPECT_TRUE(r.Contains(BPoint(255, 196)));
    EXPECT_FALSE(r.Contains(BPoint(255.5f, 196)));
    // Rectangles that share only an edge intersect.
    EXPECT_TRUE(r.Intersects(BRect(255, 196, 300, 300)));
    EXPECT_FALSE(r.Intersects(BRect(256, 0, 300, 300)));
    EXPECT_FALSE(BRect().IsValid());
    EXPECT_FALSE(BRect().Intersects(r));
}

TEST(Rect, MovingAndInsettingKeepTheSize) {
    BRect r(5, 5, 24, 14);
    r.OffsetTo(100, 200);
    EXPECT_EQ(r, BRect(100, 200, 119, 209));
    r.OffsetBy(-100, -200);
    EXPECT_EQ(r, BRect(0, 0, 19, 9));
    r.InsetBy(2, 3);
    EXPECT_EQ(r, BRect(2, 3, 17, 6));
    r.InsetBy(-2, -3);
    EXPECT_EQ(r, BRect(0, 0, 19, 9));
    // Insetting past the middle makes the rectangle invalid rather than flipping it back.
    EXPECT_FALSE(r.InsetByCopy(11, 0).IsValid());
}

TEST(Rect, IntersectionAndUnion) {
    BRect a(0, 0, 10, 10), b(5, 5, 20, 8);
    EXPECT_EQ(a & b, BRect(5, 5, 10, 8));
    EXPECT_EQ(a | b, BRect(0, 0, 20, 10));
    EXPECT_FALSE((a & BRect(11, 11, 12, 12)).IsValid());
    EXPECT_TRUE(a.Contains(BRect(5, 5, 10, 8)));
    EXPECT_FALSE(a.Contains(b));
}

TEST(Point, ConstrainAndArithmetic) {
    BPoint p(50, -3);
    p.ConstrainTo(BRect(0, 0, 20, 20));
    EXPECT_EQ(p, BPoint(20, 0));
    EXPECT_EQ(BPoint(1, 2) + BPoint(3, 4), BPoint(4, 6));
    EXPECT_EQ(BPoint(1, 2) - BPoint(3, 4), BPoint(-2, -2));
}

TEST(Palette, NearestColourLookup) {
    const color_map* map = system_colors();
    ASSERT_NE(map, nullptr);
    rgb_color black = map->color_list[index_for_color(0, 0, 0)];
    EXPECT_EQ(black, make_color(0, 0, 0));
    rgb_color white = map->color_list[index_for_color(255, 255, 255)];
    EXPECT_EQ(white, make_color(255, 255, 255));
    // A grey maps to a grey close to it, and the transparent index is never chosen.
    rgb_color grey = map->color_list[index_for_color(128, 128, 128)];
    EXPECT_EQ(grey.red, grey.green);
    EXPECT_NEAR(grey.red, 128, 4);
    EXPECT_NE(index_for_color(0x77, 0x74, 0x77), B_TRANSPARENT_MAGIC_CMAP8);
    // The interface colours are in the palette exactly.
    rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
    EXPECT_EQ(map->color_list[index_for_color(panel.red, panel.green, panel.blue)], panel);
    // The 15-bit table agrees with the exact lookup for a colour the palette holds.
    int i15 = (31 << 10) | (0 << 5) | 0;
    EXPECT_EQ(map->color_list[map->index_map[i15]], make_color(255, 0, 0));
}

TEST(Palette, RowBytesArePaddedToFourBytes) {
    EXPECT_EQ(bytes_per_row_for(B_CMAP8, 24), 24);
    EXPECT_EQ(bytes_per_row_for(B_CMAP8, 25), 28);
    EXPECT_EQ(bytes_per_row_for(B_RGB32, 150), 600);
    EXPECT_EQ(bytes_per_row_for(B_GRAY1, 9), 4);
    EXPECT_EQ(bytes_per_row_for(B_CMAP8, 0), 0);
    EXPECT_EQ(bytes_per_row_for(B_CMAP8, -5), 0);
}

TEST(Colours, TintLightensAndDarkens) {
    rgb_color c = make_color(100, 100, 100);
    EXPECT_EQ(tint_color(c, B_NO_TINT), c);
    EXPECT_EQ(tint_color(c, B_LIGHTEN_MAX_TINT), make_color(255, 255, 255));
    EXPECT_EQ(tint_color(c, B_DARKEN_MAX_TINT), make_color(0, 0, 0));
    EXPECT_GT(tint_color(c, B_LIGHTEN_1_TINT).red, 100);
    EXPECT_LT(tint_color(c, B_DARKEN_1_TINT).red, 100);
}
