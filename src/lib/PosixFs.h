#pragma once

// Small file-system helpers on plain system calls, shared by the archive code and the
// file operations. None of them follows a symbolic link it finds inside a tree.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace posixfs {

// A descriptor this object closes; -1 when opening failed (errno tells why). Closing
// keeps errno, so a failure's reason read after the descriptor went is still the failure's.
class OwnedFd {
public:
    OwnedFd() = default;
    explicit OwnedFd(int fd) : fFd(fd) {}
    ~OwnedFd() { Reset(); }
    OwnedFd(OwnedFd&& other) noexcept : fFd(std::exchange(other.fFd, -1)) {}
    OwnedFd& operator=(OwnedFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fFd = std::exchange(other.fFd, -1);
        }
        return *this;
    }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;

    int Get() const { return fFd; }
    bool IsOpen() const { return fFd >= 0; }
    // Gives the descriptor up to the caller, who closes it.
    int Release() { return std::exchange(fFd, -1); }
    void Reset();

private:
    int fFd = -1;
};

// Writes all of data, retrying short writes. False with errno set on failure.
bool WriteAll(int fd, const void* data, size_t size);
// Reads exactly size bytes at offset, retrying short reads. False at the end of the file
// or on an error.
bool ReadAllAt(int fd, void* data, size_t size, uint64_t offset);

// Removes name (relative to dirFd) and, for a folder, everything below it. Links are
// removed, never followed. True when nothing is left under name.
bool RemoveTreeAt(int dirFd, const char* name);
// Makes the names in folder durable (a file renamed into it), not only their contents.
void SyncFolder(const std::string& folder);
bool RemoveTree(const char* path);

// Writes to the disk everything cached for the file systems that hold `paths` (each
// volume once, through the nearest folder of a path that exists): syncfs, so that a power
// cut after it loses nothing written before. False with *error naming the volume and the
// system's reason when one of them could not be written.
bool SyncVolumesOf(const std::vector<std::string>& paths, std::string* error);
// The same for one file: its data and its entry in its folder.
bool SyncFileAndFolder(const std::string& path);

// A hidden name for a file being written, unique in this process and very unlikely to
// collide with another's: ".tarnw-<pid>-<counter>-<random>".
std::string TemporaryLeaf(const char* tag = "part");

// Splits path into its folder and leaf ("a/b/" gives "a" and "b"; "b" gives "." and
// "b"). False when the leaf would be empty, "." or "..".
bool SplitParentLeaf(const std::string& path, std::string& parent, std::string& leaf);

// The value of the attribute `name` of the entry `leaf` in the folder dirFd, not following
// a link: its size, or -1 with errno (ERANGE when value is too small). `path` names the
// same entry for kernels that cannot read an attribute relative to a folder (before 6.13).
ssize_t GetAttributeAt(int dirFd, const char* leaf, const char* path, const char* name, void* value,
                       size_t size);

// Seconds since the epoch to a timespec pair for futimens/utimensat.
void FillTimes(struct timespec times[2], int64_t accessed, int64_t modified);

} // namespace posixfs
