#include "ui/gui/InstallListRow.h"

InstallListRow::InstallListRow(const bool& indented) : FileListRow(new InstallListItem(indented)) {}

InstallListRow::InstallListRow(InstallListItem* item)
    : FileListRow(item != nullptr ? item : new InstallListItem(true)) {}

InstallListRow::~InstallListRow() {}
