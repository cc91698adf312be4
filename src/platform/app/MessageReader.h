#pragma once

// Internal to the message's files: a reader of flattened bytes that never steps past their
// end, used where a message is parsed (a flattened message, a nested one).

#include <cstring>

#include "platform/app/Message.h"

// Reads a byte range without ever stepping past its end.
class BMessage::Reader {
public:
    Reader(const char* data, size_t size) : fData(data), fSize(size) {}

    size_t Remaining() const { return fSize - fPosition; }
    size_t Position() const { return fPosition; }
    const char* Current() const { return fData + fPosition; }

    bool Read(void* out, size_t size) {
        if (size > Remaining())
            return false;
        std::memcpy(out, fData + fPosition, size);
        fPosition += size;
        return true;
    }
    bool Skip(size_t size) {
        if (size > Remaining())
            return false;
        fPosition += size;
        return true;
    }
    bool ReadU8(uint8* value) { return Read(value, 1); }
    bool ReadU16(uint16* value) { return Read(value, 2); }
    bool ReadU32(uint32* value) { return Read(value, 4); }

private:
    const char* fData;
    size_t fSize;
    size_t fPosition = 0;
};
