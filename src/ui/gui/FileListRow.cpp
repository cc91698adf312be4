#include "ui/gui/FileListRow.h"

#include "lib/LibString.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/FileIcons.h"
#include "platform/interface/gui/View.h"

FileListRow::FileListRow(FileListItem* item)
    : BListItem(0, true), fItem(item != nullptr ? item : new FileListItem()) {
    SetHeight(FileListItem::kRowHeight);
}

FileListRow::~FileListRow() {}

const BBitmap& FileListRow::KindIcon() {
    FileListItem::FileType type = fItem->Type();
    if (fKindIcon == nullptr || fKindIconType != type) {
        file_icon_kind kind = B_TEXT_FILE_ICON; // a document
        if (type == FileListItem::kFolder)
            kind = B_FOLDER_FILE_ICON;
        else if (type == FileListItem::kApplication)
            kind = B_APPLICATION_FILE_ICON;
        else if (type == FileListItem::kLink)
            kind = B_SYMLINK_FILE_ICON;
        fKindIcon = std::make_unique<BBitmap>(BRect(0, 0, FileIcon::kSize - 1, FileIcon::kSize - 1),
                                              B_RGBA32);
        FileIcons::Draw(kind, fKindIcon.get(), B_MINI_ICON);
        fKindIconType = type;
    }
    return *fKindIcon;
}

void FileListRow::Update(BView* owner, const BFont* font) {
    BListItem::Update(owner, font);
    if (owner != nullptr)
        fItem->Update(owner->Frame().Width() - LeadingWidth(), font);
    SetHeight(FileListItem::kRowHeight);
}

void FileListRow::DrawItem(BView* owner, BRect frame, bool) {
    if (owner == nullptr)
        return;
    float x = fItem->Left() + LeadingWidth();
    rgb_color high = owner->HighColor();
    drawing_mode mode = owner->DrawingMode();

    owner->SetHighColor(IsSelected() ? kSelectedColor : owner->ViewColor());
    owner->FillRect(frame);

    owner->SetHighColor(kTextColor);
    owner->SetDrawingMode(B_OP_OVER);
    const FileIcon& icon = fItem->Icon();
    BPoint iconAt(x - 1, frame.top + FileListItem::kIconTopInset);
    if (icon.IsBlank()) {
        owner->DrawBitmap(&KindIcon(), iconAt);
    } else {
        BBitmap bitmap(BRect(0, 0, FileIcon::kSize - 1, FileIcon::kSize - 1), B_CMAP8);
        bitmap.SetBits(icon.Bits(), FileIcon::kDataSize, 0, B_CMAP8);
        owner->DrawBitmap(&bitmap, iconAt);
    }

    // The row's background shows through the text too, selected or not.
    rgb_color low = owner->LowColor();
    owner->SetLowColor(IsSelected() ? kSelectedColor : owner->ViewColor());
    BPoint where(x + FileListItem::kTextOffset, frame.bottom - FileListItem::kBaselineInset);
    if (!fItem->ShowFullPath()) {
        owner->DrawString(fItem->DisplayText(), where);
    } else {
        LibString folder, rest;
        fItem->SplitDisplayText(folder, rest);
        owner->SetHighColor(kFolderColor);
        owner->DrawString(folder, where);
        owner->SetHighColor(kTextColor);
        owner->DrawString(rest, BPoint(where.x + owner->StringWidth(folder), where.y));
    }
    owner->SetLowColor(low);
    owner->SetDrawingMode(mode);
    owner->SetHighColor(high);
}
