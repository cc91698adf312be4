#pragma once

// Reads the central directory of a ZIP archive through a ZipSource, entry by entry,
// with Zip64 records for sizes and offsets beyond 4 GiB and with data before the archive
// (as in a self-extracting file) allowed. Every length and offset comes from hostile
// bytes and is checked against the source's size before it is used.

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ZipSource.h"

class ZipDirectory {
public:
    struct Entry {
        std::string name;
        std::vector<unsigned char> extra; // the central directory's extra field
        unsigned madeBy = 0;
        unsigned flags = 0;
        unsigned method = 0;
        uint32_t dosTime = 0; // date in the high half, time in the low half
        uint32_t crc = 0;
        uint64_t compressedSize = 0;
        uint64_t size = 0;
        uint32_t externalAttributes = 0;
        uint64_t localHeader = 0; // offset in the source
        uint64_t central = 0;     // offset of its directory record in the source
    };

    explicit ZipDirectory(ZipSource& source) : fSource(source) {}

    // Finds the end records; false with Error() when there is no valid directory.
    bool Open();
    uint64_t Count() const { return fCount; }
    // Goes back to the first entry.
    void Rewind();
    // Reads the next entry; false at the end (Error() empty) or on damage.
    bool Next(Entry& entry);
    // Locates the entry's data; reads the local header's extra field into localExtra.
    bool DataOffset(const Entry& entry, uint64_t& offset, std::vector<unsigned char>& localExtra);
    // The same for any thread: reads only through the source (positioned reads) and
    // leaves the directory as it is. The local header and up to prefetch bytes of the
    // data are read in one go into head: the data's first dataInHead bytes start at
    // head[dataStart]; offset is where the data begins in the source.
    bool LocateData(const Entry& entry, size_t prefetch, std::vector<unsigned char>& head,
                    size_t& dataStart, size_t& dataInHead, uint64_t& offset,
                    std::vector<unsigned char>& localExtra, std::string& error) const;

    const std::string& Error() const { return fError; }

private:
    bool ReadDirect(uint64_t offset, void* buffer, size_t size) const;
    bool Read(uint64_t offset, void* buffer, size_t size, bool direct = false);
    bool Fail(const std::string& reason);

    ZipSource& fSource;
    uint64_t fSize = 0;
    uint64_t fPrefix = 0;
    uint64_t fStart = 0;
    uint64_t fEnd = 0;
    uint64_t fCount = 0;
    uint64_t fPosition = 0;
    uint64_t fIndex = 0;
    std::string fError;
    std::vector<unsigned char> fWindow;
    uint64_t fWindowStart = 0;
    // The window holds the whole archive (a small one), so entries are read from memory.
    bool fHeld = false;
};
