#include <errno.h>
#include <string.h>
#include <unistd.h>

#include "archive/FileRegionSource.h"
#include "archive/MemorySource.h"

FileRegionSource::FileRegionSource(int fd, off_t start, off_t size)
    : fFd(fd), fStart(start), fSize(size < 0 ? 0 : size) {}

ssize_t FileRegionSource::ReadAt(off_t offset, void* buffer, size_t size) {
    if (offset < 0)
        return -1;
    if (offset >= fSize)
        return 0;
    if (static_cast<off_t>(size) > fSize - offset)
        size = static_cast<size_t>(fSize - offset);
    size_t done = 0;
    while (done < size) {
        ssize_t n = pread(fFd, static_cast<char*>(buffer) + done, size - done,
                          fStart + offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done > 0 ? static_cast<ssize_t>(done) : -1;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

ssize_t MemorySource::ReadAt(off_t offset, void* buffer, size_t size) {
    if (offset < 0)
        return -1;
    if (static_cast<size_t>(offset) >= fSize)
        return 0;
    size_t available = fSize - static_cast<size_t>(offset);
    if (size > available)
        size = available;
    memcpy(buffer, static_cast<const char*>(fData) + offset, size);
    return static_cast<ssize_t>(size);
}
