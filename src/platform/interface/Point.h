#pragma once

// A point in a view's or screen's coordinate system, in pixels.

#include "platform/support/SupportDefs.h"

class BRect;

class BPoint {
public:
    float x;
    float y;

    constexpr BPoint() : x(0), y(0) {}
    constexpr BPoint(float X, float Y) : x(X), y(Y) {}

    void Set(float X, float Y) {
        x = X;
        y = Y;
    }
    // Moves the point to the nearest point inside rect.
    void ConstrainTo(BRect rect);
    void PrintToStream() const;

    BPoint operator+(const BPoint& other) const { return BPoint(x + other.x, y + other.y); }
    BPoint operator-(const BPoint& other) const { return BPoint(x - other.x, y - other.y); }
    BPoint& operator+=(const BPoint& other) {
        x += other.x;
        y += other.y;
        return *this;
    }
    BPoint& operator-=(const BPoint& other) {
        x -= other.x;
        y -= other.y;
        return *this;
    }
    bool operator==(const BPoint& other) const { return x == other.x && y == other.y; }
    bool operator!=(const BPoint& other) const { return !(*this == other); }
};

inline constexpr BPoint B_ORIGIN(0, 0);
