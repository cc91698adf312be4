#pragma once

// The on-disk layout of the resource container and its parser. The parser treats its
// input as hostile: every length and offset is checked against the file size.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/support/SupportDefs.h"

namespace resource_format {

// The trailer is the last kTrailerSize bytes of the file.
inline constexpr size_t kTrailerSize = 48;
inline constexpr char kMagic[8] = {'T', 'a', 'r', 'n', 'w', 'R', 's', 'c'};
inline constexpr char kEndMagic[4] = {'T', 'w', 'R', 'E'};
inline constexpr uint32 kVersion = 1;
inline constexpr size_t kEntryFixedSize = 30; // before the name bytes
inline constexpr size_t kMaxNameLength = 255;
inline constexpr uint32 kMaxEntries = 1u << 20;

// The head is the first kHeadSize bytes of the container, right after the program image. It
// records the size of the whole file, so that a file cut short (and so without its
// trailer) can be told apart from a program that never had resources, and the CRC-32 of
// the program image before it, which no resource's checksum covers.
inline constexpr size_t kHeadSize = 32;
inline constexpr char kHeadMagic[8] = {'T', 'a', 'r', 'n', 'w', 'H', 'e', 'd'};
inline constexpr char kHeadEndMagic[4] = {'T', 'w', 'H', 'E'};

struct Head {
    uint32 imageCrc = 0;
    uint64 totalSize = 0;
};

struct Trailer {
    uint32 version = kVersion;
    uint32 count = 0;
    uint64 containerStart = 0; // first byte after the program image
    uint64 indexOffset = 0;
    uint32 indexSize = 0;
    uint32 indexCrc = 0;
};

struct IndexEntry {
    type_code type = 0;
    int32 id = 0;
    uint64 offset = 0; // absolute file offset of the bytes
    uint64 size = 0;
    uint32 crc = 0;
    std::string name;
};

// Whether the last bytes of a file of `fileSize` bytes look like a trailer at all.
bool HasMagic(const uint8* trailer, size_t length);
// Decodes and checks the trailer. B_BAD_DATA for any inconsistency.
status_t ParseTrailer(const uint8* bytes, size_t length, uint64 fileSize, Trailer* out);
// Decodes the index bytes described by the trailer. Checks the CRC, every range against
// [containerStart, indexOffset), name lengths, and rejects duplicate (type, id).
status_t ParseIndex(const uint8* bytes, size_t length, const Trailer& trailer,
                    std::vector<IndexEntry>* out);

std::vector<uint8> EncodeHead(const Head& head);
// B_OK with *head set; B_BAD_VALUE when the bytes are no head at all (no magic);
// B_BAD_DATA when they are a damaged one.
status_t ParseHead(const uint8* bytes, size_t length, Head* head);

std::vector<uint8> EncodeIndex(const std::vector<IndexEntry>& entries);
std::vector<uint8> EncodeTrailer(const Trailer& trailer);

} // namespace resource_format
