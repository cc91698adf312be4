#include "ui/gui/LibPictureButton.h"

#include <memory>

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/Window.h"
#include "ui/gui/LibBitmapToPicture.h"

namespace {

BRect PictureBounds(signed char width, signed char height) {
    return BRect(0, 0, width - 1, height - 1);
}

std::unique_ptr<BPicture> MakePicture(signed char width, signed char height, const void* bits) {
    return bits != nullptr ? LibBitmapToPicture(PictureBounds(width, height), bits, B_CMAP8)
                           : std::make_unique<BPicture>();
}

} // namespace

LibPictureButton::LibPictureButton(BPoint where, const signed char& width,
                                   const signed char& height, const char* name, const void* offBits,
                                   const void* onBits, const uint32& command,
                                   const void* disabledBits, uint32 behavior, uint32 resizingMode)
    : BPictureButton(BRect(where, where + BPoint(width - 1, height - 1)), name,
                     MakePicture(width, height, offBits).get(),
                     MakePicture(width, height, onBits).get(), new BMessage(command), behavior,
                     resizingMode, B_WILL_DRAW | B_NAVIGABLE) {
    SetLabel(name);
    if (disabledBits != nullptr)
        SetDisabledOff(MakePicture(width, height, disabledBits).get());
}

LibPictureButton::~LibPictureButton() {}

void LibPictureButton::AddTip(const uint32& code, const char* text) {
    fTipCode = code;
    fTipText = text != nullptr ? text : "";
}

void LibPictureButton::PostTip(bool show) {
    if (be_app == nullptr)
        return;
    BMessage tip(fTipCode);
    tip.AddBool("show", show);
    if (show) {
        tip.AddString("tip", fTipText.String());
        tip.AddPoint("loc", ConvertToScreen(BPoint(Bounds().Width() + 5, 1)));
    }
    be_app->PostMessage(&tip);
}

void LibPictureButton::MouseDown(BPoint where) {
    if (fTipText.Length() > 0)
        PostTip(false);
    BPictureButton::MouseDown(where);
}

void LibPictureButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) {
    if (fTipText.Length() > 0 && Window() != nullptr && Window()->IsActive()) {
        if (transit == B_ENTERED_VIEW)
            PostTip(true);
        else if (transit == B_EXITED_VIEW)
            PostTip(false);
    }
    BPictureButton::MouseMoved(where, transit, dragMessage);
}

void LibPictureButton::MakeFocus(bool focus) {
    fHasFocus = focus;
    BPictureButton::MakeFocus(focus);
}
