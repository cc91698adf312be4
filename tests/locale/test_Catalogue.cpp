// The catalogue built into the program and the reader of its translation sources.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "locale/Catalogue.h"
#include "locale/CatalogueSource.h"
#include "support/Sandbox.h"

using namespace catalogue;

namespace {

std::map<int32_t, std::string> TextsOf(const std::string& language) {
    std::map<int32_t, std::string> texts;
    for (const Entry& entry : BuiltinEntries()) {
        if (entry.language == language)
            texts[entry.id] = entry.text;
    }
    return texts;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

ReadResult Read(const std::string& body) {
    return ReadSource("msgid \"\"\nmsgstr \"Language: xx\\n\"\n\n" + body);
}

} // namespace

TEST(BuiltinCatalogue, HoldsEveryTextOfEveryLanguageButGerman1002) {
    // The installer's 46 texts (German 1002 left empty), and the texts of later features
    // after them, each in all ten languages.
    const size_t added = TextsOf("en").size() - 46;
    EXPECT_EQ(BuiltinEntries().size(), 459u + 10 * added);
    for (const char* language : kLanguages) {
        const auto texts = TextsOf(language);
        for (int32_t id = kFirstId; id <= kLastId; ++id) {
            const bool expected = !(std::string(language) == "de" && id == 1002);
            EXPECT_EQ(texts.count(id) == 1, expected) << language << ":" << id;
            if (expected) {
                EXPECT_FALSE(texts.at(id).empty()) << language << ":" << id;
            }
        }
        EXPECT_EQ(texts.size(), (std::string(language) == "de" ? 45u : 46u) + added) << language;
    }
}

TEST(BuiltinCatalogue, EntriesRunByLanguageInMenuOrderThenById) {
    const auto& entries = BuiltinEntries();
    size_t language = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        while (language < 10 && entries[i].language != kLanguages[language])
            ++language;
        ASSERT_LT(language, 10u) << "entry " << i << " is out of order";
        if (i > 0 && entries[i - 1].language == entries[i].language) {
            EXPECT_LT(entries[i - 1].id, entries[i].id);
        }
    }
}

TEST(BuiltinCatalogue, TranslationsKeepTheFormatConversionsInOrder) {
    const auto english = TextsOf("en");
    for (const Entry& entry : BuiltinEntries()) {
        ASSERT_EQ(english.count(entry.id), 1u);
        EXPECT_EQ(Conversions(entry.text), Conversions(english.at(entry.id)))
            << entry.language << ":" << entry.id << " \"" << entry.text << "\"";
        // Every source names the English text it translates.
        EXPECT_EQ(entry.source, english.at(entry.id)) << entry.language << ":" << entry.id;
    }
    EXPECT_EQ(Conversions(english.at(1036)), "%d%d%s");
    EXPECT_EQ(Conversions(english.at(1045)), "%s%s%s%s");
}

TEST(BuiltinCatalogue, EnglishTextsAndLanguageNames) {
    EXPECT_STREQ(BuiltinText("en", 1036), "Installing %d of %d (%s)");
    EXPECT_STREQ(BuiltinText("en", 1020), "\nDo you wish to replace?");
    EXPECT_STREQ(BuiltinText("en", 1014), "' already exists in the destination folder.");
    EXPECT_STREQ(BuiltinText("fr", 1036), "Installation de %d de %d (%s)");
    EXPECT_STREQ(BuiltinText("de", 1036), "Installiere %d von %d (%s)");
    EXPECT_EQ(BuiltinText("de", 1002), nullptr);
    EXPECT_EQ(BuiltinText("en", 999), nullptr);
    EXPECT_EQ(BuiltinText("en", 1046), nullptr);
    EXPECT_EQ(BuiltinText("xx", 1001), nullptr);

    EXPECT_EQ(SplitLines(BuiltinText("en", 1000)),
              (std::vector<std::string>{"English", "French", "Spanish", "German", "Italian",
                                        "Norwegian", "Swedish", "Danish", "Dutch", "Portuguese"}));
    for (const char* language : kLanguages)
        EXPECT_EQ(SplitLines(BuiltinText(language, 1000)).size(), 10u) << language;
    EXPECT_EQ(SplitLines(BuiltinText("de", 1000))[3], "Deutsch");
}

TEST(BuiltinCatalogue, EmbeddedSourcesMatchTheFilesInTheTree) {
    const std::string folder = std::string(TARNW_TEST_SOURCE_DIR) + "/../src/locale/catalogue/";
    for (const char* language : kLanguages) {
        const std::string onDisk = tarnw::test::ReadFile(folder + language + ".po");
        EXPECT_TRUE(BuiltinSource(language) == onDisk)
            << language << ".po differs from the catalogue the build embedded";
    }
}

TEST(CatalogueSource, DecodesStringsAsTranslationToolsWriteThem) {
    const ReadResult read = ReadSource("\xef\xbb\xbf# comment\r\n"
                                       "msgid \"\"\r\n"
                                       "msgstr \"\"\r\n"
                                       "\"Project-Id-Version: x\\n\"\r\n"
                                       "\"Language: pt\\n\"\r\n"
                                       "\r\n"
                                       "#. note\n"
                                       "msgctxt \"1020\"\n"
                                       "msgid \"\\nDo you\"\n"
                                       "\" wish?\"\n"
                                       "msgstr \"\"\n"
                                       "\"\\nQuote \\\" back\\\\slash \\t tab\"\n"
                                       "\" \\303\\251 \\xc3\\xa9\"\n"
                                       "\n"
                                       "msgctxt \"7\"   \n"
                                       "msgid \"One\"\n"
                                       "msgstr \"Um\"");
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.language, "pt");
    ASSERT_EQ(read.entries.size(), 2u);
    EXPECT_EQ(read.entries[0].language, "pt");
    EXPECT_EQ(read.entries[0].id, 1020);
    EXPECT_EQ(read.entries[0].source, "\nDo you wish?");
    EXPECT_EQ(read.entries[0].text, "\nQuote \" back\\slash \t tab \xc3\xa9 \xc3\xa9");
    EXPECT_EQ(read.entries[1].id, 7);
    EXPECT_EQ(read.entries[1].text, "Um");
}

TEST(CatalogueSource, UntranslatedAndFuzzyEntriesYieldNothing) {
    const ReadResult read = Read("msgctxt \"1\"\nmsgid \"A\"\nmsgstr \"\"\n\n"
                                 "#, fuzzy, c-format\nmsgctxt \"2\"\nmsgid \"B\"\nmsgstr \"b\"\n\n"
                                 "#, c-format\nmsgctxt \"3\"\nmsgid \"C\"\nmsgstr \"c\"\n");
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].id, 3);
}

TEST(CatalogueSource, RejectsBrokenSourcesNamingTheLine) {
    struct Case {
        const char* what;
        std::string source;
        const char* line;
    };
    const std::string header = "msgid \"\"\nmsgstr \"Language: xx\\n\"\n";
    const Case cases[] = {
        {"no header", "msgctxt \"1\"\nmsgid \"A\"\nmsgstr \"a\"\n", nullptr},
        {"header without language", "msgid \"\"\nmsgstr \"X: y\\n\"\n", nullptr},
        {"bad language", "msgid \"\"\nmsgstr \"Language: ../x\\n\"\n", "line 1"},
        {"two headers", header + header, "line 3"},
        {"number twice",
         header + "msgctxt \"5\"\nmsgid \"A\"\nmsgstr \"a\"\n"
                  "msgctxt \"5\"\nmsgid \"B\"\nmsgstr \"b\"\n",
         "line 6"},
        {"number not decimal", header + "msgctxt \"5x\"\nmsgid \"A\"\nmsgstr \"a\"\n", "line 3"},
        {"number too long", header + "msgctxt \"9999999999\"\nmsgid \"A\"\nmsgstr \"a\"\n",
         "line 3"},
        {"no number", header + "msgid \"A\"\nmsgstr \"a\"\n", "line 3"},
        {"plural", header + "msgctxt \"5\"\nmsgid \"A\"\nmsgid_plural \"As\"\n", "line 5"},
        {"unterminated", header + "msgctxt \"5\"\nmsgid \"A\n", "line 4"},
        {"escape at end", header + "msgctxt \"5\"\nmsgid \"A\\", "line 4"},
        {"unknown escape", header + "msgctxt \"5\"\nmsgid \"\\q\"\n", "line 4"},
        {"text after the quote", header + "msgctxt \"5\"\nmsgid \"A\" x\n", "line 4"},
        {"NUL byte", header + "msgctxt \"5\"\nmsgid \"A\"\nmsgstr \"a\\0b\"\n", "line 3"},
        {"bad UTF-8", header + "msgctxt \"5\"\nmsgid \"A\"\nmsgstr \"\xc3(\"\n", "line 3"},
        {"overlong UTF-8", header + "msgctxt \"5\"\nmsgid \"A\"\nmsgstr \"\xc0\xaf\"\n", "line 3"},
        {"msgstr first", header + "msgstr \"a\"\n", "line 3"},
        {"msgstr twice", header + "msgctxt \"5\"\nmsgid \"A\"\nmsgstr \"a\"\nmsgstr \"b\"\n",
         "line 6"},
        {"stray string", header + "\n\"loose\"\n", "line 4"},
        {"unknown keyword", header + "msgfoo \"a\"\n", "line 3"},
        {"entry without msgstr", header + "msgctxt \"5\"\nmsgid \"A\"\n", "line 3"},
    };
    for (const Case& c : cases) {
        const ReadResult read = ReadSource(c.source);
        EXPECT_FALSE(read.ok) << c.what;
        EXPECT_TRUE(read.entries.empty()) << c.what;
        if (c.line != nullptr) {
            EXPECT_EQ(read.error.rfind(c.line, 0), 0u) << c.what << ": " << read.error;
        }
    }
}

TEST(CatalogueSource, ConversionsAndResourceNames) {
    EXPECT_EQ(Conversions("100%% done"), "");
    EXPECT_EQ(Conversions("%s: %ld of %5.2f%%"), "%s%ld%f");
    EXPECT_EQ(Conversions("%*d %2$s"), "%*d%2$s");
    EXPECT_EQ(Conversions("trailing %"), "%");
    EXPECT_EQ(ResourceName("en", 1036), "en:1036");
    EXPECT_TRUE(IsValidLanguage("pt_BR"));
    EXPECT_TRUE(IsValidLanguage("sr@latin"));
    EXPECT_FALSE(IsValidLanguage(""));
    EXPECT_FALSE(IsValidLanguage("e n"));
    EXPECT_FALSE(IsValidLanguage("1en"));
    EXPECT_FALSE(IsValidLanguage("abcdefghijklmnop"));
}
