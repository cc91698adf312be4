#include "locale/CatalogueSource.h"

#include <cstdint>
#include <set>

#include "platform/support/PercentCoding.h"

namespace catalogue {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF) and no
// NUL byte, which would cut the text short in the resource.
bool IsCleanUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0)
            return false;
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length;
        uint32_t code;
        if ((c & 0xe0) == 0xc0) {
            length = 2;
            code = c & 0x1f;
        } else if ((c & 0xf0) == 0xe0) {
            length = 3;
            code = c & 0x0f;
        } else if ((c & 0xf8) == 0xf0) {
            length = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (text.size() - i < length)
            return false;
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3f);
        }
        static const uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
            return false;
        i += length;
    }
    return true;
}

// Reads one quoted string with C escapes from the start of `text` (after leading
// blanks) into `out`. Only blanks may follow the closing quote.
bool ReadQuoted(std::string_view text, std::string& out, std::string& error) {
    text = Trim(text);
    if (text.empty() || text.front() != '"') {
        error = "a quoted string was expected";
        return false;
    }
    size_t i = 1;
    while (true) {
        if (i >= text.size()) {
            error = "the string has no closing quote";
            return false;
        }
        const char c = text[i];
        if (c == '"')
            break;
        if (c != '\\') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) {
            error = "the string ends inside an escape";
            return false;
        }
        const char e = text[i + 1];
        i += 2;
        switch (e) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'a':
            out += '\a';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'v':
            out += '\v';
            break;
        case '\\':
        case '"':
        case '\'':
        case '?':
            out += e;
            break;
        case 'x': {
            int value = 0;
            size_t digits = 0;
            while (digits < 2 && i < text.size() && HexDigitValue(text[i]) >= 0) {
                value = value * 16 + HexDigitValue(text[i]);
                ++i;
                ++digits;
            }
            if (digits == 0) {
                error = "\\x without hexadecimal digits";
                return false;
            }
            out += static_cast<char>(value);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                int value = e - '0';
                size_t digits = 1;
                while (digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7') {
                    value = value * 8 + (text[i] - '0');
                    ++i;
                    ++digits;
                }
                if (value > 0xff) {
                    error = "octal escape out of range";
                    return false;
                }
                out += static_cast<char>(value);
                break;
            }
            error = std::string("unknown escape \\") + e;
            return false;
        }
    }
    if (!Trim(text.substr(i + 1)).empty()) {
        error = "unexpected text after the closing quote";
        return false;
    }
    return true;
}

// "1007" -> 1007; false for anything but 1 to 9 decimal digits.
bool ParseId(std::string_view text, int32_t& id) {
    if (text.empty() || text.size() > 9)
        return false;
    int32_t value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    id = value;
    return true;
}

enum class Field { kNone, kContext, kId, kString };

struct PendingEntry {
    bool hasContext = false;
    bool hasId = false;
    bool hasString = false;
    bool fuzzy = false;
    size_t line = 0;
    std::string context;
    std::string id;
    std::string text;

    bool Empty() const { return !hasContext && !hasId && !hasString; }
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : fBytes(bytes) {}

    ReadResult Run() {
        ReadResult result;
        if (fBytes.size() > kMaxSourceSize)
            return Fail(result, 0, "the file is too large");
        size_t position = 0;
        size_t lineNumber = 0;
        // A byte-order mark is allowed at the very start.
        if (StartsWith(fBytes, "\xef\xbb\xbf"))
            position = 3;
        while (position < fBytes.size()) {
            size_t end = fBytes.find('\n', position);
            if (end == std::string_view::npos)
                end = fBytes.size();
            ++lineNumber;
            const std::string_view line = fBytes.substr(position, end - position);
            position = end + 1;
            if (!Line(line, lineNumber, result))
                return result;
        }
        if (!Finish(lineNumber, result))
            return result;
        if (!fHaveHeader)
            return Fail(result, lineNumber, "the file has no header entry");
        if (fLanguage.empty())
            return Fail(result, lineNumber, "the header names no Language");
        result.language = fLanguage;
        for (Entry& entry : result.entries)
            entry.language = fLanguage;
        result.ok = true;
        return result;
    }

private:
    ReadResult& Fail(ReadResult& result, size_t line, const std::string& message) {
        result.ok = false;
        result.entries.clear();
        result.language.clear();
        result.error = "line " + std::to_string(line) + ": " + message;
        return result;
    }

    bool Line(std::string_view raw, size_t lineNumber, ReadResult& result) {
        const std::string_view line = Trim(raw);
        if (line.empty()) {
            // A string never continues across a blank line.
            fField = Field::kNone;
            return true;
        }
        if (line.front() == '#') {
            // "#," lines carry flags; a fuzzy entry is a guess that is not used.
            if (StartsWith(line, "#,") && line.find("fuzzy") != std::string_view::npos) {
                if (!Finish(lineNumber, result))
                    return false;
                fEntry.fuzzy = true;
                fEntry.line = lineNumber;
            }
            return true;
        }
        std::string error;
        if (line.front() == '"') {
            std::string* target = Target();
            if (target == nullptr) {
                Fail(result, lineNumber, "a continued string belongs to no keyword");
                return false;
            }
            if (!ReadQuoted(line, *target, error) || !CheckLength(*target, error)) {
                Fail(result, lineNumber, error);
                return false;
            }
            return true;
        }
        size_t keywordEnd = 0;
        while (keywordEnd < line.size() && !IsSpace(line[keywordEnd]) && line[keywordEnd] != '"')
            ++keywordEnd;
        const std::string_view keyword = line.substr(0, keywordEnd);
        const std::string_view rest = line.substr(keywordEnd);
        if (keyword == "msgctxt") {
            if (fEntry.hasContext || fEntry.hasId || fEntry.hasString) {
                if (!Finish(lineNumber, result))
                    return false;
            }
            if (fEntry.line == 0)
                fEntry.line = lineNumber;
            fEntry.hasContext = true;
            fField = Field::kContext;
            if (!ReadQuoted(rest, fEntry.context, error)) {
                Fail(result, lineNumber, error);
                return false;
            }
            return true;
        }
        if (keyword == "msgid") {
            if (fEntry.hasId || fEntry.hasString) {
                if (!Finish(lineNumber, result))
                    return false;
            }
            if (fEntry.line == 0)
                fEntry.line = lineNumber;
            fEntry.hasId = true;
            fField = Field::kId;
            if (!ReadQuoted(rest, fEntry.id, error) || !CheckLength(fEntry.id, error)) {
                Fail(result, lineNumber, error);
                return false;
            }
            return true;
        }
        if (keyword == "msgstr") {
            if (!fEntry.hasId) {
                Fail(result, lineNumber, "msgstr without msgid");
                return false;
            }
            if (fEntry.hasString) {
                Fail(result, lineNumber, "a second msgstr in one entry");
                return false;
            }
            fEntry.hasString = true;
            fField = Field::kString;
            if (!ReadQuoted(rest, fEntry.text, error) || !CheckLength(fEntry.text, error)) {
                Fail(result, lineNumber, error);
                return false;
            }
            return true;
        }
        if (keyword == "msgid_plural" || StartsWith(keyword, "msgstr[")) {
            Fail(result, lineNumber, "plural forms are not used by this catalogue");
            return false;
        }
        Fail(result, lineNumber, "unknown keyword '" + std::string(keyword.substr(0, 40)) + "'");
        return false;
    }

    std::string* Target() {
        switch (fField) {
        case Field::kContext:
            return &fEntry.context;
        case Field::kId:
            return &fEntry.id;
        case Field::kString:
            return &fEntry.text;
        case Field::kNone:
            break;
        }
        return nullptr;
    }

    static bool CheckLength(const std::string& text, std::string& error) {
        if (text.size() > kMaxSourceSize) {
            error = "the text is too long";
            return false;
        }
        return true;
    }

    // Ends the entry being read: the header gives the language, every other complete
    // entry with a translation becomes a catalogue entry.
    bool Finish(size_t lineNumber, ReadResult& result) {
        PendingEntry entry = std::move(fEntry);
        fEntry = PendingEntry();
        fField = Field::kNone;
        if (entry.Empty())
            return true;
        const size_t line = entry.line != 0 ? entry.line : lineNumber;
        if (!entry.hasId) {
            Fail(result, line, "an entry without msgid");
            return false;
        }
        if (!entry.hasString) {
            Fail(result, line, "an entry without msgstr");
            return false;
        }
        if (!entry.hasContext && entry.id.empty()) {
            if (fHaveHeader) {
                Fail(result, line, "a second header entry");
                return false;
            }
            fHaveHeader = true;
            return ReadHeader(entry.text, line, result);
        }
        if (!entry.hasContext) {
            Fail(result, line, "an entry without its number (msgctxt)");
            return false;
        }
        int32_t id = 0;
        if (!ParseId(entry.context, id)) {
            Fail(result, line, "the number of an entry must be decimal digits");
            return false;
        }
        if (!fIds.insert(id).second) {
            Fail(result, line, "number " + std::to_string(id) + " appears twice");
            return false;
        }
        if (!IsCleanUtf8(entry.id) || !IsCleanUtf8(entry.text)) {
            Fail(result, line, "the text is not valid UTF-8 or holds a NUL byte");
            return false;
        }
        if (entry.fuzzy || entry.text.empty())
            return true;
        if (result.entries.size() >= kMaxEntries) {
            Fail(result, line, "too many entries");
            return false;
        }
        Entry out;
        out.id = id;
        out.source = std::move(entry.id);
        out.text = std::move(entry.text);
        result.entries.push_back(std::move(out));
        return true;
    }

    bool ReadHeader(std::string_view header, size_t line, ReadResult& result) {
        size_t position = 0;
        while (position < header.size()) {
            size_t end = header.find('\n', position);
            if (end == std::string_view::npos)
                end = header.size();
            const std::string_view field = Trim(header.substr(position, end - position));
            position = end + 1;
            if (!StartsWith(field, "Language:"))
                continue;
            const std::string_view code = Trim(field.substr(9));
            if (!IsValidLanguage(code)) {
                Fail(result, line, "the header's Language is not a valid language code");
                return false;
            }
            fLanguage = std::string(code);
        }
        return true;
    }

    std::string_view fBytes;
    PendingEntry fEntry;
    Field fField = Field::kNone;
    bool fHaveHeader = false;
    std::string fLanguage;
    std::set<int32_t> fIds;
};

} // namespace

ReadResult ReadSource(std::string_view bytes) {
    return Reader(bytes).Run();
}

bool IsValidLanguage(std::string_view code) {
    if (code.empty() || code.size() > kMaxLanguageLength || !IsAlpha(code.front()))
        return false;
    for (char c : code) {
        if (!IsAlpha(c) && !IsDigit(c) && c != '_' && c != '-' && c != '@')
            return false;
    }
    return true;
}

std::string Conversions(std::string_view text) {
    std::string result;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '%') {
            ++i;
            continue;
        }
        ++i;
        if (i < text.size() && text[i] == '%') {
            ++i;
            continue;
        }
        std::string conversion = "%";
        // Argument position ("1$").
        size_t digits = i;
        while (digits < text.size() && IsDigit(text[digits]))
            ++digits;
        if (digits > i && digits < text.size() && text[digits] == '$') {
            conversion.append(text.substr(i, digits + 1 - i));
            i = digits + 1;
        }
        while (i < text.size() &&
               std::string_view("-+ #0'").find(text[i]) != std::string_view::npos)
            ++i;
        // A '*' width or precision consumes an argument of its own.
        while (i < text.size() && (IsDigit(text[i]) || text[i] == '*' || text[i] == '.')) {
            if (text[i] == '*')
                conversion += '*';
            ++i;
        }
        while (i < text.size() &&
               std::string_view("hlLqjzt").find(text[i]) != std::string_view::npos)
            conversion += text[i++];
        if (i < text.size())
            conversion += text[i++];
        result += conversion;
    }
    return result;
}

std::string ResourceName(std::string_view language, int32_t id) {
    std::string name(language);
    name += ':';
    name += std::to_string(id);
    return name;
}

} // namespace catalogue
