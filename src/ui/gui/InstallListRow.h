#pragma once

#include "package/InstallListItem.h"
#include "ui/gui/FileListRow.h"

// The row of one package file in the installer's file list.
class InstallListRow : public FileListRow {
public:
    // A row with a new InstallListItem(indented).
    explicit InstallListRow(const bool& indented);
    // Takes `item`.
    explicit InstallListRow(InstallListItem* item);
    ~InstallListRow() override;

    InstallListItem& Item() const { return static_cast<InstallListItem&>(*fItem); }
};
