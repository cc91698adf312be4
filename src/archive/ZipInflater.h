#pragma once

// Decodes the data of one ZIP entry (stored or deflate), read in place through a
// ZipSource, into a sink, and checks that it comes to exactly the declared size and
// CRC-32. Small entries are inflated in one call into a bounded buffer, larger ones
// streamed, so memory stays bounded whatever the entry's size. One inflater per thread:
// it keeps its buffers between entries; the directory and the source are only read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ZipDirectory.h"
#include "archive/ZipSource.h"

class ZipInflater {
public:
    // Receives the decoded bytes in order; false (errno set) stops the decoding.
    using Sink = bool (*)(void* context, const void* data, size_t size);

    ZipInflater();
    ~ZipInflater();
    ZipInflater(const ZipInflater&) = delete;
    ZipInflater& operator=(const ZipInflater&) = delete;

    // False with the reason in error when the entry is damaged or the sink fails.
    bool Decode(const ZipDirectory& directory, ZipSource& source, const ZipDirectory::Entry& entry,
                Sink sink, void* context, std::string& error);
    // The access time in the entry's local header, -1 when it has none.
    int64_t LocalAccessTime() const { return fLocalAccessTime; }

private:
    std::vector<unsigned char> fHead;
    std::vector<unsigned char> fIn;
    std::vector<unsigned char> fOut;
    std::vector<unsigned char> fLocalExtra;
    int64_t fLocalAccessTime = -1;
    void* fWhole = nullptr; // the whole-buffer inflater, made when first needed
};
