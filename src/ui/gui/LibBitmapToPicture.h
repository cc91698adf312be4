#pragma once

#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/Rect.h"

class BBitmap;
class BPicture;

// A new picture (the caller owns it) that draws `bitmap` at the origin; none for no bitmap.
BPicture* LibBitmapToPicture(BBitmap* bitmap);
// The same for raw pixels in `space` (8-bit palette pixels: one byte a pixel, rows padded
// to 4 bytes); none when the bitmap cannot be made.
BPicture* LibBitmapToPicture(BRect bounds, const void* bits, const color_space& space);
