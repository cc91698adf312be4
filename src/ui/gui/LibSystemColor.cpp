#include "ui/gui/LibSystemColor.h"

rgb_color lib_nearest_system_color(const rgb_color& color) {
    return lib_nearest_system_color(color.red, color.green, color.blue, color.alpha);
}

rgb_color lib_nearest_system_color(const unsigned char& red, const unsigned char& green,
                                   const unsigned char& blue, const unsigned char& alpha) {
    (void)alpha; // the palette has no transparency but its one magic entry
    return system_colors()->color_list[index_for_color(red, green, blue)];
}

bool lib_is_same_color(const rgb_color& a, const rgb_color& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}
