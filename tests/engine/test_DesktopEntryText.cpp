// The freedesktop formatting of menu entries: what a desktop reads back must be exactly
// the name, comment and command line the package gave.

#include <gtest/gtest.h>

#include "engine/DesktopEntryText.h"

TEST(DesktopEntryText, StringValuesEscapeWhatWouldChangeTheirMeaning) {
    EXPECT_EQ(DesktopEntryText::EscapeString("Plain Name"), "Plain Name");
    EXPECT_EQ(DesktopEntryText::EscapeString("a\\b"), "a\\\\b");
    EXPECT_EQ(DesktopEntryText::EscapeString("two\nlines\tand\rmore"), "two\\nlines\\tand\\rmore");
    // Only a leading space would be lost to the reader.
    EXPECT_EQ(DesktopEntryText::EscapeString(" indented name"), "\\sindented name");

    DesktopEntryText text;
    text.Add("Name", "Calc");
    text.AddLocalized("Name", "fr", "Calculatrice");
    text.AddBool("Terminal", true);
    text.AddList("Categories", {"Utility", "X-Semi;colon"});
    EXPECT_EQ(text.Text(), "[Desktop Entry]\nName=Calc\nName[fr]=Calculatrice\nTerminal=true\n"
                           "Categories=Utility;X-Semi\\;colon;\n");
}

TEST(DesktopEntryText, ArgumentsAreQuotedOnlyWhenTheyHoldReservedCharacters) {
    EXPECT_EQ(DesktopEntryText::QuoteArgument("/usr/local/bin/bc"), "/usr/local/bin/bc");
    EXPECT_EQ(DesktopEntryText::QuoteArgument("/opt/My Tool/bin/tool"),
              "\"/opt/My Tool/bin/tool\"");
    EXPECT_EQ(DesktopEntryText::QuoteArgument(""), "\"\"");
    for (const char* reserved :
         {"a'b", "a>b", "a<b", "~x", "a|b", "a&b", "a;b", "a*b", "a?b", "a#b", "(a)", "a\tb"}) {
        std::string quoted = DesktopEntryText::QuoteArgument(reserved);
        EXPECT_EQ(quoted, "\"" + std::string(reserved) + "\"") << reserved;
    }
    // Inside quotes '"', '`', '$' and '\' take a backslash.
    EXPECT_EQ(DesktopEntryText::QuoteArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(DesktopEntryText::QuoteArgument("$HOME"), "\"\\$HOME\"");
    EXPECT_EQ(DesktopEntryText::QuoteArgument("`x`"), "\"\\`x\\`\"");
    EXPECT_EQ(DesktopEntryText::QuoteArgument("C:\\dir"), "\"C:\\\\dir\"");
    // A literal percent sign is doubled, quoted or not, so it is no field code.
    EXPECT_EQ(DesktopEntryText::QuoteArgument("100%"), "100%%");
    EXPECT_EQ(DesktopEntryText::QuoteArgument("50% off"), "\"50%% off\"");
}

TEST(DesktopEntryText, TheExecLineKeepsFieldCodesAndEscapesTheQuotedLine) {
    EXPECT_EQ(DesktopEntryText::CommandLine("/opt/a b/tool", {"--open", "%F", "%x", "-"}),
              "\"/opt/a b/tool\" --open %F %%x -");
    EXPECT_TRUE(DesktopEntryText::IsFieldCode("%u"));
    EXPECT_FALSE(DesktopEntryText::IsFieldCode("%u%u"));

    // The string escape comes on top of the quoting: a backslash of the quoting is doubled.
    DesktopEntryText text;
    text.AddExec("/opt/My Tool/tool", {"$HOME"});
    EXPECT_EQ(text.Text(), "[Desktop Entry]\nExec=\"/opt/My Tool/tool\" \"\\\\$HOME\"\n");
}
