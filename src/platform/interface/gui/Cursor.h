#pragma once

// BCursor: a mouse cursor made from the old platform's cursor data: 68 bytes, the size (16),
// the depth (1), the hot spot's row and column, 16 rows of image bits, then 16 rows of mask
// bits, each row two bytes, the leftmost pixel in the highest bit. A pixel shows black
// where image and mask are set, white where only the mask is, and nothing elsewhere.

#include <vector>

#include "platform/interface/Point.h"
#include "platform/support/SupportDefs.h"

class BCursor {
public:
    // Data of another size or depth gives an empty cursor (InitCheck() fails).
    explicit BCursor(const void* cursorData);

    status_t InitCheck() const { return fPixels.empty() ? B_BAD_VALUE : B_OK; }
    // 16 x 16 pixels, row by row, 0xAARRGGBB.
    const std::vector<uint32>& Pixels() const { return fPixels; }
    BPoint HotSpot() const { return fHotSpot; }

private:
    std::vector<uint32> fPixels;
    BPoint fHotSpot;
};

// Stands for the system's own arrow in BView::SetViewCursor.
#define B_CURSOR_SYSTEM_DEFAULT ((const BCursor*)nullptr)
