#include "platform/storage/Entry.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "platform/storage/Directory.h"
#include "platform/storage/Path.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;

// ---- entry_ref ----

entry_ref::entry_ref() : device(0), directory(0), name(nullptr) {}

entry_ref::entry_ref(dev_t dev, ino_t dir, const char* leaf)
    : device(dev), directory(dir), name(nullptr) {
    set_name(leaf);
}

entry_ref::entry_ref(const entry_ref& other)
    : device(other.device), directory(other.directory), name(nullptr), fPath(other.fPath) {
    set_name(other.name);
}

entry_ref& entry_ref::operator=(const entry_ref& other) {
    if (this != &other) {
        device = other.device;
        directory = other.directory;
        fPath = other.fPath;
        set_name(other.name);
    }
    return *this;
}

entry_ref::~entry_ref() {
    free(name);
}

status_t entry_ref::set_name(const char* leaf) {
    free(name);
    name = nullptr;
    if (leaf == nullptr)
        return B_OK;
    name = strdup(leaf);
    return name != nullptr ? B_OK : B_NO_MEMORY;
}

bool entry_ref::operator==(const entry_ref& other) const {
    if (device == 0 && directory == 0 && other.device == 0 && other.directory == 0 &&
        !fPath.empty())
        return fPath == other.fPath;
    if (device != other.device || directory != other.directory)
        return false;
    if (name == nullptr || other.name == nullptr)
        return name == other.name;
    return strcmp(name, other.name) == 0;
}

bool operator<(const entry_ref& a, const entry_ref& b) {
    if (a.device != b.device)
        return a.device < b.device;
    if (a.directory != b.directory)
        return a.directory < b.directory;
    if (a.name == nullptr || b.name == nullptr)
        return a.name == nullptr && b.name != nullptr;
    return strcmp(a.name, b.name) < 0;
}

namespace {
status_t RefForResolvedPath(const std::string& path, entry_ref* ref) {
    std::string folder = path == "/" ? "/" : ParentOf(path);
    struct stat st;
    if (stat(folder.c_str(), &st) != 0)
        return ErrnoStatus();
    ref->device = st.st_dev;
    ref->directory = st.st_ino;
    ref->set_path(path.c_str());
    return ref->set_name(LeafOf(path).c_str());
}
} // namespace

status_t get_ref_for_path(const char* path, entry_ref* ref) {
    if (path == nullptr || ref == nullptr || *path == '\0')
        return B_BAD_VALUE;
    std::string resolved;
    status_t status = ResolveEntryPath(MakeAbsolute(path), false, &resolved);
    if (status != B_OK)
        return status;
    return RefForResolvedPath(resolved, ref);
}

// ---- BEntry ----

BEntry::BEntry() : fStatus(B_NO_INIT) {}

BEntry::BEntry(const BDirectory* dir, const char* path, bool traverse) : fStatus(B_NO_INIT) {
    SetTo(dir, path, traverse);
}

BEntry::BEntry(const entry_ref* ref, bool traverse) : fStatus(B_NO_INIT) {
    SetTo(ref, traverse);
}

BEntry::BEntry(const char* path, bool traverse) : fStatus(B_NO_INIT) {
    SetTo(path, traverse);
}

BEntry::BEntry(const BEntry& other) : BStatable(), fPath(other.fPath), fStatus(other.fStatus) {}

BEntry::~BEntry() = default;

BEntry& BEntry::operator=(const BEntry& other) {
    fPath = other.fPath;
    fStatus = other.fStatus;
    return *this;
}

bool BEntry::operator==(const BEntry& other) const {
    if (fStatus != B_OK || other.fStatus != B_OK)
        return fStatus != B_OK && other.fStatus != B_OK;
    return fPath == other.fPath;
}

status_t BEntry::InitCheck() const {
    return fStatus;
}

status_t BEntry::SetToPath(const std::string& absolute, bool traverse) {
    std::string resolved;
    fStatus = absolute.empty() ? B_BAD_VALUE : ResolveEntryPath(absolute, traverse, &resolved);
    fPath = fStatus == B_OK ? resolved : "";
    return fStatus;
}

status_t BEntry::SetTo(const BDirectory* dir, const char* path, bool traverse) {
    if (dir == nullptr || dir->InitCheck() != B_OK)
        return fStatus = B_BAD_VALUE;
    if (path == nullptr || *path == '\0')
        return SetToPath(dir->Path(), traverse);
    if (path[0] == '/')
        return SetToPath(path, traverse);
    return SetToPath(JoinPath(dir->Path(), path), traverse);
}

status_t BEntry::SetTo(const entry_ref* ref, bool traverse) {
    if (ref == nullptr || *ref->path() == '\0') {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    return SetToPath(ref->path(), traverse);
}

status_t BEntry::SetTo(const char* path, bool traverse) {
    if (path == nullptr || *path == '\0') {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    return SetToPath(MakeAbsolute(path), traverse);
}

void BEntry::Unset() {
    fPath.clear();
    fStatus = B_NO_INIT;
}

bool BEntry::Exists() const {
    struct stat st;
    return fStatus == B_OK && lstat(fPath.c_str(), &st) == 0;
}

status_t BEntry::GetStat(struct stat* st) const {
    if (fStatus != B_OK)
        return fStatus;
    if (st == nullptr)
        return B_BAD_VALUE;
    return lstat(fPath.c_str(), st) == 0 ? B_OK : ErrnoStatus();
}

status_t BEntry::GetRef(entry_ref* ref) const {
    if (fStatus != B_OK)
        return fStatus;
    if (ref == nullptr)
        return B_BAD_VALUE;
    return RefForResolvedPath(fPath, ref);
}

status_t BEntry::GetPath(BPath* path) const {
    if (fStatus != B_OK)
        return fStatus;
    if (path == nullptr)
        return B_BAD_VALUE;
    return path->SetTo(fPath.c_str());
}

status_t BEntry::GetParent(BEntry* entry) const {
    if (fStatus != B_OK)
        return fStatus;
    if (entry == nullptr)
        return B_BAD_VALUE;
    if (fPath == "/")
        return B_ENTRY_NOT_FOUND;
    return entry->SetToPath(ParentOf(fPath), false);
}

status_t BEntry::GetParent(BDirectory* dir) const {
    if (fStatus != B_OK)
        return fStatus;
    if (dir == nullptr)
        return B_BAD_VALUE;
    if (fPath == "/")
        return B_ENTRY_NOT_FOUND;
    return dir->SetTo(ParentOf(fPath).c_str());
}

status_t BEntry::GetName(char* buffer) const {
    if (fStatus != B_OK)
        return fStatus;
    if (buffer == nullptr)
        return B_BAD_VALUE;
    std::string leaf = LeafOf(fPath);
    snprintf(buffer, B_FILE_NAME_LENGTH, "%s", leaf.c_str());
    return B_OK;
}

namespace {
status_t RenameEntry(const std::string& from, const std::string& to, bool clobber) {
    if (from == to)
        return B_OK;
    if (!clobber) {
        // Linux can refuse to replace atomically.
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return B_OK;
        if (errno != EINVAL && errno != ENOSYS)
            return ErrnoStatus();
        struct stat st;
        if (lstat(to.c_str(), &st) == 0)
            return B_FILE_EXISTS;
    }
    return rename(from.c_str(), to.c_str()) == 0 ? B_OK : ErrnoStatus();
}
} // namespace

status_t BEntry::Rename(const char* path, bool clobber) {
    if (fStatus != B_OK)
        return fStatus;
    if (path == nullptr || *path == '\0')
        return B_BAD_VALUE;
    std::string target = path[0] == '/' ? std::string(path) : JoinPath(ParentOf(fPath), path);
    std::string resolved;
    status_t status = ResolveEntryPath(target, false, &resolved);
    if (status != B_OK)
        return status;
    status = RenameEntry(fPath, resolved, clobber);
    if (status == B_OK)
        fPath = resolved;
    return status;
}

status_t BEntry::MoveTo(BDirectory* dir, const char* path, bool clobber) {
    if (fStatus != B_OK)
        return fStatus;
    if (dir == nullptr || dir->InitCheck() != B_OK)
        return B_BAD_VALUE;
    std::string leaf = path != nullptr && *path != '\0' ? std::string(path) : LeafOf(fPath);
    std::string target = leaf[0] == '/' ? leaf : JoinPath(dir->Path(), leaf);
    std::string resolved;
    status_t status = ResolveEntryPath(target, false, &resolved);
    if (status != B_OK)
        return status;
    status = RenameEntry(fPath, resolved, clobber);
    if (status == B_OK)
        fPath = resolved;
    return status;
}

status_t BEntry::Remove() {
    if (fStatus != B_OK)
        return fStatus;
    struct stat st;
    if (lstat(fPath.c_str(), &st) != 0)
        return ErrnoStatus();
    int result = S_ISDIR(st.st_mode) ? rmdir(fPath.c_str()) : unlink(fPath.c_str());
    return result == 0 ? B_OK : ErrnoStatus();
}
