#pragma once

// BScrollView: a frame around a target view with scroll bars that scroll it. The scroll
// view takes the target's place: it is as large as the target plus its border and bars,
// and the target moves inside it.

#include "platform/interface/gui/ScrollBar.h"
#include "platform/interface/gui/View.h"

class BScrollView : public BView {
public:
    BScrollView(const char* name, BView* target, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
                uint32 flags = 0, bool horizontal = false, bool vertical = false,
                border_style border = B_FANCY_BORDER);

    BScrollBar* ScrollBar(orientation direction) const;
    BView* Target() const { return fTarget; }
    border_style Border() const { return fBorder; }
    void SetBorder(border_style border);

    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;

private:
    BView* fTarget;
    BScrollBar* fHorizontal = nullptr;
    BScrollBar* fVertical = nullptr;
    border_style fBorder;
};
