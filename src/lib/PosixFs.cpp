#include "lib/PosixFs.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string_view>
#include <vector>

namespace posixfs {

void OwnedFd::Reset() {
    if (fFd >= 0) {
        int saved = errno;
        close(fFd);
        errno = saved;
    }
    fFd = -1;
}

namespace {

// getxattrat(2), Linux 6.13; the C library does not wrap it yet. Its number is the same on
// every architecture that shares the common system call table.
#if defined(__NR_getxattrat)
constexpr long kGetAttributeAt = __NR_getxattrat;
#elif defined(__x86_64__) || defined(__aarch64__)
constexpr long kGetAttributeAt = 464;
#else
constexpr long kGetAttributeAt = -1;
#endif

struct AttributeArguments {
    uint64_t value;
    uint32_t size;
    uint32_t flags;
};

// Cleared at the first sign that this kernel has no getxattrat.
std::atomic<bool> gHasGetAttributeAt{kGetAttributeAt >= 0};

} // namespace

bool ReadAllAt(int fd, void* data, size_t size, uint64_t offset) {
    size_t done = 0;
    while (done < size) {
        ssize_t got = pread(fd, static_cast<char*>(data) + done, size - done,
                            static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += size_t(got);
    }
    return true;
}

bool WriteAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

static bool RemoveChildren(int dirFd) {
    DIR* dir = fdopendir(dirFd);
    if (dir == nullptr) {
        close(dirFd);
        return false;
    }
    // Names are collected first: removing while reading a directory can skip entries.
    std::vector<std::string> names;
    while (struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        names.emplace_back(name);
    }
    bool ok = true;
    for (const std::string& name : names)
        ok = RemoveTreeAt(dirfd(dir), name.c_str()) && ok;
    closedir(dir);
    return ok;
}

bool RemoveTreeAt(int dirFd, const char* name) {
    struct stat st;
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(st.st_mode))
        return unlinkat(dirFd, name, 0) == 0 || errno == ENOENT;
    int fd = openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // A folder we may not read: make it readable if it is ours, then try again.
        if (errno != EACCES || fchmodat(dirFd, name, 0700, 0) != 0)
            return false;
        fd = openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return false;
    }
    if ((st.st_mode & 0700) != 0700)
        fchmod(fd, (st.st_mode & 07777) | 0700);
    bool ok = RemoveChildren(fd);
    return unlinkat(dirFd, name, AT_REMOVEDIR) == 0 ? true : (errno == ENOENT && ok);
}

bool RemoveTree(const char* path) {
    std::string parent, leaf;
    if (!SplitParentLeaf(path, parent, leaf))
        return false;
    int dirFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return errno == ENOENT;
    bool ok = RemoveTreeAt(dirFd, leaf.c_str());
    close(dirFd);
    return ok;
}

std::string TemporaryLeaf(const char* tag) {
    static std::atomic<unsigned> counter{0};
    // Asked once: the counter and the random part keep names apart even in a child that
    // inherited the number.
    static const int pid = static_cast<int>(getpid());
    thread_local std::mt19937 random{std::random_device{}()};
    char buffer[96];
    snprintf(buffer, sizeof(buffer), ".tarnw-%s-%d-%u-%08x", tag, pid, ++counter,
             static_cast<unsigned>(random()));
    return buffer;
}

bool SplitParentLeaf(const std::string& path, std::string& parent, std::string& leaf) {
    size_t length = path.size();
    while (length > 1 && path[length - 1] == '/')
        --length;
    std::string_view p(path.data(), length);
    size_t slash = p.rfind('/');
    if (slash == std::string_view::npos) {
        parent = ".";
        leaf.assign(p);
    } else {
        parent.assign(slash == 0 ? std::string_view("/") : p.substr(0, slash));
        leaf.assign(p.substr(slash + 1));
    }
    return !leaf.empty() && leaf != "." && leaf != ".." && leaf != "/";
}

ssize_t GetAttributeAt(int dirFd, const char* leaf, const char* path, const char* name, void* value,
                       size_t size) {
    if (gHasGetAttributeAt.load(std::memory_order_relaxed)) {
        AttributeArguments arguments{reinterpret_cast<uintptr_t>(value),
                                     uint32_t(std::min<size_t>(size, UINT32_MAX)), 0};
        long got = syscall(kGetAttributeAt, dirFd, leaf, AT_SYMLINK_NOFOLLOW, name, &arguments,
                           sizeof arguments);
        if (got >= 0)
            return ssize_t(got);
        if (errno == ENOSYS)
            gHasGetAttributeAt.store(false, std::memory_order_relaxed);
        // A sandbox's filter may refuse a call it does not know (EPERM) and an older
        // interface may reject the arguments (EINVAL): the path still answers.
        else if (errno != EPERM && errno != EINVAL)
            return -1;
    }
    return lgetxattr(path, name, value, size);
}

void FillTimes(struct timespec times[2], int64_t accessed, int64_t modified) {
    times[0].tv_sec = static_cast<time_t>(accessed);
    times[0].tv_nsec = 0;
    times[1].tv_sec = static_cast<time_t>(modified);
    times[1].tv_nsec = 0;
}

void SyncFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

bool SyncVolumesOf(const std::vector<std::string>& paths, std::string* error) {
    std::set<dev_t> done;
    bool synced = true;
    for (const std::string& path : paths) {
        // The entry itself when it is a file or folder, else the nearest folder that exists:
        // an entry may be gone again (moved back, held). Folders above it are followed, as
        // its path came that way: /proc/self/fd/N is a link to the folder it names, and not
        // following it would sync /proc instead.
        std::string folder = path;
        struct stat st;
        int fd = -1;
        if (lstat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
            fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        while (fd < 0 && !folder.empty()) {
            // The entry itself, when a link, is on its folder's volume, not its target's.
            fd = open(folder.c_str(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC | (folder == path ? O_NOFOLLOW : 0));
            if (fd >= 0)
                break;
            size_t slash = folder.rfind('/');
            folder = slash == std::string::npos || folder == "/" ? std::string()
                     : slash == 0                                ? std::string("/")
                                                                 : folder.substr(0, slash);
        }
        if (fd < 0)
            continue;
        if (fstat(fd, &st) == 0 && done.insert(st.st_dev).second && syncfs(fd) != 0) {
            if (error != nullptr && synced)
                *error = "cannot write the volume of " + folder +
                         " to its disk: " + std::strerror(errno);
            synced = false;
        }
        close(fd);
    }
    return synced;
}

bool SyncFileAndFolder(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    bool synced = fsync(fd) == 0;
    close(fd);
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return false;
    synced = fsync(dirFd) == 0 && synced;
    close(dirFd);
    return synced;
}

} // namespace posixfs
