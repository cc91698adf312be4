#pragma once

#include "lib/LibString.h"
#include "platform/interface/gui/Box.h"
#include "platform/storage/Entry.h"

class BBitmap;

// The framed 150 x 200 picture at the left of the installer window. It shows the
// package's about picture or, after a click, the product's credits written upwards
// (name, version, date, company, e-mail); another click switches back. An image file
// dropped on it becomes the picture. When editable, a tertiary click offers "Remove".
class InstallImage : public BBox {
public:
    static constexpr float kWidth = 150;
    static constexpr float kHeight = 200;
    // Posted to the window after a dropped image was taken.
    static constexpr uint32 kImageChanged = 'eiia';

    InstallImage(BPoint where, bool editable);
    ~InstallImage() override;

    void MessageReceived(BMessage* message) override;
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;

    void SetAppName(const char* text);
    void SetVersion(const char* text);
    void SetDate(const char* text);
    void SetCompany(const char* text);
    void SetEmail(const char* text);
    // The y at which a text running upwards starts so that it is centred vertically in
    // the frame, measured in the view's current font.
    float GetStringLocation(const char* text);

    // Replaces the picture by the bitmap archived in `archive` (none when it is empty).
    void SetImage(BMessage& archive);
    // Archives the picture, if there is one, into `archive`.
    void GetImage(BMessage& archive);
    void ClearImage();
    // Loads the picture from an image file (PNG, JPEG, BMP, GIF, ...), warning when it is
    // not 150 x 200 and reporting a file that cannot be read.
    void ProcessImage(entry_ref& ref);

    BBitmap* Image() const { return fPicture; }
    bool ShowsPicture() const { return fShowPicture; }
    bool IsEditable() const { return fEditable; }
    // The start of credit line 0..4 (name, version, date, company, e-mail).
    float TextPosition(int32 line) const;
    const char* AppName() const { return fAppName; }

private:
    void SetLine(int32 line, const char* text);

    bool fEditable;
    BBitmap* fPicture = nullptr;
    bool fShowPicture = true;
    float fPositions[5] = {0, 0, 0, 0, 0};
    LibString fAppName;
    LibString fVersion;
    LibString fDate;
    LibString fCompany;
    LibString fEmail;
};
