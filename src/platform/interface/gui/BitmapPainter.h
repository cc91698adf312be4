#pragma once

// The painter that draws into the pixels of a BBitmap, for views added to an off-screen
// bitmap. Text is not drawn into bitmaps: nothing here needs it.

#include <vector>

#include "platform/interface/gui/Painter.h"

class BitmapPainter : public Painter {
public:
    explicit BitmapPainter(BBitmap* bitmap);

    void FillRect(BRect rect, rgb_color color, drawing_mode mode) override;
    void StrokeLine(BPoint a, BPoint b, rgb_color color, float penSize, drawing_mode mode) override;
    void FillEllipse(BRect rect, rgb_color color, drawing_mode mode) override;
    void StrokeEllipse(BRect rect, rgb_color color, float penSize, drawing_mode mode) override;
    void FillTriangle(BPoint a, BPoint b, BPoint c, rgb_color color, drawing_mode mode) override;
    void DrawString(const char* text, int32 length, BPoint where, const BFont& font, rgb_color high,
                    rgb_color low, drawing_mode mode) override;
    void DrawBitmap(const BBitmap& bitmap, BRect source, BRect destination,
                    drawing_mode mode) override;
    void PushClip(BRect rect) override;
    void PopClip() override;
    BRect Clip() const override { return fClips.back(); }

private:
    void Plot(int32 x, int32 y, rgb_color color, drawing_mode mode);

    BBitmap* fBitmap;
    std::vector<BRect> fClips;
};
