#include "archive/ZipFormat.h"

#include <cstdint>

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

std::vector<unsigned char> PieceField(uint32_t pieceSize, size_t count) {
    std::vector<unsigned char> out;
    Put16(out, kPieceField);
    Put16(out, static_cast<uint32_t>(4 + 4 * count));
    Put32(out, pieceSize);
    out.resize(out.size() + 4 * count, 0);
    return out;
}

size_t PieceSizesOffset(const unsigned char* extra, size_t size) {
    size_t at = 0;
    while (extra != nullptr && size >= 4 && at <= size - 4) {
        unsigned id = extra[at] | extra[at + 1] << 8;
        size_t length = extra[at + 2] | extra[at + 3] << 8;
        at += 4;
        if (length > size - at)
            return SIZE_MAX;
        if (id == kPieceField)
            return length >= 4 ? at + 4 : SIZE_MAX;
        at += length;
    }
    return SIZE_MAX;
}

bool ParsePieces(const unsigned char* extra, size_t extraSize, uint64_t size,
                 uint64_t compressedSize, uint32_t& pieceSize, std::vector<uint32_t>& pieces) {
    pieces.clear();
    size_t at = PieceSizesOffset(extra, extraSize);
    if (at == SIZE_MAX)
        return false;
    size_t length = extra[at - 6] | extra[at - 5] << 8;
    size_t count = (length - 4) / 4;
    pieceSize = Read32(extra + at - 4);
    if ((length - 4) % 4 != 0 || pieceSize < 64 * 1024 || pieceSize > 16 * 1024 * 1024 ||
        size == 0 || (size + pieceSize - 1) / pieceSize != count)
        return false;
    uint64_t sum = 0;
    for (size_t i = 0; i < count; ++i) {
        uint32_t piece = Read32(extra + at + 4 * i);
        // A piece ends with at least the marker of its sync flush.
        if (piece < 5)
            return false;
        sum += piece;
        pieces.push_back(piece);
    }
    if (sum != compressedSize) {
        pieces.clear();
        return false;
    }
    return true;
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

namespace zipformat {

namespace {

// With "user." and the type companion's prefix added, a name must fit Linux's 255 bytes.
constexpr size_t kMaxAttributeName = 239;

} // namespace

bool ParseAttributes(const unsigned char* extra, size_t size, std::vector<CarriedAttribute>& out,
                     std::string& reason) {
    out.clear();
    bool seen = false;
    size_t at = 0;
    while (extra != nullptr && size >= 4 && at <= size - 4) {
        unsigned id = extra[at] | extra[at + 1] << 8;
        size_t length = extra[at + 2] | extra[at + 3] << 8;
        at += 4;
        // Other readers stop at a field that overruns the block; so do we, unless it is
        // ours, whose bytes would be lost.
        if (length > size - at) {
            if (id != kAttributeField)
                return true;
            reason = "the attribute field runs past the end of the extra fields";
            return false;
        }
        if (id == kAttributeField) {
            if (seen) {
                reason = "the attribute field is given twice";
                return false;
            }
            seen = true;
            const unsigned char* p = extra + at;
            size_t done = 0;
            while (done < length) {
                if (length - done < 10) {
                    reason = "an attribute record is cut short";
                    return false;
                }
                size_t nameLength = p[done] | p[done + 1] << 8;
                uint32_t type = Read32(p + done + 2);
                uint64_t valueLength = Read32(p + done + 6);
                done += 10;
                if (nameLength > length - done || valueLength > length - done - nameLength) {
                    reason = "an attribute record runs past the end of its field";
                    return false;
                }
                CarriedAttribute attribute;
                attribute.name.assign(reinterpret_cast<const char*>(p + done), nameLength);
                attribute.type = type;
                attribute.value.assign(p + done + nameLength, p + done + nameLength + valueLength);
                done += nameLength + static_cast<size_t>(valueLength);
                const std::string& name = attribute.name;
                if (name.empty() || name.size() > kMaxAttributeName ||
                    name.find('\0') != std::string::npos || name.find('/') != std::string::npos ||
                    name.compare(0, 11, "tarnw.type.") == 0) {
                    reason = "an attribute has an invalid name";
                    return false;
                }
                for (const CarriedAttribute& earlier : out) {
                    if (earlier.name == name) {
                        reason = "attribute \"" + name + "\" is given twice";
                        return false;
                    }
                }
                out.push_back(std::move(attribute));
            }
        }
        at += length;
    }
    return true;
}

} // namespace zipformat
