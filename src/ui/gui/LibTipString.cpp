#include "ui/gui/LibTipString.h"

#include "platform/interface/gui/Window.h"

namespace {

// The text sits one pixel inside the window, and one pixel more from the right edge.
BRect TextRectFor(BRect bounds) {
    return BRect(bounds.left + 1, bounds.top + 1, bounds.right - 2, bounds.bottom - 1);
}

} // namespace

LibTipString::LibTipString(BRect frame)
    : BTextView(frame, "text_view", TextRectFor(frame.OffsetToCopy(0, 0)), B_FOLLOW_ALL_SIDES,
                B_WILL_DRAW | B_PULSE_NEEDED) {
    SetViewColor(kBackground);
    SetLowColor(kBackground);
    BFont font(be_plain_font);
    font.SetSize(10);
    SetFontAndColor(&font);
    MakeEditable(false);
    MakeSelectable(false);
}

LibTipString::~LibTipString() {}

void LibTipString::Pulse() {
    // The tip window pulses only once its end delay has passed.
    if (Window() != nullptr)
        Window()->Hide();
}

void LibTipString::FrameResized(float width, float height) {
    BRect rect = TextRect();
    rect.right = rect.left + width - 3;
    rect.bottom = rect.top + height - 2;
    SetTextRect(rect);
    BTextView::FrameResized(width, height);
}
