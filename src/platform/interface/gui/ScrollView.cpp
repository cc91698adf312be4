#include "platform/interface/gui/ScrollView.h"

#include "platform/interface/gui/ControlLook.h"

namespace {

float BorderSize(border_style border) {
    return border == B_FANCY_BORDER ? 2 : border == B_PLAIN_BORDER ? 1 : 0;
}

BRect ScrollViewFrame(BView* target, bool horizontal, bool vertical, border_style border) {
    BRect frame = target ? target->Frame() : BRect(0, 0, 10, 10);
    float b = BorderSize(border);
    frame.InsetBy(-b, -b);
    if (vertical)
        frame.right += B_V_SCROLL_BAR_WIDTH;
    if (horizontal)
        frame.bottom += B_H_SCROLL_BAR_HEIGHT;
    return frame;
}

} // namespace

BScrollView::BScrollView(const char* name, BView* target, uint32 resizingMode, uint32 flags,
                         bool horizontal, bool vertical, border_style border)
    : BView(ScrollViewFrame(target, horizontal, vertical, border), name, resizingMode,
            flags | B_WILL_DRAW | B_FRAME_EVENTS),
      fTarget(target), fBorder(border) {
    float b = BorderSize(border);
    if (target) {
        target->MoveTo(b, b);
        // The target follows the scroll view on every side.
        target->SetResizingMode(B_FOLLOW_ALL_SIDES);
        AddChild(target);
    }
    BRect t = target ? target->Frame() : BRect(b, b, b + 10, b + 10);
    if (vertical) {
        fVertical =
            new BScrollBar(BRect(t.right + 1, t.top, t.right + B_V_SCROLL_BAR_WIDTH, t.bottom),
                           "_VSB_", target, 0, 0, B_VERTICAL);
        AddChild(fVertical);
    }
    if (horizontal) {
        fHorizontal =
            new BScrollBar(BRect(t.left, t.bottom + 1, t.right, t.bottom + B_H_SCROLL_BAR_HEIGHT),
                           "_HSB_", target, 0, 0, B_HORIZONTAL);
        AddChild(fHorizontal);
    }
}

BScrollBar* BScrollView::ScrollBar(orientation direction) const {
    return direction == B_VERTICAL ? fVertical : fHorizontal;
}

void BScrollView::SetBorder(border_style border) {
    fBorder = border;
    Invalidate();
}

void BScrollView::AttachedToWindow() {
    AdoptParentViewColor();
}

void BScrollView::Draw(BRect) {
    BRect r = Bounds();
    if (fBorder == B_FANCY_BORDER) {
        control_look::DrawBevel(this, r, true);
        SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_3_TINT));
        StrokeRect(r.InsetByCopy(1, 1));
    } else if (fBorder == B_PLAIN_BORDER) {
        SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_3_TINT));
        StrokeRect(r);
    }
}
