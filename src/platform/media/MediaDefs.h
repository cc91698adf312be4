#pragma once

// Raw audio formats, as sounds describe their samples.

#include <cstddef>

#include "platform/support/SupportDefs.h"

struct media_raw_audio_format {
    enum {
        B_AUDIO_FLOAT = 0x24,
        B_AUDIO_DOUBLE = 0x28,
        B_AUDIO_INT = 0x4,
        B_AUDIO_SHORT = 0x2,
        B_AUDIO_UCHAR = 0x11, // unsigned 8-bit
        B_AUDIO_CHAR = 0x1,   // signed 8-bit
        B_AUDIO_SIZE_MASK = 0xf
    };

    float frame_rate = 0;
    uint32 channel_count = 0;
    uint32 format = 0;
    uint32 byte_order = 0;
    size_t buffer_size = 0;
};

enum { B_MEDIA_BIG_ENDIAN = 1, B_MEDIA_LITTLE_ENDIAN = 2 };
#define B_MEDIA_HOST_ENDIAN B_MEDIA_LITTLE_ENDIAN

// Bytes of one sample of a format code; 0 for a code that is none of the known ones.
size_t media_sample_size(uint32 format);
