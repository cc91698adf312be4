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

uint32 Read32(const char* bytes) {
    uint32 value;
    memcpy(&value, bytes, 4);
    return value;
}

uint16 Read16(const char* bytes) {
    uint16 value;
    memcpy(&value, bytes, 2);
    return value;
}

// Finds where the values of the field `name` lie in a flattened message (the layout of
// docs/formats.md): offset and size of each, from the start of the message. Only bytes
// the message already checked when it stored them come here; the bounds are checked all
// the same. False when the bytes end early; no values when there is no such field of
// that type.
bool FlattenedValues(const char* message, size_t size, const char* name, type_code type,
                     std::vector<std::pair<uint32, uint32>>& values) {
    values.clear();
    constexpr size_t kHeader = 20;
    if (size < kHeader || size > UINT32_MAX)
        return false;
    const size_t nameLength = strlen(name);
    const uint32 fields = Read32(message + 12);
    size_t at = kHeader;
    for (uint32 field = 0; field < fields; ++field) {
        if (size - at < 12)
            return false;
        const type_code fieldType = Read32(message + at);
        const size_t length = Read16(message + at + 6);
        const uint32 count = Read32(message + at + 8);
        at += 12;
        if (size - at < length)
            return false;
        const bool wanted =
            fieldType == type && length == nameLength && memcmp(message + at, name, length) == 0;
        at += length;
        for (uint32 value = 0; value < count; ++value) {
            if (size - at < 4)
                return false;
            const uint32 valueSize = Read32(message + at);
            at += 4;
            if (size - at < valueSize)
                return false;
            if (wanted)
                values.emplace_back(uint32(at), valueSize);
            at += valueSize;
        }
        if (wanted)
            return true;
    }
    return true;
}

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

std::shared_ptr<const PackageConfig::DecodedInstructions> PackageConfig::Decoded() const {
    std::lock_guard<std::mutex> lock(fDecodedLock);
    if (fDecoded != nullptr && fDecoded->stamp == ChangeStamp())
        return fDecoded;
    auto decoded = std::make_shared<DecodedInstructions>();
    decoded->stamp = ChangeStamp();
    const void* data = nullptr;
    ssize_t size = 0;
    if (FindData(kInstructions, B_MESSAGE_TYPE, &data, &size) == B_OK) {
        decoded->bytes = static_cast<const char*>(data);
        FlattenedValues(decoded->bytes, size_t(size), kInstallFile, B_MESSAGE_TYPE,
                        decoded->records);
    }
    std::vector<std::pair<uint32, uint32>> names;
    for (int32 i = 0; i < decoded->Count(); ++i) {
        const auto [offset, length] = decoded->records[size_t(i)];
        if (FlattenedValues(decoded->bytes + offset, length, kFileName, B_STRING_TYPE, names) &&
            !names.empty())
            decoded->firstByLeaf.emplace(LeafOf(decoded->bytes + offset + names.front().first), i);
    }
    fDecoded = decoded;
    return fDecoded;
}

bool PackageConfig::DecodedInstructions::Record(int32 index, BMessage& record) const {
    if (index < 0 || index >= Count())
        return false;
    const auto [offset, length] = records[size_t(index)];
    return record.Unflatten(bytes + offset, length) == B_OK;
}

void PackageConfig::PrintInstallFiles() const {
    std::shared_ptr<const DecodedInstructions> decoded = Decoded();
    BMessage record;
    for (int32 i = 0; i < decoded->Count(); ++i) {
        if (decoded->Record(i, record))
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
    return Decoded()->Count();
}

bool PackageConfig::GetInstallFile(int32 index, BMessage& record) const {
    return Decoded()->Record(index, record);
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
    std::shared_ptr<const DecodedInstructions> decoded = Decoded();
    auto found = decoded->firstByLeaf.find(leaf);
    return found == decoded->firstByLeaf.end() ? -1 : found->second;
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
