#pragma once

// Reading the translation sources of the string catalogue. Each language is one
// gettext-style .po file:
//
//   msgid ""
//   msgstr ""
//   "Language: de\n"
//   "Content-Type: text/plain; charset=UTF-8\n"
//
//   msgctxt "1007"
//   msgid "Install"
//   msgstr "Installieren"
//
// The context is the decimal id of the text, the msgid the English text and the
// msgstr the translation. An entry whose msgstr is empty is untranslated and yields
// nothing, as do entries flagged "fuzzy". The language comes from the header's
// "Language:" line. Plural forms are not used by the catalogue and are an error.
//
// The reader takes untrusted bytes: every read is bounds-checked, texts must be valid
// UTF-8 without NUL bytes, and the first problem ends the read with a message naming
// its line.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace catalogue {

struct Entry {
    std::string language; // "en", "de", ...
    int32_t id = 0;       // 1000 ...
    std::string source;   // the English text (msgid)
    std::string text;     // the translation (msgstr)
};

struct ReadResult {
    bool ok = false;
    std::string language;
    std::vector<Entry> entries; // in file order
    std::string error;          // "line N: ..." when not ok
};

// Upper bounds that keep hostile input cheap.
constexpr size_t kMaxSourceSize = 4 * 1024 * 1024;
constexpr size_t kMaxLanguageLength = 15;
constexpr size_t kMaxEntries = 100000;

ReadResult ReadSource(std::string_view bytes);

// Whether code is a usable language code: 1 to kMaxLanguageLength bytes of letters,
// digits, '_', '-' or '@', starting with a letter.
bool IsValidLanguage(std::string_view code);

// The printf conversions of a text in order ("%d%d%s" for "Installing %d of %d (%s)"),
// "%%" excluded. A translation must give the same sequence as its English text.
std::string Conversions(std::string_view text);

// The resource name of a catalogue text: "<language>:<id>".
std::string ResourceName(std::string_view language, int32_t id);

} // namespace catalogue
