#include "platform/interface/gui/CheckBox.h"

#include <cmath>

#include "platform/interface/gui/ControlLook.h"

namespace {
const float kBoxSize = 12;
}

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
                     uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags) {}

void BCheckBox::Draw(BRect) {
    BRect bounds = Bounds();
    font_height fh;
    GetFontHeight(&fh);
    float textHeight = std::ceil(fh.ascent + fh.descent);
    float top = std::floor(bounds.top + (bounds.Height() + 1 - kBoxSize) / 2);
    BRect box(bounds.left + 1, top, bounds.left + kBoxSize, top + kBoxSize - 1);
    rgb_color fill =
        IsEnabled() ? rgb_color{255, 255, 255, 255} : ui_color(B_PANEL_BACKGROUND_COLOR);
    if (IsTracking() && fPressedInside)
        fill = tint_color(fill, B_DARKEN_1_TINT);
    control_look::DrawWell(this, box, fill);
    if (Value() == B_CONTROL_ON) {
        SetHighColor(IsEnabled() ? rgb_color{0, 0, 0, 255} : LabelColor());
        BRect mark = box.InsetByCopy(3, 3);
        StrokeLine(mark.LeftTop(), mark.RightBottom());
        StrokeLine(mark.LeftTop() + BPoint(1, 0), mark.RightBottom() + BPoint(0, -1));
        StrokeLine(mark.LeftBottom(), mark.RightTop());
        StrokeLine(mark.LeftBottom() + BPoint(1, 0), mark.RightTop() + BPoint(0, 1));
    }
    float x = box.right + 6;
    float base = std::floor(bounds.top + (bounds.Height() + 1 - textHeight) / 2 + fh.ascent);
    SetHighColor(LabelColor());
    SetLowColor(ViewColor());
    DrawString(Label(), BPoint(x, base));
    if (ShowsFocus())
        control_look::DrawFocusLine(this, x, x + StringWidth(Label()), base + 2);
}

void BCheckBox::MouseDown(BPoint where) {
    if (!IsEnabled())
        return;
    SetTracking(true);
    fPressedInside = Bounds().Contains(where);
    Invalidate();
}

void BCheckBox::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!IsTracking())
        return;
    bool inside = Bounds().Contains(where);
    if (inside != fPressedInside) {
        fPressedInside = inside;
        Invalidate();
    }
}

void BCheckBox::MouseUp(BPoint where) {
    if (!IsTracking())
        return;
    SetTracking(false);
    fPressedInside = false;
    if (Bounds().Contains(where) && IsEnabled()) {
        SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
        Invoke();
    }
    Invalidate();
}

void BCheckBox::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER)) {
        if (IsEnabled()) {
            SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
            Invoke();
        }
        return;
    }
    BControl::KeyDown(bytes, numBytes);
}

void BCheckBox::GetPreferredSize(float* width, float* height) {
    font_height fh;
    GetFontHeight(&fh);
    if (width)
        *width = std::ceil(kBoxSize + 8 + StringWidth(Label()));
    if (height)
        *height = std::max(kBoxSize + 2, std::ceil(fh.ascent + fh.descent) + 4);
}
