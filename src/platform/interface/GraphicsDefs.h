#pragma once

// Colours, colour spaces, drawing modes and patterns of the drawing layer.

#include "platform/support/SupportDefs.h"

struct rgb_color {
    uint8 red;
    uint8 green;
    uint8 blue;
    uint8 alpha;

    bool operator==(const rgb_color& o) const {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
    bool operator!=(const rgb_color& o) const { return !(*this == o); }
};

inline rgb_color make_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255) {
    return rgb_color{red, green, blue, alpha};
}

// The 256-colour system palette of 8-bit (B_CMAP8) pixels. index_map gives, for every
// 15-bit colour (5 bits each of red, green, blue, red highest), the nearest palette index.
struct color_map {
    int32 id;
    rgb_color color_list[256];
    uint8 inversion_map[256];
    uint8 index_map[32768];
};

// The palette the system uses for 8-bit pixels; never null.
const color_map* system_colors();

// The palette index nearest to a colour (alpha is ignored), by exact Euclidean distance.
uint8 index_for_color(uint8 red, uint8 green, uint8 blue);

// Transparent pixels: this colour in 32-bit images, this index in 8-bit images.
inline constexpr rgb_color B_TRANSPARENT_COLOR = {0x77, 0x74, 0x77, 0x00};
inline constexpr rgb_color B_TRANSPARENT_32_BIT = {0x77, 0x74, 0x77, 0x00};
inline constexpr uint8 B_TRANSPARENT_MAGIC_CMAP8 = 0xff;
inline constexpr uint8 B_TRANSPARENT_8_BIT = 0xff;

enum color_space {
    B_NO_COLOR_SPACE = 0x0000,
    B_RGB32 = 0x0008,  // B G R - in memory order (0xAARRGGBB little-endian words)
    B_RGBA32 = 0x2008, // B G R A
    B_RGB24 = 0x0003,  // B G R
    B_RGB16 = 0x0005,
    B_RGB15 = 0x0010,
    B_RGBA15 = 0x2010,
    B_CMAP8 = 0x0004, // one palette index per pixel
    B_GRAY8 = 0x0002,
    B_GRAY1 = 0x0001,
    B_RGB32_BIG = 0x1008,
    B_RGBA32_BIG = 0x3008,
    B_RGB24_BIG = 0x1003,
};

// Bytes per pixel of a colour space (0 for B_GRAY1 and unknown spaces).
int32 bytes_per_pixel(color_space space);
// Bytes of one row of `width` pixels, padded to a multiple of 4 bytes.
int32 bytes_per_row_for(color_space space, int32 width);

enum drawing_mode {
    B_OP_COPY,
    B_OP_OVER, // draws everything but the transparent colour
    B_OP_ERASE,
    B_OP_INVERT,
    B_OP_ADD,
    B_OP_SUBTRACT,
    B_OP_BLEND,
    B_OP_MIN,
    B_OP_MAX,
    B_OP_SELECT,
    B_OP_ALPHA
};

struct pattern {
    uint8 data[8];
};

inline constexpr pattern B_SOLID_HIGH = {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};
inline constexpr pattern B_MIXED_COLORS = {{0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55}};
inline constexpr pattern B_SOLID_LOW = {{0, 0, 0, 0, 0, 0, 0, 0}};

enum {
    B_8_BIT_640x480 = 0x00000001,
    B_8_BIT_800x600 = 0x00000002,
    B_8_BIT_1024x768 = 0x00000004,
    B_32_BIT_1024x768 = 0x00000400,
};
