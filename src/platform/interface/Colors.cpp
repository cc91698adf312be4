#include <mutex>

#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/InterfaceDefs.h"

namespace {

// The palette: 32 greys from black to white, the 6 x 6 x 6 colour cube, the interface's
// own colours so that 8-bit artwork can use them exactly, and the transparent index 255.
void BuildPalette(color_map& map) {
    map.id = 1;
    int index = 0;
    for (int i = 0; i < 32; i++) {
        uint8 v = (uint8)((i * 255 + 15) / 31);
        map.color_list[index++] = rgb_color{v, v, v, 255};
    }
    static const uint8 kLevels[6] = {0, 51, 102, 153, 204, 255};
    for (int r = 0; r < 6; r++)
        for (int g = 0; g < 6; g++)
            for (int b = 0; b < 6; b++)
                map.color_list[index++] = rgb_color{kLevels[r], kLevels[g], kLevels[b], 255};
    static const rgb_color kExtra[] = {
        {216, 216, 216, 255}, {219, 219, 219, 255}, {184, 184, 184, 255}, {128, 128, 128, 255},
        {255, 203, 0, 255},   {255, 255, 203, 255}, {0, 0, 229, 255},
    };
    for (const rgb_color& c : kExtra)
        map.color_list[index++] = c;
    map.color_list[index++] = B_TRANSPARENT_COLOR; // index 255
}

uint8 Nearest(const color_map& map, int red, int green, int blue) {
    int best = 0;
    long bestDistance = 1L << 30;
    for (int i = 0; i < 255; i++) {
        const rgb_color& c = map.color_list[i];
        long dr = c.red - red, dg = c.green - green, db = c.blue - blue;
        long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0)
                break;
        }
    }
    return (uint8)best;
}

const color_map& Palette() {
    static color_map* map = [] {
        auto* m = new color_map();
        BuildPalette(*m);
        for (int i = 0; i < 32768; i++) {
            int r = (i >> 10) & 31, g = (i >> 5) & 31, b = i & 31;
            m->index_map[i] =
                Nearest(*m, (r << 3) | (r >> 2), (g << 3) | (g >> 2), (b << 3) | (b >> 2));
        }
        for (int i = 0; i < 256; i++) {
            const rgb_color& c = m->color_list[i];
            m->inversion_map[i] = Nearest(*m, 255 - c.red, 255 - c.green, 255 - c.blue);
        }
        m->inversion_map[255] = 255;
        return m;
    }();
    return *map;
}

} // namespace

const color_map* system_colors() {
    return &Palette();
}

uint8 index_for_color(uint8 red, uint8 green, uint8 blue) {
    return Nearest(Palette(), red, green, blue);
}

int32 bytes_per_pixel(color_space space) {
    switch (space) {
    case B_RGB32:
    case B_RGBA32:
    case B_RGB32_BIG:
    case B_RGBA32_BIG:
        return 4;
    case B_RGB24:
    case B_RGB24_BIG:
        return 3;
    case B_RGB16:
    case B_RGB15:
    case B_RGBA15:
        return 2;
    case B_CMAP8:
    case B_GRAY8:
        return 1;
    default:
        return 0;
    }
}

int32 bytes_per_row_for(color_space space, int32 width) {
    if (width <= 0)
        return 0;
    int64 bytes;
    if (space == B_GRAY1)
        bytes = (width + 7) / 8;
    else
        bytes = (int64)width * bytes_per_pixel(space);
    bytes = (bytes + 3) & ~int64(3);
    return bytes > INT32_MAX ? 0 : (int32)bytes;
}

rgb_color ui_color(color_which which) {
    switch (which) {
    case B_PANEL_BACKGROUND_COLOR:
        return {216, 216, 216, 255};
    case B_MENU_BACKGROUND_COLOR:
        return {219, 219, 219, 255};
    case B_WINDOW_TAB_COLOR:
        return {255, 203, 0, 255};
    case B_KEYBOARD_NAVIGATION_COLOR:
        return {0, 0, 229, 255};
    case B_DESKTOP_COLOR:
        return {51, 102, 152, 255};
    case B_MENU_SELECTION_BACKGROUND_COLOR:
        return {115, 120, 184, 255};
    case B_MENU_SELECTED_ITEM_TEXT_COLOR:
        return {255, 255, 255, 255};
    case B_MENU_SELECTED_BORDER_COLOR:
        return {0, 0, 0, 255};
    case B_DOCUMENT_BACKGROUND_COLOR:
    case B_CONTROL_BACKGROUND_COLOR:
        return {255, 255, 255, 255};
    case B_CONTROL_BORDER_COLOR:
        return {128, 128, 128, 255};
    case B_CONTROL_HIGHLIGHT_COLOR:
        return {115, 120, 184, 255};
    case B_SHINE_COLOR:
        return {255, 255, 255, 255};
    case B_SHADOW_COLOR:
        return {0, 0, 0, 255};
    case B_TOOLTIP_BACKGROUND_COLOR:
        return {255, 255, 203, 255};
    case B_SUCCESS_COLOR:
        return {0, 255, 0, 255};
    case B_FAILURE_COLOR:
        return {255, 0, 0, 255};
    default:
        return {0, 0, 0, 255};
    }
}

rgb_color tint_color(rgb_color color, float tint) {
    auto apply = [tint](uint8 v) -> uint8 {
        float result;
        if (tint <= 1.0f)
            result = 255.0f - (255.0f - v) * (tint < 0 ? 0 : tint);
        else
            result = v * (2.0f - (tint > 2.0f ? 2.0f : tint));
        return (uint8)(result + 0.5f);
    };
    return rgb_color{apply(color.red), apply(color.green), apply(color.blue), color.alpha};
}
