#include "lib/LibStringIterator.h"

#include <cstdio>
#include <cstring>

LibStringIterator::LibStringIterator() : fPosition(0) {}

LibStringIterator::LibStringIterator(const char* text) : LibString(text), fPosition(0) {}

LibStringIterator::LibStringIterator(const LibString& text) : LibString(text), fPosition(0) {}

LibStringIterator::LibStringIterator(const LibStringIterator& other)
    : LibString(other), fPosition(other.fPosition) {}

LibStringIterator::LibStringIterator(const int& size) : LibString((int32)size), fPosition(0) {}

LibStringIterator::~LibStringIterator() {}

LibStringIterator& LibStringIterator::operator=(const char* text) {
    if (text != String()) {
        LibString::operator=(text);
        fPosition = 0;
    }
    return *this;
}

LibStringIterator& LibStringIterator::operator=(const LibString& text) {
    if (&text != this) {
        LibString::operator=(text);
        fPosition = 0;
    }
    return *this;
}

LibStringIterator& LibStringIterator::operator=(const LibStringIterator& other) {
    if (&other != this) {
        LibString::operator=(other);
        fPosition = other.fPosition;
    }
    return *this;
}

void LibStringIterator::Reset(const int& position) {
    fPosition = position;
}

namespace {

// A string of exactly the given bytes.
LibString Piece(const char* from, size_t length) {
    LibString piece((int32)length);
    char* bytes = piece;
    memcpy(bytes, from, length);
    bytes[length] = '\0';
    return piece;
}

} // namespace

int32 LibStringIterator::ReadStart() const {
    // Only the buffer bounds the position here, so that reading a field costs the field's
    // length and not the whole text's; a position past the text reads as its end.
    int32 last = BufferSize() - 1;
    if (String() == nullptr || last < 0)
        return -1;
    return fPosition < 0 ? 0 : (fPosition > last ? last : fPosition);
}

bool LibStringIterator::GetNextField(const char& separator, LibString& field) {
    int32 start = ReadStart();
    if (start < 0) {
        field = "";
        return false;
    }
    const char* from = String() + start;
    const char* found = separator != '\0' ? strchr(from, separator) : nullptr;
    if (found != nullptr) {
        LibString piece = Piece(from, (size_t)(found - from));
        fPosition = (int32)(found - String()) + 1;
        field = piece; // field may be this iterator's own text
        return true;
    }
    int32 length = start + (int32)strlen(from);
    LibString rest(from);
    field = rest;
    if (start < length - 1) {
        fPosition = length - 1;
        return true;
    }
    return false;
}

bool LibStringIterator::GetNextField(const char* separators, LibString& field) {
    int32 start = ReadStart();
    if (start < 0) {
        field = "";
        return false;
    }
    const char* from = String() + start;
    size_t span = strcspn(from, separators != nullptr ? separators : "");
    LibString piece = Piece(from, span);
    if (from[span] != '\0') {
        fPosition = start + (int32)span + 1;
        field = piece;
        return true;
    }
    field = piece;
    return false;
}

bool LibStringIterator::GetIndexField(const char& separator, const int32& index, LibString& field) {
    if (index < 0)
        return false;
    fPosition = 0;
    LibString piece;
    for (int32 i = 0; i <= index; i++) {
        if (!GetNextField(separator, piece))
            return false;
    }
    field = piece;
    return true;
}

void LibStringIterator::PrintToStream() const {
    LibString::PrintToStream();
    fprintf(stderr, "position %d\n", (int)fPosition);
}
