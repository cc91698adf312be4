#include <gtest/gtest.h>
#include <optional>

#include "platform/support/PercentCoding.h"

TEST(PercentCoding, APathKeepsOnlyWhatAUriMayCarryAsItIs) {
    EXPECT_EQ(PercentEncodePath("/home/ana/Mes Documents/ü%.txt"),
              "/home/ana/Mes%20Documents/%C3%BC%25.txt");
    EXPECT_EQ(PercentEncodePath("a-b_c.d~e/F9"), "a-b_c.d~e/F9");
    EXPECT_EQ(PercentEncodePath(std::string_view("a\0b", 3)), "a%00b");
}

namespace {

std::optional<std::string> Decoded(std::string_view text, bool strict) {
    std::string out = "left over";
    if (!PercentDecode(text, out, strict))
        return std::nullopt;
    return out;
}

} // namespace

TEST(PercentCoding, DecodingUndoesEncodingForEveryByte) {
    std::string every;
    for (int c = 0; c < 256; ++c)
        every += char(c);
    EXPECT_EQ(Decoded(PercentEncodePath(every), true), every);
    EXPECT_EQ(Decoded("%c3%BC", true), "\xc3\xbc"); // either case
    EXPECT_EQ(Decoded("", true), "");
}

TEST(PercentCoding, ABrokenEscapeFailsStrictlyAndStaysOtherwise) {
    for (const char* broken : {"100%", "%4", "%G1", "a%%20"}) {
        EXPECT_EQ(Decoded(broken, true), std::nullopt) << broken;
    }
    EXPECT_EQ(Decoded("100%", false), "100%");
    EXPECT_EQ(Decoded("%G1%41", false), "%G1A");
    EXPECT_EQ(HexDigitValue('f'), 15);
    EXPECT_EQ(HexDigitValue('g'), -1);
}
