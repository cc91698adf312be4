#pragma once

#include "platform/support/SupportDefs.h"

// The three 24 x 24 pictures of the folder button, as 8-bit palette pixels (24 bytes a
// row): a bevelled button face with an open folder, the same pressed (bevel inverted,
// folder one pixel right and down), and disabled (the folder's outline only).
class FolderButtonArt {
public:
    static constexpr int32 kSize = 24;
    static constexpr int32 kBytes = kSize * kSize;

    static const uint8* Normal();
    static const uint8* Pressed();
    static const uint8* Disabled();
};
