#include "ui/gui/FileChoiceList.h"

#include <algorithm>

#include "platform/app/Message.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/Window.h"
#include "ui/gui/InstallListRow.h"

FileChoiceList::FileChoiceList(BRect frame, const char* name)
    : BListView(frame, name, B_MULTIPLE_SELECTION_LIST) {}

FileChoiceList::~FileChoiceList() {}

bool FileChoiceList::AddItem(BListItem* item) {
    if (auto* row = dynamic_cast<InstallListRow*>(item))
        row->SetShowsMark(true);
    return BListView::AddItem(item);
}

void FileChoiceList::Draw(BRect updateRect) {
    BListView::Draw(updateRect);
    if (!IsFocus() || fFocusRow < 0 || fFocusRow >= CountItems())
        return;
    rgb_color high = HighColor();
    SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
    StrokeRect(ItemFrame(fFocusRow));
    SetHighColor(high);
}

void FileChoiceList::MouseDown(BPoint where) {
    BMessage* current = Window() != nullptr ? Window()->CurrentMessage() : nullptr;
    int32 modifiers = current != nullptr ? current->GetInt32("modifiers", 0) : 0;
    int32 index = IndexOf(where);
    // Ranges and groups of rows as in any list.
    if ((modifiers & (B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY)) != 0 || index < 0) {
        BListView::MouseDown(where);
        if (index >= 0)
            MoveFocusRow(index);
        return;
    }
    if (Flags() & B_NAVIGABLE)
        MakeFocus(true);
    Toggle(index);
}

void FileChoiceList::Toggle(int32 index) {
    BListItem* item = ItemAt(index);
    if (item == nullptr || !item->IsEnabled())
        return;
    if (item->IsSelected())
        Deselect(index);
    else
        Select(index, true);
    SetAnchor(index);
    MoveFocusRow(index);
}

void FileChoiceList::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes != 1 || CountItems() == 0) {
        BListView::KeyDown(bytes, numBytes);
        return;
    }
    int32 last = CountItems() - 1;
    switch (bytes[0]) {
    case B_UP_ARROW:
        MoveFocusRow(fFocusRow <= 0 ? 0 : fFocusRow - 1);
        break;
    case B_DOWN_ARROW:
        MoveFocusRow(fFocusRow < 0 ? 0 : std::min(fFocusRow + 1, last));
        break;
    case B_HOME:
        MoveFocusRow(0);
        break;
    case B_END:
        MoveFocusRow(last);
        break;
    case B_SPACE:
        Toggle(fFocusRow < 0 ? 0 : fFocusRow);
        break;
    default:
        // Enter and the rest as in any list.
        BListView::KeyDown(bytes, numBytes);
        break;
    }
}

void FileChoiceList::MoveFocusRow(int32 index) {
    if (index < 0 || index >= CountItems())
        return;
    if (fFocusRow >= 0)
        InvalidateItem(fFocusRow);
    fFocusRow = index;
    InvalidateItem(index);
    // Keep the focused row in view.
    BRect frame = ItemFrame(index);
    BRect bounds = Bounds();
    if (frame.top < bounds.top)
        ScrollTo(BPoint(bounds.left, frame.top));
    else if (frame.bottom > bounds.bottom)
        ScrollTo(BPoint(bounds.left, frame.bottom - bounds.Height()));
}
