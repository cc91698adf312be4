#pragma once

// What the toolkit host's sources share: the grid of device pixels the display's scale
// gives, and window frames on it. Not part of the public interface.

#include <algorithm>

#include "platform/interface/DisplayScale.h"
#include "platform/interface/Rect.h"
#include "platform/interface/gui/PixelGrid.h"

namespace gui_host {

inline PixelGrid Grid() {
    return PixelGrid{DisplayScale::Factor()};
}

// A window's content area on the screen, in device pixels.
struct DeviceFrame {
    int x, y, width, height;
};

inline DeviceFrame ToDevice(BRect frame) {
    PixelGrid grid = Grid();
    return DeviceFrame{grid.First(frame.left), grid.First(frame.top),
                       grid.Length(frame.Width() + 1), grid.Length(frame.Height() + 1)};
}

// A size limit in device pixels; limits are at most 32768 units.
inline int LimitToDevice(float units) {
    return Grid().Length(std::min(units, 32768.0f));
}

} // namespace gui_host
