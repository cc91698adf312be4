#pragma once

// A rectangle with inclusive edges: a rectangle from (0,0) to (9,9) covers 10 x 10 pixels,
// and Width() is right - left, i.e. 9.

#include <cmath>

#include "platform/interface/Point.h"
#include "platform/support/SupportDefs.h"

class BRect {
public:
    float left;
    float top;
    float right;
    float bottom;

    // The default rectangle is invalid (right < left), as on the old platform.
    constexpr BRect() : left(0), top(0), right(-1), bottom(-1) {}
    constexpr BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
    constexpr BRect(BPoint leftTop, BPoint rightBottom)
        : left(leftTop.x), top(leftTop.y), right(rightBottom.x), bottom(rightBottom.y) {}

    void Set(float l, float t, float r, float b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    void PrintToStream() const;

    BPoint LeftTop() const { return BPoint(left, top); }
    BPoint RightBottom() const { return BPoint(right, bottom); }
    BPoint LeftBottom() const { return BPoint(left, bottom); }
    BPoint RightTop() const { return BPoint(right, top); }
    void SetLeftTop(BPoint p) {
        left = p.x;
        top = p.y;
    }
    void SetRightBottom(BPoint p) {
        right = p.x;
        bottom = p.y;
    }
    void SetLeftBottom(BPoint p) {
        left = p.x;
        bottom = p.y;
    }
    void SetRightTop(BPoint p) {
        right = p.x;
        top = p.y;
    }

    // Insetting by a negative amount grows the rectangle.
    void InsetBy(float dx, float dy);
    void InsetBy(BPoint d) { InsetBy(d.x, d.y); }
    void OffsetBy(float dx, float dy);
    void OffsetBy(BPoint d) { OffsetBy(d.x, d.y); }
    // Moves the rectangle so that its left-top corner is at (x, y); the size stays.
    void OffsetTo(float x, float y);
    void OffsetTo(BPoint p) { OffsetTo(p.x, p.y); }

    BRect& InsetBySelf(float dx, float dy) {
        InsetBy(dx, dy);
        return *this;
    }
    BRect& OffsetBySelf(float dx, float dy) {
        OffsetBy(dx, dy);
        return *this;
    }
    BRect& OffsetToSelf(float x, float y) {
        OffsetTo(x, y);
        return *this;
    }
    BRect InsetByCopy(float dx, float dy) const {
        BRect r(*this);
        r.InsetBy(dx, dy);
        return r;
    }
    BRect OffsetByCopy(float dx, float dy) const {
        BRect r(*this);
        r.OffsetBy(dx, dy);
        return r;
    }
    BRect OffsetByCopy(BPoint d) const { return OffsetByCopy(d.x, d.y); }
    BRect OffsetToCopy(float x, float y) const {
        BRect r(*this);
        r.OffsetTo(x, y);
        return r;
    }
    BRect OffsetToCopy(BPoint p) const { return OffsetToCopy(p.x, p.y); }
    BRect InsetByCopy(BPoint d) const { return InsetByCopy(d.x, d.y); }

    bool operator==(const BRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const BRect& o) const { return !(*this == o); }
    // The intersection; invalid when the two do not meet.
    BRect operator&(const BRect& o) const;
    // The smallest rectangle holding both.
    BRect operator|(const BRect& o) const;

    bool IsValid() const { return left <= right && top <= bottom; }
    float Width() const { return right - left; }
    int32 IntegerWidth() const { return (int32)std::ceil(right - left); }
    float Height() const { return bottom - top; }
    int32 IntegerHeight() const { return (int32)std::ceil(bottom - top); }

    // Edges are inclusive: rectangles that share only an edge intersect.
    bool Intersects(const BRect& o) const;
    bool Contains(BPoint p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    bool Contains(const BRect& o) const {
        return o.left >= left && o.right <= right && o.top >= top && o.bottom <= bottom;
    }
};
