#pragma once

#include "platform/interface/Rect.h"

// The rectangle with its left-top corner at (left, top) that is width by height pixels
// in the platform's inclusive sense: (left, top)-(left + width, top + height).
BRect LibRect(const float& left, const float& top, const float& width, const float& height);
