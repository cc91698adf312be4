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

bool LibStringIterator::GetNextField(const char& separator, LibString& field) {
    const char* text = String() != nullptr ? String() : "";
    int32 length = Length();
    // A position set outside the text reads as its nearest end.
    int32 start = fPosition < 0 ? 0 : (fPosition > length ? length : fPosition);
    const char* found = separator != '\0' ? strchr(text + start, separator) : nullptr;
    LibString piece;
    if (found != nullptr) {
        int32 end = (int32)(found - text);
        piece = LibString(end - start);
        memcpy((char*)piece, text + start, end - start);
        ((char*)piece)[end - start] = '\0';
        fPosition = end + 1;
        field = piece;
        return true;
    }
    piece = text + start;
    field = piece; // field may be this iterator's own text
    if (start < length - 1) {
        fPosition = length - 1;
        return true;
    }
    return false;
}

bool LibStringIterator::GetNextField(const char* separators, LibString& field) {
    const char* text = String() != nullptr ? String() : "";
    int32 length = Length();
    int32 start = fPosition < 0 ? 0 : (fPosition > length ? length : fPosition);
    const char* set = separators != nullptr ? separators : "";
    size_t span = strcspn(text + start, set);
    LibString piece(text + start);
    if (start + (int32)span < length) {
        piece.ToIndex((int32)span - 1);
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
