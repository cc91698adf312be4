#include "package/InstallRecords.h"

#include <cstring>

#include "lib/MessageFields.h"

namespace {

constexpr const char* kInstallFile = "install_file";
constexpr const char* kFileName = "file_name";
constexpr const char* kInstallToSystem = "install_to_system";
constexpr const char* kTrue = "True";

std::string LeafOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HoldsMark(const BMessage& record) {
    type_code type = 0;
    return record.GetInfo(kInstallToSystem, &type) == B_OK && type == B_BOOL_TYPE;
}

} // namespace

InstallRecords::InstallRecords(BMessage instructions) : fContainer(std::move(instructions)) {
    BMessage record;
    for (int32 i = 0; fContainer.FindMessage(kInstallFile, i, &record) == B_OK; i++) {
        fItems.push_back(Read(record));
        fMarkStored.push_back(HoldsMark(record));
        fNamed.push_back(record.HasString(kFileName));
    }
    IndexLeaves();
}

InstallRecords::Item InstallRecords::Read(const BMessage& record) {
    Item item;
    item.fileName = StringOf(record, kFileName);
    item.leaf = LeafOf(item.fileName);
    item.groups = StringOf(record, "groups");
    record.FindInt32("file_size", &item.size);
    record.FindBool(kInstallToSystem, &item.selected);
    BMessage meta;
    if (record.FindMessage("install_meta", &meta) == B_OK) {
        item.destination = StringOf(meta, "destination");
        item.destinationExists = StringOf(meta, "destination_exists");
        item.link = StringOf(meta, "link");
        item.linkExists = StringOf(meta, "link_exists");
        item.deinstallable = StringOf(meta, "deinstallable") == kTrue;
        item.autoLaunch = StringOf(meta, "auto_launch") == kTrue;
    }
    return item;
}

void InstallRecords::IndexLeaves() {
    fFirstByLeaf.clear();
    for (int32 i = 0; i < Count(); i++) {
        if (fNamed[size_t(i)])
            fFirstByLeaf.emplace(fItems[size_t(i)].leaf, i);
    }
}

const InstallRecords::Item* InstallRecords::At(int32 index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return &fItems[size_t(index)];
}

bool InstallRecords::Record(int32 index, BMessage& record) const {
    if (index < 0 || index >= Count())
        return false;
    return fContainer.FindMessage(kInstallFile, index, &record) == B_OK;
}

bool InstallRecords::Meta(int32 index, BMessage& meta) const {
    BMessage record;
    meta.MakeEmpty();
    if (!Record(index, record))
        return false;
    record.FindMessage("install_meta", &meta);
    return true;
}

int32 InstallRecords::IndexOf(const char* leaf) const {
    if (leaf == nullptr)
        return -1;
    auto found = fFirstByLeaf.find(leaf);
    return found == fFirstByLeaf.end() ? -1 : found->second;
}

bool InstallRecords::Store(int32 index, const BMessage& record) {
    return fContainer.ReplaceMessage(kInstallFile, index, &record) == B_OK;
}

bool InstallRecords::SetSelected(int32 index, bool selected) {
    if (index < 0 || index >= Count())
        return false;
    Item& item = fItems[size_t(index)];
    if (!ChangesMark(index, selected))
        return true;
    BMessage record;
    if (!Record(index, record))
        return false;
    if (record.ReplaceBool(kInstallToSystem, 0, selected) != B_OK) {
        record.RemoveName(kInstallToSystem);
        if (record.AddBool(kInstallToSystem, selected) != B_OK)
            return false;
    }
    if (!Store(index, record))
        return false;
    item.selected = selected;
    fMarkStored[size_t(index)] = HoldsMark(record);
    return true;
}

bool InstallRecords::ChangesMark(int32 index, bool selected) const {
    if (index < 0 || index >= Count())
        return false;
    return !fMarkStored[size_t(index)] || fItems[size_t(index)].selected != selected;
}

bool InstallRecords::SetFileName(int32 index, const std::string& path, BMessage* record) {
    if (index < 0 || index >= Count())
        return false;
    Item& item = fItems[size_t(index)];
    if (item.fileName == path)
        return true;
    BMessage read;
    if (record == nullptr) {
        if (!Record(index, read))
            return false;
        record = &read;
    }
    if (record->ReplaceString(kFileName, path.c_str()) != B_OK)
        return false;
    if (!Store(index, *record))
        return false;
    std::string leaf = LeafOf(path);
    item.fileName = path;
    if (leaf != item.leaf) {
        item.leaf = leaf;
        IndexLeaves();
    }
    return true;
}
