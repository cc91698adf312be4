#include "platform/interface/gui/Control.h"

#include "platform/app/Message.h"
#include "platform/interface/gui/Window.h"

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
                   uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), BInvoker(message, BMessenger()),
      fLabel(label ? label : ""), fNavigableFlags(flags & (B_NAVIGABLE | B_NAVIGABLE_JUMP)) {
    SetFont(be_plain_font);
}

BControl::~BControl() = default;

void BControl::AttachedToWindow() {
    // Controls take their parent's background and send to their window by default.
    AdoptParentViewColor();
    if (!HasTarget() && Window())
        SetTarget(Window());
}

void BControl::MakeFocus(bool focus) {
    if (focus && !fEnabled)
        return;
    BView::MakeFocus(focus);
}

void BControl::KeyDown(const char* bytes, int32 numBytes) {
    BView::KeyDown(bytes, numBytes);
}

void BControl::WindowActivated(bool) {
    if (IsFocus())
        Invalidate();
}

void BControl::SetLabel(const char* label) {
    fLabel = label ? label : "";
    Invalidate();
}

void BControl::SetValue(int32 value) {
    if (value == fValue)
        return;
    fValue = value;
    Invalidate();
}

void BControl::SetEnabled(bool enabled) {
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    if (enabled) {
        SetFlags(Flags() | fNavigableFlags);
    } else {
        SetFlags(Flags() & ~(B_NAVIGABLE | B_NAVIGABLE_JUMP));
        if (IsFocus())
            MakeFocus(false);
        fTracking = false;
    }
    Invalidate();
}

status_t BControl::Invoke(BMessage* message) {
    BMessage* source = message ? message : Message();
    if (!source)
        return B_BAD_VALUE;
    BMessage copy(*source);
    copy.RemoveName("when");
    copy.RemoveName("source");
    copy.RemoveName("be:value");
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", this);
    copy.AddInt32("be:value", fValue);
    return BInvoker::Invoke(&copy);
}

rgb_color BControl::LabelColor() const {
    if (fEnabled)
        return rgb_color{0, 0, 0, 255};
    return tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DISABLED_LABEL_TINT);
}

bool BControl::ShowsFocus() const {
    return IsFocus() && Window() && Window()->IsActive();
}
