#pragma once

// BStringView: one line of text, not editable, aligned left, right or centred and
// centred vertically in the view.

#include <string>

#include "platform/interface/gui/View.h"

class BStringView : public BView {
public:
    BStringView(BRect frame, const char* name, const char* text,
                uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);

    void SetText(const char* text);
    const char* Text() const { return fText.c_str(); }
    void SetAlignment(alignment flag);
    alignment Alignment() const { return fAlignment; }

    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;
    void GetPreferredSize(float* width, float* height) override;

private:
    std::string fText;
    alignment fAlignment = B_ALIGN_LEFT;
};
