#include "engine/RunLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

RunLock::~RunLock() {
    Release();
}

bool RunLock::Acquire(const std::string& lockPath, const std::function<void()>& waiting,
                      const std::function<bool()>& stop) {
    Release();
    fError.clear();
    bool told = false;
    while (true) {
        int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            fError = "cannot make the lock file " + lockPath + ": " + std::strerror(errno);
            return false;
        }
        while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                fError = "cannot lock " + lockPath + ": " + std::strerror(errno);
                close(fd);
                return false;
            }
            if (!told && waiting)
                waiting();
            told = true;
            if (stop && stop()) {
                fError = "the wait for " + lockPath + " was given up";
                close(fd);
                return false;
            }
            usleep(100000);
        }
        // The holder before us removes the file as it lets go: the lock we got may be on a
        // file that is no longer there, and the next run would lock a new one beside us.
        struct stat held, named;
        if (fstat(fd, &held) == 0 && stat(lockPath.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            fFd = fd;
            fPath = lockPath;
            return true;
        }
        close(fd);
    }
}

void RunLock::Release() {
    if (fFd < 0)
        return;
    unlink(fPath.c_str());
    close(fFd);
    fFd = -1;
}
