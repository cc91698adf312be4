#include "engine/RunLock.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "files/OwnFile.h"

RunLock::~RunLock() {
    Release();
}

bool RunLock::Refuse(Refusal why, const std::string& error) {
    fRefusal = why;
    fError = error;
    return false;
}

pid_t RunLock::HolderOf(dev_t device, ino_t inode) {
    // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; a waiter's line starts "1: ->".
    std::ifstream locks("/proc/locks");
    char wanted[64];
    std::snprintf(wanted, sizeof wanted, "%02x:%02x:%llu", major(device), minor(device),
                  static_cast<unsigned long long>(inode));
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, file;
        if (!(fields >> number >> kind) || kind != "FLOCK")
            continue;
        if (!(fields >> mode >> access >> pid >> file) || file != wanted)
            continue;
        return pid_t(std::atol(pid.c_str()));
    }
    return 0;
}

bool RunLock::Acquire(const std::string& lockPath, const std::function<void(pid_t)>& waiting,
                      const std::function<bool()>& stop) {
    Release();
    fError.clear();
    fRefusal = Refusal::None;
    fHolder = 0;
    bool told = false;
    int foreignTenths = 0;
    while (true) {
        // Nothing but a regular file is ever opened under the lock's name.
        struct stat named;
        if (lstat(lockPath.c_str(), &named) == 0 && !S_ISREG(named.st_mode))
            return Refuse(Refusal::NotAFile,
                          ownfile::Describe(ownfile::Verdict::NotAFile, lockPath));
        // An existing file is opened as it is, a missing one made exclusively: an O_CREAT
        // open of another user's file in a shared sticky folder is refused by the kernel
        // (protected_regular), even to root.
        const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
        int fd = open(lockPath.c_str(), flags);
        bool created = false;
        if (fd < 0 && errno == ENOENT) {
            fd = open(lockPath.c_str(), flags | O_CREAT | O_EXCL, 0600);
            if (fd < 0 && errno == EEXIST)
                continue;
            created = fd >= 0;
        }
        if (fd < 0) {
            if (errno == ELOOP || errno == ENXIO || errno == EISDIR)
                return Refuse(Refusal::NotAFile,
                              ownfile::Describe(ownfile::Verdict::NotAFile, lockPath));
            return Refuse(Refusal::Failed,
                          "cannot make the lock file " + lockPath + ": " + std::strerror(errno));
        }
        struct stat held;
        if (fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            close(fd);
            return Refuse(Refusal::NotAFile,
                          ownfile::Describe(ownfile::Verdict::NotAFile, lockPath));
        }
        // A file this run has just made is its own even where the volume shows every file
        // as writable by all (FAT and exFAT keep no modes): replacing it would only make the
        // same again, for ever.
        bool own = created || ownfile::Judge(held) == ownfile::Verdict::Own;
        while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                std::string reason = std::strerror(errno);
                close(fd);
                return Refuse(Refusal::Failed, "cannot lock " + lockPath + ": " + reason);
            }
            if (fHolder == 0)
                fHolder = HolderOf(held.st_dev, held.st_ino);
            if (!own && ++foreignTenths > kForeignWaitTenths) {
                close(fd);
                return Refuse(Refusal::Foreign,
                              "the lock " + lockPath + " is held by a process of another user" +
                                  (fHolder != 0 ? " (" + std::to_string(fHolder) + ")" : ""));
            }
            if (!told && waiting)
                waiting(fHolder);
            told = true;
            if (stop && stop()) {
                close(fd);
                return Refuse(Refusal::Stopped, "the wait for " + lockPath + " was given up");
            }
            usleep(100000);
        }
        if (!own) {
            // Nobody holds another user's file: it goes, and this run makes its own. Taking
            // it as it is would leave its owner able to swap it while this run believes it
            // holds the lock.
            bool removed = unlink(lockPath.c_str()) == 0 || errno == ENOENT;
            std::string reason = std::strerror(errno);
            close(fd);
            if (!removed)
                return Refuse(Refusal::Foreign, "the lock file " + lockPath +
                                                    " belongs to another user and cannot be "
                                                    "replaced: " +
                                                    reason);
            continue;
        }
        // The holder before us removes the file as it lets go: the lock we got may be on a
        // file that is no longer there, and the next run would lock a new one beside us.
        if (lstat(lockPath.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            fFd = fd;
            fPath = lockPath;
            fHolder = 0;
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
