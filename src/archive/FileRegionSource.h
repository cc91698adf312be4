#pragma once

// A region of an open file (not owned): the bytes [start, start + size).

#include "archive/ZipSource.h"

class FileRegionSource : public ZipSource {
public:
    FileRegionSource(int fd, off_t start, off_t size);
    off_t Size() const override { return fSize; }
    ssize_t ReadAt(off_t offset, void* buffer, size_t size) override;

private:
    int fFd;
    off_t fStart;
    off_t fSize;
};
