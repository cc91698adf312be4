#pragma once

// Folders. Entries are listed in the order the file system gives them, "." and ".."
// left out, links not followed.

#include <dirent.h>

#include "platform/storage/Node.h"

class BEntry;
class BFile;
class BPath;
class BSymLink;

class BDirectory : public BNode {
public:
    BDirectory();
    BDirectory(const entry_ref* ref);
    BDirectory(const BEntry* entry);
    BDirectory(const char* path);
    BDirectory(const BDirectory* dir, const char* path);
    BDirectory(const BDirectory& other);
    ~BDirectory() override;

    BDirectory& operator=(const BDirectory& other);

    status_t SetTo(const entry_ref* ref);
    status_t SetTo(const BEntry* entry);
    status_t SetTo(const char* path);
    status_t SetTo(const BDirectory* dir, const char* path);
    void Unset();

    status_t GetEntry(BEntry* entry) const;
    bool IsRootDirectory() const;

    // Looks up `path` relative to this folder (or absolute).
    status_t FindEntry(const char* path, BEntry* entry, bool traverse = false) const;
    bool Contains(const char* path, int32 nodeFlags = B_ANY_NODE) const;
    bool Contains(const BEntry* entry, int32 nodeFlags = B_ANY_NODE) const;

    status_t GetNextEntry(BEntry* entry, bool traverse = false);
    status_t GetNextRef(entry_ref* ref);
    status_t Rewind();
    int32 CountEntries();

    status_t CreateDirectory(const char* path, BDirectory* dir);
    status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);
    status_t CreateSymLink(const char* path, const char* linkToPath, BSymLink* link);

private:
    status_t OpenDirectory(const std::string& path);
    std::string Resolve(const char* path) const;

    DIR* fDir;
};

// Creates the folder and any missing parents; B_OK when it already exists as a folder.
status_t create_directory(const char* path, mode_t mode);
