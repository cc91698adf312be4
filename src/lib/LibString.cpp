#include "lib/LibString.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "lib/ByteText.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

inline const char* TextOf(const char* text) {
    return text != nullptr ? text : "";
}

inline int UpperByte(unsigned char c) {
    return toupper(c);
}

// Signed 32-bit conversion as the C library's strtol does it on a 32-bit system: values
// beyond the range saturate.
int64 ParseInteger(const char* text, int64 minimum, int64 maximum) {
    errno = 0;
    long long value = strtoll(text, nullptr, 10);
    if (value < minimum)
        return minimum;
    if (value > maximum)
        return maximum;
    return value;
}

} // namespace

// Construction and storage

LibString::LibString() : fText(nullptr), fBufferSize(0) {
    SetBuffer(0);
}

LibString::LibString(const int32& size) : fText(nullptr), fBufferSize(0) {
    SetBuffer(size);
}

LibString::LibString(const char* text) : fText(nullptr), fBufferSize(0) {
    if (text != nullptr)
        *this = text;
}

LibString::LibString(const LibString& other) : fText(nullptr), fBufferSize(0) {
    *this = other;
}

LibString::LibString(LibString&& other) noexcept
    : fText(other.fText), fBufferSize(other.fBufferSize) {
    other.fText = nullptr;
    other.fBufferSize = 0;
}

LibString::~LibString() {
    Clear();
}

LibString::operator const char*() const {
    return fText;
}

LibString::operator char*() const {
    return fText;
}

void LibString::PrintToStream() const {
    fprintf(stderr, "LibString:: <%s>, buffer %ld\n", TextOf(fText), (long)fBufferSize);
}

void LibString::SetBuffer(const int32& size) {
    int32 bytes = size < 0 ? 1 : size + 1;
    if (bytes <= 0) // size was INT32_MAX
        bytes = INT32_MAX;
    char* buffer = new char[bytes](); // zeroed: nothing stale behind the terminator
    Adopt(buffer, bytes);
}

void LibString::Clear() {
    delete[] fText;
    fText = nullptr;
    fBufferSize = 0;
}

int32 LibString::Length() const {
    return fText != nullptr ? (int32)strlen(fText) : 0;
}

void LibString::Adopt(char* buffer, int32 size) {
    delete[] fText;
    fText = buffer;
    fBufferSize = size;
}

void LibString::CutAt(int32 length) {
    if (fText != nullptr && length >= 0 && length < fBufferSize)
        fText[length] = '\0';
}

// Assignment

LibString& LibString::operator=(const char* text) {
    if (text == nullptr)
        return *this;
    size_t length = strlen(text);
    char* buffer = new char[length + 1];
    memcpy(buffer, text, length + 1); // the source may lie inside our own buffer
    Adopt(buffer, (int32)(length + 1));
    return *this;
}

LibString& LibString::operator=(const LibString& other) {
    if (&other == this)
        return *this;
    if (other.fText == nullptr) {
        Clear();
        return *this;
    }
    int32 length = other.Length();
    int32 size = other.fBufferSize > length ? other.fBufferSize : length + 1;
    char* buffer = new char[size];
    memcpy(buffer, other.fText, length + 1);
    Adopt(buffer, size);
    return *this;
}

LibString& LibString::operator=(LibString&& other) noexcept {
    if (&other != this) {
        delete[] fText;
        fText = other.fText;
        fBufferSize = other.fBufferSize;
        other.fText = nullptr;
        other.fBufferSize = 0;
    }
    return *this;
}

void LibString::AssignFormatted(const char* text, int32 minimumBufferSize) {
    int32 length = (int32)strlen(text);
    int32 size = length + 1 > minimumBufferSize ? length + 1 : minimumBufferSize;
    char* buffer = new char[size];
    memcpy(buffer, text, length + 1);
    Adopt(buffer, size);
}

LibString& LibString::operator=(const int32& value) {
    char work[32];
    snprintf(work, sizeof(work), "%" PRId32, value);
    AssignFormatted(work, 11);
    return *this;
}

LibString& LibString::operator=(const int64& value) {
    char work[32];
    snprintf(work, sizeof(work), "%" PRId64, value);
    AssignFormatted(work, 11);
    return *this;
}

LibString& LibString::operator=(const uint32& value) {
    char work[32];
    snprintf(work, sizeof(work), "%" PRIu32, value);
    AssignFormatted(work, 11);
    return *this;
}

LibString& LibString::operator=(const uint64& value) {
    char work[32];
    snprintf(work, sizeof(work), "%" PRIu64, value);
    AssignFormatted(work, 11);
    return *this;
}

LibString& LibString::operator=(const float& value) {
    std::string work = std::to_string((double)value); // "%f"
    AssignFormatted(work.c_str(), 11);
    return *this;
}

LibString& LibString::operator=(const double& value) {
    std::string work = std::to_string(value);
    AssignFormatted(work.c_str(), 16);
    return *this;
}

LibString& LibString::Formatted(const char* format, ...) {
    char work[512];
    work[0] = '\0';
    if (format != nullptr) {
        va_list arguments;
        va_start(arguments, format);
        vsnprintf(work, sizeof(work), format, arguments);
        va_end(arguments);
    }
    return *this = work;
}

LibString& LibString::SetFloat64(const double& value, const int& decimals) {
    int digits = decimals < 0 ? 0 : decimals;
    if (digits > 400)
        digits = 400;
    int needed = snprintf(nullptr, 0, "%.*f", digits, value);
    std::string work(needed > 0 ? needed : 0, '\0');
    snprintf(work.data(), work.size() + 1, "%.*f", digits, value);
    AssignFormatted(work.c_str(), 33);
    return *this;
}

LibString& LibString::SetFloat32(const float& value, const int& decimals) {
    return SetFloat64((double)value, decimals);
}

LibString& LibString::SetHex(const unsigned char& value) {
    char buffer[3] = {kHexDigits[value >> 4], kHexDigits[value & 0x0f], '\0'};
    AssignFormatted(buffer, 3);
    return *this;
}

// Concatenation

LibString& LibString::Concat(const char* text) {
    if (text == nullptr)
        return *this;
    int32 oldLength = Length();
    size_t added = strlen(text);
    if (added == 0 && fText != nullptr)
        return *this;
    int64 newLength = (int64)oldLength + (int64)added;
    if (newLength >= INT32_MAX)
        return *this; // beyond what a 32-bit buffer size can describe
    if (newLength >= fBufferSize) {
        char* buffer = new char[newLength + 1];
        if (fText != nullptr)
            memcpy(buffer, fText, oldLength);
        // The old buffer is still alive here, so text may point into it.
        memcpy(buffer + oldLength, text, added);
        buffer[newLength] = '\0';
        Adopt(buffer, (int32)(newLength + 1));
    } else {
        memmove(fText + oldLength, text, added);
        fText[newLength] = '\0';
    }
    return *this;
}

LibString& LibString::Concat(const char& c) {
    char text[2] = {c, '\0'};
    return Concat(text);
}

LibString& LibString::operator+=(const int32& value) {
    char work[32];
    snprintf(work, sizeof(work), "%" PRId32, value);
    return Concat(work);
}

LibString& LibString::operator+=(const int64& value) {
    char work[32];
    snprintf(work, sizeof(work), "%" PRId64, value);
    return Concat(work);
}

LibString& LibString::operator+=(const uint32& value) {
    char work[32];
    snprintf(work, sizeof(work), "%" PRIu32, value);
    return Concat(work);
}

LibString& LibString::operator+=(const uint64& value) {
    char work[32];
    snprintf(work, sizeof(work), "%" PRIu64, value);
    return Concat(work);
}

LibString& LibString::operator+=(const float& value) {
    return Concat(std::to_string((double)value).c_str());
}

LibString& LibString::operator+=(const double& value) {
    return Concat(std::to_string(value).c_str());
}

LibString& LibString::PrePend(const char* text) {
    if (text == nullptr)
        return *this;
    LibString joined(text);
    joined.Concat(TextOf(fText));
    int32 length = joined.Length();
    if (length < fBufferSize) {
        memcpy(fText, joined.fText, length + 1);
    } else {
        *this = joined.fText;
    }
    return *this;
}

void LibString::Read(const char* path, const int32& lineBufferSize) {
    if (path == nullptr)
        return;
    FILE* file = fopen(path, "r");
    if (file == nullptr)
        return;
    // The file is read in pieces of at most lineBufferSize - 1 bytes and appended once,
    // so that a large file costs one allocation rather than one per piece.
    size_t piece = lineBufferSize > 1 ? (size_t)lineBufferSize - 1 : 1;
    if (piece > 65536)
        piece = 65536;
    std::string content;
    std::string buffer(piece, '\0');
    size_t got;
    while ((got = fread(buffer.data(), 1, piece, file)) > 0)
        content.append(buffer.data(), got);
    fclose(file);
    Concat(content.c_str());
}

// Comparison

int32 LibString::Compare(const char* text, const bool& ignoreCase) const {
    if (text == nullptr)
        return 1;
    const unsigned char* a = (const unsigned char*)TextOf(fText);
    const unsigned char* b = (const unsigned char*)text;
    if (!ignoreCase) {
        int result = strcmp((const char*)a, (const char*)b);
        return result < 0 ? -1 : (result > 0 ? 1 : 0);
    }
    while (*a != '\0' && UpperByte(*a) == UpperByte(*b)) {
        a++;
        b++;
    }
    int difference = UpperByte(*a) - UpperByte(*b);
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

int32 LibString::Compare(const LibString& other, const bool& ignoreCase) const {
    return Compare(TextOf(other.fText), ignoreCase);
}

int32 LibString::CompareSub(const char* text, const bool& ignoreCase, const int32& count,
                            const int32& offset) const {
    if (text == nullptr)
        return 1;
    int32 length = Length();
    int32 start = offset < 0 ? 0 : (offset > length ? length : offset);
    const char* tail = TextOf(fText) + start;
    if (!ignoreCase) {
        if (count < 0)
            return strcmp(tail, text);
        return strncmp(tail, text, (size_t)count);
    }
    int64 limit = count;
    if (count < 0) {
        int64 tailLength = length - start;
        int64 textLength = (int64)strlen(text);
        limit = tailLength > textLength ? tailLength : textLength;
    }
    for (int64 i = 0; i < limit; i++) {
        int a = UpperByte((unsigned char)tail[i]);
        int b = UpperByte((unsigned char)text[i]);
        if (a != b)
            return a < b ? -1 : 1;
        if (a == '\0')
            return 0;
    }
    return 0;
}

int32 LibString::CompareSub(const LibString& other, const bool& ignoreCase, const int32& count,
                            const int32& offset) const {
    return CompareSub(TextOf(other.fText), ignoreCase, count, offset);
}

// Numeric parsing

bool LibString::IsNumeric() const {
    if (fText == nullptr)
        return true;
    bool point = false;
    for (const char* p = fText; *p != '\0'; p++) {
        if (*p >= '0' && *p <= '9')
            continue;
        if ((*p == '+' || *p == '-') && p == fText)
            continue;
        if (*p == '.' && !point) {
            point = true;
            continue;
        }
        return false;
    }
    return true;
}

bool LibString::GetInt8(int8& value) const {
    value = 0;
    if (!IsNumeric())
        return false;
    value = (int8)ParseInteger(TextOf(fText), INT32_MIN, INT32_MAX);
    return true;
}

bool LibString::GetUint8(uint8& value) const {
    value = 0;
    if (!IsNumeric())
        return false;
    value = (uint8)ParseInteger(TextOf(fText), INT32_MIN, INT32_MAX);
    return true;
}

bool LibString::GetInt16(int16& value) const {
    value = 0;
    if (!IsNumeric())
        return false;
    value = (int16)ParseInteger(TextOf(fText), INT32_MIN, INT32_MAX);
    return true;
}

bool LibString::GetUint16(uint16& value) const {
    value = 0;
    if (!IsNumeric())
        return false;
    value = (uint16)ParseInteger(TextOf(fText), INT32_MIN, INT32_MAX);
    return true;
}

bool LibString::GetInt32(int32& value) const {
    value = 0;
    if (!IsNumeric())
        return false;
    value = (int32)ParseInteger(TextOf(fText), INT32_MIN, INT32_MAX);
    return true;
}

bool LibString::GetUint32(uint32& value) const {
    value = 0;
    if (!IsNumeric())
        return false;
    // The whole unsigned range is readable; negative values wrap as before ("-1" is
    // 4294967295).
    value = (uint32)ParseInteger(TextOf(fText), INT32_MIN, UINT32_MAX);
    return true;
}

bool LibString::GetFloat64(double& value) const {
    value = 0;
    if (!IsNumeric())
        return false;
    value = strtod(TextOf(fText), nullptr);
    return true;
}

bool LibString::GetFloat32(float& value) const {
    double wide = 0;
    bool valid = GetFloat64(wide);
    value = valid ? (float)wide : 0.0f;
    return valid;
}

// Hexadecimal

unsigned char LibString::HexValue(const char& c) const {
    int upper = UpperByte((unsigned char)c);
    if (upper == '\0')
        return 0;
    const char* found = strchr(kHexDigits, upper);
    return found != nullptr ? (unsigned char)(found - kHexDigits) : 0;
}

unsigned char LibString::GetHex() const {
    if (Length() != 2)
        return 0;
    return (unsigned char)(HexValue(fText[0]) * 16 + HexValue(fText[1]));
}

// Diagnostics and sizes

void LibString::PrintDecimalToStream() const {
    for (const char* p = TextOf(fText); *p != '\0'; p++)
        fprintf(stderr, "%d,", (int)(signed char)*p);
    fprintf(stderr, "\n");
}

int32 LibString::PackSize() const {
    return Length() + 4;
}

// Byte sizes

LibString& LibBytesToString(const uint32& bytes, LibString& out, int decimals) {
    return out.Formatted("%s", ByteText(bytes, std::clamp(decimals, 0, 100)).c_str());
}

int32 LibStringToBytes(const char* text) {
    if (text == nullptr)
        return 0;
    LibString number(text);
    LibString unit(text);
    int32 space = number.Index(' ');
    number.ToIndex(space - 1);
    unit.FromIndex(space + 1);

    float value = 0;
    if (!number.GetFloat32(value)) {
        fprintf(stderr, "LibConvertBytes <%s> not a float\n", number.String());
        return 0;
    }
    double factor;
    if (unit.Compare("KB") == 0)
        factor = 1024.0;
    else if (unit.Compare("MB") == 0)
        factor = 1048576.0;
    else
        return 0;
    double bytes = std::trunc((double)value * factor);
    if (!(bytes == bytes)) // not a number
        return 0;
    if (bytes > (double)INT32_MAX)
        return INT32_MAX;
    if (bytes < (double)INT32_MIN)
        return INT32_MIN;
    return (int32)bytes;
}
