#include "ui/gui/LibLabelControl.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/gui/StringView.h"
#include "ui/gui/LibSystemColor.h"

namespace {

BStringView* MakeLabelView(BRect frame, const char* name, const char* text) {
    BStringView* view =
        new BStringView(frame, name, text, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW);
    BFont font(be_bold_font);
    font.SetSize(12);
    view->SetFont(&font);
    view->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    view->SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    return view;
}

} // namespace

LibLabelControl::LibLabelControl(BRect frame, const float& labelWidth, const char* name,
                                 const char* label, const float& bottomInset, const char* colon,
                                 uint32 resizingMode)
    : BView(frame, name, resizingMode, B_WILL_DRAW) {
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    float bottom = frame.Height() - bottomInset;
    if (label != nullptr) {
        float gap = colon != nullptr ? 12 : 2;
        fLabel = MakeLabelView(BRect(0, 0, labelWidth - gap, bottom), "label", label);
        fLabelWidth = labelWidth - gap + 1;
        AddChild(fLabel);
    }
    if (colon != nullptr) {
        fColon = MakeLabelView(BRect(labelWidth - 11, 0, labelWidth - 2, bottom), "colon", colon);
        AddChild(fColon);
    }
}

LibLabelControl::~LibLabelControl() {}

void LibLabelControl::SetLabel(const char* text) {
    if (fLabel == nullptr)
        return;
    fLabel->SetText(text);
    if (fColon == nullptr)
        return;
    float needed = std::ceil(fLabel->StringWidth(fLabel->Text()));
    float widened = std::max(0.0f, needed - fLabelWidth);
    float delta = widened - fWidened;
    if (delta == 0)
        return;
    fWidened = widened;
    fLabel->ResizeBy(delta, 0);
    fColon->MoveBy(delta, 0);
    LabelWidened(delta);
    Invalidate();
}

void LibLabelControl::LabelWidened(float) {}

LibString LibLabelControl::LabelText() const {
    return LibString(fLabel != nullptr ? fLabel->Text() : "");
}

void LibLabelControl::SetEnabled(bool enabled) {
    rgb_color color = enabled ? lib_nearest_system_color(0, 0, 0, 255)
                              : lib_nearest_system_color(128, 128, 128, 255);
    for (BStringView* view : {fLabel, fColon}) {
        if (view == nullptr)
            continue;
        view->SetHighColor(color);
        view->Invalidate();
    }
}
