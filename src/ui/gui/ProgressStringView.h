#pragma once

// The status line of the installer window: its text, with the share of the installation's
// bytes placed so far filled in behind it from the left.

#include "platform/interface/gui/StringView.h"
#include "platform/support/SupportDefs.h"

class ProgressStringView : public BStringView {
public:
    ProgressStringView(BRect frame, const char* name, const char* text);

    // done of total bytes; total 0 (or less) empties the fill.
    void SetProgress(int64 done, int64 total);
    // The filled share, 0 to 1.
    float Fraction() const { return fFraction; }

    void Draw(BRect updateRect) override;

private:
    float fFraction = 0;
};
