#include <algorithm>
#include <cstdio>

#include "platform/interface/Point.h"
#include "platform/interface/Rect.h"

void BPoint::ConstrainTo(BRect rect) {
    x = std::max(std::min(x, rect.right), rect.left);
    y = std::max(std::min(y, rect.bottom), rect.top);
}

void BPoint::PrintToStream() const {
    std::printf("BPoint(x:%.1f, y:%.1f)\n", x, y);
}

void BRect::PrintToStream() const {
    std::printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)\n", left, top, right, bottom);
}

void BRect::InsetBy(float dx, float dy) {
    left += dx;
    right -= dx;
    top += dy;
    bottom -= dy;
}

void BRect::OffsetBy(float dx, float dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

void BRect::OffsetTo(float x, float y) {
    right = x + (right - left);
    bottom = y + (bottom - top);
    left = x;
    top = y;
}

BRect BRect::operator&(const BRect& o) const {
    return BRect(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                 std::min(bottom, o.bottom));
}

BRect BRect::operator|(const BRect& o) const {
    return BRect(std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                 std::max(bottom, o.bottom));
}

bool BRect::Intersects(const BRect& o) const {
    if (!IsValid() || !o.IsValid())
        return false;
    return !(o.left > right || o.right < left || o.top > bottom || o.bottom < top);
}
