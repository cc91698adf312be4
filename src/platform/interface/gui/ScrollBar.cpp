#include "platform/interface/gui/ScrollBar.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/gui/ControlLook.h"

BScrollBar::BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
                       orientation direction)
    : BView(frame, name,
            direction == B_VERTICAL ? (B_FOLLOW_TOP_BOTTOM | B_FOLLOW_RIGHT)
                                    : (B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM),
            B_WILL_DRAW),
      fTarget(target), fMin(min), fMax(std::max(min, max)), fOrientation(direction) {
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

float BScrollBar::Length() const {
    BRect b = Bounds();
    return fOrientation == B_VERTICAL ? b.Height() + 1 : b.Width() + 1;
}

BRect BScrollBar::ThumbRect() const {
    BRect b = Bounds();
    float arrow = fOrientation == B_VERTICAL ? b.Width() + 1 : b.Height() + 1;
    float trough = Length() - 2 * arrow;
    if (fMax <= fMin || trough < 8)
        return BRect();
    float proportion = fProportion > 0 ? fProportion : 0.2f;
    float thumb = std::max(12.0f, std::floor(trough * std::min(1.0f, proportion)));
    thumb = std::min(thumb, trough);
    float position = arrow + std::floor((trough - thumb) * (fValue - fMin) / (fMax - fMin));
    if (fOrientation == B_VERTICAL)
        return BRect(b.left, b.top + position, b.right, b.top + position + thumb - 1);
    return BRect(b.left + position, b.top, b.left + position + thumb - 1, b.bottom);
}

void BScrollBar::Draw(BRect) {
    BRect b = Bounds();
    bool enabled = fMax > fMin;
    SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_1_TINT));
    FillRect(b);
    SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_2_TINT));
    StrokeRect(b);
    float arrow = fOrientation == B_VERTICAL ? b.Width() + 1 : b.Height() + 1;
    BRect first, second;
    if (fOrientation == B_VERTICAL) {
        first = BRect(b.left, b.top, b.right, b.top + arrow - 1);
        second = BRect(b.left, b.bottom - arrow + 1, b.right, b.bottom);
    } else {
        first = BRect(b.left, b.top, b.left + arrow - 1, b.bottom);
        second = BRect(b.right - arrow + 1, b.top, b.right, b.bottom);
    }
    for (int i = 0; i < 2; i++) {
        BRect r = i == 0 ? first : second;
        bool pressed = fTracking == 2 + i;
        SetHighColor(ui_color(B_PANEL_BACKGROUND_COLOR));
        FillRect(r.InsetByCopy(1, 1));
        control_look::DrawBevel(this, r.InsetByCopy(1, 1), pressed);
        int direction = fOrientation == B_VERTICAL ? i : 2 + i;
        control_look::DrawArrow(this, r, direction, enabled);
    }
    BRect thumb = ThumbRect();
    if (thumb.IsValid()) {
        SetHighColor(ui_color(B_PANEL_BACKGROUND_COLOR));
        FillRect(thumb.InsetByCopy(1, 1));
        control_look::DrawBevel(this, thumb.InsetByCopy(1, 1), false);
        SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_3_TINT));
        StrokeRect(thumb);
    }
}

void BScrollBar::MouseDown(BPoint where) {
    if (fMax <= fMin)
        return;
    BRect b = Bounds();
    float arrow = fOrientation == B_VERTICAL ? b.Width() + 1 : b.Height() + 1;
    float along = fOrientation == B_VERTICAL ? where.y - b.top : where.x - b.left;
    BRect thumb = ThumbRect();
    if (along < arrow) {
        fTracking = 2;
        SetValue(fValue - fSmallStep);
    } else if (along >= Length() - arrow) {
        fTracking = 3;
        SetValue(fValue + fSmallStep);
    } else if (thumb.IsValid() && thumb.Contains(where)) {
        fTracking = 1;
        fGrabOffset = fOrientation == B_VERTICAL ? where.y - thumb.top : where.x - thumb.left;
    } else {
        float thumbStart = fOrientation == B_VERTICAL ? thumb.top : thumb.left;
        fTracking = along + b.top < thumbStart ? 4 : 5;
        SetValue(fValue + (fTracking == 4 ? -fLargeStep : fLargeStep));
    }
    Invalidate();
}

void BScrollBar::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (fTracking != 1)
        return;
    BRect b = Bounds();
    float arrow = fOrientation == B_VERTICAL ? b.Width() + 1 : b.Height() + 1;
    BRect thumb = ThumbRect();
    float thumbLength = fOrientation == B_VERTICAL ? thumb.Height() + 1 : thumb.Width() + 1;
    float trough = Length() - 2 * arrow - thumbLength;
    if (trough <= 0)
        return;
    float along =
        (fOrientation == B_VERTICAL ? where.y - b.top : where.x - b.left) - fGrabOffset - arrow;
    SetValue(fMin + (fMax - fMin) * along / trough);
}

void BScrollBar::MouseUp(BPoint) {
    fTracking = 0;
    Invalidate();
}

void BScrollBar::SetValue(float value) {
    value = std::round(std::clamp(value, fMin, fMax));
    if (value == fValue)
        return;
    fValue = value;
    Invalidate();
    ValueChanged(value);
}

void BScrollBar::SetValueQuietly(float value) {
    value = std::clamp(value, fMin, fMax);
    if (value == fValue)
        return;
    fValue = value;
    Invalidate();
}

void BScrollBar::ValueChanged(float newValue) {
    if (!fTarget)
        return;
    BPoint origin = fTarget->Bounds().LeftTop();
    if (fOrientation == B_VERTICAL)
        origin.y = newValue;
    else
        origin.x = newValue;
    fTarget->ScrollTo(origin);
}

void BScrollBar::SetRange(float min, float max) {
    fMin = min;
    fMax = std::max(min, max);
    Invalidate();
    float clamped = std::clamp(fValue, fMin, fMax);
    if (clamped != fValue)
        SetValue(clamped);
}

void BScrollBar::GetRange(float* min, float* max) const {
    if (min)
        *min = fMin;
    if (max)
        *max = fMax;
}

void BScrollBar::SetProportion(float proportion) {
    fProportion = std::clamp(proportion, 0.0f, 1.0f);
    Invalidate();
}

void BScrollBar::SetSteps(float smallStep, float largeStep) {
    fSmallStep = smallStep;
    fLargeStep = largeStep;
}

void BScrollBar::GetSteps(float* smallStep, float* largeStep) const {
    if (smallStep)
        *smallStep = fSmallStep;
    if (largeStep)
        *largeStep = fLargeStep;
}

void BScrollBar::SetTarget(BView* target) {
    fTarget = target;
}
