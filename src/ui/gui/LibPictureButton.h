#pragma once

#include "lib/LibString.h"
#include "platform/interface/gui/PictureButton.h"

// A picture button made from raw 8-bit palette pixels (width x height, rows padded to 4
// bytes) that can show a tip: entering it posts to the application a tip message with
// the tip code ("show" true, "tip", "loc" just right of the button), leaving or pressing
// it posts "show" false.
class LibPictureButton : public BPictureButton {
public:
    LibPictureButton(BPoint where, const signed char& width, const signed char& height,
                     const char* name, const void* offBits, const void* onBits,
                     const uint32& command, const void* disabledBits = nullptr,
                     uint32 behavior = B_ONE_STATE_BUTTON,
                     uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP);
    ~LibPictureButton() override;

    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MakeFocus(bool focus = true) override;

    // Stores the tip's message code and text (replacing earlier ones).
    void AddTip(const uint32& code, const char* text);
    uint32 TipCode() const { return fTipCode; }
    const char* TipText() const { return fTipText; }

private:
    void PostTip(bool show);

    bool fHasFocus = false;
    uint32 fTipCode = 0;
    LibString fTipText;
};
