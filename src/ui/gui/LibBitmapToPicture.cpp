#include "ui/gui/LibBitmapToPicture.h"

#include <memory>

#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/Picture.h"
#include "platform/interface/gui/View.h"

std::unique_ptr<BPicture> LibBitmapToPicture(BBitmap* bitmap) {
    if (bitmap == nullptr || !bitmap->IsValid())
        return nullptr;
    BBitmap offscreen(bitmap->Bounds(), bitmap->ColorSpace(), true);
    if (!offscreen.IsValid())
        return nullptr;
    BView* view = new BView(offscreen.Bounds(), "", B_FOLLOW_NONE, B_WILL_DRAW);
    offscreen.AddChild(view);
    offscreen.Lock();
    auto picture = std::make_unique<BPicture>();
    view->BeginPicture(picture.get());
    view->DrawBitmap(bitmap, B_ORIGIN);
    view->EndPicture();
    offscreen.Unlock();
    offscreen.RemoveChild(view);
    delete view;
    return picture;
}

std::unique_ptr<BPicture> LibBitmapToPicture(BRect bounds, const void* bits,
                                             const color_space& space) {
    if (bits == nullptr)
        return nullptr;
    BBitmap bitmap(bounds, space);
    if (!bitmap.IsValid())
        return nullptr;
    bitmap.SetBits(bits, bitmap.BitsLength(), 0, space);
    return LibBitmapToPicture(&bitmap);
}
