#pragma once

#include "ui/gui/LibWindow.h"

class LibTipString;

// The floating window that shows a tip. It never takes the focus and hides itself when
// its end delay has passed or when it loses activation.
class LibTipWin : public LibWindow {
public:
    LibTipWin();
    ~LibTipWin() override;

    void WindowActivated(bool active) override;
    // Stops the end-delay pulse and hides the window if it is shown.
    void Hide() override;

    // Sets the text and sizes the window: with width > 0 the text is laid out in lines
    // of that width and the window is (width + 3) x (lines x line height + 2); otherwise
    // it is one line, (text width + 3) x 13. Call with the window locked.
    void SetText(const char* text, const int32& width);
    LibTipString* TextView() const { return fText; }

    // The size SetText gives (width, height: right and bottom of the bounds).
    static BPoint SizeFor(float textWidth, int32 width, int32 lines, float lineHeight);

private:
    LibTipString* fText;
};
