#include "package/PackageConfig.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/LibAppResource.h"
#include "platform/storage/Resources.h"
#include "platform/storage/StorageDefs.h"

namespace {

constexpr const char* kInstructions = "install_instructions";
constexpr const char* kInstallFile = "install_file";

} // namespace

PackageConfig::PackageConfig() {}

PackageConfig::PackageConfig(const PackageConfig& other) : BMessage(other) {}

PackageConfig& PackageConfig::operator=(const PackageConfig& other) {
    BMessage::operator=(other);
    return *this;
}

PackageConfig::~PackageConfig() {}

bool PackageConfig::LoadConfiguration() {
    LibAppResource resources(B_READ_ONLY);
    return LoadConfiguration(resources);
}

bool PackageConfig::LoadConfiguration(BResources& resources) {
    MakeEmpty();
    if (!resources.HasResource(kConfigurationResourceType, kConfigurationResourceId)) {
        fprintf(stderr, "Does not have resource %d\n", (int)kConfigurationResourceId);
        return false;
    }
    size_t size = 0;
    void* data =
        resources.FindResource(kConfigurationResourceType, kConfigurationResourceId, &size);
    if (data == nullptr) {
        fprintf(stderr, "Unable to read resource %d\n", (int)kConfigurationResourceId);
        return false;
    }
    const bool loaded = LoadFlattened(data, size);
    free(data);
    return loaded;
}

bool PackageConfig::LoadFlattened(const void* data, size_t size) {
    MakeEmpty();
    if (data == nullptr || size == 0)
        return false;
    if (Unflatten(static_cast<const char*>(data), size) != B_OK) {
        MakeEmpty();
        return false;
    }
    return true;
}

std::shared_ptr<InstallRecords> PackageConfig::DecodedLocked() const {
    if (fDecoded == nullptr || fDecodedStamp != ChangeStamp()) {
        BMessage instructions;
        FindMessage(kInstructions, &instructions);
        fDecoded = std::make_shared<InstallRecords>(std::move(instructions));
        fDecodedStamp = ChangeStamp();
    }
    return fDecoded;
}

std::shared_ptr<const InstallRecords> PackageConfig::Records() const {
    std::lock_guard<std::mutex> lock(fDecodedLock);
    return DecodedLocked();
}

InstallRecords PackageConfig::TakeRecords() {
    std::lock_guard<std::mutex> lock(fDecodedLock);
    std::shared_ptr<InstallRecords> records = DecodedLocked();
    fDecoded.reset();
    if (records.use_count() == 1)
        return std::move(*records);
    return *records;
}

bool PackageConfig::StoreRecords(InstallRecords records) {
    if (!SetInstructions(records.Container()))
        return false;
    std::lock_guard<std::mutex> lock(fDecodedLock);
    fDecoded = std::make_shared<InstallRecords>(std::move(records));
    fDecodedStamp = ChangeStamp();
    return true;
}

void PackageConfig::PrintInstallFiles() const {
    std::shared_ptr<const InstallRecords> records = Records();
    BMessage record;
    for (int32 i = 0; i < records->Count(); ++i) {
        if (records->Record(i, record))
            record.PrintToStream();
    }
}

bool PackageConfig::MarkInstallFile(const char* leaf, const bool& install) {
    const int32 index = FindInstallFile(leaf);
    if (index < 0)
        return false;
    return MarkInstallFile(index, install);
}

bool PackageConfig::MarkInstallFile(int32 index, const bool& install) {
    InstallRecords records = TakeRecords();
    return records.SetSelected(index, install) && StoreRecords(std::move(records));
}

bool PackageConfig::GetInstructions(BMessage& instructions) const {
    return FindMessage(kInstructions, &instructions) == B_OK;
}

bool PackageConfig::SetInstructions(const BMessage& instructions) {
    if (ReplaceMessage(kInstructions, &instructions) == B_OK)
        return true;
    RemoveName(kInstructions);
    return AddMessage(kInstructions, &instructions) == B_OK;
}

int32 PackageConfig::MarkInstallFiles(const std::vector<bool>& marks) {
    std::shared_ptr<const InstallRecords> decoded = Records();
    const int32 count = std::min(static_cast<int32>(marks.size()), decoded->Count());
    bool changes = false;
    for (int32 i = 0; i < count && !changes; ++i)
        changes = decoded->ChangesMark(i, marks[size_t(i)]);
    if (!changes)
        return count;
    decoded.reset();
    InstallRecords records = TakeRecords();
    int32 marked = 0;
    for (int32 i = 0; i < count; ++i) {
        if (records.SetSelected(i, marks[size_t(i)]))
            ++marked;
    }
    if (marked > 0 && !StoreRecords(std::move(records)))
        return 0;
    return marked;
}

bool PackageConfig::BoolValue(const char* key) const {
    bool value = false;
    return FindBool(key, &value) == B_OK && value;
}

int32 PackageConfig::Int32Value(const char* key) const {
    int32 value = 0;
    return FindInt32(key, &value) == B_OK ? value : 0;
}

const char* PackageConfig::StringValue(const char* key) const {
    const char* value = nullptr;
    if (FindString(key, &value) != B_OK || value == nullptr)
        return "";
    return value;
}

const char* PackageConfig::StringValueOrNull(const char* key) const {
    const char* value = nullptr;
    if (FindString(key, &value) != B_OK)
        return nullptr;
    return value;
}

bool PackageConfig::IncludeDeinstaller() const {
    bool value = true;
    if (FindBool("opt_include_deinstall", &value) != B_OK)
        return true;
    return value;
}

int32 PackageConfig::CountInstallFiles() const {
    return Records()->Count();
}

bool PackageConfig::GetInstallFile(int32 index, BMessage& record) const {
    return Records()->Record(index, record);
}

bool PackageConfig::ReplaceInstallFile(int32 index, const BMessage& record) {
    BMessage instructions;
    if (index < 0 || !GetInstructions(instructions))
        return false;
    if (instructions.ReplaceMessage(kInstallFile, index, &record) != B_OK)
        return false;
    return SetInstructions(instructions);
}

int32 PackageConfig::FindInstallFile(const char* leaf) const {
    return Records()->IndexOf(leaf);
}

bool PackageConfig::IsMarkedForInstall(int32 index) const {
    std::shared_ptr<const InstallRecords> records = Records();
    const InstallRecords::Item* item = records->At(index);
    return item != nullptr && item->selected;
}

bool PackageConfig::GetInstallMeta(int32 index, BMessage& meta) const {
    BMessage record;
    if (!GetInstallFile(index, record))
        return false;
    return record.FindMessage("install_meta", &meta) == B_OK;
}

const char* PackageConfig::LeafOf(const char* path) {
    if (path == nullptr)
        return "";
    const char* slash = strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}
