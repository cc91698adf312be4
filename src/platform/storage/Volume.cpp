#include "platform/storage/Volume.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/statvfs.h>

#include "platform/storage/Directory.h"
#include "platform/storage/MountTable.h"
#include "platform/storage/StoragePrivate.h"
#include "platform/storage/fs_info.h"

namespace {

uint32 FlagsFor(const MountEntry& entry) {
    uint32 flags = 0;
    if (entry.readOnly)
        flags |= B_FS_IS_READONLY;
    if (MountTable::IsRemovable(entry))
        flags |= B_FS_IS_REMOVABLE;
    if (entry.fsType != "tmpfs" && entry.fsType != "ramfs")
        flags |= B_FS_IS_PERSISTENT;
    if (MountTable::IsShared(entry))
        flags |= B_FS_IS_SHARED;
    if (MountTable::KnowsAttributes(entry))
        flags |= B_FS_HAS_ATTR | B_FS_HAS_MIME;
    return flags;
}

} // namespace

std::vector<MountEntry> MountTable::Volumes() {
    std::vector<MountEntry> all = MountTable::Current();
    std::vector<MountEntry> visible;
    for (const MountEntry& entry : all) {
        if (!MountTable::IsUserVisible(entry))
            continue;
        bool seen = false;
        for (const MountEntry& other : visible)
            seen = seen || other.device == entry.device;
        if (!seen)
            visible.push_back(entry);
    }
    return visible;
}

BVolume::BVolume() : fDevice(-1), fStatus(B_NO_INIT), fFlags(0) {}

BVolume::BVolume(dev_t device) : BVolume() {
    SetTo(device);
}

BVolume::BVolume(const BVolume& other) = default;

BVolume::~BVolume() = default;

BVolume& BVolume::operator=(const BVolume& other) = default;

bool BVolume::operator==(const BVolume& other) const {
    if (fStatus != B_OK || other.fStatus != B_OK)
        return fStatus != B_OK && other.fStatus != B_OK;
    return fDevice == other.fDevice;
}

status_t BVolume::InitCheck() const {
    return fStatus;
}

status_t BVolume::SetToMount(const MountEntry& entry) {
    fDevice = entry.device;
    fMountPoint = entry.mountPoint;
    fName = MountTable::VolumeName(entry);
    fFsType = entry.fsType;
    fFlags = FlagsFor(entry);
    return fStatus = B_OK;
}

status_t BVolume::SetTo(dev_t device) {
    Unset();
    std::vector<MountEntry> table = MountTable::Current();
    const MountEntry* entry = MountTable::FindByDevice(table, device);
    if (entry == nullptr)
        return fStatus = B_BAD_VALUE;
    return SetToMount(*entry);
}

void BVolume::Unset() {
    fDevice = -1;
    fStatus = B_NO_INIT;
    fMountPoint.clear();
    fName.clear();
    fFsType.clear();
    fFlags = 0;
}

dev_t BVolume::Device() const {
    return fDevice;
}

status_t BVolume::GetRootDirectory(BDirectory* dir) const {
    if (fStatus != B_OK)
        return fStatus;
    if (dir == nullptr)
        return B_BAD_VALUE;
    return dir->SetTo(fMountPoint.c_str());
}

off_t BVolume::Capacity() const {
    if (fStatus != B_OK)
        return fStatus;
    struct statvfs info;
    if (statvfs(fMountPoint.c_str(), &info) != 0)
        return storage_private::ErrnoStatus();
    return static_cast<off_t>(info.f_blocks) * static_cast<off_t>(info.f_frsize);
}

off_t BVolume::FreeBytes() const {
    if (fStatus != B_OK)
        return fStatus;
    struct statvfs info;
    if (statvfs(fMountPoint.c_str(), &info) != 0)
        return storage_private::ErrnoStatus();
    // What this user may still write, which is what an installation can use.
    return static_cast<off_t>(info.f_bavail) * static_cast<off_t>(info.f_frsize);
}

status_t BVolume::GetName(char* name) const {
    if (fStatus != B_OK)
        return fStatus;
    if (name == nullptr)
        return B_BAD_VALUE;
    snprintf(name, B_FILE_NAME_LENGTH, "%s", fName.c_str());
    return B_OK;
}

status_t BVolume::SetName(const char*) {
    return B_NOT_SUPPORTED;
}

bool BVolume::IsRemovable() const {
    return fStatus == B_OK && (fFlags & B_FS_IS_REMOVABLE) != 0;
}

bool BVolume::IsReadOnly() const {
    return fStatus == B_OK && (fFlags & B_FS_IS_READONLY) != 0;
}

bool BVolume::IsPersistent() const {
    return fStatus == B_OK && (fFlags & B_FS_IS_PERSISTENT) != 0;
}

bool BVolume::IsShared() const {
    return fStatus == B_OK && (fFlags & B_FS_IS_SHARED) != 0;
}

bool BVolume::KnowsMime() const {
    return fStatus == B_OK && (fFlags & B_FS_HAS_MIME) != 0;
}

bool BVolume::KnowsAttr() const {
    return fStatus == B_OK && (fFlags & B_FS_HAS_ATTR) != 0;
}

bool BVolume::KnowsQuery() const {
    return false;
}

// ---- fs_info ----

int fs_stat_dev(dev_t device, fs_info* info) {
    if (info == nullptr)
        return B_BAD_VALUE;
    std::vector<MountEntry> table = MountTable::Current();
    const MountEntry* entry = MountTable::FindByDevice(table, device);
    if (entry == nullptr)
        return B_BAD_VALUE;
    memset(info, 0, sizeof *info);
    info->dev = entry->device;
    info->flags = FlagsFor(*entry);
    struct stat st;
    if (stat(entry->mountPoint.c_str(), &st) == 0)
        info->root = st.st_ino;
    struct statvfs vfs;
    if (statvfs(entry->mountPoint.c_str(), &vfs) == 0) {
        info->block_size = static_cast<off_t>(vfs.f_frsize);
        info->io_size = static_cast<off_t>(vfs.f_bsize);
        info->total_blocks = static_cast<off_t>(vfs.f_blocks);
        info->free_blocks = static_cast<off_t>(vfs.f_bavail);
        info->total_nodes = static_cast<off_t>(vfs.f_files);
        info->free_nodes = static_cast<off_t>(vfs.f_favail);
    }
    snprintf(info->device_name, sizeof info->device_name, "%s", entry->source.c_str());
    snprintf(info->volume_name, sizeof info->volume_name, "%s",
             MountTable::VolumeName(*entry).c_str());
    snprintf(info->fsh_name, sizeof info->fsh_name, "%s", entry->fsType.c_str());
    snprintf(info->mount_point, sizeof info->mount_point, "%s", entry->mountPoint.c_str());
    return B_OK;
}

dev_t dev_for_path(const char* path) {
    if (path == nullptr)
        return B_BAD_VALUE;
    struct stat st;
    if (stat(path, &st) != 0)
        return storage_private::ErrnoStatus();
    return st.st_dev;
}

dev_t next_dev(int32* pos) {
    if (pos == nullptr || *pos < 0)
        return B_BAD_VALUE;
    std::vector<MountEntry> visible = MountTable::Volumes();
    if (static_cast<size_t>(*pos) >= visible.size())
        return B_BAD_VALUE;
    return visible[static_cast<size_t>((*pos)++)].device;
}
