#pragma once

// The default screen of the X display named by $DISPLAY, read through the X library when
// one is installed (it is opened at run time, so a program without a display needs none).

#include "platform/support/SupportDefs.h"

struct DisplayScreen {
    int32 width = 0;
    int32 height = 0;
    int32 depth = 0; // bits per pixel of the default visual
};

// False, with `screen` left at zero, when no display can be opened.
bool ReadDefaultScreen(DisplayScreen& screen);
