#include "platform/storage/Directory.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "platform/storage/Entry.h"
#include "platform/storage/File.h"
#include "platform/storage/StoragePrivate.h"
#include "platform/storage/SymLink.h"

using namespace storage_private;

BDirectory::BDirectory() : fDir(nullptr) {}

BDirectory::BDirectory(const entry_ref* ref) : BDirectory() {
    SetTo(ref);
}

BDirectory::BDirectory(const BEntry* entry) : BDirectory() {
    SetTo(entry);
}

BDirectory::BDirectory(const char* path) : BDirectory() {
    SetTo(path);
}

BDirectory::BDirectory(const BDirectory* dir, const char* path) : BDirectory() {
    SetTo(dir, path);
}

BDirectory::BDirectory(const BDirectory& other) : BDirectory() {
    *this = other;
}

BDirectory::~BDirectory() {
    Unset();
}

BDirectory& BDirectory::operator=(const BDirectory& other) {
    if (this == &other)
        return *this;
    if (other.InitCheck() == B_OK)
        OpenDirectory(other.fPath);
    else
        Unset();
    return *this;
}

void BDirectory::Unset() {
    if (fDir != nullptr)
        closedir(fDir);
    fDir = nullptr;
    CloseNode();
}

status_t BDirectory::OpenDirectory(const std::string& path) {
    Unset();
    std::string resolved;
    status_t status = ResolveEntryPath(path, true, &resolved);
    if (status != B_OK)
        return fStatus = status;
    int fd = open(resolved.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fStatus = ErrnoStatus();
    int listFd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        status = ErrnoStatus();
        if (listFd >= 0)
            close(listFd);
        close(fd);
        return fStatus = status;
    }
    AdoptDescriptor(fd, resolved);
    fDir = dir;
    return fStatus = B_OK;
}

status_t BDirectory::SetTo(const entry_ref* ref) {
    if (ref == nullptr || *ref->path() == '\0') {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    return OpenDirectory(ref->path());
}

status_t BDirectory::SetTo(const BEntry* entry) {
    if (entry == nullptr || entry->InitCheck() != B_OK) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    return OpenDirectory(entry->Path());
}

status_t BDirectory::SetTo(const char* path) {
    std::string absolute = MakeAbsolute(path);
    if (absolute.empty()) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    return OpenDirectory(absolute);
}

status_t BDirectory::SetTo(const BDirectory* dir, const char* path) {
    if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    std::string target = dir->Resolve(path);
    return OpenDirectory(target);
}

std::string BDirectory::Resolve(const char* path) const {
    if (path == nullptr || *path == '\0')
        return fPath;
    if (path[0] == '/')
        return path;
    return JoinPath(fPath, path);
}

status_t BDirectory::GetEntry(BEntry* entry) const {
    if (fStatus != B_OK)
        return fStatus;
    if (entry == nullptr)
        return B_BAD_VALUE;
    return entry->SetTo(fPath.c_str());
}

bool BDirectory::IsRootDirectory() const {
    if (fStatus != B_OK)
        return false;
    if (fPath == "/")
        return true;
    struct stat self, parent;
    if (stat(fPath.c_str(), &self) != 0 || stat(ParentOf(fPath).c_str(), &parent) != 0)
        return false;
    return self.st_dev != parent.st_dev;
}

status_t BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const {
    if (fStatus != B_OK)
        return fStatus;
    if (path == nullptr || entry == nullptr)
        return B_BAD_VALUE;
    status_t status = entry->SetTo(Resolve(path).c_str(), traverse);
    if (status != B_OK)
        return status;
    if (!entry->Exists()) {
        entry->Unset();
        return B_ENTRY_NOT_FOUND;
    }
    return B_OK;
}

namespace {
bool MatchesFlavor(const struct stat& st, int32 nodeFlags) {
    if (S_ISREG(st.st_mode))
        return (nodeFlags & B_FILE_NODE) != 0;
    if (S_ISDIR(st.st_mode))
        return (nodeFlags & B_DIRECTORY_NODE) != 0;
    if (S_ISLNK(st.st_mode))
        return (nodeFlags & B_SYMLINK_NODE) != 0;
    return nodeFlags == B_ANY_NODE;
}
} // namespace

bool BDirectory::Contains(const char* path, int32 nodeFlags) const {
    if (fStatus != B_OK || path == nullptr)
        return false;
    BEntry entry(Resolve(path).c_str());
    return Contains(&entry, nodeFlags);
}

bool BDirectory::Contains(const BEntry* entry, int32 nodeFlags) const {
    if (fStatus != B_OK || entry == nullptr || entry->InitCheck() != B_OK)
        return false;
    std::string path = entry->Path();
    std::string prefix = fPath == "/" ? "/" : fPath + "/";
    if (path.compare(0, prefix.size(), prefix) != 0 || path.size() == prefix.size())
        return false;
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && MatchesFlavor(st, nodeFlags);
}

status_t BDirectory::GetNextEntry(BEntry* entry, bool traverse) {
    if (fStatus != B_OK)
        return fStatus;
    if (entry == nullptr)
        return B_BAD_VALUE;
    for (;;) {
        errno = 0;
        struct dirent* item = readdir(fDir);
        if (item == nullptr)
            return errno != 0 ? ErrnoStatus() : B_ENTRY_NOT_FOUND;
        if (strcmp(item->d_name, ".") == 0 || strcmp(item->d_name, "..") == 0)
            continue;
        std::string child = JoinPath(fPath, item->d_name);
        // A dangling link cannot be followed; it is handed out as the link.
        if (entry->SetTo(child.c_str(), traverse) != B_OK && traverse)
            entry->SetTo(child.c_str(), false);
        return entry->InitCheck();
    }
}

status_t BDirectory::GetNextRef(entry_ref* ref) {
    if (ref == nullptr)
        return B_BAD_VALUE;
    BEntry entry;
    status_t status = GetNextEntry(&entry, false);
    if (status != B_OK)
        return status;
    return entry.GetRef(ref);
}

status_t BDirectory::Rewind() {
    if (fStatus != B_OK)
        return fStatus;
    rewinddir(fDir);
    return B_OK;
}

int32 BDirectory::CountEntries() {
    if (fStatus != B_OK)
        return fStatus;
    rewinddir(fDir);
    int32 count = 0;
    while (struct dirent* item = readdir(fDir)) {
        if (strcmp(item->d_name, ".") != 0 && strcmp(item->d_name, "..") != 0)
            ++count;
    }
    rewinddir(fDir);
    return count;
}

status_t BDirectory::CreateDirectory(const char* path, BDirectory* dir) {
    if (fStatus != B_OK)
        return fStatus;
    if (path == nullptr || *path == '\0')
        return B_BAD_VALUE;
    std::string resolved;
    status_t status = ResolveEntryPath(Resolve(path), false, &resolved);
    if (status != B_OK)
        return status;
    if (mkdir(resolved.c_str(), 0777) != 0)
        return ErrnoStatus();
    return dir != nullptr ? dir->SetTo(resolved.c_str()) : B_OK;
}

status_t BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists) {
    if (fStatus != B_OK)
        return fStatus;
    if (path == nullptr || *path == '\0')
        return B_BAD_VALUE;
    uint32 mode =
        B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE | (failIfExists ? B_FAIL_IF_EXISTS : 0);
    BFile local;
    BFile* target = file != nullptr ? file : &local;
    return target->SetTo(Resolve(path).c_str(), mode);
}

status_t BDirectory::CreateSymLink(const char* path, const char* linkToPath, BSymLink* link) {
    if (fStatus != B_OK)
        return fStatus;
    if (path == nullptr || *path == '\0' || linkToPath == nullptr)
        return B_BAD_VALUE;
    std::string resolved;
    status_t status = ResolveEntryPath(Resolve(path), false, &resolved);
    if (status != B_OK)
        return status;
    if (symlink(linkToPath, resolved.c_str()) != 0)
        return ErrnoStatus();
    if (link == nullptr)
        return B_OK;
    BEntry entry(resolved.c_str());
    return link->SetTo(&entry);
}

status_t create_directory(const char* path, mode_t mode) {
    if (path == nullptr || *path == '\0')
        return B_BAD_VALUE;
    std::string absolute = NormalizeLexically(MakeAbsolute(path));
    struct stat st;
    if (stat(absolute.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? status_t(B_OK) : status_t(B_NOT_A_DIRECTORY);
    size_t pos = 1;
    while (pos <= absolute.size()) {
        size_t next = absolute.find('/', pos);
        if (next == std::string::npos)
            next = absolute.size();
        std::string partial = absolute.substr(0, next);
        if (mkdir(partial.c_str(), mode) != 0 && errno != EEXIST)
            return ErrnoStatus();
        pos = next + 1;
    }
    if (stat(absolute.c_str(), &st) != 0)
        return ErrnoStatus();
    return S_ISDIR(st.st_mode) ? status_t(B_OK) : status_t(B_NOT_A_DIRECTORY);
}
