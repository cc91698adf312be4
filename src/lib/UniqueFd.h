#pragma once

// An open file descriptor with one owner, closed when the owner lets it go. Closing keeps
// errno, so a failure's reason read after the descriptor went is still the failure's.

#include <unistd.h>

#include <cerrno>
#include <utility>

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fFd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fFd(std::exchange(other.fFd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fFd = std::exchange(other.fFd, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    // The descriptor, still owned here; -1 when none.
    int Get() const { return fFd; }
    bool IsOpen() const { return fFd >= 0; }
    // Gives the descriptor up to the caller, who closes it.
    int Release() { return std::exchange(fFd, -1); }
    void Reset() {
        if (fFd >= 0) {
            int saved = errno;
            close(fFd);
            errno = saved;
        }
        fFd = -1;
    }

private:
    int fFd = -1;
};
