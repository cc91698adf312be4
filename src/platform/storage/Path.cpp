#include "platform/storage/Path.h"

#include <cstring>

#include "platform/storage/Directory.h"
#include "platform/storage/Entry.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;

BPath::BPath() : fStatus(B_NO_INIT) {}

BPath::BPath(const BPath& other) : fPath(other.fPath), fStatus(other.fStatus) {}

BPath::BPath(const entry_ref* ref) : fStatus(B_NO_INIT) {
    SetTo(ref);
}

BPath::BPath(const BEntry* entry) : fStatus(B_NO_INIT) {
    SetTo(entry);
}

BPath::BPath(const char* dir, const char* leaf, bool normalize) : fStatus(B_NO_INIT) {
    SetTo(dir, leaf, normalize);
}

BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize) : fStatus(B_NO_INIT) {
    SetTo(dir, leaf, normalize);
}

BPath::~BPath() = default;

BPath& BPath::operator=(const BPath& other) {
    fPath = other.fPath;
    fStatus = other.fStatus;
    return *this;
}

BPath& BPath::operator=(const char* path) {
    if (path == nullptr)
        Unset();
    else
        SetTo(path);
    return *this;
}

bool BPath::operator==(const BPath& other) const {
    if (fStatus != B_OK || other.fStatus != B_OK)
        return fStatus != B_OK && other.fStatus != B_OK;
    return fPath == other.fPath;
}

bool BPath::operator==(const char* path) const {
    if (fStatus != B_OK)
        return path == nullptr;
    return path != nullptr && fPath == path;
}

status_t BPath::InitCheck() const {
    return fStatus;
}

status_t BPath::SetTo(const entry_ref* ref) {
    if (ref == nullptr || *ref->path() == '\0') {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    fPath = ref->path();
    return fStatus = B_OK;
}

status_t BPath::SetTo(const BEntry* entry) {
    if (entry == nullptr || entry->InitCheck() != B_OK) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    fPath = entry->Path();
    return fStatus = B_OK;
}

status_t BPath::SetTo(const char* path, const char* leaf, bool normalize) {
    if (path == nullptr || *path == '\0') {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    if (leaf != nullptr && leaf[0] == '/') {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    std::string full = MakeAbsolute(path);
    if (full.empty()) {
        Unset();
        return fStatus = B_ERROR;
    }
    if (leaf != nullptr && *leaf != '\0')
        full = JoinPath(full, leaf);
    if (full.size() >= B_PATH_NAME_LENGTH) {
        Unset();
        return fStatus = B_NAME_TOO_LONG;
    }
    if (normalize) {
        std::string resolved;
        status_t status = ResolveEntryPath(full, false, &resolved);
        if (status != B_OK) {
            Unset();
            return fStatus = status;
        }
        fPath = resolved;
    } else if (NeedsNormalization(full)) {
        // Through the file system where it can be, so that ".." after a link means
        // what the kernel means; by text where the folders do not exist yet.
        std::string resolved;
        fPath =
            ResolveEntryPath(full, false, &resolved) == B_OK ? resolved : NormalizeLexically(full);
    } else {
        fPath = full;
    }
    return fStatus = B_OK;
}

status_t BPath::SetTo(const BDirectory* dir, const char* leaf, bool normalize) {
    if (dir == nullptr || dir->InitCheck() != B_OK) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    return SetTo(dir->Path(), leaf, normalize);
}

void BPath::Unset() {
    fPath.clear();
    fStatus = B_NO_INIT;
}

status_t BPath::Append(const char* path, bool normalize) {
    if (fStatus != B_OK)
        return fStatus;
    if (path == nullptr || path[0] == '/')
        return B_BAD_VALUE;
    std::string base = fPath;
    return SetTo(base.c_str(), path, normalize);
}

const char* BPath::Path() const {
    return fStatus == B_OK ? fPath.c_str() : nullptr;
}

const char* BPath::Leaf() const {
    if (fStatus != B_OK)
        return nullptr;
    if (fPath == "/")
        return "";
    size_t slash = fPath.rfind('/');
    return fPath.c_str() + slash + 1;
}

status_t BPath::GetParent(BPath* path) const {
    if (path == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return fStatus;
    if (fPath == "/")
        return B_ENTRY_NOT_FOUND;
    std::string parent = ParentOf(fPath);
    return path->SetTo(parent.c_str());
}
