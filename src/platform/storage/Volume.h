#pragma once

// A mounted volume, known by its device number.

#include <string>

#include "platform/storage/StorageDefs.h"

class BDirectory;

class BVolume {
public:
    BVolume();
    BVolume(dev_t device);
    BVolume(const BVolume& other);
    ~BVolume();

    BVolume& operator=(const BVolume& other);
    bool operator==(const BVolume& other) const;
    bool operator!=(const BVolume& other) const { return !(*this == other); }

    status_t InitCheck() const;
    status_t SetTo(dev_t device);
    void Unset();

    dev_t Device() const;
    status_t GetRootDirectory(BDirectory* dir) const;
    // Bytes; a negative error code when the volume cannot be examined.
    off_t Capacity() const;
    off_t FreeBytes() const;
    // Name: the file-system label, else the mount point's last component ("/" for the
    // root). `name` holds B_FILE_NAME_LENGTH bytes.
    status_t GetName(char* name) const;
    status_t SetName(const char* name); // B_NOT_SUPPORTED

    bool IsRemovable() const;
    bool IsReadOnly() const;
    bool IsPersistent() const;
    bool IsShared() const;
    bool KnowsMime() const;
    bool KnowsAttr() const;
    bool KnowsQuery() const;

    // Linux extensions.
    const char* MountPoint() const { return fMountPoint.c_str(); }
    const char* FileSystemType() const { return fFsType.c_str(); }

private:
    friend class BVolumeRoster;
    status_t SetToMount(const struct MountEntry& entry);

    dev_t fDevice;
    status_t fStatus;
    std::string fMountPoint;
    std::string fName;
    std::string fFsType;
    uint32 fFlags;
};
