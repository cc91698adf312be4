#pragma once

#include "lib/LibStringList.h"
#include "package/FileListItem.h"

// A file of the package as the installer lists it: a file row plus the item's install
// size and the names of the install groups it belongs to. Read/Write handle the whole
// "install_file" record apart from "install_meta" and "install_to_system".
class InstallListItem : public FileListItem {
public:
    // Full path shown, size 0, no groups, shortened at the beginning.
    explicit InstallListItem(const bool& indented = true);
    InstallListItem(const char* path, const bool& indented, const bool& showFullPath);
    InstallListItem(InstallListItem& other, const bool& indented);
    virtual ~InstallListItem();

    void SetSize(const int32& size);
    int32 Size() const { return fSize; }

    LibStringList& Groups() { return fGroups; }
    // Whether the item belongs to the group of that name (letter case counting).
    bool InGroup(const char* group);
    // The "groups" text: every name followed by ';'.
    LibString GroupsText();
    // Replaces the groups by the names of a "groups" text; empty fields are skipped
    // and a last name without its ';' still counts.
    void SetGroupsText(const char* text);

    // File fields, then "groups" and the size as the second "file_size".
    virtual void Write(BMessage& record) override;
    // File fields, then the groups and the size ("file_size" index 0).
    virtual void Read(BMessage& record) override;

private:
    int32 fSize;
    LibStringList fGroups;
};
