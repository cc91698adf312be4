#include "ui/gui/InstallImage.h"

#include <cmath>

#include "files/LibFileOps.h"
#include "frontend/LibAlert.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/FilePanel.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/PopUpMenu.h"
#include "platform/interface/gui/Window.h"
#include "ui/gui/LibImageFile.h"

namespace {

enum Line { kAppName = 0, kVersion, kDate, kCompany, kEmail };

constexpr float kNameSize = 18;
constexpr float kLineSize = 14;
constexpr float kLineX[5] = {20, 50, 70, 90, 110};
constexpr rgb_color kNameColor = {0, 0, 255, 255};
constexpr rgb_color kLineColor = {0, 0, 0, 255};

} // namespace

InstallImage::InstallImage(BPoint where, bool editable)
    : BBox(BRect(where, where + BPoint(kWidth, kHeight)), "InstallImage",
           B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
           B_FANCY_BORDER),
      fEditable(editable) {
    // The credits run upwards.
    BFont font;
    GetFont(&font);
    font.SetRotation(90);
    SetFont(&font, B_FONT_ROTATION);
}

InstallImage::~InstallImage() {
    delete fPicture;
}

float InstallImage::GetStringLocation(const char* text) {
    float width = StringWidth(text != nullptr ? text : "");
    return (Frame().Height() - width) * 0.5f + width;
}

float InstallImage::TextPosition(int32 line) const {
    return line >= 0 && line < 5 ? fPositions[line] : 0;
}

void InstallImage::SetLine(int32 line, const char* text) {
    LibString* texts[5] = {&fAppName, &fVersion, &fDate, &fCompany, &fEmail};
    *texts[line] = text != nullptr ? text : "";
    SetFontSize(line == kAppName ? kNameSize : kLineSize);
    fPositions[line] = GetStringLocation(*texts[line]);
    Invalidate();
}

void InstallImage::SetAppName(const char* text) {
    SetLine(kAppName, text);
}

void InstallImage::SetVersion(const char* text) {
    SetLine(kVersion, text);
}

void InstallImage::SetDate(const char* text) {
    SetLine(kDate, text);
}

void InstallImage::SetCompany(const char* text) {
    SetLine(kCompany, text);
}

void InstallImage::SetEmail(const char* text) {
    SetLine(kEmail, text);
}

void InstallImage::SetImage(BMessage& archive) {
    ClearImage();
    if (!archive.IsEmpty())
        fPicture = BBitmap::Instantiate(&archive);
    Invalidate();
}

void InstallImage::GetImage(BMessage& archive) {
    if (fPicture != nullptr)
        fPicture->Archive(&archive, true);
}

void InstallImage::ClearImage() {
    delete fPicture;
    fPicture = nullptr;
}

void InstallImage::ProcessImage(entry_ref& ref) {
    ClearImage();
    LibString path;
    BBitmap* bitmap = nullptr;
    if (LibGetFullPath(ref, path))
        bitmap = LibReadImageFile(path);
    if (bitmap != nullptr) {
        fPicture = bitmap;
        BRect bounds = bitmap->Bounds();
        if (std::ceil(bounds.Width()) != kWidth - 1 || std::ceil(bounds.Height()) != kHeight - 1)
            LibWarning("Image is not the correct size of %dx%d. You may use this image, but it "
                       "will appear in the installer as shown here.",
                       (int)kWidth, (int)kHeight);
        fShowPicture = true;
    } else {
        LibError("Image file not current supported");
    }
    if (Window() != nullptr)
        Window()->PostMessage(kImageChanged);
    Invalidate();
}

void InstallImage::Draw(BRect updateRect) {
    if (fShowPicture && fPicture != nullptr) {
        DrawBitmap(fPicture, B_ORIGIN);
    } else {
        SetFontSize(kNameSize);
        SetHighColor(kNameColor);
        if (fAppName.Length() > 0)
            DrawString(fAppName, BPoint(kLineX[kAppName], fPositions[kAppName]));
        SetFontSize(kLineSize);
        SetHighColor(kLineColor);
        const LibString* lines[5] = {&fAppName, &fVersion, &fDate, &fCompany, &fEmail};
        for (int32 line = kVersion; line <= kEmail; line++)
            if (lines[line]->Length() > 0)
                DrawString(*lines[line], BPoint(kLineX[line], fPositions[line]));
    }
    BBox::Draw(updateRect);
}

void InstallImage::MouseDown(BPoint where) {
    int32 buttons = 0;
    if (Window() != nullptr && Window()->CurrentMessage() != nullptr)
        buttons = Window()->CurrentMessage()->GetInt32("buttons", 0);
    if (fEditable && buttons == B_TERTIARY_MOUSE_BUTTON) {
        BPopUpMenu menu("img_menu", false, false);
        BMenuItem* remove = new BMenuItem("Remove", nullptr);
        menu.AddItem(remove);
        if (menu.Go(ConvertToScreen(where), false, true) == remove) {
            ClearImage();
            fShowPicture = false;
        }
    } else {
        fShowPicture = !fShowPicture;
    }
    Invalidate();
}

void InstallImage::MessageReceived(BMessage* message) {
    if (message != nullptr && message->GetBool("be:dropped")) {
        entry_ref ref;
        if (FindRefInMessage(message, "refs", 0, &ref) == B_OK)
            ProcessImage(ref);
    }
    BBox::MessageReceived(message);
}
