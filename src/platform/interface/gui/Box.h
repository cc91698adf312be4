#pragma once

// BBox: a frame around a group of views, with an optional label in its top edge. Its
// Draw() draws only the border and label, so subclasses may draw first and call it last.

#include <string>

#include "platform/interface/gui/View.h"

class BBox : public BView {
public:
    BBox(BRect frame, const char* name = nullptr,
         uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
         uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
         border_style border = B_FANCY_BORDER);

    void SetBorder(border_style border);
    border_style Border() const { return fBorder; }
    void SetLabel(const char* label);
    const char* Label() const { return fLabel.empty() ? nullptr : fLabel.c_str(); }

    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;
    void FrameResized(float width, float height) override;

private:
    std::string fLabel;
    border_style fBorder;
};
