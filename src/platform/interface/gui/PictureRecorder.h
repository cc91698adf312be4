#pragma once

// The painter that records drawing calls into a BPicture.

#include "platform/interface/gui/Painter.h"
#include "platform/interface/gui/Picture.h"

class PictureRecorder : public Painter {
public:
    // Empties picture and records into it.
    explicit PictureRecorder(BPicture* picture);

    void FillRect(BRect rect, rgb_color color, drawing_mode mode) override;
    void StrokeLine(BPoint a, BPoint b, rgb_color color, float penSize, drawing_mode mode) override;
    void FillEllipse(BRect rect, rgb_color color, drawing_mode mode) override;
    void StrokeEllipse(BRect rect, rgb_color color, float penSize, drawing_mode mode) override;
    void FillTriangle(BPoint a, BPoint b, BPoint c, rgb_color color, drawing_mode mode) override;
    void DrawString(const char* text, int32 length, BPoint where, const BFont& font, rgb_color high,
                    rgb_color low, drawing_mode mode) override;
    void DrawBitmap(const BBitmap& bitmap, BRect source, BRect destination,
                    drawing_mode mode) override;
    void PushClip(BRect) override {}
    void PopClip() override {}
    BRect Clip() const override { return BRect(-1e9f, -1e9f, 1e9f, 1e9f); }

private:
    void Add(PictureOp&& op);
    BPicture* fPicture;
};
