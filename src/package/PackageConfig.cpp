#include "package/PackageConfig.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/storage/Resources.h"
#include "platform/storage/StorageDefs.h"
#include "storage/LibAppResource.h"

namespace {

constexpr const char* kInstructions = "install_instructions";
constexpr const char* kInstallFile = "install_file";
constexpr const char* kFileName = "file_name";
constexpr const char* kInstallToSystem = "install_to_system";

// Replaces "install_to_system" when present, adds it when absent; a value of another
// type under that name is replaced too.
bool SetInstallMark(BMessage& record, bool install) {
    if (record.ReplaceBool(kInstallToSystem, 0, install) == B_OK)
        return true;
    record.RemoveName(kInstallToSystem);
    return record.AddBool(kInstallToSystem, install) == B_OK;
}

} // namespace

PackageConfig::PackageConfig() {}

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

void PackageConfig::PrintInstallFiles() const {
    BMessage instructions;
    if (FindMessage(kInstructions, &instructions) != B_OK)
        return;
    BMessage record;
    for (int32 i = 0; instructions.FindMessage(kInstallFile, i, &record) == B_OK; ++i)
        record.PrintToStream();
}

bool PackageConfig::MarkInstallFile(const char* leaf, const bool& install) {
    const int32 index = FindInstallFile(leaf);
    if (index < 0)
        return false;
    return MarkInstallFile(index, install);
}

bool PackageConfig::MarkInstallFile(int32 index, const bool& install) {
    BMessage record;
    if (!GetInstallFile(index, record) || !SetInstallMark(record, install))
        return false;
    return ReplaceInstallFile(index, record);
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
    BMessage instructions;
    if (!GetInstructions(instructions))
        return 0;
    int32 marked = 0;
    BMessage record;
    for (int32 i = 0; i < static_cast<int32>(marks.size()) &&
                      instructions.FindMessage(kInstallFile, i, &record) == B_OK;
         ++i) {
        if (!SetInstallMark(record, marks[i]) ||
            instructions.ReplaceMessage(kInstallFile, i, &record) != B_OK)
            continue;
        ++marked;
    }
    if (marked > 0 && !SetInstructions(instructions))
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
    BMessage instructions;
    if (FindMessage(kInstructions, &instructions) != B_OK)
        return 0;
    // Records are read by index until the first missing one.
    int32 count = 0;
    while (instructions.HasMessage(kInstallFile, count))
        ++count;
    return count;
}

bool PackageConfig::GetInstallFile(int32 index, BMessage& record) const {
    BMessage instructions;
    if (index < 0 || FindMessage(kInstructions, &instructions) != B_OK)
        return false;
    return instructions.FindMessage(kInstallFile, index, &record) == B_OK;
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
    if (leaf == nullptr)
        return -1;
    BMessage instructions;
    if (FindMessage(kInstructions, &instructions) != B_OK)
        return -1;
    BMessage record;
    for (int32 i = 0; instructions.FindMessage(kInstallFile, i, &record) == B_OK; ++i) {
        const char* name = nullptr;
        if (record.FindString(kFileName, &name) == B_OK && strcmp(LeafOf(name), leaf) == 0)
            return i;
    }
    return -1;
}

bool PackageConfig::IsMarkedForInstall(int32 index) const {
    BMessage record;
    if (!GetInstallFile(index, record))
        return false;
    bool install = false;
    return record.FindBool(kInstallToSystem, &install) == B_OK && install;
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
