#include "platform/interface/gui/Box.h"

#include <cmath>

BBox::BBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags, border_style border)
    : BView(frame, name, resizingMode, flags | B_FRAME_EVENTS), fBorder(border) {
    SetFont(be_bold_font);
}

void BBox::SetBorder(border_style border) {
    fBorder = border;
    Invalidate();
}

void BBox::SetLabel(const char* label) {
    fLabel = label ? label : "";
    Invalidate();
}

void BBox::AttachedToWindow() {
    AdoptParentViewColor();
}

void BBox::FrameResized(float, float) {
    Invalidate();
}

void BBox::Draw(BRect) {
    BRect r = Bounds();
    float labelLeft = 0, labelRight = -1;
    if (!fLabel.empty()) {
        font_height fh;
        GetFontHeight(&fh);
        // The top edge runs through the middle of the label.
        r.top = std::floor((fh.ascent + fh.descent) / 2);
        labelLeft = r.left + 8;
        labelRight = labelLeft + std::ceil(StringWidth(fLabel.c_str())) + 4;
    }
    rgb_color base =
        ViewColor() == B_TRANSPARENT_COLOR ? ui_color(B_PANEL_BACKGROUND_COLOR) : ViewColor();
    rgb_color dark = tint_color(base, B_DARKEN_2_TINT);
    rgb_color light = tint_color(base, B_LIGHTEN_MAX_TINT);
    rgb_color saved = HighColor();
    auto topLine = [&](float y, float left, float right) {
        if (labelRight < labelLeft) {
            StrokeLine(BPoint(left, y), BPoint(right, y));
            return;
        }
        if (left < labelLeft)
            StrokeLine(BPoint(left, y), BPoint(labelLeft - 1, y));
        if (labelRight + 1 <= right)
            StrokeLine(BPoint(labelRight + 1, y), BPoint(right, y));
    };
    switch (fBorder) {
    case B_FANCY_BORDER:
        // An etched frame: a dark line with a light one inside it.
        SetHighColor(dark);
        topLine(r.top, r.left, r.right - 1);
        StrokeLine(BPoint(r.left, r.top), BPoint(r.left, r.bottom - 1));
        StrokeLine(BPoint(r.right - 1, r.top + 1), BPoint(r.right - 1, r.bottom - 1));
        StrokeLine(BPoint(r.left, r.bottom - 1), BPoint(r.right - 1, r.bottom - 1));
        SetHighColor(light);
        topLine(r.top + 1, r.left + 1, r.right - 2);
        StrokeLine(BPoint(r.left + 1, r.top + 1), BPoint(r.left + 1, r.bottom - 2));
        StrokeLine(BPoint(r.right, r.top), BPoint(r.right, r.bottom));
        StrokeLine(BPoint(r.left, r.bottom), BPoint(r.right, r.bottom));
        break;
    case B_PLAIN_BORDER:
        SetHighColor(dark);
        topLine(r.top, r.left, r.right);
        StrokeLine(BPoint(r.left, r.top), BPoint(r.left, r.bottom));
        StrokeLine(BPoint(r.right, r.top), BPoint(r.right, r.bottom));
        StrokeLine(BPoint(r.left, r.bottom), BPoint(r.right, r.bottom));
        break;
    case B_NO_BORDER:
        break;
    }
    if (!fLabel.empty()) {
        font_height fh;
        GetFontHeight(&fh);
        SetHighColor(0, 0, 0);
        SetLowColor(base);
        DrawString(fLabel.c_str(), BPoint(labelLeft + 2, std::ceil(fh.ascent)));
    }
    SetHighColor(saved);
}
