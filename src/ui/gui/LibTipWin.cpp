#include "ui/gui/LibTipWin.h"

#include "ui/gui/LibTipString.h"

namespace {

constexpr float kOneLineHeight = 13;
constexpr float kWidthAllowance = 3;
constexpr float kHeightAllowance = 2;

} // namespace

LibTipWin::LibTipWin()
    : LibWindow(BRect(0, 0, 100, 13), "LibTipWin", B_BORDERED_WINDOW_LOOK,
                B_FLOATING_APP_WINDOW_FEEL,
                B_NOT_MOVABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_AVOID_FOCUS,
                B_CURRENT_WORKSPACE) {
    fText = new LibTipString(Bounds());
    AddChild(fText);
}

LibTipWin::~LibTipWin() {}

void LibTipWin::WindowActivated(bool active) {
    if (!active)
        Hide();
    LibWindow::WindowActivated(active);
}

void LibTipWin::Hide() {
    if (!Lock())
        return;
    SetPulseRate(0);
    LibWindow::Hide();
    Unlock();
}

BPoint LibTipWin::SizeFor(float textWidth, int32 width, int32 lines, float lineHeight) {
    if (width > 0)
        return BPoint(width + kWidthAllowance, lines * lineHeight + kHeightAllowance);
    return BPoint(textWidth + kWidthAllowance, kOneLineHeight);
}

void LibTipWin::SetText(const char* text, const int32& width) {
    if (!Lock())
        return;
    if (text == nullptr)
        text = "";
    int32 lines = 1;
    if (width > 0) {
        // Lay the text out at the width it will have, so that the line count fits the
        // new size rather than the previous tip's.
        BRect rect = fText->TextRect();
        rect.right = rect.left + width;
        fText->SetTextRect(rect);
    }
    fText->SetText(text);
    lines = fText->CountLines();
    if (lines < 1)
        lines = 1;
    BPoint size = SizeFor(fText->StringWidth(text), width, lines, fText->LineHeight(0));
    ResizeTo(size.x, size.y);
    // The text view follows the window; make sure its text rectangle does too even when
    // the size did not change.
    fText->FrameResized(size.x, size.y);
    Unlock();
}
