#include "deinstall/FolderCursor.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/NotedFolders.h"
#include "lib/PosixFs.h"

namespace {

// Past this many lookups in one folder, reading the folder once costs less than looking
// each entry up; below it, a large folder holding a few of the entries is not read whole.
const int kLookupsBeforeListing = 8;

} // namespace

int FolderCursor::FolderOf(const std::string& path, const char*& leaf) {
    size_t slash = path.rfind('/');
    leaf = slash == std::string::npos ? path.c_str() : path.c_str() + slash + 1;
    std::string_view folder = slash == std::string::npos ? std::string_view(".")
                              : slash == 0               ? std::string_view("/")
                                                         : std::string_view(path.data(), slash);
    // A folder that cannot be opened is not tried again for each of its entries.
    if (!fOpened || folder != fFolder) {
        Close();
        fOpened = true;
        fFolder.assign(folder);
        // O_PATH: looking up and removing entries needs no read permission on the folder.
        std::string replaced;
        fFd = fNoted != nullptr ? fNoted->Open(fFolder, O_PATH, false, replaced)
                                : open(fFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        fError = fFd < 0 ? errno : 0;
    }
    errno = fError;
    return fFd;
}

bool FolderCursor::KindOf(const std::string& path, mode_t& kind) {
    const char* leaf = nullptr;
    int folder = FolderOf(path, leaf);
    if (folder < 0)
        return false;
    if (!fListed && ++fLookups == kLookupsBeforeListing)
        fListed = List();
    if (fListed) {
        std::string_view name(leaf);
        auto found = std::lower_bound(
            fEntries.begin(), fEntries.end(), name,
            [](const auto& entry, std::string_view wanted) { return entry.first < wanted; });
        if (found == fEntries.end() || found->first != name) {
            errno = ENOENT;
            return false;
        }
        // Some file systems do not give the kind in a listing: a look at the entry does.
        if (found->second != DT_UNKNOWN) {
            kind = DTTOIF(found->second);
            return true;
        }
    }
    struct stat info;
    if (fstatat(folder, leaf, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    kind = info.st_mode & S_IFMT;
    return true;
}

ssize_t FolderCursor::ReadAttribute(const std::string& path, const char* name, void* value,
                                    size_t size) {
    const char* leaf = nullptr;
    int folder = FolderOf(path, leaf);
    if (folder < 0)
        return -1;
    return posixfs::GetAttributeAt(folder, leaf, path.c_str(), name, value, size);
}

bool FolderCursor::Remove(const std::string& path, int flags) {
    const char* leaf = nullptr;
    int folder = FolderOf(path, leaf);
    if (folder < 0)
        return false;
    // The listing no longer tells what is there.
    fListed = false;
    fLookups = 0;
    return unlinkat(folder, leaf, flags) == 0;
}

bool FolderCursor::List() {
    fEntries.clear();
    int fd = openat(fFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return false;
    }
    errno = 0;
    while (dirent* entry = readdir(dir))
        fEntries.emplace_back(entry->d_name, entry->d_type);
    bool complete = errno == 0;
    closedir(dir);
    if (!complete)
        return false;
    std::sort(fEntries.begin(), fEntries.end());
    return true;
}

void FolderCursor::Close() {
    if (fFd >= 0)
        close(fFd);
    fFd = -1;
    fOpened = false;
    fFolder.clear();
    fLookups = 0;
    fListed = false;
    fEntries.clear();
}
