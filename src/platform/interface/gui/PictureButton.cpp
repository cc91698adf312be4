#include "platform/interface/gui/PictureButton.h"

#include "platform/interface/gui/Window.h"

BPictureButton::BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on,
                               BMessage* message, uint32 behavior, uint32 resizingMode,
                               uint32 flags)
    : BControl(frame, name, name, message, resizingMode, flags), fEnabledOff(Copy(off)),
      fEnabledOn(Copy(on)), fBehavior(behavior) {}

std::unique_ptr<BPicture> BPictureButton::Copy(const BPicture* picture) {
    return picture ? std::make_unique<BPicture>(*picture) : nullptr;
}

void BPictureButton::SetEnabledOn(BPicture* picture) {
    fEnabledOn = Copy(picture);
    Invalidate();
}

void BPictureButton::SetEnabledOff(BPicture* picture) {
    fEnabledOff = Copy(picture);
    Invalidate();
}

void BPictureButton::SetDisabledOn(BPicture* picture) {
    fDisabledOn = Copy(picture);
    Invalidate();
}

void BPictureButton::SetDisabledOff(BPicture* picture) {
    fDisabledOff = Copy(picture);
    Invalidate();
}

void BPictureButton::Draw(BRect) {
    bool on = Value() == B_CONTROL_ON;
    BPicture* picture;
    if (IsEnabled())
        picture = on ? fEnabledOn.get() : fEnabledOff.get();
    else
        picture = on ? (fDisabledOn ? fDisabledOn.get() : fEnabledOn.get())
                     : (fDisabledOff ? fDisabledOff.get() : fEnabledOff.get());
    if (picture)
        DrawPicture(picture, B_ORIGIN);
    if (ShowsFocus()) {
        SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
        StrokeRect(Bounds());
    }
}

void BPictureButton::MouseDown(BPoint) {
    if (!IsEnabled())
        return;
    SetTracking(true);
    fValueAtPress = Value();
    SetValue(fBehavior == B_ONE_STATE_BUTTON
                 ? B_CONTROL_ON
                 : (fValueAtPress == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON));
}

void BPictureButton::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!IsTracking())
        return;
    bool inside = Bounds().Contains(where);
    int32 pressed = fBehavior == B_ONE_STATE_BUTTON
                        ? B_CONTROL_ON
                        : (fValueAtPress == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
    SetValue(inside ? pressed : (fBehavior == B_ONE_STATE_BUTTON ? B_CONTROL_OFF : fValueAtPress));
}

void BPictureButton::MouseUp(BPoint where) {
    if (!IsTracking())
        return;
    SetTracking(false);
    bool inside = Bounds().Contains(where);
    if (fBehavior == B_ONE_STATE_BUTTON)
        SetValue(B_CONTROL_OFF);
    else if (!inside)
        SetValue(fValueAtPress);
    if (inside && IsEnabled())
        Invoke();
}

void BPictureButton::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER)) {
        if (!IsEnabled())
            return;
        if (fBehavior == B_TWO_STATE_BUTTON)
            SetValue(Value() == B_CONTROL_ON ? B_CONTROL_OFF : B_CONTROL_ON);
        Invoke();
        return;
    }
    BControl::KeyDown(bytes, numBytes);
}
