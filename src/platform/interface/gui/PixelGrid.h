#pragma once

// Layout units to device pixels at a display scale. At 1x a layout coordinate names one
// pixel; at a larger scale that pixel becomes the cell of device pixels from
// round(v * scale) up to round((v + 1) * scale) - 1, so that neighbouring cells tile
// without gaps or overlaps at fractional scales too. At 1x every mapping is the identity
// on whole coordinates and rounds as the unscaled drawing always did.

#include <algorithm>
#include <cmath>

#include "platform/interface/Rect.h"

struct PixelGrid {
    float scale = 1;

    // The first and last device pixel of the cell of layout pixel v.
    int First(float v) const {
        return scale == 1 ? (int)std::lround(v) : (int)std::lround(v * scale);
    }
    int Last(float v) const {
        return scale == 1 ? (int)std::lround(v) : (int)std::lround((v + 1) * scale) - 1;
    }
    // The device pixel in the middle of the cell (where a thin line runs).
    int Centre(float v) const {
        return scale == 1 ? (int)std::lround(v) : (int)std::lround((v + 0.5f) * scale - 0.5f);
    }
    // A length of whole layout pixels (a window's width) in device pixels, and back.
    int Length(float units) const {
        return scale == 1 ? (int)units : (int)std::lround(units * scale);
    }
    float Units(int pixels) const {
        return scale == 1 ? (float)pixels : std::round(pixels / scale);
    }
    // The layout pixel a device pixel lies in (a mouse position).
    float Cell(int pixel) const {
        return scale == 1 ? (float)pixel : std::ceil((pixel + 0.5f) / scale) - 1;
    }
    // A line's width in device pixels.
    int Width(float penSize) const { return std::max(1, (int)std::lround(penSize * scale)); }
};
