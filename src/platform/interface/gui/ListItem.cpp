#include "platform/interface/gui/ListItem.h"

#include <cmath>

#include "platform/interface/gui/View.h"

BListItem::BListItem(uint32 outlineLevel, bool expanded)
    : fOutlineLevel(outlineLevel), fExpanded(expanded) {}

BListItem::~BListItem() = default;

void BListItem::Update(BView* owner, const BFont* font) {
    font_height fh;
    font->GetHeight(&fh);
    SetWidth(owner->Bounds().Width());
    SetHeight(std::ceil(fh.ascent + fh.descent + fh.leading));
}

BStringItem::BStringItem(const char* text, uint32 outlineLevel, bool expanded)
    : BListItem(outlineLevel, expanded), fText(text ? text : "") {}

void BStringItem::SetText(const char* text) {
    fText = text ? text : "";
}

void BStringItem::Update(BView* owner, const BFont* font) {
    BListItem::Update(owner, font);
    font_height fh;
    font->GetHeight(&fh);
    // The text sits in the middle of the row.
    SetHeight(std::ceil(fh.ascent + fh.descent + fh.leading) + 2);
    fBaselineOffset = 1 + std::ceil(fh.ascent);
}

void BStringItem::DrawItem(BView* owner, BRect frame, bool complete) {
    rgb_color background = owner->ViewColor();
    if (IsSelected() || complete) {
        rgb_color fill =
            IsSelected() ? tint_color(background, B_HIGHLIGHT_BACKGROUND_TINT) : background;
        owner->SetHighColor(fill);
        owner->FillRect(frame);
        owner->SetLowColor(fill);
    } else {
        owner->SetLowColor(background);
    }
    owner->SetHighColor(IsEnabled() ? rgb_color{0, 0, 0, 255}
                                    : tint_color(background, B_DISABLED_LABEL_TINT));
    owner->DrawString(fText.c_str(),
                      BPoint(frame.left + 4 + OutlineLevel() * 10, frame.top + fBaselineOffset));
}
