#pragma once

// BScreen: the main screen's frame, colour space and 256-colour palette.

#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/Rect.h"
#include "platform/support/SupportDefs.h"

class BWindow;

struct screen_id {
    int32 id;
};

inline constexpr screen_id B_MAIN_SCREEN_ID = {0};

class BScreen {
public:
    explicit BScreen(screen_id id = B_MAIN_SCREEN_ID);
    explicit BScreen(BWindow* window);

    bool IsValid() const { return true; }
    // The screen in screen coordinates, e.g. (0,0)-(1279,1023). Without a display, a
    // 1024 x 768 screen.
    BRect Frame() const;
    color_space ColorSpace() const;

    const color_map* ColorMap() const;
    // The palette index of the colour nearest to the given one.
    uint8 IndexForColor(rgb_color color) const;
    uint8 IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255) const;
    rgb_color ColorForIndex(uint8 index) const;
    uint8 InvertIndex(uint8 index) const;
    status_t WaitForRetrace() const { return B_OK; }
    status_t WaitForRetrace(bigtime_t) const { return B_OK; }
};
