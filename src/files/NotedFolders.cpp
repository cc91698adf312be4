#include "files/NotedFolders.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether `path` is `folder` or lies below it.
bool Within(const std::string& path, const std::string& folder) {
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

// The names of `path` below `folder` ("a", "b" for "/x/a/b" below "/x").
std::vector<std::string> NamesBelow(const std::string& path, const std::string& folder) {
    std::vector<std::string> names;
    if (path.size() <= folder.size())
        return names;
    size_t start = folder.size() + 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

void NotedFolders::Note(const std::string& path, uint64_t device, uint64_t inode) {
    fFolders[path] = {device, inode};
}

void NotedFolders::Forget(const std::string& path) {
    std::erase_if(fFolders, [&](const auto& noted) { return Within(noted.first, path); });
}

bool NotedFolders::Replaced(const std::string& path, const struct stat& info) const {
    auto noted = fFolders.find(path);
    return noted != fFolders.end() &&
           (!S_ISDIR(info.st_mode) || uint64_t(info.st_dev) != noted->second.first ||
            uint64_t(info.st_ino) != noted->second.second);
}

int NotedFolders::Open(const std::string& path, int flags, bool make, std::string& replaced) const {
    flags |= O_DIRECTORY | O_CLOEXEC;
    const std::pair<const std::string, std::pair<uint64_t, uint64_t>>* noted = nullptr;
    for (const auto& folder : fFolders) {
        if (Within(path, folder.first) &&
            (noted == nullptr || folder.first.size() > noted->first.size()))
            noted = &folder;
    }
    if (noted == nullptr) {
        if (make) {
            struct stat info;
            std::string parent = ParentOf(path);
            if (parent != "/" && lstat(parent.c_str(), &info) != 0) {
                int above = Open(parent, O_PATH, true, replaced);
                if (above < 0)
                    return -1;
                close(above);
            }
            mkdir(path.c_str(), 0775);
        }
        return open(path.c_str(), flags);
    }
    auto refuse = [&](const std::string& folder) {
        replaced = folder;
        errno = EXDEV;
        return -1;
    };
    int fd = open(noted->first.c_str(), flags | O_NOFOLLOW);
    if (fd < 0)
        return errno == ENOENT ? -1 : refuse(noted->first);
    struct stat info;
    if (fstat(fd, &info) != 0 || uint64_t(info.st_dev) != noted->second.first ||
        uint64_t(info.st_ino) != noted->second.second) {
        close(fd);
        return refuse(noted->first);
    }
    std::string reached = noted->first;
    for (const std::string& name : NamesBelow(path, noted->first)) {
        reached += "/" + name;
        int next = openat(fd, name.c_str(), flags | O_NOFOLLOW);
        if (next < 0 && errno == ENOENT && make) {
            mkdirat(fd, name.c_str(), 0775);
            next = openat(fd, name.c_str(), flags | O_NOFOLLOW);
        }
        int error = errno;
        close(fd);
        if (next < 0) {
            if (error != ENOENT)
                return refuse(reached);
            errno = ENOENT;
            return -1;
        }
        fd = next;
    }
    return fd;
}

std::vector<std::string> NotedFolders::ReplacedNow() const {
    std::vector<std::string> found;
    for (const auto& [path, identity] : fFolders) {
        int fd = open(path.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            if (errno != ENOENT)
                found.push_back(path);
            continue;
        }
        struct stat info;
        if (fstat(fd, &info) != 0 || uint64_t(info.st_dev) != identity.first ||
            uint64_t(info.st_ino) != identity.second)
            found.push_back(path);
        close(fd);
    }
    return found;
}
