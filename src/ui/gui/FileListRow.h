#pragma once

#include <memory>

#include "package/FileListItem.h"
#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/gui/ListItem.h"

class BBitmap;

// The list row that shows a FileListItem: its small icon (our built-in one for its kind
// when it carries none) and its text, the folder part of a full path in grey. Rows are 18 pixels
// high; Update() shortens the text to the list's width when the item has a truncation mode.
class FileListRow : public BListItem {
public:
    // Takes `item`.
    explicit FileListRow(FileListItem* item);
    ~FileListRow() override;

    void DrawItem(BView* owner, BRect frame, bool complete = false) override;
    void Update(BView* owner, const BFont* font) override;

    FileListItem& File() const { return *fItem; }

    static constexpr rgb_color kSelectedColor = {216, 216, 216, 255};
    static constexpr rgb_color kFolderColor = {128, 128, 128, 255};
    static constexpr rgb_color kTextColor = {0, 0, 0, 255};

protected:
    // Room a subclass keeps at the row's left for something of its own, before the icon.
    virtual float LeadingWidth() const { return 0; }

    std::unique_ptr<FileListItem> fItem;

private:
    // The built-in icon of the item's kind, made on first use.
    const BBitmap& KindIcon();

    std::unique_ptr<BBitmap> fKindIcon;
    FileListItem::FileType fKindIconType = FileListItem::kFile;
};
