#pragma once

#include "platform/interface/gui/ListView.h"

// The installer's list of files to install: a selected row is a file that will be
// installed, and its check box shows it. A plain click turns one file on or off and
// keeps the others; Shift-click chooses the rows from the last one clicked, and
// Ctrl-click turns one on or off, as in any list. The arrow keys, Home and End move the
// keyboard focus between rows without changing what is chosen; the space bar turns the
// focused row on or off.
class FileChoiceList : public BListView {
public:
    FileChoiceList(BRect frame, const char* name);
    ~FileChoiceList() override;

    // Adds `item` (an InstallListRow, which then shows its check box).
    bool AddItem(BListItem* item) override;
    using BListView::AddItem;

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

    // The row the keyboard acts on; -1 before there is one.
    int32 FocusRow() const { return fFocusRow; }
    // Turns row `index` on or off, as a plain click on it does.
    void Toggle(int32 index);

private:
    void MoveFocusRow(int32 index);

    int32 fFocusRow = -1;
};
