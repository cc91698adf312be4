#pragma once

#include "platform/interface/gui/Bitmap.h"
#include "platform/storage/Mime.h"

class BEntry;
class BNode;

// A bitmap that can be filled from raw palette pixels or with the icon the file manager
// shows for a file.
class LibBitmap : public BBitmap {
public:
    LibBitmap(BRect bounds, color_space space, bool acceptsViews = false,
              bool needsContiguousMemory = false);
    // Filled from `bits`: one byte a pixel, rows padded to 4 bytes, so
    // (width rounded up to 4) x height bytes are read.
    LibBitmap(BRect bounds, const void* bits, color_space space, bool acceptsViews = false,
              bool needsContiguousMemory = false);
    // Rebuilt from an archived bitmap; IsValid() tells whether the archive was sound.
    explicit LibBitmap(BMessage* archive);
    ~LibBitmap() override;

    // Draws the icon of the node (its own or its type's) at `size` into this bitmap. A
    // node that cannot be read leaves the bitmap as it was and answers false.
    bool SetTo(BNode& node, icon_size size);
    bool SetTo(const BEntry& entry, icon_size size);
    bool SetTo(const char* path, icon_size size);

    // Bytes of raw palette pixels the second constructor reads for `bounds`.
    static int32 PaletteBytesFor(BRect bounds);
};
