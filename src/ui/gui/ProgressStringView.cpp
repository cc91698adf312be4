#include "ui/gui/ProgressStringView.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/InterfaceDefs.h"

ProgressStringView::ProgressStringView(BRect frame, const char* name, const char* text)
    : BStringView(frame, name, text) {}

void ProgressStringView::SetProgress(int64 done, int64 total) {
    float fraction = total > 0 ? float(std::clamp<double>(double(done) / double(total), 0, 1)) : 0;
    // Redrawing for a change no one could see would only cost time.
    BRect bounds = Bounds();
    if (std::floor(fraction * (bounds.Width() + 1)) ==
        std::floor(fFraction * (bounds.Width() + 1))) {
        fFraction = fraction;
        return;
    }
    fFraction = fraction;
    Invalidate();
}

void ProgressStringView::Draw(BRect updateRect) {
    if (fFraction > 0) {
        BRect bounds = Bounds();
        BRect filled = bounds;
        filled.right = bounds.left + std::floor(fFraction * (bounds.Width() + 1)) - 1;
        if (filled.right >= filled.left) {
            rgb_color high = HighColor();
            SetHighColor(tint_color(ui_color(B_CONTROL_HIGHLIGHT_COLOR), 0.6f));
            FillRect(filled);
            SetHighColor(high);
        }
    }
    BStringView::Draw(updateRect);
}
