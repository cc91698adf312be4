#pragma once

#include "package/InstallListItem.h"
#include "ui/gui/FileListRow.h"

// The row of one package file in the installer's file list. In the window it starts with
// a check box that shows whether the file will be installed (the row is selected).
class InstallListRow : public FileListRow {
public:
    // A row with a new InstallListItem(indented).
    explicit InstallListRow(const bool& indented);
    // Takes `item`.
    explicit InstallListRow(InstallListItem* item);
    ~InstallListRow() override;

    InstallListItem& Item() const { return static_cast<InstallListItem&>(*fItem); }

    void DrawItem(BView* owner, BRect frame, bool complete = false) override;
    // Whether the row starts with its check box.
    void SetShowsMark(bool shows) { fShowsMark = shows; }
    bool ShowsMark() const { return fShowsMark; }
    // Where the check box lies in a row drawn in `frame`.
    static BRect MarkFrame(BRect frame);

    static constexpr float kMarkSize = 12;
    static constexpr float kMarkWidth = 16; // the box and the gap after it

protected:
    float LeadingWidth() const override { return fShowsMark ? kMarkWidth : 0; }

private:
    bool fShowsMark = false;
};
