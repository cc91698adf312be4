#pragma once

#include "platform/interface/gui/View.h"

class LibBitmap;

// A 32 x 32 view that shows the large icon of a file, its transparent pixels showing the
// panel colour behind.
class BitmapView : public BView {
public:
    BitmapView(BPoint where, const char* name, const char* path);
    ~BitmapView() override;

    void Draw(BRect updateRect) override;
    LibBitmap* Bitmap() const { return fBitmap; }

private:
    LibBitmap* fBitmap;
};
