#include <gtest/gtest.h>

#include <string>

#include "platform/interface/DisplayScale.h"
#include "platform/interface/Font.h"

namespace {

// Restores 1x when a test ends, whatever it set.
struct ScaleGuard {
    ~ScaleGuard() { DisplayScale::SetFactor(1); }
};

} // namespace

TEST(DisplayScale, TheOverrideWinsThenTheToolkitScaleThenTheResources) {
    const char* resources = "Xft.antialias:\t1\nXft.dpi:\t192\n";
    EXPECT_FLOAT_EQ(DisplayScale::FromSettings("1.5", "2", resources), 1.5f);
    EXPECT_FLOAT_EQ(DisplayScale::FromSettings(nullptr, "3", resources), 3);
    EXPECT_FLOAT_EQ(DisplayScale::FromSettings(nullptr, nullptr, resources), 2);
    EXPECT_FLOAT_EQ(DisplayScale::FromSettings(nullptr, nullptr, nullptr), 1);
    // A setting that is no number is passed over, not read as 0 or as its digits.
    for (const char* bad : {"", "abc", "0", "-2", "2x", "nan", "inf", "1e999", " "})
        EXPECT_FLOAT_EQ(DisplayScale::FromSettings(bad, bad, resources), 2) << bad;
}

TEST(DisplayScale, FactorsAreQuartersFromOneToFour) {
    EXPECT_FLOAT_EQ(DisplayScale::Round(1.25f), 1.25f);
    EXPECT_FLOAT_EQ(DisplayScale::Round(1.04f), 1);      // 100 dpi stays pixel-exact
    EXPECT_FLOAT_EQ(DisplayScale::Round(1.146f), 1.25f); // 110 dpi
    EXPECT_FLOAT_EQ(DisplayScale::Round(0.75f), 1);      // 72 dpi: never smaller than designed
    EXPECT_FLOAT_EQ(DisplayScale::Round(9), 4);
    EXPECT_FLOAT_EQ(DisplayScale::FromSettings(nullptr, nullptr, "Xft.dpi: 144"), 1.5f);
    EXPECT_FLOAT_EQ(DisplayScale::FromSettings(nullptr, nullptr, "Xft.dpi: 120\n"), 1.25f);
    EXPECT_FLOAT_EQ(DisplayScale::FromSettings(nullptr, nullptr, "Xft.dpi: 96\n"), 1);
}

TEST(DisplayScale, XftDpiIsReadFromItsOwnLineOnly) {
    EXPECT_FLOAT_EQ(DisplayScale::XftDpi("Xft.dpi:\t192"), 192);
    EXPECT_FLOAT_EQ(DisplayScale::XftDpi("  Xft.dpi :  144  \n"), 144);
    // The last definition counts, as in the resource manager.
    EXPECT_FLOAT_EQ(DisplayScale::XftDpi("Xft.dpi: 96\nXft.dpi: 120\n"), 120);
    EXPECT_FLOAT_EQ(DisplayScale::XftDpi("Xft.dpiX: 200\n*Xft.dpi 200\nXterm.Xft.dpi: 200"), 0);
    EXPECT_FLOAT_EQ(DisplayScale::XftDpi("Xft.dpi:\nXft.dpi: lots\n"), 0);
    EXPECT_FLOAT_EQ(DisplayScale::XftDpi(""), 0);
    EXPECT_FLOAT_EQ(DisplayScale::XftDpi(nullptr), 0);
}

TEST(DisplayScale, SettingAFactorRoundsItAndIsRemembered) {
    ScaleGuard guard;
    EXPECT_FLOAT_EQ(DisplayScale::Factor(), 1);
    DisplayScale::SetFactor(1.4f);
    EXPECT_FLOAT_EQ(DisplayScale::Factor(), 1.5f);
    EXPECT_TRUE(DisplayScale::IsSet());
}

// Text is measured at the size it is drawn with on a scaled display and given back in
// layout units, so that a width laid out at one scale holds at another.
TEST(DisplayScale, TextIsMeasuredAtTheSizeItIsDrawnWith) {
    ScaleGuard guard;
    const char* text = "Übergeordneter Ordner";
    BFont plain(be_plain_font);
    float atOne = plain.StringWidth(text);
    font_height heightAtOne;
    plain.GetHeight(&heightAtOne);

    BFont large(be_plain_font);
    large.SetSize(20);
    float drawnAtTwo = large.StringWidth(text);
    font_height largeHeight;
    large.GetHeight(&largeHeight);

    DisplayScale::SetFactor(2);
    EXPECT_FLOAT_EQ(plain.StringWidth(text), drawnAtTwo / 2);
    font_height heightAtTwo;
    plain.GetHeight(&heightAtTwo);
    EXPECT_FLOAT_EQ(heightAtTwo.ascent, largeHeight.ascent / 2);
    EXPECT_FLOAT_EQ(heightAtTwo.descent, largeHeight.descent / 2);
    // Whole-pixel advances at the larger size differ from twice the small ones, but only
    // by rounding.
    EXPECT_NEAR(plain.StringWidth(text), atOne, atOne * 0.1f);

    // At 1.25x the 10-pixel font is drawn at 12 pixels: the toolkit takes whole sizes, and
    // rounding up to 13 would make texts outgrow the controls laid out for them.
    BFont twelve(be_plain_font);
    twelve.SetSize(12);
    DisplayScale::SetFactor(1);
    float drawnAtTwelve = twelve.StringWidth(text);
    DisplayScale::SetFactor(1.25f);
    EXPECT_FLOAT_EQ(plain.StringWidth(text), drawnAtTwelve / 1.25f);
    EXPECT_FLOAT_EQ(DisplayScale::FontSize(10, 1.25f), 12);
    EXPECT_FLOAT_EQ(DisplayScale::FontSize(10, 1.5f), 15);
    EXPECT_FLOAT_EQ(DisplayScale::FontSize(12, 1.75f), 21);
    EXPECT_FLOAT_EQ(DisplayScale::FontSize(10.5f, 1), 10.5f);

    // A truncated text fits the width asked for at the scale it is drawn with.
    for (float scale : {1.0f, 1.25f, 1.5f, 2.0f}) {
        DisplayScale::SetFactor(scale);
        for (float width : {30.0f, 61.5f, 90.0f}) {
            std::string cut = plain.TruncatedString(text, B_TRUNCATE_END, width);
            EXPECT_LE(plain.StringWidth(cut.c_str()), width) << scale << " " << width;
        }
    }

    // Back at 1x every width is what it was.
    DisplayScale::SetFactor(1);
    EXPECT_FLOAT_EQ(plain.StringWidth(text), atOne);
}
