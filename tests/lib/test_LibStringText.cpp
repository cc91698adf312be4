#include "lib/LibString.h"

#include <string>

#include <gtest/gtest.h>

#include "platform/interface/Font.h"
#include "platform/interface/Rect.h"

namespace {

std::string Text(const LibString& s) {
    const char* text = s;
    return text != nullptr ? text : "<null>";
}

template <class Edit> std::string Edited(const char* start, Edit edit) {
    LibString s(start);
    edit(s);
    return Text(s);
}

} // namespace

TEST(LibStringText, Searching) {
    LibString s("a/b/c");
    EXPECT_EQ(s.Index('/'), 1);
    EXPECT_EQ(s.Index('x'), -1);
    EXPECT_EQ(s.Index('\0'), -1);
    EXPECT_EQ(s.Index("b/c"), 2);
    EXPECT_EQ(s.Index(""), 0);
    EXPECT_EQ(LibString("").Index(""), -1);
    EXPECT_EQ(s.Index(LibString("c")), 4);
    EXPECT_EQ(s.IndexOfAny("cb"), 2);
    EXPECT_EQ(s.IndexOfAny("xyz"), -1);
    EXPECT_EQ(s.Count('/'), 2);
    EXPECT_TRUE(s.Contain('c'));

    EXPECT_TRUE(LibString("aab").Contain("AB", true));
    EXPECT_FALSE(LibString("aab").Contain("AB", false));
    EXPECT_TRUE(LibString("").Contain(""));
    // Only ASCII letters fold; other bytes compare exactly.
    EXPECT_FALSE(LibString("\xc3\xa9").Contain("\xc3\x89", true));

    EXPECT_FALSE(s.BeginsWith(""));
    EXPECT_TRUE(s.EndsWith(""));
    EXPECT_TRUE(s.BeginsWith("A/", true));
    EXPECT_FALSE(s.BeginsWith("a/b/c/d"));
    EXPECT_TRUE(s.EndsWith("B/C", true));
    EXPECT_FALSE(s.EndsWith("B/C"));
    EXPECT_FALSE(s.EndsWith("xa/b/c"));
}

TEST(LibStringText, Words) {
    LibString s("  a   b ");
    EXPECT_EQ(s.Words(), 2);
    LibString word("stale");
    EXPECT_TRUE(s.Word(2, word));
    EXPECT_EQ(Text(word), "b");
    EXPECT_FALSE(s.Word(3, word));
    EXPECT_EQ(Text(word), "");
    word = "stale";
    EXPECT_FALSE(s.Word(0, word));
    EXPECT_EQ(Text(word), "");
    EXPECT_TRUE(LibString(" \t\n").IsBlank());
    EXPECT_TRUE(LibString("").IsBlank());
    EXPECT_FALSE(LibString(" x ").IsBlank());

    LibString self("one two");
    EXPECT_TRUE(self.Word(2, self));
    EXPECT_EQ(Text(self), "two");
}

TEST(LibStringText, WildCards) {
    EXPECT_TRUE(LibString("a.txt").IsWildCard("*.txt"));
    EXPECT_TRUE(LibString(".txt").IsWildCard("*.txt"));
    EXPECT_FALSE(LibString("a.txt.bak").IsWildCard("*.txt"));
    EXPECT_TRUE(LibString("abc").IsWildCard("a?c"));
    EXPECT_FALSE(LibString("ac").IsWildCard("a?c"));
    EXPECT_TRUE(LibString("").IsWildCard("***"));
    EXPECT_FALSE(LibString("").IsWildCard("?"));
    EXPECT_TRUE(LibString("abcabd").IsWildCard("*ab?"));
    EXPECT_TRUE(LibString("mississippi").IsWildCard("m*iss*ppi"));
    EXPECT_FALSE(LibString("ABC").IsWildCard("abc"));
    EXPECT_FALSE(LibString("x").IsWildCard("**?**?"));
    EXPECT_TRUE(LibString::CompareWildCard("lib.so.1", "lib*.so*"));
    EXPECT_FALSE(LibString::CompareWildCard(nullptr, "*"));
    // Many stars against a long subject that fails at the very end stays quick.
    std::string subject(5000, 'a');
    EXPECT_FALSE(LibString::CompareWildCard(subject.c_str(), "*a*a*a*a*a*a*a*a*b"));
}

TEST(LibStringText, Extract) {
    LibString s("abcdef");
    EXPECT_EQ(Text(s.Extract(1, 3)), "bcd");
    EXPECT_EQ(Text(s.Extract(2, 1)), "");
    EXPECT_EQ(Text(s.Extract(4, 99)), "ef"); // clamped, never read past the end
    EXPECT_EQ(Text(s.Extract(-5, 0)), "a");

    EXPECT_EQ(Text(LibString("a(b)c").Extract('(', ')', false)), "(b)");
    EXPECT_EQ(Text(LibString("a(b)c)").Extract('(', ')', false)), "(b)");
    EXPECT_EQ(Text(LibString("a(b)c").Extract('(', ')', true)), "b");
    EXPECT_EQ(Text(LibString("abc").Extract('(', ')', false)), "");
    EXPECT_EQ(Text(LibString("a(bc").Extract('(', ')', false)), "(bc");
    EXPECT_EQ(Text(LibString("x'quoted'y").Extract('\'', '\'', true)), "quoted");
    EXPECT_EQ(Text(LibString("a()").Extract('(', ')', true)), "");
}

TEST(LibStringText, CuttingAtPositions) {
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.FromIndex(-1); }), "");
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.ToIndex(-2); }), "abc");
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.ToIndex(-1); }), "");
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.ToIndex(1); }), "ab");
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.ToIndex(3); }), "abc");
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.FromIndex(1); }), "bc");
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.FromIndex(3); }), "");

    EXPECT_EQ(Edited("a/b/c", [](LibString& s) { s.ToLast('/', -1); }), "a/b");
    EXPECT_EQ(Edited("a/b/c", [](LibString& s) { s.ToLast('/', 0); }), "a/b/");
    EXPECT_EQ(Edited("a/b/c", [](LibString& s) { s.FromLast('/', 1); }), "c");
    // Without the character its position counts as 0: how a file list splits "leaf".
    EXPECT_EQ(Edited("leaf", [](LibString& s) { s.ToLast('/', 0); }), "l");
    EXPECT_EQ(Edited("leaf", [](LibString& s) { s.FromLast('/', 1); }), "eaf");
    EXPECT_EQ(Edited("ab/", [](LibString& s) { s.FromLast('/', 1); }), "");
    EXPECT_EQ(Edited("a/b", [](LibString& s) { s.ToLast('/', 5); }), "a/b");
    EXPECT_EQ(Edited("", [](LibString& s) { s.FromLast('/', 1); }), "");
}

TEST(LibStringText, CuttingAtCharacters) {
    LibString s("a:b:c");
    EXPECT_TRUE(s.ToChar(':', 1, 0));
    EXPECT_EQ(Text(s), "a:b");
    s = "a:b:c";
    EXPECT_TRUE(s.ToChar(':', 0, 1));
    EXPECT_EQ(Text(s), "a:");
    s = "a:b:c";
    EXPECT_FALSE(s.ToChar(':', 2, 0));
    EXPECT_EQ(Text(s), "a:b:c");
    EXPECT_TRUE(s.ToChar(':', 0, 99)); // clamped to the length
    EXPECT_EQ(Text(s), "a:b:c");

    EXPECT_TRUE(s.FromChar(':', 1, 1));
    EXPECT_EQ(Text(s), "c");
    s = "a:b:c";
    EXPECT_TRUE(s.FromChar(':', 0, 0));
    EXPECT_EQ(Text(s), ":b:c");
    s = "a:b:";
    EXPECT_TRUE(s.FromChar(':', 1, 1));
    EXPECT_EQ(Text(s), "");
    s = "abc";
    EXPECT_FALSE(s.FromChar(':', 0, 0));
    EXPECT_EQ(Text(s), "abc");
}

TEST(LibStringText, InsertAndRemove) {
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.Insert(0, "X"); }), "aXbc");
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.Insert(-1, "X"); }), "Xabc");
    EXPECT_EQ(Edited("abc", [](LibString& s) { s.Insert(7, "X"); }), "abcX");
    EXPECT_EQ(Edited("", [](LibString& s) { s.Insert(3, "X"); }), "X");

    EXPECT_EQ(Edited("abcdef", [](LibString& s) { s.Remove(1, 2); }), "adef");
    EXPECT_EQ(Edited("abcdef", [](LibString& s) { s.Remove(2, 99); }), "ab");
    EXPECT_EQ(Edited("abcdef", [](LibString& s) { s.Remove(-1, 2); }), "abcdef");
    EXPECT_EQ(Edited("abcdef", [](LibString& s) { s.Remove(9, 12); }), "abcdef");
    EXPECT_EQ(Edited("abcdef", [](LibString& s) { s.Remove(3, 2); }), "abcdef");
    EXPECT_EQ(Edited("abcdef", [](LibString& s) { s.RemoveChar(0); }), "bcdef");
    EXPECT_EQ(Edited("abcdef", [](LibString& s) { s.RemoveChar(6); }), "abcdef");
    EXPECT_EQ(Edited("a-b--c", [](LibString& s) { s.RemoveAllChar('-'); }), "abc");
    EXPECT_EQ(Edited("a//b///c/", [](LibString& s) { s.RemoveRepeatingChar('/'); }), "a/b/c/");
    EXPECT_EQ(Edited("abcdef", [](LibString& s) { s.ShiftFrom(1, 4); }), "aef");
    EXPECT_EQ(Edited("abcdef", [](LibString& s) { s.ShiftFrom(4, 1); }), "abcdef");
}

TEST(LibStringText, RemoveWords) {
    for (auto [word, expected] :
         {std::pair{"bar", "foo baz"}, std::pair{"foo", "bar baz"}, std::pair{"baz", "foo bar"}}) {
        LibString s("foo bar baz");
        EXPECT_TRUE(s.RemoveWord(word)) << word;
        EXPECT_EQ(Text(s), expected) << word;
    }
    LibString s("foo");
    EXPECT_TRUE(s.RemoveWord("foo"));
    EXPECT_EQ(Text(s), "");
    s = "foobar foo";
    EXPECT_FALSE(s.RemoveWord("fo"));
    EXPECT_FALSE(s.RemoveWord(""));
    s = "x a x b x";
    s.RemoveAllWords("x");
    EXPECT_EQ(Text(s), "a b");
}

TEST(LibStringText, Replace) {
    LibString s("abcb");
    EXPECT_EQ(s.Replace("b", "xy"), 1);
    EXPECT_EQ(Text(s), "axycb");
    s = "abcb";
    EXPECT_EQ(s.ReplaceAll("b", "xy"), -1);
    EXPECT_EQ(Text(s), "axycxy");
    s = "abc";
    EXPECT_EQ(s.Replace("z", "y"), -1);
    EXPECT_EQ(Text(s), "abc");
    EXPECT_EQ(s.Replace("", "<"), 0);
    EXPECT_EQ(Text(s), "<abc");

    // Every search starts again at the front, so replacements that form a new
    // occurrence are replaced too.
    s = "aaaa";
    s.ReplaceAll("aa", "a");
    EXPECT_EQ(Text(s), "a");
    s = "aab";
    s.ReplaceAll("ab", "b");
    EXPECT_EQ(Text(s), "b");
    // A replacement that contains what it replaces, or an empty search, ends.
    s = "a.b.c";
    s.ReplaceAll(".", "..");
    EXPECT_EQ(Text(s), "a..b..c");
    s = "abc";
    s.ReplaceAll("", "x");
    EXPECT_EQ(Text(s), "abc");

    s = "aab";
    s.ReplaceAll("ab", "bba");
    EXPECT_EQ(Text(s), "bbbbaa");
    // A rewrite that would grow without end stops.
    s = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab";
    s.ReplaceAll("ab", "bba");
    EXPECT_TRUE(s.EndsWith("a"));

    s = "a b c";
    s.ReplaceAll(' ', '_');
    EXPECT_EQ(Text(s), "a_b_c");
    s.SwapChar('_', '-');
    EXPECT_EQ(Text(s), "a-b-c");
}

TEST(LibStringText, ReplaceAllAgreesWithRepeatedReplace) {
    // Small alphabets make replacements that form new occurrences common.
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    auto word = [&](unsigned maximum) {
        std::string w;
        for (unsigned i = 0, n = next(maximum + 1); i < n; i++)
            w += (char)('a' + next(2));
        return w;
    };
    for (int round = 0; round < 2000; round++) {
        std::string text = word(12), find = word(3), with = word(3);
        if (find.empty() || with.find(find) != std::string::npos)
            continue;
        LibString expected(text.c_str());
        for (int guard = 0; guard < 10000 && expected.Replace(find.c_str(), with.c_str()) >= 0;
             guard++) {
        }
        LibString actual(text.c_str());
        EXPECT_EQ(actual.ReplaceAll(find.c_str(), with.c_str()), -1);
        ASSERT_EQ(Text(actual), Text(expected)) << text << " " << find << " -> " << with;
    }
}

TEST(LibStringText, StripAndCase) {
    EXPECT_EQ(Edited(" \t x y \n", [](LibString& s) { s.StripLeadingSpaces(); }), "x y \n");
    EXPECT_EQ(Edited(" \t x y \n", [](LibString& s) { s.StripTrailingSpaces(); }), " \t x y");
    EXPECT_EQ(Edited("   ", [](LibString& s) { s.StripTrailingSpaces(); }), "");
    EXPECT_EQ(Edited("   ", [](LibString& s) { s.StripLeadingSpaces(); }), "");
    EXPECT_EQ(Edited(" a b\tc ", [](LibString& s) { s.StripAllSpaces(); }), "abc");
    EXPECT_EQ(Edited("//a/b//", [](LibString& s) { s.StripLeadingChar('/'); }), "a/b//");
    EXPECT_EQ(Edited("//a/b//", [](LibString& s) { s.StripTrailingChar('/'); }), "//a/b");
    EXPECT_EQ(Edited("a.b,c_d!", [](LibString& s) { s.StripPunct(); }), "abc_d");
    EXPECT_EQ(Edited("MiXeD 1", [](LibString& s) { s.ToLowerCase(); }), "mixed 1");
    EXPECT_EQ(Edited("MiXeD 1", [](LibString& s) { s.ToUpperCase(); }), "MIXED 1");

    EXPECT_EQ(Edited("hello world", [](LibString& s) { s.ToProperCase(); }), "Hello World");
    EXPECT_EQ(Edited("hello 'world'", [](LibString& s) { s.ToProperCase(); }), "Hello 'World'");
    EXPECT_EQ(Edited("o'neil", [](LibString& s) { s.ToProperCase(); }), "O'neil");
    EXPECT_EQ(Edited("'tis", [](LibString& s) { s.ToProperCase(); }), "'Tis");
    EXPECT_EQ(Edited("u.s.a. r&b", [](LibString& s) { s.ToProperCase(); }), "U.S.A. R&B");
    EXPECT_EQ(Edited("john 's", [](LibString& s) { s.ToProperCase(); }), "John 's");
}

TEST(LibStringText, Utf8Characters) {
    LibString s("\xc3\xa9x"); // e-acute, then x
    EXPECT_EQ(s.CharCount(), 2);
    EXPECT_EQ(LibString("").CharCount(), 0);
    EXPECT_EQ(s.CharToIndex(0), 0);
    EXPECT_EQ(Text(s), "\xc3\xa9");

    s = "a\xe2\x82\xac"
        "b"; // a, euro sign, b
    EXPECT_EQ(s.CharCount(), 3);
    EXPECT_EQ(s.CharToIndex(-3), -3);
    EXPECT_EQ(s.CharToIndex(5), 5);
    EXPECT_EQ(s.CharCount(), 3);
    EXPECT_EQ(s.CharToIndex(2), 4);
    s.CharFromIndex(1);
    EXPECT_EQ(Text(s), "\xe2\x82\xac"
                       "b");
    s.CharFromIndex(7);
    EXPECT_EQ(s.CharCount(), 2);

    // A lead byte that promises more bytes than remain ends at the terminator.
    LibString broken("a\xf0");
    EXPECT_EQ(broken.CharCount(), 2);
    EXPECT_EQ(broken.CharToIndex(1), 1);
    EXPECT_EQ(Text(broken), "a\xf0");
    EXPECT_EQ(LibString("\x80z").CharCount(), 1); // a stray continuation byte takes two

    long long offset = 0;
    uint32 length = 0;
    const char* text = "\xc3\xa9x\xf0\x9f\x98\x80";
    s.NextCharacter(text, offset, length);
    EXPECT_EQ(offset, 2);
    EXPECT_EQ(length, 2u);
    s.NextCharacter(text, offset, length);
    EXPECT_EQ(offset, 3);
    EXPECT_EQ(length, 1u);
    s.NextCharacter(text, offset, length);
    EXPECT_EQ(offset, 7);
    EXPECT_EQ(length, 4u);
    s.NextCharacter(nullptr, offset, length);
    EXPECT_EQ(offset, 7);
    long shortOffset = 0;
    s.NextCharacter("\xf0\x9f", shortOffset, length); // cut short by the end
    EXPECT_EQ(shortOffset, 2);
    EXPECT_EQ(length, 2u);
}

TEST(LibStringText, TruncateToAWidth) {
    BFont font;
    LibString s("A fairly long file name.txt");
    int32 full = (int32)font.StringWidth(s);
    BRect rect(5, 5, 6, 6);

    // Fits: unchanged, rectangle untouched, the length is returned.
    EXPECT_EQ(s.Truncate(font, full + 1, rect), s.Length());
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.right, 6);

    int32 length = s.Length();
    int32 dropped = s.Truncate(font, full / 2, rect);
    EXPECT_GT(dropped, 1);
    EXPECT_TRUE(s.EndsWith("..."));
    EXPECT_EQ(s.Length(), length - dropped + 3);
    EXPECT_LT((int32)font.StringWidth(s), full / 2);
    EXPECT_EQ(rect.left, 0);
    LibString kept(s);
    kept.ToIndex(kept.Length() - 4);
    EXPECT_EQ(rect.right, (float)(int32)font.StringWidth(kept));

    // Never narrower than one kept byte and the ellipsis.
    LibString tiny("Wide");
    EXPECT_EQ(tiny.Truncate(font, 1, rect), 3);
    EXPECT_EQ(Text(tiny), "W...");
    LibString one("W");
    EXPECT_EQ(one.Truncate(font, 1, rect), 1);
    EXPECT_EQ(Text(one), "...");
    EXPECT_EQ(rect.right, 0);

    // Multi-byte characters are dropped whole.
    LibString accents("\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9");
    accents.Truncate(font, 1, rect);
    EXPECT_EQ(Text(accents), "\xc3\xa9...");

    LibString empty("");
    EXPECT_EQ(empty.Truncate(font, 0, rect), 0);
}
