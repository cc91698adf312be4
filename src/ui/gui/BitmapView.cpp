#include "ui/gui/BitmapView.h"

#include "platform/interface/InterfaceDefs.h"
#include "ui/gui/LibBitmap.h"

BitmapView::BitmapView(BPoint where, const char* name, const char* path)
    : BView(BRect(where.x, where.y, where.x + 31, where.y + 31), name, B_FOLLOW_LEFT, B_WILL_DRAW),
      fBitmap(new LibBitmap(BRect(0, 0, 31, 31), B_CMAP8)) {
    if (path != nullptr)
        fBitmap->SetTo(path, B_LARGE_ICON);
    SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}

BitmapView::~BitmapView() {
    delete fBitmap;
}

void BitmapView::Draw(BRect) {
    SetDrawingMode(B_OP_OVER);
    DrawBitmap(fBitmap, BPoint(0, 0));
    SetDrawingMode(B_OP_COPY);
}
