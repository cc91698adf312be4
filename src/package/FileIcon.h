#pragma once

#include "platform/support/SupportDefs.h"

class BMessage;

// The 16 x 16 icon of a file record, in the platform's 8-bit palette colour space
// (colour space 4, 16 bytes a row). It is kept as plain pixels so that this library
// needs no display; the window turns it into a bitmap with Archive().
class FileIcon {
public:
    static constexpr int32 kSize = 16;
    static constexpr int32 kBytesPerRow = 16;
    static constexpr int32 kDataSize = kSize * kBytesPerRow;
    static constexpr int32 kColorSpace = 4; // the platform's 8-bit palette space
    static constexpr uint8 kTransparent = 0xff;

    // A blank icon: every pixel transparent.
    FileIcon();

    void MakeBlank();
    bool IsBlank() const;

    // Takes the pixels of an archived bitmap ("_frame", "_cspace", "_rowbytes",
    // "_data"). Only a 16 x 16 palette bitmap is accepted; anything else (wrong size,
    // colour space, short data) returns false and leaves the icon unchanged.
    bool SetFromArchive(const BMessage& archive);
    // Writes the icon as the archive of a bitmap of class "LibBitmap": frame
    // (0, 0, 15, 15), colour space 4, flags 1, 16 bytes a row, 256 bytes of pixels.
    void Archive(BMessage& archive) const;

    // Takes the small icon that the entry at path carries in its "BEOS:M:STD_ICON"
    // attribute; false (icon unchanged) when it has none of the right size.
    bool SetFromNode(const char* path);

    const uint8* Bits() const { return fBits; }
    uint8* Bits() { return fBits; }

    bool operator==(const FileIcon& other) const;

private:
    uint8 fBits[kDataSize];
};
