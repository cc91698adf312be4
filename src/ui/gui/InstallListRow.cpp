#include "ui/gui/InstallListRow.h"

#include <cmath>

#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/ControlLook.h"
#include "platform/interface/gui/View.h"

InstallListRow::InstallListRow(const bool& indented) : FileListRow(new InstallListItem(indented)) {}

InstallListRow::InstallListRow(InstallListItem* item)
    : FileListRow(item != nullptr ? item : new InstallListItem(true)) {}

InstallListRow::~InstallListRow() {}

BRect InstallListRow::MarkFrame(BRect frame) {
    float top = std::floor(frame.top + (frame.Height() + 1 - kMarkSize) / 2);
    float left = frame.left + FileListItem::kPlainLeft;
    return BRect(left, top, left + kMarkSize - 1, top + kMarkSize - 1);
}

void InstallListRow::DrawItem(BView* owner, BRect frame, bool complete) {
    FileListRow::DrawItem(owner, frame, complete);
    if (owner == nullptr || !fShowsMark)
        return;
    rgb_color high = owner->HighColor();
    // The platform's check box, crossed when the file will be installed.
    BRect box = MarkFrame(frame);
    control_look::DrawWell(owner, box,
                           IsEnabled() ? rgb_color{255, 255, 255, 255}
                                       : ui_color(B_PANEL_BACKGROUND_COLOR));
    if (IsSelected()) {
        owner->SetHighColor(kTextColor);
        BRect mark = box.InsetByCopy(3, 3);
        owner->StrokeLine(mark.LeftTop(), mark.RightBottom());
        owner->StrokeLine(mark.LeftTop() + BPoint(1, 0), mark.RightBottom() + BPoint(0, -1));
        owner->StrokeLine(mark.LeftBottom(), mark.RightTop());
        owner->StrokeLine(mark.LeftBottom() + BPoint(1, 0), mark.RightTop() + BPoint(0, 1));
    }
    owner->SetHighColor(high);
}
