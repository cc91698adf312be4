#include "ui/gui/ProgressStringView.h"

#include <algorithm>
#include <cmath>

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/Window.h"

ProgressStringView::ProgressStringView(BRect frame, const char* name, const char* text)
    : BStringView(frame, name, text) {}

void ProgressStringView::SetTip(uint32 code, const std::string& text) {
    fTipCode = code;
    fTip = text;
}

void ProgressStringView::PostTip(bool show) {
    if (be_app == nullptr || fTipCode == 0)
        return;
    BMessage tip(fTipCode);
    tip.AddBool("show", show);
    if (show) {
        tip.AddString("tip", fTip.c_str());
        tip.AddPoint("loc", ConvertToScreen(BPoint(0, Bounds().Height() + 8)));
    }
    be_app->PostMessage(&tip);
}

void ProgressStringView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) {
    if (!fTip.empty() && Window() != nullptr && Window()->IsActive()) {
        if (transit == B_ENTERED_VIEW)
            PostTip(true);
        else if (transit == B_EXITED_VIEW)
            PostTip(false);
    }
    BStringView::MouseMoved(where, transit, dragMessage);
}

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
