#pragma once

// Absolute path names.
//
// A path is normalised (made absolute, ".", ".." and doubled slashes removed) whenever
// it needs it. With normalize=true the folders are also resolved through symbolic links
// (the leaf is kept), which needs the folder to exist.

#include <string>

#include "platform/storage/StorageDefs.h"

struct entry_ref;
class BDirectory;
class BEntry;

class BPath {
public:
    BPath();
    BPath(const BPath& other);
    BPath(const entry_ref* ref);
    BPath(const BEntry* entry);
    BPath(const char* dir, const char* leaf = nullptr, bool normalize = false);
    BPath(const BDirectory* dir, const char* leaf, bool normalize = false);
    ~BPath();

    BPath& operator=(const BPath& other);
    BPath& operator=(const char* path);
    bool operator==(const BPath& other) const;
    bool operator==(const char* path) const;
    bool operator!=(const BPath& other) const { return !(*this == other); }
    bool operator!=(const char* path) const { return !(*this == path); }

    status_t InitCheck() const;
    status_t SetTo(const entry_ref* ref);
    status_t SetTo(const BEntry* entry);
    status_t SetTo(const char* path, const char* leaf = nullptr, bool normalize = false);
    status_t SetTo(const BDirectory* dir, const char* leaf = nullptr, bool normalize = false);
    void Unset();

    // Appends a relative path.
    status_t Append(const char* path, bool normalize = false);

    // The whole path, or null when unset.
    const char* Path() const;
    // The last component ("" for "/"), or null when unset.
    const char* Leaf() const;
    status_t GetParent(BPath* path) const;

private:
    std::string fPath;
    status_t fStatus;
};
