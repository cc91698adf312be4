#include "platform/storage/Crc32.h"

#include <array>
#include <zlib.h>

#ifdef TARNW_HAVE_LIBDEFLATE
#include <libdeflate.h>
#else

namespace {

// Slicing by eight: eight bytes per step through eight derived tables.
struct CrcTables {
    std::array<std::array<uint32, 256>, 8> t;
    CrcTables() {
        for (uint32 i = 0; i < 256; ++i) {
            uint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (uint32 i = 0; i < 256; ++i)
            for (int s = 1; s < 8; ++s)
                t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xff];
    }
};

const CrcTables& Tables() {
    static const CrcTables tables;
    return tables;
}

} // namespace

#endif

uint32 crc32_update(uint32 crc, const void* data, size_t length) {
#ifdef TARNW_HAVE_LIBDEFLATE
    // Carry-less multiplication where the processor has it: a run checks every byte it
    // installs before its first write, at several GB/s instead of one.
    return libdeflate_crc32(crc, data, length);
#else
    const auto& t = Tables().t;
    const uint8* p = static_cast<const uint8*>(data);
    uint32 c = ~crc;
    while (length >= 8) {
        uint32 lo =
            c ^ (uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24);
        uint32 hi = uint32(p[4]) | uint32(p[5]) << 8 | uint32(p[6]) << 16 | uint32(p[7]) << 24;
        c = t[7][lo & 0xff] ^ t[6][(lo >> 8) & 0xff] ^ t[5][(lo >> 16) & 0xff] ^ t[4][lo >> 24] ^
            t[3][hi & 0xff] ^ t[2][(hi >> 8) & 0xff] ^ t[1][(hi >> 16) & 0xff] ^ t[0][hi >> 24];
        p += 8;
        length -= 8;
    }
    while (length-- > 0)
        c = t[0][(c ^ *p++) & 0xff] ^ (c >> 8);
    return ~c;
#endif
}

uint32 crc32_combine_lengths(uint32 first, uint32 second, uint64 secondLength) {
    return uint32(crc32_combine64(first, second, z_off64_t(secondLength)));
}
