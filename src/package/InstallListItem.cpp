#include "package/InstallListItem.h"

#include <string>

#include "platform/app/Message.h"

namespace {

constexpr const char* kGroups = "groups";
constexpr const char* kFileSize = "file_size";

} // namespace

InstallListItem::InstallListItem(const bool& indented) : FileListItem(indented, true), fSize(0) {
    SetTruncateMode(kTruncateBeginning);
}

InstallListItem::InstallListItem(const char* path, const bool& indented, const bool& showFullPath)
    : FileListItem(path, indented, showFullPath), fSize(0) {}

InstallListItem::InstallListItem(InstallListItem& other, const bool& indented)
    : FileListItem(other, indented), fSize(other.fSize), fGroups(other.fGroups) {}

InstallListItem::~InstallListItem() {}

void InstallListItem::SetSize(const int32& size) {
    fSize = size;
}

bool InstallListItem::InGroup(const char* group) {
    return group != nullptr && fGroups.InList(group);
}

LibString InstallListItem::GroupsText() {
    std::string text;
    for (const LibString* group : fGroups) {
        text += group->String();
        text += ';';
    }
    return LibString(text.c_str());
}

void InstallListItem::SetGroupsText(const char* text) {
    fGroups.Clear();
    if (text == nullptr)
        return;
    std::string field;
    for (const char* c = text;; ++c) {
        if (*c == ';' || *c == '\0') {
            if (!field.empty())
                fGroups.Add(field.c_str());
            field.clear();
            if (*c == '\0')
                break;
        } else {
            field += *c;
        }
    }
}

void InstallListItem::Write(BMessage& record) {
    FileListItem::Write(record);
    record.AddString(kGroups, GroupsText().String());
    record.AddInt32(kFileSize, fSize);
}

void InstallListItem::Read(BMessage& record) {
    FileListItem::Read(record);
    const char* groups = nullptr;
    if (record.FindString(kGroups, &groups) == B_OK && groups != nullptr)
        SetGroupsText(groups);
    int32 size = 0;
    if (record.FindInt32(kFileSize, 0, &size) == B_OK)
        fSize = size;
}
