#include "lib/LibString.h"

#include <cstring>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "support/Sandbox.h"

namespace {

std::string Text(const LibString& s) {
    const char* text = s;
    return text != nullptr ? text : "<null>";
}

} // namespace

TEST(LibString, BuffersAreSizedExactly) {
    LibString empty;
    EXPECT_EQ(Text(empty), "");
    EXPECT_EQ(empty.BufferSize(), 1);

    LibString sized(int32(20));
    EXPECT_EQ(Text(sized), "");
    EXPECT_EQ(sized.BufferSize(), 21);

    LibString hello("hello");
    EXPECT_EQ(hello.BufferSize(), 6);

    LibString none(static_cast<const char*>(nullptr));
    EXPECT_EQ(static_cast<const char*>(none), nullptr);
    EXPECT_EQ(none.BufferSize(), 0);
    // A string without a buffer behaves as empty and can be assigned again.
    EXPECT_EQ(none.Length(), 0);
    none = "back";
    EXPECT_EQ(Text(none), "back");

    hello.Clear();
    EXPECT_EQ(static_cast<const char*>(hello), nullptr);
    EXPECT_EQ(hello.BufferSize(), 0);
}

TEST(LibString, CopyKeepsTheSourceBufferSize) {
    LibString big;
    big.SetBuffer(100);
    strcpy(big, "abc");
    LibString copy;
    copy = big;
    EXPECT_EQ(copy.BufferSize(), 101);
    EXPECT_EQ(Text(copy), "abc");
    EXPECT_NE(static_cast<const char*>(copy), static_cast<const char*>(big));

    LibString constructed(big);
    EXPECT_EQ(constructed.BufferSize(), 101);

    copy = copy; // self-assignment changes nothing
    EXPECT_EQ(Text(copy), "abc");

    testing::internal::CaptureStderr();
    copy.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "LibString:: <abc>, buffer 101\n");
}

TEST(LibString, AssignmentFromTextAndNumbers) {
    LibString s("keep");
    s = static_cast<const char*>(nullptr);
    EXPECT_EQ(Text(s), "keep");

    // Assigning a pointer into the string's own buffer must not read freed memory.
    s = "prefix-tail";
    s = static_cast<const char*>(s) + 7;
    EXPECT_EQ(Text(s), "tail");
    EXPECT_EQ(s.BufferSize(), 5);

    s = int32(42);
    EXPECT_EQ(Text(s), "42");
    EXPECT_EQ(s.BufferSize(), 11);
    s = int32(INT32_MIN);
    EXPECT_EQ(Text(s), "-2147483648");
    EXPECT_EQ(s.BufferSize(), 12);

    s = uint32(4000000000u);
    EXPECT_EQ(Text(s), "4000000000");
    s = int64(-5000000000);
    EXPECT_EQ(Text(s), "-5000000000");
    s += uint64(7);
    EXPECT_EQ(Text(s), "-50000000007");

    s = 1.5f;
    EXPECT_EQ(Text(s), "1.500000");
    EXPECT_EQ(s.BufferSize(), 11);
    s = 2.25;
    EXPECT_EQ(Text(s), "2.250000");
    EXPECT_EQ(s.BufferSize(), 16);
    s = 1e20;
    EXPECT_EQ(Text(s), "100000000000000000000.000000");
    EXPECT_EQ(s.BufferSize(), 29);

    s.SetFloat64(3.14159, 2);
    EXPECT_EQ(Text(s), "3.14");
    EXPECT_EQ(s.BufferSize(), 33);
    s.SetFloat32(2.5f, 0);
    EXPECT_EQ(Text(s), "2");

    s.Formatted("%s-%d", "a", 7);
    EXPECT_EQ(Text(s), "a-7");
    EXPECT_EQ(s.BufferSize(), 4);
    std::string longText(2000, 'x');
    s.Formatted("%s", longText.c_str());
    EXPECT_EQ(s.Length(), 511);
}

TEST(LibString, Hexadecimal) {
    LibString s;
    s.SetHex(255);
    EXPECT_EQ(Text(s), "FF");
    EXPECT_EQ(s.BufferSize(), 3);
    s.SetHex(10);
    EXPECT_EQ(Text(s), "0A");

    EXPECT_EQ(LibString("ff").GetHex(), 255);
    EXPECT_EQ(LibString("fff").GetHex(), 0);
    EXPECT_EQ(LibString("g1").GetHex(), 1);
    EXPECT_EQ(LibString("7f").GetHex(), 127);
    EXPECT_EQ(s.HexValue('c'), 12);
    EXPECT_EQ(s.HexValue('z'), 0);
    EXPECT_EQ(s.HexValue('\0'), 0);
}

TEST(LibString, ConcatenationGrowsOnlyWhenNeeded) {
    LibString s("ab");
    s.Concat("cd");
    EXPECT_EQ(Text(s), "abcd");
    EXPECT_EQ(s.BufferSize(), 5);
    s.Concat('e');
    EXPECT_EQ(s.BufferSize(), 6);

    LibString roomy(int32(10));
    const char* before = roomy;
    roomy.Concat("12345");
    roomy.Concat("6789");
    EXPECT_EQ(static_cast<const char*>(roomy), before); // appended in place
    EXPECT_EQ(roomy.BufferSize(), 11);
    roomy.Concat("0"); // 10 characters need 11 bytes: still fits
    EXPECT_EQ(roomy.BufferSize(), 11);
    roomy.Concat("!");
    EXPECT_EQ(roomy.BufferSize(), 12);
    EXPECT_EQ(Text(roomy), "1234567890!");

    s = "x";
    s += int32(-5);
    s += 0.5;
    s += 0.25f;
    EXPECT_EQ(Text(s), "x-50.5000000.250000");

    // Appending a string to itself, with and without reallocation.
    s = "abc";
    s.Concat(s);
    EXPECT_EQ(Text(s), "abcabc");
    LibString wide(int32(20));
    wide = "xy";
    wide.SetBuffer(20);
    strcpy(wide, "xy");
    wide.Concat(wide);
    EXPECT_EQ(Text(wide), "xyxy");

    s = "world";
    s.PrePend("hello ");
    EXPECT_EQ(Text(s), "hello world");
    s.PrePend(s);
    EXPECT_EQ(Text(s), "hello worldhello world");
}

TEST(LibString, ReadAppendsTheWholeFile) {
    auto path = tarnw::test::Sandbox::MakeFolder("read") / "file.txt";
    std::string content = "first line\nsecond line that is longer than the buffer\n\nlast";
    tarnw::test::WriteFile(path, content);
    LibString s("> ");
    s.Read(path.c_str(), 8);
    EXPECT_EQ(Text(s), "> " + content);

    LibString unchanged("same");
    unchanged.Read((path.string() + ".missing").c_str(), 100);
    EXPECT_EQ(Text(unchanged), "same");

    LibString tiny;
    tiny.Read(path.c_str(), 1); // a buffer of one byte still reads everything
    EXPECT_EQ(Text(tiny), content);
}

TEST(LibString, Compare) {
    LibString abc("abc");
    EXPECT_EQ(abc.Compare(static_cast<const char*>(nullptr)), 1);
    EXPECT_EQ(abc.Compare(""), 1);
    EXPECT_EQ(LibString("").Compare(""), 0);
    EXPECT_EQ(LibString("ab").Compare("abc"), -1);
    EXPECT_EQ(abc.Compare("ab"), 1);
    EXPECT_EQ(abc.Compare("ABC", true), 0);
    EXPECT_NE(abc.Compare("ABC", false), 0);
    EXPECT_EQ(abc.Compare("abd", true), -1);
    EXPECT_EQ(LibString("ab").Compare("ABC", true), -1);
    // Bytes above 0x7f sort after ASCII, as unsigned bytes do.
    EXPECT_EQ(LibString("\xc3\xa9").Compare("z"), 1);
    EXPECT_EQ(abc.Compare(LibString("abc")), 0);

    EXPECT_TRUE(abc == "abc");
    EXPECT_TRUE(abc != "abd");
    EXPECT_TRUE(abc == LibString("abc"));
    EXPECT_FALSE(abc == static_cast<const char*>(nullptr));
}

TEST(LibString, CompareSub) {
    LibString s("Hello World");
    EXPECT_EQ(s.CompareSub("World", false, -1, 6), 0);
    EXPECT_EQ(s.CompareSub("Hel", false, 3, 0), 0);
    EXPECT_GT(s.CompareSub("Hel", false, -1, 0), 0);
    EXPECT_EQ(s.CompareSub("hello", true, 5, 0), 0);
    EXPECT_EQ(s.CompareSub("HELLO WORLD", true, -1, 0), 0);
    EXPECT_EQ(s.CompareSub("HELLO", true, -1, 0), 1); // the string is longer
    EXPECT_EQ(s.CompareSub("HELLO WORLDS", true, -1, 0), -1);
    EXPECT_EQ(s.CompareSub("WORLD", true, 100, 6), 0); // both end together
    // An offset past the end compares the empty tail instead of reading beyond it.
    EXPECT_LT(s.CompareSub("x", false, -1, 500), 0);
    EXPECT_EQ(s.CompareSub("", false, -1, 500), 0);
}

TEST(LibString, NumericParsingValidatesTheWholeText) {
    int32 value = 99;
    EXPECT_TRUE(LibString("12.7").GetInt32(value));
    EXPECT_EQ(value, 12);
    for (const char* bad : {" 12", "1e3", "1-2", "--1", "1.2.3", "12 ", "0x10", "+-1"}) {
        value = 99;
        EXPECT_FALSE(LibString(bad).GetInt32(value)) << bad;
        EXPECT_EQ(value, 0) << bad;
    }
    value = 99;
    EXPECT_TRUE(LibString("").GetInt32(value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(LibString("-42").GetInt32(value));
    EXPECT_EQ(value, -42);
    EXPECT_TRUE(LibString("+7").GetInt32(value));
    EXPECT_EQ(value, 7);
    EXPECT_TRUE(LibString("99999999999").GetInt32(value)); // saturates
    EXPECT_EQ(value, INT32_MAX);

    uint8 byte = 0;
    EXPECT_TRUE(LibString("300").GetUint8(byte));
    EXPECT_EQ(byte, 44);
    EXPECT_TRUE(LibString("-1").GetUint8(byte));
    EXPECT_EQ(byte, 255);
    int8 small = 0;
    EXPECT_TRUE(LibString("200").GetInt8(small));
    EXPECT_EQ(small, -56);
    int16 half = 0;
    EXPECT_TRUE(LibString("70000").GetInt16(half));
    EXPECT_EQ(half, 4464);
    uint16 uhalf = 0;
    EXPECT_TRUE(LibString("65535").GetUint16(uhalf));
    EXPECT_EQ(uhalf, 65535);

    uint32 unsignedValue = 0;
    EXPECT_TRUE(LibString("4000000000").GetUint32(unsignedValue));
    EXPECT_EQ(unsignedValue, 4000000000u);
    EXPECT_TRUE(LibString("-1").GetUint32(unsignedValue));
    EXPECT_EQ(unsignedValue, 4294967295u);

    double wide = 1;
    EXPECT_TRUE(LibString("-2.5").GetFloat64(wide));
    EXPECT_DOUBLE_EQ(wide, -2.5);
    EXPECT_FALSE(LibString("2.5e1").GetFloat64(wide));
    EXPECT_EQ(wide, 0);
    float narrow = 1;
    EXPECT_TRUE(LibString("0.25").GetFloat32(narrow));
    EXPECT_FLOAT_EQ(narrow, 0.25f);
    EXPECT_FALSE(LibString("abc").GetFloat32(narrow));
    EXPECT_EQ(narrow, 0);

    EXPECT_TRUE(LibString("").IsNumeric());
    EXPECT_TRUE(LibString("-.5").IsNumeric());
    EXPECT_FALSE(LibString("1+").IsNumeric());
    LibString cleared("x");
    cleared.Clear();
    EXPECT_TRUE(cleared.IsNumeric());
}

TEST(LibString, DiagnosticsAndSizes) {
    LibString s("A\xff");
    testing::internal::CaptureStderr();
    s.PrintDecimalToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "65,-1,\n");
    EXPECT_EQ(s.PackSize(), 6);
}

TEST(LibString, BytesToString) {
    LibString out;
    EXPECT_EQ(Text(LibBytesToString(1536, out, 1)), "1.5 KB");
    EXPECT_EQ(Text(LibBytesToString(1048577, out, 2)), "1.00 MB");
    EXPECT_EQ(Text(LibBytesToString(0, out, 0)), "0 bytes");
    EXPECT_EQ(Text(LibBytesToString(1048576, out, 1)), "1024.0 KB");
    EXPECT_EQ(Text(LibBytesToString(1024, out, 0)), "1024 bytes");
    EXPECT_EQ(Text(LibBytesToString(4294967295u, out, 1)), "4096.0 MB");
    EXPECT_EQ(&LibBytesToString(1, out, 0), &out);
}

TEST(LibString, StringToBytes) {
    EXPECT_EQ(LibStringToBytes("2 KB"), 2048);
    EXPECT_EQ(LibStringToBytes("1.5 MB"), 1572864);
    EXPECT_EQ(LibStringToBytes("512 bytes"), 0);
    EXPECT_EQ(LibStringToBytes("2 kb"), 0);
    EXPECT_EQ(LibStringToBytes("2KB"), 0);
    EXPECT_EQ(LibStringToBytes(nullptr), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(LibStringToBytes("x KB"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "LibConvertBytes <x> not a float\n");
    // Too large for 32 bits: the largest count instead of a wrapped one.
    EXPECT_EQ(LibStringToBytes("5000 MB"), INT32_MAX);
}
