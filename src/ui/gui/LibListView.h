#pragma once

#include "platform/interface/gui/ListView.h"

class BCursor;
class BScrollBar;

// A single-selection list that reports the row under the mouse (hover command, int32
// "item", -1 for none) and can let the user move a selected row by dragging it.
// Tab and Escape hide the list's window when it is a pop-up (not a titled window).
class LibListView : public BListView {
public:
    LibListView(BRect frame, const char* name);
    ~LibListView() override;

    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    bool InitiateDrag(BPoint point, int32 index, bool wasSelected) override;
    // Called after a row was dragged from `from` to `to`; a subclass moves the item.
    virtual void ItemReordered(const int32& from, const int32& to);

    void SetHoverCommand(const uint32& command);
    void SetReorderCommand(const uint32& command);
    // `scrollBar` (may be none) is scrolled while a drag nears the list's top or bottom.
    void AllowReorder(const bool& allow, BScrollBar* scrollBar = nullptr);

    uint32 HoverCommand() const { return fHoverCommand; }
    int32 LastReportedRow() const { return fLastRow; }

    // The drag cursor: 16 rows of 16-bit masks, hot spot (8,8); image and mask alike.
    static const uint16 kDragCursorRows[16];
    static const BCursor& DragCursor();

private:
    void ReportRow(int32 row);

    uint32 fReorderCommand = 0;
    bool fReorderAllowed = false;
    uint32 fHoverCommand = 0;
    int32 fLastRow = -1;
    BScrollBar* fScrollBar = nullptr;
};
