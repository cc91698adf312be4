#include "platform/storage/ResourceFormat.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/storage/Crc32.h"

namespace resource_format {

namespace {

uint32 Get32(const uint8* p) {
    return uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24;
}

uint64 Get64(const uint8* p) {
    return uint64(Get32(p)) | uint64(Get32(p + 4)) << 32;
}

void Put16(std::vector<uint8>& out, uint16 v) {
    out.push_back(static_cast<uint8>(v));
    out.push_back(static_cast<uint8>(v >> 8));
}

void Put32(std::vector<uint8>& out, uint32 v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8>(v >> (8 * i)));
}

void Put64(std::vector<uint8>& out, uint64 v) {
    Put32(out, static_cast<uint32>(v));
    Put32(out, static_cast<uint32>(v >> 32));
}

} // namespace

std::vector<uint8> EncodeHead(const Head& head) {
    std::vector<uint8> out(kHeadMagic, kHeadMagic + sizeof kHeadMagic);
    Put32(out, kVersion);
    Put32(out, head.imageCrc);
    Put64(out, head.totalSize);
    Put32(out, crc32_update(0, out.data(), out.size()));
    out.insert(out.end(), kHeadEndMagic, kHeadEndMagic + sizeof kHeadEndMagic);
    return out;
}

status_t ParseHead(const uint8* bytes, size_t length, Head* head) {
    if (bytes == nullptr || length < kHeadSize || memcmp(bytes, kHeadMagic, sizeof kHeadMagic) != 0)
        return B_BAD_VALUE;
    if (memcmp(bytes + 28, kHeadEndMagic, sizeof kHeadEndMagic) != 0 ||
        crc32_update(0, bytes, 24) != Get32(bytes + 24) || Get32(bytes + 8) != kVersion)
        return B_BAD_DATA;
    if (head != nullptr) {
        head->imageCrc = Get32(bytes + 12);
        head->totalSize = Get64(bytes + 16);
    }
    return B_OK;
}

bool HasMagic(const uint8* trailer, size_t length) {
    return length == kTrailerSize && memcmp(trailer, kMagic, sizeof kMagic) == 0 &&
           memcmp(trailer + kTrailerSize - sizeof kEndMagic, kEndMagic, sizeof kEndMagic) == 0;
}

status_t ParseTrailer(const uint8* bytes, size_t length, uint64 fileSize, Trailer* out) {
    if (bytes == nullptr || out == nullptr || !HasMagic(bytes, length) || fileSize < kTrailerSize)
        return B_BAD_DATA;
    if (crc32_update(0, bytes, 40) != Get32(bytes + 40))
        return B_BAD_DATA;
    Trailer t;
    t.version = Get32(bytes + 8);
    t.count = Get32(bytes + 12);
    t.containerStart = Get64(bytes + 16);
    t.indexOffset = Get64(bytes + 24);
    t.indexSize = Get32(bytes + 32);
    t.indexCrc = Get32(bytes + 36);
    if (t.version != kVersion || t.count > kMaxEntries)
        return B_BAD_DATA;
    uint64 indexEnd = fileSize - kTrailerSize;
    if (t.indexOffset > indexEnd || indexEnd - t.indexOffset != t.indexSize)
        return B_BAD_DATA;
    if (t.containerStart > t.indexOffset)
        return B_BAD_DATA;
    if (static_cast<uint64>(t.count) * kEntryFixedSize > t.indexSize)
        return B_BAD_DATA;
    *out = t;
    return B_OK;
}

status_t ParseIndex(const uint8* bytes, size_t length, const Trailer& trailer,
                    std::vector<IndexEntry>* out) {
    if (out == nullptr || (bytes == nullptr && length > 0) || length != trailer.indexSize)
        return B_BAD_DATA;
    if (crc32_update(0, bytes, length) != trailer.indexCrc)
        return B_BAD_DATA;
    std::vector<IndexEntry> entries;
    entries.reserve(trailer.count);
    size_t pos = 0;
    for (uint32 i = 0; i < trailer.count; ++i) {
        if (length - pos < kEntryFixedSize)
            return B_BAD_DATA;
        const uint8* p = bytes + pos;
        IndexEntry entry;
        entry.type = Get32(p);
        entry.id = static_cast<int32>(Get32(p + 4));
        entry.offset = Get64(p + 8);
        entry.size = Get64(p + 16);
        entry.crc = Get32(p + 24);
        size_t nameLength = size_t(p[28]) | size_t(p[29]) << 8;
        pos += kEntryFixedSize;
        if (nameLength > kMaxNameLength || length - pos < nameLength)
            return B_BAD_DATA;
        entry.name.assign(reinterpret_cast<const char*>(bytes + pos), nameLength);
        if (entry.name.find('\0') != std::string::npos)
            return B_BAD_DATA;
        pos += nameLength;
        // The bytes must lie between the program image and the index.
        if (entry.offset < trailer.containerStart || entry.offset > trailer.indexOffset ||
            entry.size > trailer.indexOffset - entry.offset)
            return B_BAD_DATA;
        entries.push_back(std::move(entry));
    }
    if (pos != length)
        return B_BAD_DATA;
    std::vector<std::pair<type_code, int32>> keys;
    keys.reserve(entries.size());
    for (const IndexEntry& entry : entries)
        keys.emplace_back(entry.type, entry.id);
    std::sort(keys.begin(), keys.end());
    if (std::adjacent_find(keys.begin(), keys.end()) != keys.end())
        return B_BAD_DATA;
    *out = std::move(entries);
    return B_OK;
}

std::vector<uint8> EncodeIndex(const std::vector<IndexEntry>& entries) {
    std::vector<uint8> out;
    for (const IndexEntry& entry : entries) {
        Put32(out, entry.type);
        Put32(out, static_cast<uint32>(entry.id));
        Put64(out, entry.offset);
        Put64(out, entry.size);
        Put32(out, entry.crc);
        size_t nameLength = std::min(entry.name.size(), kMaxNameLength);
        Put16(out, static_cast<uint16>(nameLength));
        out.insert(out.end(), entry.name.begin(),
                   entry.name.begin() + static_cast<long>(nameLength));
    }
    return out;
}

std::vector<uint8> EncodeTrailer(const Trailer& trailer) {
    std::vector<uint8> out(kMagic, kMagic + sizeof kMagic);
    Put32(out, trailer.version);
    Put32(out, trailer.count);
    Put64(out, trailer.containerStart);
    Put64(out, trailer.indexOffset);
    Put32(out, trailer.indexSize);
    Put32(out, trailer.indexCrc);
    Put32(out, crc32_update(0, out.data(), out.size()));
    out.insert(out.end(), kEndMagic, kEndMagic + sizeof kEndMagic);
    return out;
}

} // namespace resource_format
