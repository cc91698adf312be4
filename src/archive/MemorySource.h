#pragma once

// Archive bytes already in memory (not owned); used for small attribute values and tests.

#include "archive/ZipSource.h"

class MemorySource : public ZipSource {
public:
    MemorySource(const void* data, size_t size) : fData(data), fSize(size) {}
    off_t Size() const override { return static_cast<off_t>(fSize); }
    ssize_t ReadAt(off_t offset, void* buffer, size_t size) override;

private:
    const void* fData;
    size_t fSize;
};
