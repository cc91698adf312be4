#pragma once

// The drawing of the controls' common parts: bevelled frames, button faces, focus marks.

#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/Rect.h"

class BView;

namespace control_look {

rgb_color Panel();
// A raised (or, pressed, sunken) bevel inside rect: light top-left, dark bottom-right.
void DrawBevel(BView* view, BRect rect, bool sunken);
// The face of a push button; `isDefault` adds the heavier outline.
void DrawButtonFrame(BView* view, BRect rect, bool pressed, bool enabled, bool isDefault);
// A sunken well (check box square, text field, list frame).
void DrawWell(BView* view, BRect rect, rgb_color fill);
// The keyboard focus mark under a label.
void DrawFocusLine(BView* view, float left, float right, float y);
// A small triangle pointing down (menu fields) or in a direction for scroll arrows:
// 0 up, 1 down, 2 left, 3 right.
void DrawArrow(BView* view, BRect rect, int direction, bool enabled);
// Draws text centred in rect with the view's font and high colour.
void DrawCentredString(BView* view, const char* text, BRect rect);

} // namespace control_look
