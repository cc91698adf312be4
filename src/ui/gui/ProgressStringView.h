#pragma once

// The status line of the installer window: its text, with the share of the installation's
// bytes placed so far filled in behind it from the left. Pointing at it shows a tip: who
// signed the installer.

#include <string>

#include "platform/interface/gui/StringView.h"
#include "platform/support/SupportDefs.h"

class ProgressStringView : public BStringView {
public:
    ProgressStringView(BRect frame, const char* name, const char* text);

    // done of total bytes; total 0 (or less) empties the fill.
    void SetProgress(int64 done, int64 total);
    // The filled share, 0 to 1.
    float Fraction() const { return fFraction; }

    // The tip shown while the pointer is over the line (`code` is the tip request).
    void SetTip(uint32 code, const std::string& text);
    const std::string& Tip() const { return fTip; }

    void Draw(BRect updateRect) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;

private:
    void PostTip(bool show);

    float fFraction = 0;
    uint32 fTipCode = 0;
    std::string fTip;
};
