#include "files/OwnFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace ownfile {

Verdict Judge(const struct stat& info) {
    if (!S_ISREG(info.st_mode))
        return Verdict::NotAFile;
    if (info.st_uid != geteuid())
        return Verdict::Foreign;
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return Verdict::Shared;
    return Verdict::Own;
}

int Open(const std::string& path, int flags, Verdict& verdict) {
    struct stat named;
    if (lstat(path.c_str(), &named) != 0) {
        verdict = errno == ENOENT ? Verdict::Missing : Verdict::Unreadable;
        return -1;
    }
    // A device is never opened: opening some of them already does something.
    verdict = Judge(named);
    if (verdict != Verdict::Own)
        return -1;
    int fd = open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        verdict = errno == ENOENT  ? Verdict::Missing
                  : errno == ELOOP ? Verdict::NotAFile
                                   : Verdict::Unreadable;
        return -1;
    }
    struct stat opened;
    if (fstat(fd, &opened) != 0) {
        verdict = Verdict::Unreadable;
    } else {
        verdict = Judge(opened);
        if (verdict == Verdict::Own &&
            (opened.st_dev != named.st_dev || opened.st_ino != named.st_ino))
            verdict = Verdict::NotAFile;
    }
    if (verdict != Verdict::Own) {
        int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    // Reads of a regular file never block; the flag only kept the opening from waiting.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string Describe(Verdict verdict, const std::string& path) {
    switch (verdict) {
    case Verdict::Own:
        return path + " is this user's own file";
    case Verdict::Missing:
        return path + " is not there";
    case Verdict::NotAFile:
        return path + " is no regular file (a link, FIFO, device or folder)";
    case Verdict::Foreign:
        return path + " belongs to another user";
    case Verdict::Shared:
        return path + " may be changed by other users";
    case Verdict::Unreadable:
        return path + " cannot be read: " + std::strerror(errno);
    }
    return path;
}

bool ReadAll(const std::string& path, size_t limit, std::string& bytes, Verdict& verdict,
             std::string& error) {
    bytes.clear();
    int fd = Open(path, O_RDONLY, verdict);
    if (fd < 0) {
        error = Describe(verdict, path);
        return false;
    }
    char buffer[65536];
    while (true) {
        ssize_t got = read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            verdict = Verdict::Unreadable;
            error = Describe(verdict, path);
            close(fd);
            return false;
        }
        if (got == 0)
            break;
        bytes.append(buffer, size_t(got));
        if (bytes.size() > limit) {
            close(fd);
            verdict = Verdict::Own;
            error = path + " is too large to be one of this installer's files";
            return false;
        }
    }
    close(fd);
    return true;
}

} // namespace ownfile
