#include "ui/gui/LibStringView.h"

#include <string>

LibStringView::LibStringView(BRect frame, const char* name, const char* text)
    : BStringView(frame, name, text, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW) {}

LibStringView::~LibStringView() {}

void LibStringView::Hide() {
    if (!IsHiddenSelf())
        BStringView::Hide();
}

void LibStringView::Show() {
    if (IsHiddenSelf())
        BStringView::Show();
}

void LibStringView::SetTruncatedText(const char* text, const uint32& mode) {
    if (text == nullptr)
        text = "";
    BFont font;
    GetFont(&font);
    std::string shown = font.TruncatedString(text, mode, Frame().Width());
    SetText(shown.c_str());
}
