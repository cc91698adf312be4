#include "storage/ZipFormat.h"

namespace zipformat {

namespace {

uint32_t Read32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void Put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// The field holds signed 32-bit seconds; times outside that range are clamped.
uint32_t Clamp(int64_t seconds) {
    if (seconds < INT32_MIN)
        seconds = INT32_MIN;
    if (seconds > INT32_MAX)
        seconds = INT32_MAX;
    return static_cast<uint32_t>(static_cast<int32_t>(seconds));
}

} // namespace

bool ParseUnixTimes(const unsigned char* extra, size_t size, Times& times) {
    times = Times();
    size_t at = 0;
    while (extra != nullptr && size >= 4 && at <= size - 4) {
        unsigned id = extra[at] | extra[at + 1] << 8;
        size_t length = extra[at + 2] | extra[at + 3] << 8;
        at += 4;
        if (length > size - at)
            return false;
        if (id == kExtendedTimestamp && length >= 1) {
            const unsigned char* p = extra + at;
            unsigned flags = p[0];
            size_t offset = 1;
            if ((flags & 1) && offset + 4 <= length) {
                times.modified = static_cast<int32_t>(Read32(p + offset));
                times.hasModified = true;
                offset += 4;
            }
            if ((flags & 2) && offset + 4 <= length) {
                times.accessed = static_cast<int32_t>(Read32(p + offset));
                times.hasAccessed = true;
            }
            return times.hasModified || times.hasAccessed;
        }
        at += length;
    }
    return false;
}

std::vector<unsigned char> LocalUnixTimes(int64_t modified, int64_t accessed) {
    std::vector<unsigned char> out;
    Put16(out, kExtendedTimestamp);
    Put16(out, 9);
    out.push_back(3);
    Put32(out, Clamp(modified));
    Put32(out, Clamp(accessed));
    return out;
}

std::vector<unsigned char> CentralUnixTimes(int64_t modified) {
    std::vector<unsigned char> out;
    Put16(out, kExtendedTimestamp);
    Put16(out, 5);
    out.push_back(3);
    Put32(out, Clamp(modified));
    return out;
}

} // namespace zipformat
