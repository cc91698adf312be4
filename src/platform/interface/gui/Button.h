#pragma once

// BButton: a push button. It is pressed while the mouse is held inside it and sends its
// message when released inside. The default button is also pressed by Enter.

#include "platform/interface/gui/Control.h"

class BButton : public BControl {
public:
    BButton(BRect frame, const char* name, const char* label, BMessage* message,
            uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
            uint32 flags = B_WILL_DRAW | B_NAVIGABLE);

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void AttachedToWindow() override;
    void GetPreferredSize(float* width, float* height) override;

    // Makes this the window's default button (or no longer).
    virtual void MakeDefault(bool isDefault);
    bool IsDefault() const { return fDefault; }

private:
    bool fDefault = false;
};
