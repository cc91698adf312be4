// Text operations of LibString: searching, extraction, cutting, editing, stripping, case,
// words, wildcard matching and UTF-8 characters. Everything works on bytes except the
// character operations; positions are zero-based byte indexes.

#include "lib/LibString.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <string>

namespace {

inline const char* TextOf(const char* text) {
    return text != nullptr ? text : "";
}

inline bool IsSpace(char c) {
    return isspace((unsigned char)c) != 0;
}

// Upper-cases ASCII only; bytes from 0x80 on compare as they are.
inline int FoldAscii(char c) {
    unsigned char byte = (unsigned char)c;
    return byte < 0x80 ? toupper(byte) : byte;
}

bool SameBytes(const char* a, const char* b, size_t count, bool ignoreCase) {
    if (!ignoreCase)
        return memcmp(a, b, count) == 0;
    for (size_t i = 0; i < count; i++) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

} // namespace

void LibString::Store(const char* text, int32 length) {
    if (fText != nullptr && length < fBufferSize) {
        memmove(fText, text, length);
        fText[length] = '\0';
        return;
    }
    char* buffer = new char[length + 1];
    memcpy(buffer, text, length);
    buffer[length] = '\0';
    Adopt(buffer, length + 1);
}

int32 LibString::CharBytes(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xC0) == 0x80)
        return 2; // a stray continuation byte
    int32 bytes = 0;
    while (bytes < 8 && (lead & (0x80 >> bytes)) != 0)
        bytes++;
    return bytes;
}

int32 LibString::CharStart(int32 n, int32* count) const {
    const char* text = TextOf(fText);
    int32 length = Length();
    int32 start = -1;
    int32 characters = 0;
    for (int32 i = 0; i < length; characters++) {
        if (characters == n)
            start = i;
        int32 bytes = CharBytes((unsigned char)text[i]);
        i += bytes < length - i ? bytes : length - i;
    }
    if (count != nullptr)
        *count = characters;
    return start;
}

// Searching

int32 LibString::Index(const char& c) const {
    if (fText == nullptr || c == '\0')
        return -1;
    const char* found = strchr(fText, c);
    return found != nullptr ? (int32)(found - fText) : -1;
}

int32 LibString::Index(const char* text) const {
    if (text == nullptr || fText == nullptr || fText[0] == '\0')
        return -1;
    const char* found = strstr(fText, text);
    return found != nullptr ? (int32)(found - fText) : -1;
}

int32 LibString::IndexOfAny(const char* set) const {
    if (set == nullptr || fText == nullptr)
        return -1;
    const char* found = strpbrk(fText, set);
    return found != nullptr ? (int32)(found - fText) : -1;
}

int32 LibString::Count(const char& c) const {
    if (c == '\0')
        return 0;
    int32 count = 0;
    for (const char* p = TextOf(fText); *p != '\0'; p++) {
        if (*p == c)
            count++;
    }
    return count;
}

bool LibString::Contain(const char& c) const {
    return Index(c) >= 0;
}

bool LibString::Contain(const char* text, const bool& ignoreCase) const {
    if (text == nullptr)
        return false;
    size_t needle = strlen(text);
    size_t length = (size_t)Length();
    if (needle == 0)
        return true;
    if (!ignoreCase)
        return Index(text) >= 0;
    for (size_t i = 0; i + needle <= length; i++) {
        if (SameBytes(fText + i, text, needle, true))
            return true;
    }
    return false;
}

bool LibString::Contain(const LibString& text, const bool& ignoreCase) const {
    return Contain(TextOf(text.fText), ignoreCase);
}

bool LibString::BeginsWith(const char* text, const bool& ignoreCase) const {
    if (text == nullptr)
        return false;
    size_t prefix = strlen(text);
    if (prefix == 0 || prefix > (size_t)Length())
        return false;
    return SameBytes(fText, text, prefix, ignoreCase);
}

bool LibString::BeginsWith(const LibString& text, const bool& ignoreCase) const {
    return BeginsWith(TextOf(text.fText), ignoreCase);
}

bool LibString::EndsWith(const char* text, const bool& ignoreCase) const {
    if (text == nullptr)
        return false;
    size_t suffix = strlen(text);
    size_t length = (size_t)Length();
    if (suffix == 0)
        return true;
    if (suffix > length)
        return false;
    return SameBytes(fText + length - suffix, text, suffix, ignoreCase);
}

bool LibString::EndsWith(const LibString& text, const bool& ignoreCase) const {
    return EndsWith(TextOf(text.fText), ignoreCase);
}

bool LibString::IsBlank() const {
    for (const char* p = TextOf(fText); *p != '\0'; p++) {
        if (!IsSpace(*p))
            return false;
    }
    return true;
}

int32 LibString::Words() const {
    int32 words = 0;
    bool inWord = false;
    for (const char* p = TextOf(fText); *p != '\0'; p++) {
        if (IsSpace(*p)) {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            words++;
        }
    }
    return words;
}

bool LibString::IsWildCard(const char* pattern) const {
    return CompareWildCard(TextOf(fText), pattern);
}

bool LibString::IsWildCard(const LibString& pattern) const {
    return CompareWildCard(TextOf(fText), TextOf(pattern.fText));
}

bool LibString::CompareWildCard(const char* subject, const char* pattern) {
    if (subject == nullptr || pattern == nullptr)
        return false;
    // Backtracking only to the most recent '*' keeps this linear in practice and free of
    // deep recursion, whatever the pattern.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*subject != '\0') {
        if (*pattern == '*') {
            while (*pattern == '*')
                pattern++;
            if (*pattern == '\0')
                return true;
            star = pattern;
            resume = subject;
        } else if (*pattern == '?' || *pattern == *subject) {
            pattern++;
            subject++;
        } else if (star != nullptr) {
            pattern = star;
            subject = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        pattern++;
    return *pattern == '\0';
}

// Extraction

LibString LibString::Extract(const int32& first, const int32& last) const {
    int32 length = Length();
    int32 from = first < 0 ? 0 : first;
    int32 to = last >= length ? length - 1 : last;
    LibString result;
    if (from > to)
        return result;
    result.Store(fText + from, to - from + 1);
    return result;
}

LibString LibString::Extract(const char& open, const char& close, const bool& exclude) const {
    LibString result;
    int32 start = Index(open);
    if (start < 0)
        return result;
    int32 length = Length();
    const char* end = close != '\0' ? strchr(fText + start + 1, close) : nullptr;
    int32 stop = end != nullptr ? (int32)(end - fText) : length - 1;
    if (exclude) {
        start++;
        if (end != nullptr)
            stop--;
    }
    if (start <= stop)
        result.Store(fText + start, stop - start + 1);
    return result;
}

bool LibString::Word(const int32& n, LibString& out) const {
    if (n <= 0) {
        out = "";
        return false;
    }
    const char* text = TextOf(fText);
    int32 words = 0;
    for (int32 i = 0; text[i] != '\0';) {
        if (IsSpace(text[i])) {
            i++;
            continue;
        }
        int32 end = i;
        while (text[end] != '\0' && !IsSpace(text[end]))
            end++;
        if (++words == n) {
            LibString word;
            word.Store(text + i, end - i);
            out = word; // out may be this string
            return true;
        }
        i = end;
    }
    out = "";
    return false;
}

// Cutting in place

void LibString::ToIndex(const int32& index) {
    int32 length = Length();
    if (index < -1 || index >= length)
        return;
    CutAt(index + 1);
}

void LibString::FromIndex(const int32& index) {
    int32 length = Length();
    if (index < 0 || index >= length) {
        CutAt(0);
        return;
    }
    memmove(fText, fText + index, length - index + 1);
}

bool LibString::ToChar(const char& c, const int32& n, const int& offset) {
    if (n < 0 || c == '\0' || fText == nullptr)
        return false;
    const char* p = fText;
    for (int32 seen = 0;; seen++) {
        p = strchr(p, c);
        if (p == nullptr)
            return false;
        if (seen == n)
            break;
        p++;
    }
    int64 cut = (int64)(p - fText) + offset;
    int32 length = Length();
    CutAt((int32)(cut < 0 ? 0 : (cut > length ? length : cut)));
    return true;
}

bool LibString::FromChar(const char& c, const int32& n, const int& offset) {
    if (n < 0 || c == '\0' || fText == nullptr)
        return false;
    const char* p = fText;
    for (int32 seen = 0;; seen++) {
        p = strchr(p, c);
        if (p == nullptr)
            return false;
        if (seen == n)
            break;
        p++;
    }
    int64 start = (int64)(p - fText) + offset;
    if (start >= 0 && start < Length())
        FromIndex((int32)start);
    else
        CutAt(0);
    return true;
}

void LibString::ToLast(const char& c, const int32& offset) {
    int32 length = Length();
    if (length == 0)
        return;
    const char* last = c != '\0' ? strrchr(fText, c) : nullptr;
    int64 k = last != nullptr ? (int64)(last - fText) : 0;
    int64 end = k + offset;
    if (end >= -1 && end < length)
        CutAt((int32)(end + 1));
}

void LibString::FromLast(const char& c, const int32& offset) {
    int32 length = Length();
    if (length == 0)
        return;
    const char* last = c != '\0' ? strrchr(fText, c) : nullptr;
    int64 k = last != nullptr ? (int64)(last - fText) : 0;
    int64 start = k + offset;
    if (start >= 0 && start < length)
        FromIndex((int32)start);
    else
        CutAt(0);
}

// Editing in place

void LibString::Insert(const int& index, const char* text) {
    if (text == nullptr)
        return;
    std::string result(TextOf(fText));
    size_t at;
    if (index < 0)
        at = 0;
    else if ((size_t)index >= result.size())
        at = result.size();
    else
        at = (size_t)index + 1;
    result.insert(at, text);
    Store(result.data(), (int32)result.size());
}

void LibString::Remove(const int32& first, const int32& last) {
    int32 length = Length();
    if (first < 0 || first > length || last < 0 || first > last + 1)
        return;
    if (last >= length) {
        CutAt(first);
        return;
    }
    ShiftFrom(first, last + 1);
}

void LibString::RemoveChar(const int32& index) {
    if (index < 0 || index >= Length())
        return;
    ShiftFrom(index, index + 1);
}

void LibString::RemoveAllChar(const char& c) {
    if (fText == nullptr || c == '\0')
        return;
    char* out = fText;
    for (const char* p = fText; *p != '\0'; p++) {
        if (*p != c)
            *out++ = *p;
    }
    *out = '\0';
}

void LibString::RemoveRepeatingChar(const char& c) {
    if (fText == nullptr || c == '\0')
        return;
    char* out = fText;
    for (const char* p = fText; *p != '\0'; p++) {
        if (*p == c && out > fText && out[-1] == c)
            continue;
        *out++ = *p;
    }
    *out = '\0';
}

void LibString::ShiftFrom(const int32& to, const int32& from) {
    int32 length = Length();
    if (to < 0 || to > from || to > length)
        return;
    if (from >= length) {
        CutAt(to);
        return;
    }
    memmove(fText + to, fText + from, length - from + 1);
}

bool LibString::RemoveWord(const char* word) {
    if (word == nullptr || word[0] == '\0' || fText == nullptr)
        return false;
    size_t wordLength = strlen(word);
    int32 length = Length();
    for (int32 i = 0; i < length;) {
        if (IsSpace(fText[i])) {
            i++;
            continue;
        }
        int32 end = i;
        while (end < length && !IsSpace(fText[end]))
            end++;
        if ((size_t)(end - i) == wordLength && memcmp(fText + i, word, wordLength) == 0) {
            if (i > 0)
                Remove(i - 1, end - 1);
            else
                Remove(i, end); // with the separator after it, if any
            return true;
        }
        i = end;
    }
    return false;
}

void LibString::RemoveAllWords(const char* word) {
    while (RemoveWord(word)) {
    }
}

int32 LibString::Replace(const char* find, const char* with) {
    int32 at = Index(find);
    if (at < 0)
        return -1;
    std::string result(fText);
    result.replace((size_t)at, strlen(find), TextOf(with));
    Store(result.data(), (int32)result.size());
    return at;
}

int32 LibString::ReplaceAll(const char* find, const char* with) {
    if (find == nullptr || find[0] == '\0' || fText == nullptr)
        return -1;
    const std::string replacement(TextOf(with));
    const size_t findLength = strlen(find);
    const std::string text(fText);
    std::string result;
    result.reserve(text.size());
    bool changed = false;
    if (replacement.find(find) != std::string::npos) {
        // Searching again from the start would find the replacement itself for ever;
        // replace each occurrence once, left to right.
        size_t from = 0;
        for (size_t at = text.find(find); at != std::string::npos; at = text.find(find, from)) {
            result.append(text, from, at - from);
            result += replacement;
            from = at + findLength;
            changed = true;
        }
        result.append(text, from, std::string::npos);
    } else {
        // Every search starts again at the beginning, so a replacement that forms a new
        // occurrence with the bytes around it is replaced too. The same result in one
        // pass: bytes move from the pending text (kept reversed, its next byte last) to
        // the result, which never holds an occurrence; when its end completes one, that
        // occurrence goes back to the front of the pending text as the replacement.
        // A budget stops rewrites that would grow without end.
        std::string pending(text.rbegin(), text.rend());
        const std::string reversedReplacement(replacement.rbegin(), replacement.rend());
        size_t budget = 64 * (text.size() + 1) + (1u << 20);
        while (!pending.empty()) {
            if (budget-- == 0) {
                result.append(pending.rbegin(), pending.rend());
                break;
            }
            result.push_back(pending.back());
            pending.pop_back();
            if (result.size() >= findLength &&
                memcmp(result.data() + result.size() - findLength, find, findLength) == 0) {
                result.resize(result.size() - findLength);
                pending += reversedReplacement;
                changed = true;
            }
        }
    }
    if (changed && result.size() < (size_t)INT32_MAX)
        Store(result.data(), (int32)result.size());
    return -1;
}

void LibString::ReplaceAll(const char& from, const char& to) {
    if (fText == nullptr || from == '\0')
        return;
    for (char* p = fText; *p != '\0'; p++) {
        if (*p == from)
            *p = to;
    }
}

void LibString::SwapChar(const char& from, const char& to) {
    ReplaceAll(from, to);
}

// Stripping and case

void LibString::StripLeadingSpaces() {
    int32 skip = 0;
    const char* text = TextOf(fText);
    while (text[skip] != '\0' && IsSpace(text[skip]))
        skip++;
    if (skip > 0)
        ShiftFrom(0, skip);
}

void LibString::StripTrailingSpaces() {
    int32 length = Length();
    while (length > 0 && IsSpace(fText[length - 1]))
        length--;
    CutAt(length);
}

void LibString::StripAllSpaces() {
    if (fText == nullptr)
        return;
    char* out = fText;
    for (const char* p = fText; *p != '\0'; p++) {
        if (!IsSpace(*p))
            *out++ = *p;
    }
    *out = '\0';
}

void LibString::StripLeadingChar(const char& c) {
    if (c == '\0')
        return;
    int32 skip = 0;
    const char* text = TextOf(fText);
    while (text[skip] == c)
        skip++;
    if (skip > 0)
        ShiftFrom(0, skip);
}

void LibString::StripTrailingChar(const char& c) {
    if (c == '\0')
        return;
    int32 length = Length();
    while (length > 0 && fText[length - 1] == c)
        length--;
    CutAt(length);
}

void LibString::StripPunct() {
    if (fText == nullptr)
        return;
    char* out = fText;
    for (const char* p = fText; *p != '\0'; p++) {
        if (*p == '_' || !ispunct((unsigned char)*p))
            *out++ = *p;
    }
    *out = '\0';
}

void LibString::ToLowerCase() {
    for (char* p = fText; p != nullptr && *p != '\0'; p++)
        *p = (char)tolower((unsigned char)*p);
}

void LibString::ToUpperCase() {
    for (char* p = fText; p != nullptr && *p != '\0'; p++)
        *p = (char)toupper((unsigned char)*p);
}

void LibString::ToProperCase() {
    ToLowerCase();
    int32 length = Length();
    for (int32 i = 0; i < length; i++) {
        char before = i > 0 ? fText[i - 1] : '\0';
        char after = fText[i + 1]; // the terminator at the end
        bool upper = i == 0 || IsSpace(before) || (before == '.' && after == '.') ||
                     before == '&' || (i == 1 && fText[0] == '\'') ||
                     (i >= 2 && IsSpace(fText[i - 2]) && before == '\'' && fText[i] != 's');
        if (upper)
            fText[i] = (char)toupper((unsigned char)fText[i]);
    }
}

// UTF-8 characters

int32 LibString::CharCount() const {
    int32 count = 0;
    CharStart(-1, &count);
    return count;
}

int32 LibString::CharToIndex(const int32& n) {
    if (n < 0)
        return n;
    int32 count = 0;
    int32 start = CharStart(n, &count);
    if (start < 0)
        return Length();
    int32 bytes = CharBytes((unsigned char)fText[start]);
    int32 length = Length();
    CutAt(bytes < length - start ? start + bytes : length);
    return start;
}

void LibString::CharFromIndex(const int32& n) {
    if (n < 0)
        return;
    int32 start = CharStart(n, nullptr);
    if (start > 0)
        FromIndex(start);
}

void LibString::NextCharacter(const char* text, long long& offset, uint32& length) const {
    if (text == nullptr || offset < 0)
        return;
    const char* lead = text + offset;
    int32 bytes = CharBytes((unsigned char)*lead);
    // A character cut short by the end of the text stops there.
    size_t available = strnlen(lead, (size_t)bytes);
    if (available == 0)
        available = 1;
    length = (uint32)available;
    offset += (long long)available;
}

void LibString::NextCharacter(const char* text, long& offset, uint32& length) const {
    long long wide = offset;
    NextCharacter(text, wide, length);
    offset = (long)wide;
}

void LibString::NextCharacter(const char* text, int& offset, uint32& length) const {
    long long wide = offset;
    NextCharacter(text, wide, length);
    offset = (int)wide;
}
