#pragma once

// The pieces of the ZIP format that minizip leaves to its caller: the "made by" hosts
// whose external attributes carry Unix modes, and the extended-timestamp extra field
// ("UT", 0x5455) in which Info-ZIP keeps modification and access times.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zipformat {

constexpr unsigned kHostUnix = 3;
constexpr unsigned kHostMac = 19;
// Version made by: Unix host, ZIP format version 3.0 (4.5 when Zip64 is needed).
constexpr unsigned kMadeByUnix = (kHostUnix << 8) | 30;
constexpr unsigned kMadeByUnixZip64 = (kHostUnix << 8) | 45;
constexpr uint16_t kExtendedTimestamp = 0x5455;

struct Times {
    bool hasModified = false;
    bool hasAccessed = false;
    int64_t modified = 0;
    int64_t accessed = 0;
};

// Finds the extended timestamp in an extra field block. Never reads past size.
bool ParseUnixTimes(const unsigned char* extra, size_t size, Times& times);

// The local header form holds modification and access time, the central form only the
// modification time (as Info-ZIP writes them).
std::vector<unsigned char> LocalUnixTimes(int64_t modified, int64_t accessed);
std::vector<unsigned char> CentralUnixTimes(int64_t modified);

} // namespace zipformat

namespace zipformat {

// Attributes of a node carried in the central directory's extra field 0x7754 ('T' 'w'):
// records of u16 name length, u32 type code, u32 value length, the name (without
// "user."), the value, until the field's data is used up.
constexpr uint16_t kAttributeField = 0x7754;

struct CarriedAttribute {
    std::string name;
    uint32_t type = 0;
    std::vector<unsigned char> value;
};

// Reads the attribute records of an extra field block (empty when it carries none).
// False with a reason when the block or a record is malformed: a record running past
// its field, an empty name, a name holding NUL or '/', a reserved or over-long name,
// a name given twice, or the field given twice.
bool ParseAttributes(const unsigned char* extra, size_t size, std::vector<CarriedAttribute>& out,
                     std::string& reason);

// Where the pieces of a file compressed in pieces lie, in the central directory's extra
// field 0x7750 ('P' 'w'): u32 the uncompressed size of a piece, then the compressed size
// of each piece (u32), in order. Each piece is deflated on its own (no dictionary from
// the piece before); all but the last end with a sync flush, so they join into the one
// deflate stream that other readers see.
constexpr uint16_t kPieceField = 0x7750;

// The field's data for count pieces of pieceSize bytes, the compressed sizes still 0.
std::vector<unsigned char> PieceField(uint32_t pieceSize, size_t count);
// Offset of the compressed sizes within an extra field block, or SIZE_MAX without one.
size_t PieceSizesOffset(const unsigned char* extra, size_t size);
// The piece table of an entry of size bytes compressed to compressedSize, when the extra
// block has one that is whole and adds up (the right count of pieces, sizes summing to
// compressedSize); false otherwise, and the entry is then read as one stream.
bool ParsePieces(const unsigned char* extra, size_t extraSize, uint64_t size,
                 uint64_t compressedSize, uint32_t& pieceSize, std::vector<uint32_t>& pieces);

} // namespace zipformat
