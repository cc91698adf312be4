#pragma once

// Where the bytes of a ZIP archive come from: anything that can be read at an offset.
// Payload entries are read in place from the installer file through this, so nothing
// is copied to a temporary archive first.

#include <sys/types.h>

#include <cstddef>

class ZipSource {
public:
    virtual ~ZipSource() = default;
    virtual off_t Size() const = 0;
    // Reads up to size bytes at offset (0 <= offset); returns the number read, 0 at the
    // end, or -1 on an error.
    virtual ssize_t ReadAt(off_t offset, void* buffer, size_t size) = 0;
};
