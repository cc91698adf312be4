#pragma once

// LibString: the system's string. One owned, exactly sized, NUL-terminated byte buffer
// that converts implicitly to a byte pointer. It knows nothing of encodings except in the
// UTF-8 character operations; case folding is the C library's single-byte folding.
//
// Buffers are sized exactly: assignment allocates length + 1 bytes, concatenation
// reallocates to exactly the new length + 1 only when the current buffer is too small.
// Clear() leaves no buffer at all; every operation here treats such a string as empty, and
// the conversion operators return a null pointer for it.

#include "platform/support/SupportDefs.h"

class BFont;
class BRect;

class LibString {
public:
    LibString();
    // An empty string with room for size bytes (buffer size size + 1).
    explicit LibString(const int32& size);
    // A null pointer leaves no buffer, as after Clear().
    LibString(const char* text);
    LibString(const LibString& other);
    LibString(LibString&& other) noexcept;
    virtual ~LibString();

    virtual operator const char*() const;
    virtual operator char*() const;
    virtual void PrintToStream() const;

    // Storage.
    void SetBuffer(const int32& size);
    void Clear();
    int32 Length() const;
    int32 BufferSize() const { return fBufferSize; }
    const char* String() const { return fText; }
    char& operator[](const int32& index) { return fText[index]; }
    const char& operator[](const int32& index) const { return fText[index]; }

    // Assignment.
    LibString& operator=(const char* text);
    LibString& operator=(const LibString& other);
    LibString& operator=(LibString&& other) noexcept;
    LibString& operator=(const int32& value);
    LibString& operator=(const int64& value);
    LibString& operator=(const uint32& value);
    LibString& operator=(const uint64& value);
    LibString& operator=(const float& value);
    LibString& operator=(const double& value);
    // printf-style formatting into a 512-byte work area; longer output is cut at 511 bytes.
    LibString& Formatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
    LibString& SetFloat64(const double& value, const int& decimals);
    LibString& SetFloat32(const float& value, const int& decimals);
    LibString& SetHex(const unsigned char& value);

    // Concatenation.
    LibString& Concat(const char* text);
    LibString& Concat(const char& c);
    LibString& operator+=(const char* text) { return Concat(text); }
    LibString& operator+=(const char& c) { return Concat(c); }
    LibString& operator+=(const int32& value);
    LibString& operator+=(const int64& value);
    LibString& operator+=(const uint32& value);
    LibString& operator+=(const uint64& value);
    LibString& operator+=(const float& value);
    LibString& operator+=(const double& value);
    LibString& PrePend(const char* text);
    // Appends the whole content of the file at path; an unreadable file changes nothing.
    void Read(const char* path, const int32& lineBufferSize);

    // Comparison: negative when this string sorts first, 0 when equal, positive after.
    int32 Compare(const char* text, const bool& ignoreCase = false) const;
    int32 Compare(const LibString& other, const bool& ignoreCase = false) const;
    int32 CompareSub(const char* text, const bool& ignoreCase = false, const int32& count = -1,
                     const int32& offset = 0) const;
    int32 CompareSub(const LibString& other, const bool& ignoreCase = false,
                     const int32& count = -1, const int32& offset = 0) const;
    bool operator==(const char* text) const { return text != nullptr && Compare(text) == 0; }
    bool operator==(char* text) const { return *this == (const char*)text; }
    bool operator==(const LibString& other) const {
        return other.fText != nullptr && Compare(other.fText) == 0;
    }
    bool operator!=(const char* text) const { return !(*this == text); }
    bool operator!=(char* text) const { return !(*this == (const char*)text); }
    bool operator!=(const LibString& other) const { return !(*this == other); }

    // Numeric parsing: the whole text must be digits with at most one leading sign and
    // one point; otherwise the output is 0 and the result false.
    bool GetInt8(int8& value) const;
    bool GetUint8(uint8& value) const;
    bool GetInt16(int16& value) const;
    bool GetUint16(uint16& value) const;
    bool GetInt32(int32& value) const;
    bool GetUint32(uint32& value) const;
    bool GetFloat64(double& value) const;
    bool GetFloat32(float& value) const;
    bool IsNumeric() const;

    // Hexadecimal.
    unsigned char GetHex() const;
    unsigned char HexValue(const char& c) const;

    // Diagnostics and sizes.
    void PrintDecimalToStream() const;
    int32 PackSize() const;

    // Searching (byte indexes, -1 when absent).
    int32 Index(const char& c) const;
    int32 Index(const char* text) const;
    int32 Index(const LibString& text) const { return Index(text.fText); }
    int32 IndexOfAny(const char* set) const;
    int32 Count(const char& c) const;
    bool Contain(const char& c) const;
    bool Contain(const char* text, const bool& ignoreCase = false) const;
    bool Contain(const LibString& text, const bool& ignoreCase = false) const;
    bool BeginsWith(const char* text, const bool& ignoreCase = false) const;
    bool BeginsWith(const LibString& text, const bool& ignoreCase = false) const;
    bool EndsWith(const char* text, const bool& ignoreCase = false) const;
    bool EndsWith(const LibString& text, const bool& ignoreCase = false) const;
    bool IsBlank() const;
    int32 Words() const;
    // Whole-string match: '*' any run of bytes, '?' exactly one byte, case-sensitive.
    bool IsWildCard(const char* pattern) const;
    bool IsWildCard(const LibString& pattern) const;
    static bool CompareWildCard(const char* subject, const char* pattern);

    // Extraction.
    LibString Extract(const int32& first, const int32& last) const;
    LibString Extract(const char& open, const char& close, const bool& exclude) const;
    bool Word(const int32& n, LibString& out) const;

    // Cutting in place.
    void ToIndex(const int32& index);
    void FromIndex(const int32& index);
    bool ToChar(const char& c, const int32& n = 0, const int& offset = 0);
    bool FromChar(const char& c, const int32& n = 0, const int& offset = 0);
    void ToLast(const char& c, const int32& offset = 0);
    void FromLast(const char& c, const int32& offset = 0);

    // Editing in place.
    void Insert(const int& index, const char* text);
    void Remove(const int32& first, const int32& last);
    void RemoveChar(const int32& index);
    void RemoveAllChar(const char& c);
    void RemoveRepeatingChar(const char& c);
    void ShiftFrom(const int32& to, const int32& from);
    bool RemoveWord(const char* word);
    void RemoveAllWords(const char* word);
    int32 Replace(const char* find, const char* with);
    int32 ReplaceAll(const char* find, const char* with);
    void ReplaceAll(const char& from, const char& to);
    void SwapChar(const char& from, const char& to);

    // Stripping and case.
    void StripLeadingSpaces();
    void StripTrailingSpaces();
    void StripAllSpaces();
    void StripLeadingChar(const char& c);
    void StripTrailingChar(const char& c);
    void StripPunct();
    void ToLowerCase();
    void ToUpperCase();
    void ToProperCase();

    // UTF-8 characters.
    int32 CharCount() const;
    int32 CharToIndex(const int32& n);
    void CharFromIndex(const int32& n);
    void NextCharacter(const char* text, long long& offset, uint32& length) const;
    void NextCharacter(const char* text, long& offset, uint32& length) const;
    void NextCharacter(const char* text, int& offset, uint32& length) const;

    // Fits the string into maxWidth pixels of font, ending it with "..." when it is cut.
    // Returns the length when nothing changed, else the number of bytes dropped.
    int32 Truncate(const BFont& font, const int& maxWidth, BRect& rect);

private:
    void Adopt(char* buffer, int32 size);
    void AssignFormatted(const char* text, int32 minimumBufferSize);
    void CutAt(int32 length);
    // Replaces the text, growing the buffer to exactly length + 1 only when it is too small.
    void Store(const char* text, int32 length);
    // Byte index where each character starts, walking the text once.
    int32 CharStart(int32 n, int32* count) const;
    static int32 CharBytes(unsigned char lead);

    char* fText;
    int32 fBufferSize;
};

// Byte counts as text: "%.*f %s" with "MB", "KB" or "bytes".
LibString& LibBytesToString(const uint32& bytes, LibString& out, int decimals);
// "1.5 MB" -> 1572864, "2 KB" -> 2048; any other unit gives 0.
int32 LibStringToBytes(const char* text);
