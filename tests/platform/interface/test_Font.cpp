#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/interface/Font.h"

namespace {

// Width of a truncated result, which must never exceed the width asked for.
float Width(const BFont& font, const std::string& text) {
    return font.StringWidth(text.c_str());
}

} // namespace

TEST(Font, SystemFontsHaveTheClassicSizes) {
    EXPECT_FLOAT_EQ(be_plain_font->Size(), 10);
    EXPECT_FLOAT_EQ(be_bold_font->Size(), 10);
    EXPECT_FLOAT_EQ(be_fixed_font->Size(), 12);
    EXPECT_EQ(be_bold_font->Face() & B_BOLD_FACE, B_BOLD_FACE);
    EXPECT_TRUE(be_fixed_font->IsFixed());
    BFont font;
    EXPECT_EQ(font, *be_plain_font);
}

TEST(Font, WidthsGrowWithTextSizeAndBoldness) {
    BFont font(be_plain_font);
    float small = font.StringWidth("Installation Complete");
    EXPECT_GT(small, 50);
    EXPECT_EQ(font.StringWidth(""), 0);
    EXPECT_EQ(font.StringWidth(nullptr), 0);
    EXPECT_FLOAT_EQ(font.StringWidth("abcdef", 3), font.StringWidth("abc"));
    // Widths are sums of whole-pixel advances, so they add up exactly.
    EXPECT_FLOAT_EQ(font.StringWidth("abcdef"), font.StringWidth("abc") + font.StringWidth("def"));
    font.SetSize(18);
    EXPECT_GT(font.StringWidth("Installation Complete"), small * 1.5f);
    BFont bold(be_plain_font);
    bold.SetFace(B_BOLD_FACE);
    EXPECT_GT(bold.StringWidth("Installation Complete"), small);
    // Rotation changes how text is drawn, not how wide it is.
    BFont rotated(be_plain_font);
    rotated.SetRotation(90);
    EXPECT_FLOAT_EQ(rotated.StringWidth("Credits"), be_plain_font->StringWidth("Credits"));
    // A fixed font gives every character the same advance.
    EXPECT_FLOAT_EQ(be_fixed_font->StringWidth("iiii"), be_fixed_font->StringWidth("MMMM"));
}

TEST(Font, HeightIsPlausibleForTheSize) {
    font_height h;
    be_plain_font->GetHeight(&h);
    EXPECT_GE(h.ascent, 7);
    EXPECT_LE(h.ascent, 12);
    EXPECT_GE(h.descent, 1);
    EXPECT_LE(h.descent, 5);
    EXPECT_GE(h.leading, 0);
}

TEST(Font, MalformedUtf8IsMeasuredWithoutReadingPastTheEnd) {
    const char truncated[] = {'a', (char)0xE2, (char)0x80}; // a cut three-byte sequence
    EXPECT_GT(be_plain_font->StringWidth(truncated, 3), 0);
    EXPECT_GT(be_plain_font->StringWidth("\xFF\xFE"), 0);
    // A length past the terminating NUL stops at the NUL.
    EXPECT_FLOAT_EQ(be_plain_font->StringWidth("ab", 100), be_plain_font->StringWidth("ab"));
}

TEST(Font, TextThatFitsIsNotTruncated) {
    std::string text = "/boot/home/Apps";
    float w = be_plain_font->StringWidth(text.c_str());
    for (uint32 mode : {B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE, B_TRUNCATE_SMART})
        EXPECT_EQ(be_plain_font->TruncatedString(text.c_str(), mode, w), text);
}

TEST(Font, TruncationModesKeepTheRightEnd) {
    const BFont& font = *be_plain_font;
    const std::string text = "/boot/home/config/settings/Tarnwhistle/Installed";
    float width = font.StringWidth(text.c_str()) / 2;

    std::string end = font.TruncatedString(text.c_str(), B_TRUNCATE_END, width);
    EXPECT_EQ(end.compare(0, 5, "/boot"), 0);
    EXPECT_EQ(end.substr(end.size() - 3), B_UTF8_ELLIPSIS);

    std::string begin = font.TruncatedString(text.c_str(), B_TRUNCATE_BEGINNING, width);
    EXPECT_EQ(begin.compare(0, 3, B_UTF8_ELLIPSIS), 0);
    EXPECT_EQ(begin.substr(begin.size() - 9), "Installed");

    std::string middle = font.TruncatedString(text.c_str(), B_TRUNCATE_MIDDLE, width);
    EXPECT_EQ(middle.compare(0, 5, "/boot"), 0);
    EXPECT_EQ(middle.substr(middle.size() - 9), "Installed");
    EXPECT_NE(middle.find(B_UTF8_ELLIPSIS), std::string::npos);

    for (const std::string* s : {&end, &begin, &middle}) {
        EXPECT_LE(Width(font, *s), width) << *s;
        // As much as fits is kept: one more character would not fit.
        EXPECT_GT(Width(font, *s) + font.StringWidth("W"), width - font.StringWidth("W")) << *s;
    }
}

TEST(Font, SmartTruncationKeepsWholeNames) {
    const BFont& font = *be_plain_font;
    const char* path = "/boot/home/config/settings/Tarnwhistle/Installed";
    float width = font.StringWidth("/boot/home/" B_UTF8_ELLIPSIS "/Tarnwhistle/Installed") + 2;
    std::string smart = font.TruncatedString(path, B_TRUNCATE_SMART, width);
    EXPECT_LE(font.StringWidth(smart.c_str()), width);
    // The cut lies between slashes on both sides.
    size_t cut = smart.find(B_UTF8_ELLIPSIS);
    ASSERT_NE(cut, std::string::npos);
    EXPECT_EQ(smart[cut - 1], '/') << smart;
    EXPECT_EQ(smart[cut + 3], '/') << smart;
    EXPECT_EQ(smart.substr(smart.size() - 10), "/Installed");
    // Too narrow for whole names: it cuts like the middle mode.
    std::string tight = font.TruncatedString("abcdefghijklmnop", B_TRUNCATE_SMART,
                                             font.StringWidth("abc" B_UTF8_ELLIPSIS "nop"));
    EXPECT_EQ(tight, font.TruncatedString("abcdefghijklmnop", B_TRUNCATE_MIDDLE,
                                          font.StringWidth("abc" B_UTF8_ELLIPSIS "nop")));
}

TEST(Font, TruncationNeverSplitsACharacter) {
    const BFont& font = *be_plain_font;
    const std::string text = "Überprüfung läuft für öffentliche Größen";
    for (float width = 0; width < font.StringWidth(text.c_str()); width += 3) {
        for (uint32 mode : {B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE}) {
            std::string out = font.TruncatedString(text.c_str(), mode, width);
            EXPECT_LE(Width(font, out), width);
            // Every byte of the result is part of a complete UTF-8 sequence.
            for (size_t i = 0; i < out.size();) {
                unsigned char c = out[i];
                size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
                ASSERT_LE(i + n, out.size()) << out;
                for (size_t k = 1; k < n; k++)
                    ASSERT_EQ((unsigned char)out[i + k] & 0xC0, 0x80) << out;
                i += n;
            }
        }
    }
}

TEST(Font, TooNarrowForTheEllipsisGivesNothing) {
    EXPECT_EQ(be_plain_font->TruncatedString("Destination", B_TRUNCATE_END, 1), "");
    std::string s = "Destination";
    be_plain_font->TruncateString(&s, B_TRUNCATE_END, -5);
    EXPECT_EQ(s, "");
}

TEST(Font, TruncatedStringsFitTheirBuffers) {
    // A cut text can be longer in bytes than the original (the ellipsis takes three);
    // the buffer contract (length + 3 + 1) holds any result.
    const char* in[] = {"WWWW", "short", "a longer text that will surely be cut somewhere"};
    char buffers[3][64];
    std::memset(buffers, 'x', sizeof buffers);
    char* out[] = {buffers[0], buffers[1], buffers[2]};
    float width = be_plain_font->StringWidth("W" B_UTF8_ELLIPSIS);
    be_plain_font->GetTruncatedStrings(in, 3, B_TRUNCATE_END, width, out);
    EXPECT_STREQ(out[0], "W" B_UTF8_ELLIPSIS);
    EXPECT_LE(std::strlen(out[1]), std::strlen(in[1]) + B_TRUNCATION_EXTRA_BYTES);
    EXPECT_LE(be_plain_font->StringWidth(out[2]), width);
}

TEST(Font, FamiliesAndStyles) {
    BFont font;
    EXPECT_EQ(font.SetFamilyAndStyle("No Such Family", "Bold"), B_NAME_NOT_FOUND);
    EXPECT_EQ(font, *be_plain_font);
    EXPECT_EQ(font.SetFamilyAndStyle("DejaVu Sans", "Bold"), B_OK);
    EXPECT_EQ(font.Face() & B_BOLD_FACE, B_BOLD_FACE);
    font_family family;
    font_style style;
    font.GetFamilyAndStyle(&family, &style);
    EXPECT_STREQ(family, "DejaVu Sans");
    EXPECT_STREQ(style, "Bold");
    font.SetSize(-3);
    EXPECT_FLOAT_EQ(font.Size(), 1);
}
