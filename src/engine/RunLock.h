#pragma once

// One run per installation folder: an exclusive lock (flock) on a lock file beside the
// installation folder ("<destination>/.<folder>.tarnw-lock"). A second installer for the
// same place waits until the first has ended, whoever the user; the file goes when the
// holder lets go, so nothing is left behind. A waiter that finds the file it locked
// removed meanwhile takes the new one instead.

#include <functional>
#include <string>

class RunLock {
public:
    RunLock() = default;
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Takes the lock. When another run holds it, `waiting` is called once and the lock is
    // tried again every tenth of a second until it is free or `stop` says to give up.
    // False with Error() when the lock file cannot be made or the wait was given up.
    bool Acquire(const std::string& lockPath, const std::function<void()>& waiting,
                 const std::function<bool()>& stop);
    // Removes the file and lets the next run in.
    void Release();
    bool Held() const { return fFd >= 0; }
    const std::string& Error() const { return fError; }

private:
    int fFd = -1;
    std::string fPath;
    std::string fError;
};
