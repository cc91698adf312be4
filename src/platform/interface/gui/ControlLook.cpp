#include "platform/interface/gui/ControlLook.h"

#include <cmath>

#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/View.h"

namespace control_look {

rgb_color Panel() {
    return ui_color(B_PANEL_BACKGROUND_COLOR);
}

void DrawBevel(BView* view, BRect r, bool sunken) {
    rgb_color light = {255, 255, 255, 255};
    rgb_color dark = tint_color(Panel(), B_DARKEN_2_TINT);
    rgb_color saved = view->HighColor();
    view->SetHighColor(sunken ? dark : light);
    view->StrokeLine(r.LeftBottom(), r.LeftTop());
    view->StrokeLine(r.LeftTop(), r.RightTop());
    view->SetHighColor(sunken ? light : dark);
    view->StrokeLine(r.RightTop() + BPoint(0, 1), r.RightBottom());
    view->StrokeLine(r.RightBottom(), r.LeftBottom() + BPoint(1, 0));
    view->SetHighColor(saved);
}

void DrawButtonFrame(BView* view, BRect r, bool pressed, bool enabled, bool isDefault) {
    rgb_color saved = view->HighColor();
    rgb_color outline = enabled ? rgb_color{0, 0, 0, 255} : tint_color(Panel(), B_DARKEN_2_TINT);
    if (isDefault) {
        view->SetHighColor(tint_color(Panel(), B_DARKEN_1_TINT));
        view->FillRect(r);
        view->SetHighColor(outline);
        view->StrokeRect(r);
        r.InsetBy(2, 2);
    }
    rgb_color face =
        pressed ? tint_color(Panel(), B_DARKEN_2_TINT) : tint_color(Panel(), B_LIGHTEN_1_TINT);
    view->SetHighColor(face);
    view->FillRect(r);
    view->SetHighColor(outline);
    // Rounded corners: the outline leaves out the corner pixels.
    view->StrokeLine(BPoint(r.left + 1, r.top), BPoint(r.right - 1, r.top));
    view->StrokeLine(BPoint(r.left + 1, r.bottom), BPoint(r.right - 1, r.bottom));
    view->StrokeLine(BPoint(r.left, r.top + 1), BPoint(r.left, r.bottom - 1));
    view->StrokeLine(BPoint(r.right, r.top + 1), BPoint(r.right, r.bottom - 1));
    DrawBevel(view, r.InsetByCopy(1, 1), pressed);
    view->SetHighColor(saved);
}

void DrawWell(BView* view, BRect r, rgb_color fill) {
    rgb_color saved = view->HighColor();
    view->SetHighColor(fill);
    view->FillRect(r.InsetByCopy(1, 1));
    DrawBevel(view, r, true);
    view->SetHighColor(saved);
}

void DrawFocusLine(BView* view, float left, float right, float y) {
    rgb_color saved = view->HighColor();
    view->SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
    view->StrokeLine(BPoint(left, y), BPoint(right, y));
    view->SetHighColor(saved);
}

void DrawArrow(BView* view, BRect r, int direction, bool enabled) {
    rgb_color saved = view->HighColor();
    view->SetHighColor(enabled ? rgb_color{0, 0, 0, 255} : tint_color(Panel(), B_DARKEN_2_TINT));
    float cx = std::floor((r.left + r.right) / 2), cy = std::floor((r.top + r.bottom) / 2);
    float s = std::floor(std::min(r.Width(), r.Height()) / 4);
    if (s < 2)
        s = 2;
    switch (direction) {
    case 0:
        view->FillTriangle(BPoint(cx, cy - s / 2), BPoint(cx - s, cy + s / 2),
                           BPoint(cx + s, cy + s / 2));
        break;
    case 1:
        view->FillTriangle(BPoint(cx - s, cy - s / 2), BPoint(cx + s, cy - s / 2),
                           BPoint(cx, cy + s / 2));
        break;
    case 2:
        view->FillTriangle(BPoint(cx - s / 2, cy), BPoint(cx + s / 2, cy - s),
                           BPoint(cx + s / 2, cy + s));
        break;
    default:
        view->FillTriangle(BPoint(cx - s / 2, cy - s), BPoint(cx - s / 2, cy + s),
                           BPoint(cx + s / 2, cy));
        break;
    }
    view->SetHighColor(saved);
}

void DrawCentredString(BView* view, const char* text, BRect r) {
    font_height fh;
    view->GetFontHeight(&fh);
    float width = view->StringWidth(text);
    float x = std::floor(r.left + (r.Width() + 1 - width) / 2);
    float y = std::floor(r.top + (r.Height() + 1 - (fh.ascent + fh.descent)) / 2 + fh.ascent);
    view->DrawString(text, BPoint(x, y));
}

} // namespace control_look
