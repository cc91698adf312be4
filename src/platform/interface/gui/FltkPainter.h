#pragma once

// The painter that draws with the toolkit on the current drawing surface (a window
// or an off-screen image). Only used on the toolkit thread. Coordinates are layout units;
// the painter draws them at the display scale (see PixelGrid.h): geometry, line widths
// and text grow with it, and images are resampled smoothly.

#include <vector>

#include "platform/interface/gui/Painter.h"
#include "platform/interface/gui/PixelGrid.h"

class FltkPainter : public Painter {
public:
    // The surface's size in layout units; the first clip covers it. The surface itself
    // is that size times the scale.
    FltkPainter(int32 width, int32 height, float scale = 1);
    ~FltkPainter() override;

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

    // Registers the DejaVu fonts with the toolkit; the text is then drawn with the same
    // files the font engine measures.
    static void RegisterFonts();
    // The toolkit font number for a font.
    static int FontIndex(const BFont& font);

    // The toolkit font size for a font drawn at a scale.
    static int FontSize(const BFont& font, float scale);

private:
    // A run of device pixels.
    struct Span {
        int first;
        int count;
    };
    // The device pixels from the cell of `low` to the cell of `high`.
    Span SpanOf(float low, float high) const;
    bool Skip(rgb_color color, drawing_mode mode) const;
    void SetColor(rgb_color color) const;

    PixelGrid fGrid;
    std::vector<BRect> fClips;
};
