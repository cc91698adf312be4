#pragma once

// BTranslationUtils: reads picture files into bitmaps. PNG and JPEG files are understood
// (recognised by their contents, not their names); the bitmap is B_RGBA32 for pictures
// with transparency and B_RGB32 otherwise.

#include "platform/support/SupportDefs.h"

class BBitmap;

class BTranslationUtils {
public:
    // A new bitmap (the caller owns it), or nullptr when the file cannot be read or is
    // not a picture this program understands.
    static BBitmap* GetBitmap(const char* path);
    static BBitmap* GetBitmapFile(const char* path) { return GetBitmap(path); }
};
