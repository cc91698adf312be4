#include "ui/gui/xMenuItem.h"

#include "locale/xResources.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/View.h"
#include "platform/storage/StorageDefs.h"

namespace {

constexpr float kLabelGap = 4;
constexpr float kBaselineInset = 3;

} // namespace

xMenuItem::xMenuItem(const char* label, BMessage* message, const char& shortcut,
                     const uint32& modifiers)
    : BMenuItem(label != nullptr ? label : "", message, shortcut, modifiers) {}

xMenuItem::~xMenuItem() {
    delete fBitmap;
}

void xMenuItem::SetBitmap(BBitmap* bitmap) {
    if (bitmap == fBitmap)
        return;
    delete fBitmap;
    fBitmap = bitmap;
}

void xMenuItem::SetBitmap(const char* resourceName) {
    SetBitmap((BBitmap*)nullptr);
    if (resourceName == nullptr || *resourceName == '\0')
        return;
    xResources resources(B_READ_ONLY);
    BMessage archive;
    if (!resources.GetBitmapArchive(resourceName, archive))
        return;
    SetBitmap(BBitmap::Instantiate(&archive));
}

void xMenuItem::DrawContent(BView* view, BRect frame, BPoint contentLocation) {
    if (view == nullptr)
        return;
    float baseline = frame.bottom - kBaselineInset;
    if (fBitmap == nullptr) {
        view->DrawString(Label(), BPoint(contentLocation.x, baseline));
        return;
    }
    BRect bounds = fBitmap->Bounds();
    drawing_mode mode = view->DrawingMode();
    view->SetDrawingMode(B_OP_OVER);
    view->DrawBitmap(fBitmap,
                     BPoint(contentLocation.x, frame.top + (frame.Height() - bounds.Height()) / 2));
    view->SetDrawingMode(mode);
    view->DrawString(Label(), BPoint(contentLocation.x + bounds.Width() + kLabelGap, baseline));
}
