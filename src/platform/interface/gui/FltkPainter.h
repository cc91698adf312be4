#pragma once

// The painter that draws with the toolkit on the current drawing surface (a window
// or an off-screen image). Only used on the toolkit thread.

#include <vector>

#include "platform/interface/gui/Painter.h"

class FltkPainter : public Painter {
public:
    // The surface's size in pixels; the first clip covers it.
    FltkPainter(int32 width, int32 height);
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

private:
    bool Skip(rgb_color color, drawing_mode mode) const;
    void SetColor(rgb_color color) const;

    std::vector<BRect> fClips;
};
