#pragma once

// Entries: a name in a folder, whether or not something exists under it.
//
// Linux cannot turn a (device, folder inode, name) triple back into a path, so an
// entry_ref also keeps the absolute path it was made from; the path is what makes a
// reference resolvable. The numeric fields are filled in for comparison and for
// telling volumes apart (device).

#include <string>
#include <sys/stat.h>

#include "platform/storage/Statable.h"
#include "platform/storage/StorageDefs.h"

class BDirectory;
class BPath;

struct entry_ref {
    entry_ref();
    // A reference to the entry `name` in the folder (device, dir); without a path it
    // cannot be resolved, so the constructor is mainly for comparisons.
    entry_ref(dev_t device, ino_t dir, const char* name);
    entry_ref(const entry_ref& other);
    entry_ref& operator=(const entry_ref& other);
    ~entry_ref();

    status_t set_name(const char* name);

    bool operator==(const entry_ref& other) const;
    bool operator!=(const entry_ref& other) const { return !(*this == other); }

    // The absolute path this reference stands for; empty when unset.
    const char* path() const { return fPath.c_str(); }
    void set_path(const char* path) { fPath = path ? path : ""; }

    dev_t device;
    ino_t directory;
    char* name; // leaf name, owned by the reference

private:
    std::string fPath;
};

// Fills the reference for the entry at `path` (links are not followed). The folder
// holding the entry must exist; the entry itself need not.
status_t get_ref_for_path(const char* path, entry_ref* ref);

class BEntry : public BStatable {
public:
    BEntry();
    BEntry(const BDirectory* dir, const char* path, bool traverse = false);
    BEntry(const entry_ref* ref, bool traverse = false);
    BEntry(const char* path, bool traverse = false);
    BEntry(const BEntry& other);
    ~BEntry() override;

    BEntry& operator=(const BEntry& other);
    bool operator==(const BEntry& other) const;
    bool operator!=(const BEntry& other) const { return !(*this == other); }

    status_t InitCheck() const;
    // Sets the entry; with traverse, a symbolic link is followed to the entry it names.
    status_t SetTo(const BDirectory* dir, const char* path, bool traverse = false);
    status_t SetTo(const entry_ref* ref, bool traverse = false);
    status_t SetTo(const char* path, bool traverse = false);
    void Unset();

    bool Exists() const;
    status_t GetStat(struct stat* st) const override;

    status_t GetRef(entry_ref* ref) const;
    status_t GetPath(BPath* path) const;
    status_t GetParent(BEntry* entry) const;
    status_t GetParent(BDirectory* dir) const;
    status_t GetName(char* buffer) const; // buffer holds B_FILE_NAME_LENGTH bytes

    // Renames within the same folder; `path` may also be a relative or absolute path.
    status_t Rename(const char* path, bool clobber = false);
    // Moves into `dir`, optionally under a new name.
    status_t MoveTo(BDirectory* dir, const char* path = nullptr, bool clobber = false);
    // Removes the entry (a folder must be empty). The object then refers to the
    // abstract entry, which no longer exists.
    status_t Remove();

    // Linux extension: the absolute path, or "" when unset.
    const char* Path() const { return fPath.c_str(); }

protected:
    // Entries operate on the entry itself: a symbolic link is not followed.
    bool StatFollowsLinks() const override { return false; }
    const char* StatPath() const override { return fPath.c_str(); }

private:
    status_t SetToPath(const std::string& absolute, bool traverse);

    std::string fPath;
    status_t fStatus;
};

bool operator<(const entry_ref& a, const entry_ref& b);
