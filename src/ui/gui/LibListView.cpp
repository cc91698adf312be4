#include "ui/gui/LibListView.h"

#include <cstdio>

#include "platform/app/Message.h"
#include "platform/interface/gui/Cursor.h"
#include "platform/interface/gui/ListItem.h"
#include "platform/interface/gui/ScrollBar.h"
#include "platform/interface/gui/Window.h"
#include "platform/kernel/OS.h"

namespace {

constexpr bigtime_t kDragInterval = 30000;
constexpr float kScrollZone = 10;

} // namespace

// A vertical double arrow with a small box in its middle.
const uint16 LibListView::kDragCursorRows[16] = {
    0x0000, 0x0080, 0x01c0, 0x03e0, 0x07f0, 0x0080, 0x03e0, 0x0220,
    0x0220, 0x0220, 0x03e0, 0x0080, 0x07f0, 0x03e0, 0x01c0, 0x0080,
};

const BCursor& LibListView::DragCursor() {
    static const BCursor cursor = [] {
        // Size, depth, hot spot (row, column), then the image and the same bits as mask.
        uint8 data[68] = {16, 1, 8, 8};
        for (int32 row = 0; row < 16; row++) {
            for (int32 half : {0, 32}) {
                data[4 + half + 2 * row] = uint8(kDragCursorRows[row] >> 8);
                data[4 + half + 2 * row + 1] = uint8(kDragCursorRows[row]);
            }
        }
        return BCursor(data);
    }();
    return cursor;
}

LibListView::LibListView(BRect frame, const char* name)
    : BListView(frame, name, B_SINGLE_SELECTION_LIST, B_FOLLOW_ALL_SIDES,
                B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE) {}

LibListView::~LibListView() {}

void LibListView::SetHoverCommand(const uint32& command) {
    fHoverCommand = command;
}

void LibListView::SetReorderCommand(const uint32& command) {
    fReorderCommand = command;
}

void LibListView::AllowReorder(const bool& allow, BScrollBar* scrollBar) {
    fReorderAllowed = allow;
    fScrollBar = scrollBar;
}

void LibListView::ReportRow(int32 row) {
    if (row == fLastRow)
        return;
    fLastRow = row;
    BMessage report(fHoverCommand);
    report.AddInt32("item", row);
    Window()->PostMessage(&report);
}

void LibListView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) {
    if (fHoverCommand != 0 && Window() != nullptr && Window()->IsActive()) {
        switch (transit) {
        case B_ENTERED_VIEW:
            fLastRow = -1;
            ReportRow(IndexOf(where));
            break;
        case B_INSIDE_VIEW:
            ReportRow(IndexOf(where));
            break;
        case B_EXITED_VIEW:
            ReportRow(-1);
            break;
        default:
            break;
        }
    }
    BListView::MouseMoved(where, transit, dragMessage);
}

void LibListView::KeyDown(const char* bytes, int32 numBytes) {
    // Escape and Tab put away a list that serves as a pop-up chooser. A main window is left
    // alone: once hidden, its user could not bring it back.
    if (numBytes > 0 && (bytes[0] == B_ESCAPE || bytes[0] == B_TAB) && Window() != nullptr) {
        window_look look = Window()->Look();
        if (look != B_TITLED_WINDOW_LOOK && look != B_DOCUMENT_WINDOW_LOOK) {
            Window()->Hide();
            return;
        }
    }
    BListView::KeyDown(bytes, numBytes);
}

bool LibListView::InitiateDrag(BPoint point, int32 index, bool wasSelected) {
    if (!wasSelected || !fReorderAllowed)
        return false;
    BListItem* item = ItemAt(index);
    if (item == nullptr)
        return true;

    float rangeMin = 0, rangeMax = 0, smallStep = 1, largeStep = 0;
    if (fScrollBar != nullptr) {
        fScrollBar->GetRange(&rangeMin, &rangeMax);
        fScrollBar->GetSteps(&smallStep, &largeStep);
    }

    // The dragged row's outline follows the mouse.
    float top = (item->Height() + 1) * index;
    BeginRectTracking(BRect(0, top, item->Width(), top + item->Height()), B_TRACK_WHOLE_RECT);

    BPoint where = point;
    uint32 buttons = 0;
    bool valid = false;
    GetMouse(&where, &buttons, true);
    while (buttons != 0) {
        snooze(kDragInterval);
        SetViewCursor(&DragCursor());
        GetMouse(&where, &buttons, true);
        BRect visible = Bounds();
        if (fScrollBar != nullptr) {
            float value = fScrollBar->Value();
            if (where.y > visible.bottom - kScrollZone && value < rangeMax)
                fScrollBar->SetValue(value + smallStep);
            else if (where.y < visible.top + kScrollZone && value > 0)
                fScrollBar->SetValue(value - smallStep);
            visible = Bounds();
        }
        valid = where.y > visible.top && where.y < visible.bottom && where.x > visible.left + 2 &&
                where.x < visible.right;
    }

    EndRectTracking();
    SetViewCursor(B_CURSOR_SYSTEM_DEFAULT);

    int32 to = IndexOf(where);
    if (to >= 0 && to != index && valid) {
        ItemReordered(index, to);
        if (fReorderCommand != 0 && Window() != nullptr)
            Window()->PostMessage(fReorderCommand);
    }
    return true;
}

void LibListView::ItemReordered(const int32&, const int32&) {
    fprintf(stderr, "ItemReordered needs to be inherited\n");
}
