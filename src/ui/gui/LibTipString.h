#pragma once

#include "platform/interface/gui/TextView.h"

// The text of a tip window: light yellow, the plain font at size 10, neither editable
// nor selectable. Its pulse (set by the tip window to the tip's end delay) hides the
// window.
class LibTipString : public BTextView {
public:
    explicit LibTipString(BRect frame);
    ~LibTipString() override;

    void Pulse() override;
    // The text rectangle keeps its left-top and takes the new size, so the text wraps anew.
    void FrameResized(float width, float height) override;

    static constexpr rgb_color kBackground = {255, 255, 203, 255};
};
