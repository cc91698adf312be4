#pragma once

// One run per installation folder: an exclusive lock (flock) on a lock file beside the
// installation folder ("<destination>/.<folder>.tarnw-lock"). A second installer for the
// same place waits until the first has ended; the file goes when the holder lets go, so
// nothing is left behind. A waiter that finds the file it locked removed meanwhile takes
// the new one instead.
//
// The folder may be shared with other users, so the name is not trusted: a link, FIFO or
// device under it is refused at once (never opened), and a lock file of another user is
// waited on only briefly: a run of another user may hold it for as long as it likes.

#include <sys/types.h>

#include <functional>
#include <string>

class RunLock {
public:
    enum class Refusal {
        None,
        Stopped,  // `stop` said to give up
        NotAFile, // a link, FIFO, device or folder has the lock's name
        Foreign,  // another user's process holds it
        Failed    // the file could not be made or locked (the system's reason in Error())
    };

    RunLock() = default;
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Takes the lock. When another run of this user holds it, `waiting` is called once with
    // the holder's process id (0 when it cannot be told) and the lock is tried again every
    // tenth of a second until it is free or `stop` says to give up. False with Why() and
    // Error() when it was not taken.
    bool Acquire(const std::string& lockPath, const std::function<void(pid_t holder)>& waiting,
                 const std::function<bool()>& stop);
    // Removes the file and lets the next run in.
    void Release();
    bool Held() const { return fFd >= 0; }
    Refusal Why() const { return fRefusal; }
    // The process that held the lock when it was refused or waited for; 0 when unknown.
    pid_t Holder() const { return fHolder; }
    const std::string& Error() const { return fError; }

    // The process holding a flock on the file (device, inode), from /proc/locks; 0 when
    // none is found.
    static pid_t HolderOf(dev_t device, ino_t inode);

    // How long a lock of another user's is waited for before the run is refused.
    static constexpr int kForeignWaitTenths = 20;

private:
    bool Refuse(Refusal why, const std::string& error);

    int fFd = -1;
    std::string fPath;
    std::string fError;
    Refusal fRefusal = Refusal::None;
    pid_t fHolder = 0;
};
