#pragma once

// BPictureButton: a button drawn with pictures: "off" normally, "on" while pressed (or,
// for a two-state button, while on), and the disabled pictures when disabled.

#include <memory>

#include "platform/interface/gui/Control.h"
#include "platform/interface/gui/Picture.h"

enum { B_ONE_STATE_BUTTON, B_TWO_STATE_BUTTON };

class BPictureButton : public BControl {
public:
    // The pictures are copied.
    BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on, BMessage* message,
                   uint32 behavior = B_ONE_STATE_BUTTON,
                   uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                   uint32 flags = B_WILL_DRAW | B_NAVIGABLE);

    void SetEnabledOn(BPicture* picture);
    void SetEnabledOff(BPicture* picture);
    void SetDisabledOn(BPicture* picture);
    void SetDisabledOff(BPicture* picture);
    BPicture* EnabledOn() const { return fEnabledOn.get(); }
    BPicture* EnabledOff() const { return fEnabledOff.get(); }
    BPicture* DisabledOn() const { return fDisabledOn.get(); }
    BPicture* DisabledOff() const { return fDisabledOff.get(); }
    void SetBehavior(uint32 behavior) { fBehavior = behavior; }
    uint32 Behavior() const { return fBehavior; }

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

private:
    static std::unique_ptr<BPicture> Copy(const BPicture* picture);

    std::unique_ptr<BPicture> fEnabledOff, fEnabledOn, fDisabledOff, fDisabledOn;
    uint32 fBehavior;
    int32 fValueAtPress = 0;
};
