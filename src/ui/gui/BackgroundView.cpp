#include "ui/gui/BackgroundView.h"

#include "platform/interface/InterfaceDefs.h"

BackgroundView::BackgroundView(BRect frame) : BView(frame, "bgview", B_FOLLOW_ALL, B_WILL_DRAW) {
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

BackgroundView::~BackgroundView() = default;

const char* BackgroundView::BannerText() {
    return "Tarnwhistle Installer";
}

void BackgroundView::Draw(BRect updateRect) {
    // The banner runs upwards in the strip right of the boxes, in a shade of the panel
    // colour so that it stays in the background.
    BFont font(be_plain_font);
    font.SetSize(kBannerSize);
    font.SetRotation(90);
    SetFont(&font);
    SetLowColor(ViewColor());
    SetHighColor(tint_color(ViewColor(), B_DARKEN_2_TINT));
    DrawString(BannerText(), BPoint(kBannerBaseline, kBannerBottom));
    BView::Draw(updateRect);
}
