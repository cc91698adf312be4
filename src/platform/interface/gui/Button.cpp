#include "platform/interface/gui/Button.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/gui/ControlLook.h"
#include "platform/interface/gui/Window.h"

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
                 uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags) {}

void BButton::AttachedToWindow() {
    BControl::AttachedToWindow();
    if (fDefault && Window())
        Window()->SetDefaultButton(this);
}

void BButton::Draw(BRect) {
    BRect r = Bounds();
    bool pressed = Value() == B_CONTROL_ON;
    control_look::DrawButtonFrame(this, r, pressed, IsEnabled(), fDefault);
    SetHighColor(LabelColor());
    SetLowColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR),
                           pressed ? B_DARKEN_2_TINT : B_LIGHTEN_1_TINT));
    SetDrawingMode(B_OP_OVER);
    control_look::DrawCentredString(this, Label(), r);
    SetDrawingMode(B_OP_COPY);
    if (ShowsFocus()) {
        font_height fh;
        GetFontHeight(&fh);
        float width = StringWidth(Label());
        float left = std::floor(r.left + (r.Width() + 1 - width) / 2);
        float base =
            std::floor(r.top + (r.Height() + 1 - (fh.ascent + fh.descent)) / 2 + fh.ascent);
        control_look::DrawFocusLine(this, left, left + width, base + 2);
    }
}

void BButton::MouseDown(BPoint) {
    if (!IsEnabled())
        return;
    SetTracking(true);
    SetValue(B_CONTROL_ON);
}

void BButton::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!IsTracking())
        return;
    SetValue(Bounds().Contains(where) ? B_CONTROL_ON : B_CONTROL_OFF);
}

void BButton::MouseUp(BPoint where) {
    if (!IsTracking())
        return;
    SetTracking(false);
    bool inside = Bounds().Contains(where);
    SetValue(B_CONTROL_OFF);
    if (inside && IsEnabled())
        Invoke();
}

void BButton::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes == 1 && (bytes[0] == B_ENTER || bytes[0] == B_SPACE)) {
        if (IsEnabled())
            Invoke();
        return;
    }
    BControl::KeyDown(bytes, numBytes);
}

void BButton::GetPreferredSize(float* width, float* height) {
    font_height fh;
    GetFontHeight(&fh);
    if (width)
        *width = std::max(75.0f, std::ceil(StringWidth(Label())) + 20);
    if (height)
        *height = std::ceil(fh.ascent + fh.descent) + 12;
}

void BButton::MakeDefault(bool isDefault) {
    if (isDefault == fDefault)
        return;
    fDefault = isDefault;
    if (BWindow* window = Window()) {
        if (isDefault)
            window->SetDefaultButton(this);
        else if (window->DefaultButton() == this)
            window->SetDefaultButton(nullptr);
    }
    Invalidate();
}
