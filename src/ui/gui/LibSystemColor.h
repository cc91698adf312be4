#pragma once

#include "platform/interface/GraphicsDefs.h"

// The entry of the system palette nearest to a colour (what an 8-bit screen would show).
rgb_color lib_nearest_system_color(const rgb_color& color);
rgb_color lib_nearest_system_color(const unsigned char& red, const unsigned char& green,
                                   const unsigned char& blue, const unsigned char& alpha);

// True when red, green, blue and alpha are all equal.
bool lib_is_same_color(const rgb_color& a, const rgb_color& b);
