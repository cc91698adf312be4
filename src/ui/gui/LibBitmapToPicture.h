#pragma once

#include <memory>

#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/Rect.h"

class BBitmap;
class BPicture;

// A new picture that draws `bitmap` at the origin; none for no bitmap.
std::unique_ptr<BPicture> LibBitmapToPicture(BBitmap* bitmap);
// The same for raw pixels in `space` (8-bit palette pixels: one byte a pixel, rows padded
// to 4 bytes); none when the bitmap cannot be made.
std::unique_ptr<BPicture> LibBitmapToPicture(BRect bounds, const void* bits,
                                             const color_space& space);
