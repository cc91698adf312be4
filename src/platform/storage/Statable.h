#pragma once

// Common stat-based queries of entries and nodes.

#include <ctime>
#include <sys/stat.h>

#include "platform/storage/StorageDefs.h"

class BVolume;

struct node_ref {
    node_ref() : device(0), node(0) {}
    node_ref(dev_t dev, ino_t ino) : device(dev), node(ino) {}
    bool operator==(const node_ref& other) const {
        return device == other.device && node == other.node;
    }
    bool operator!=(const node_ref& other) const { return !(*this == other); }

    dev_t device;
    ino_t node;
};

class BStatable {
public:
    virtual ~BStatable();

    virtual status_t GetStat(struct stat* st) const = 0;

    bool IsFile() const;
    bool IsDirectory() const;
    bool IsSymLink() const;

    status_t GetNodeRef(node_ref* ref) const;
    status_t GetOwner(uid_t* owner) const;
    status_t SetOwner(uid_t owner);
    status_t GetGroup(gid_t* group) const;
    status_t SetGroup(gid_t group);
    status_t GetPermissions(mode_t* perms) const;
    status_t SetPermissions(mode_t perms);
    status_t GetSize(off_t* size) const;
    status_t GetModificationTime(time_t* mtime) const;
    status_t SetModificationTime(time_t mtime);
    // The birth time where the file system records it, else the modification time.
    // Linux cannot set a birth time: SetCreationTime answers B_NOT_SUPPORTED.
    status_t GetCreationTime(time_t* ctime) const;
    status_t SetCreationTime(time_t ctime);
    status_t GetAccessTime(time_t* atime) const;
    status_t SetAccessTime(time_t atime);
    status_t GetVolume(BVolume* volume) const;

protected:
    // The path the object stands for and whether links at its end are followed; the
    // setters and the birth time work through it.
    virtual const char* StatPath() const = 0;
    virtual bool StatFollowsLinks() const = 0;
};
