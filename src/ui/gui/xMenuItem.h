#pragma once

#include "platform/interface/Rect.h"
#include "platform/interface/gui/MenuItem.h"

class BBitmap;
class BView;

// A menu item that may show a small bitmap (from the program's resources) before its
// label. It owns its bitmap.
class xMenuItem : public BMenuItem {
public:
    xMenuItem(const char* label, BMessage* message, const char& shortcut = 0,
              const uint32& modifiers = 0);
    ~xMenuItem() override;

    // Loads the bitmap of that name from the program's resources (replacing the current
    // one); no name, or a name the resources do not hold, leaves the item without one.
    void SetBitmap(const char* resourceName);
    // Takes `bitmap` (owned from now on; none removes the current one).
    void SetBitmap(BBitmap* bitmap);
    BBitmap* Bitmap() const { return fBitmap; }

    // Draws the item's content into `view` (the menu): without a bitmap the label alone
    // at `contentLocation`; with one, the bitmap centred vertically in `frame` at the
    // content location and the label 4 pixels after it, on the baseline frame.bottom - 3.
    virtual void DrawContent(BView* view, BRect frame, BPoint contentLocation);

private:
    BBitmap* fBitmap = nullptr;
};
