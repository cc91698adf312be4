#include "archive/FolderWalker.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

FolderHandle FolderWalker::Reach(const std::vector<std::string>& parts, size_t count, bool create,
                                 bool lastIsEntry, bool* made) {
    if (made != nullptr)
        *made = false;
    size_t common = 0;
    while (common < fOpen.size() && common < count && fOpen[common].name == parts[common])
        ++common;
    Release(common);
    for (size_t i = common; i < count; ++i) {
        int parent = i == 0 ? fRoot->fd : fOpen[i - 1].handle->fd;
        const char* name = parts[i].c_str();
        bool created = false;
        int fd = -1;
        if (create && mkdirat(parent, name, 0777) == 0)
            created = true;
        else if (create && errno != EEXIST)
            return nullptr;
        fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return nullptr;
        fOpen.push_back({parts[i], std::make_shared<FolderFd>(fd, true)});
        if (created && !(lastIsEntry && i + 1 == count) && fMade && !fMade(fd, parts, i + 1)) {
            errno = 0;
            return nullptr;
        }
        if (made != nullptr && i + 1 == count)
            *made = created;
    }
    return count == 0 ? fRoot : fOpen[count - 1].handle;
}
