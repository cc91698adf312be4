#include "platform/storage/SymLink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "platform/storage/Directory.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Path.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;

BSymLink::BSymLink() = default;

BSymLink::BSymLink(const entry_ref* ref) {
    SetTo(ref);
}

BSymLink::BSymLink(const BEntry* entry) {
    SetTo(entry);
}

BSymLink::BSymLink(const char* path) {
    BEntry entry(path);
    SetTo(&entry);
}

BSymLink::BSymLink(const BDirectory* dir, const char* path) {
    BEntry entry(dir, path);
    SetTo(&entry);
}

BSymLink::~BSymLink() = default;

ssize_t BSymLink::ReadLink(char* buffer, size_t size) {
    if (fStatus != B_OK)
        return fStatus;
    if (buffer == nullptr || size == 0)
        return B_BAD_VALUE;
    if (!fIsLink)
        return B_BAD_VALUE;
    std::vector<char> target(B_PATH_NAME_LENGTH + 1);
    ssize_t n = readlink(fPath.c_str(), target.data(), target.size() - 1);
    if (n < 0)
        return ErrnoStatus();
    size_t copied = std::min(static_cast<size_t>(n), size - 1);
    memcpy(buffer, target.data(), copied);
    buffer[copied] = '\0';
    return n;
}

ssize_t BSymLink::MakeLinkedPath(const char* dirPath, BPath* path) {
    if (dirPath == nullptr || path == nullptr)
        return B_BAD_VALUE;
    char target[B_PATH_NAME_LENGTH];
    ssize_t n = ReadLink(target, sizeof target);
    if (n < 0)
        return n;
    status_t status = target[0] == '/' ? path->SetTo(target) : path->SetTo(dirPath, target);
    if (status != B_OK)
        return status;
    return static_cast<ssize_t>(strlen(path->Path()));
}

ssize_t BSymLink::MakeLinkedPath(const BDirectory* dir, BPath* path) {
    if (dir == nullptr || dir->InitCheck() != B_OK)
        return B_BAD_VALUE;
    return MakeLinkedPath(dir->Path(), path);
}

bool BSymLink::IsAbsolute() {
    char target[B_PATH_NAME_LENGTH];
    return ReadLink(target, sizeof target) > 0 && target[0] == '/';
}
