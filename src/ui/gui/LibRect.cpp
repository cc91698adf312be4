#include "ui/gui/LibRect.h"

BRect LibRect(const float& left, const float& top, const float& width, const float& height) {
    return BRect(left, top, left + width, top + height);
}
