#pragma once

// Where the drawing calls of a view end up: the window on screen, an off-screen bitmap
// or a picture being recorded. Coordinates are the target's (window content, bitmap
// pixels, or the recording view's own); rectangles have inclusive edges.

#include "platform/interface/Font.h"
#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/Rect.h"

class BBitmap;

class Painter {
public:
    virtual ~Painter() = default;

    virtual void FillRect(BRect rect, rgb_color color, drawing_mode mode) = 0;
    virtual void StrokeLine(BPoint a, BPoint b, rgb_color color, float penSize,
                            drawing_mode mode) = 0;
    virtual void FillEllipse(BRect rect, rgb_color color, drawing_mode mode) = 0;
    virtual void StrokeEllipse(BRect rect, rgb_color color, float penSize, drawing_mode mode) = 0;
    virtual void FillTriangle(BPoint a, BPoint b, BPoint c, rgb_color color, drawing_mode mode) = 0;
    // `where` is the baseline's start; the font's rotation turns the text around it.
    virtual void DrawString(const char* text, int32 length, BPoint where, const BFont& font,
                            rgb_color high, rgb_color low, drawing_mode mode) = 0;
    virtual void DrawBitmap(const BBitmap& bitmap, BRect source, BRect destination,
                            drawing_mode mode) = 0;
    // Clipping nests; each push intersects with the current clip.
    virtual void PushClip(BRect rect) = 0;
    virtual void PopClip() = 0;
    // The current clip, or an invalid rectangle when nothing is visible.
    virtual BRect Clip() const = 0;
};
