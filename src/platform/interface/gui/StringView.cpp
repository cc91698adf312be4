#include "platform/interface/gui/StringView.h"

#include <cmath>

BStringView::BStringView(BRect frame, const char* name, const char* text, uint32 resizingMode,
                         uint32 flags)
    : BView(frame, name, resizingMode, flags), fText(text ? text : "") {}

void BStringView::SetText(const char* text) {
    std::string next = text ? text : "";
    if (next == fText)
        return;
    fText = next;
    Invalidate();
}

void BStringView::SetAlignment(alignment flag) {
    fAlignment = flag;
    Invalidate();
}

void BStringView::AttachedToWindow() {
    AdoptParentViewColor();
}

void BStringView::Draw(BRect) {
    if (fText.empty())
        return;
    BRect bounds = Bounds();
    font_height fh;
    GetFontHeight(&fh);
    float width = StringWidth(fText.c_str());
    float x = bounds.left;
    if (fAlignment == B_ALIGN_RIGHT)
        x = bounds.right - width;
    else if (fAlignment == B_ALIGN_CENTER)
        x = std::floor(bounds.left + (bounds.Width() + 1 - width) / 2);
    float y =
        std::floor(bounds.top + (bounds.Height() + 1 - (fh.ascent + fh.descent)) / 2 + fh.ascent);
    DrawString(fText.c_str(), BPoint(x, y));
}

void BStringView::GetPreferredSize(float* width, float* height) {
    font_height fh;
    GetFontHeight(&fh);
    if (width)
        *width = std::ceil(StringWidth(fText.c_str()));
    if (height)
        *height = std::ceil(fh.ascent + fh.descent + fh.leading);
}
