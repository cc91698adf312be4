#include "platform/interface/gui/Screen.h"

#include "platform/interface/gui/GuiHost.h"

BScreen::BScreen(screen_id) {}

BScreen::BScreen(BWindow*) {}

BRect BScreen::Frame() const {
    return GuiHost::ScreenFrame();
}

color_space BScreen::ColorSpace() const {
    return B_RGB32;
}

const color_map* BScreen::ColorMap() const {
    return system_colors();
}

uint8 BScreen::IndexForColor(rgb_color color) const {
    return IndexForColor(color.red, color.green, color.blue, color.alpha);
}

uint8 BScreen::IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha) const {
    if (alpha == 0)
        return B_TRANSPARENT_MAGIC_CMAP8;
    return index_for_color(red, green, blue);
}

rgb_color BScreen::ColorForIndex(uint8 index) const {
    return system_colors()->color_list[index];
}

uint8 BScreen::InvertIndex(uint8 index) const {
    return system_colors()->inversion_map[index];
}
