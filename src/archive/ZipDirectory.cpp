#include "archive/ZipDirectory.h"

#include <string.h>

#include <algorithm>

namespace {

constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kZip64EndSignature = 0x06064b50;
constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr size_t kEndSize = 22;
constexpr size_t kCentralSize = 46;
constexpr size_t kLocalSize = 30;
constexpr size_t kWindow = 64 * 1024;

uint16_t Get16(const unsigned char* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t Get32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint64_t Get64(const unsigned char* p) {
    return Get32(p) | uint64_t(Get32(p + 4)) << 32;
}

} // namespace

bool ZipDirectory::Fail(const std::string& reason) {
    if (fError.empty())
        fError = reason;
    return false;
}

bool ZipDirectory::Read(uint64_t offset, void* buffer, size_t size, bool direct) {
    if (offset > fSize || size > fSize - offset)
        return false;
    // Empty names and extra fields have no buffer to copy into or from.
    if (size == 0)
        return true;
    // The directory is read front to back in small pieces; keep a window of it.
    if (!direct && size <= kWindow) {
        if (fWindow.empty() || offset < fWindowStart ||
            offset + size > fWindowStart + fWindow.size()) {
            size_t length = static_cast<size_t>(std::min<uint64_t>(kWindow, fSize - offset));
            fWindow.resize(length);
            ssize_t n = fSource.ReadAt(static_cast<off_t>(offset), fWindow.data(), length);
            if (n != static_cast<ssize_t>(length)) {
                fWindow.clear();
                return false;
            }
            fWindowStart = offset;
        }
        memcpy(buffer, fWindow.data() + (offset - fWindowStart), size);
        return true;
    }
    return ReadDirect(offset, buffer, size);
}

bool ZipDirectory::Open() {
    fError.clear();
    fWindow.clear();
    fHeld = false;
    off_t size = fSource.Size();
    fSize = size < 0 ? 0 : static_cast<uint64_t>(size);
    if (fSize < kEndSize)
        return Fail("the data is not a ZIP archive");

    // The end record is in the last 22 + 65535 bytes; the last one that fits wins.
    size_t tail = static_cast<size_t>(std::min<uint64_t>(fSize, kEndSize + 65535));
    std::vector<unsigned char> bytes(tail);
    uint64_t tailStart = fSize - tail;
    if (!Read(tailStart, bytes.data(), tail))
        return Fail("the archive cannot be read");
    fHeld = fWindowStart == 0 && fWindow.size() == fSize;
    // The end record's comment must reach exactly to the end of the archive. A comment
    // holding another archive has an end record of its own that also ends there: such an
    // archive means two things to two readers, and is refused.
    // Every candidate starts with the signature's first byte, 'P': the search jumps from
    // one to the next instead of testing every position of an archive of many small items.
    size_t at = 0;
    size_t found = 0;
    for (size_t before = tail - kEndSize + 1; before > 0;) {
        const void* hit = memrchr(bytes.data(), kEndSignature & 0xff, before);
        if (hit == nullptr)
            break;
        size_t candidate = size_t(static_cast<const unsigned char*>(hit) - bytes.data());
        before = candidate;
        const unsigned char* p = bytes.data() + candidate;
        if (Get32(p) == kEndSignature && candidate + kEndSize + Get16(p + 20) == tail) {
            if (found++ == 0)
                at = candidate;
            else
                return Fail("the archive's comment holds another archive");
        }
    }
    if (found == 0)
        return Fail("the data is not a ZIP archive");
    for (size_t i = at + kEndSize; i + 4 <= tail; ++i) {
        if (Get32(bytes.data() + i) == kEndSignature)
            return Fail("the archive's comment holds another archive");
    }
    const unsigned char* end = bytes.data() + at;
    uint64_t endOffset = tailStart + at;
    if (Get16(end + 4) != 0 || Get16(end + 6) != 0)
        return Fail("archives split over several disks are not supported");
    uint64_t count = Get16(end + 10);
    uint64_t length = Get32(end + 12);
    uint64_t start = Get32(end + 16);
    uint64_t recordOffset = endOffset;

    // Zip64: a locator just before the end record points to the Zip64 end record.
    unsigned char locator[20];
    if (endOffset >= 20 && Read(endOffset - 20, locator, 20) &&
        Get32(locator) == kZip64LocatorSignature) {
        uint64_t zip64Offset = Get64(locator + 8);
        unsigned char record[56];
        // With data before the archive the offset is off by the prefix; the record sits
        // right before the locator in either case.
        uint64_t expected = endOffset >= 20 + 56 ? endOffset - 20 - 56 : 0;
        bool ok = Read(zip64Offset, record, 56) && Get32(record) == kZip64EndSignature;
        if (!ok && Read(expected, record, 56) && Get32(record) == kZip64EndSignature) {
            zip64Offset = expected;
            ok = true;
        }
        if (!ok)
            return Fail("the archive's Zip64 directory record is damaged");
        count = Get64(record + 32);
        length = Get64(record + 40);
        start = Get64(record + 48);
        recordOffset = zip64Offset;
    }
    if (length > recordOffset || start > recordOffset - length)
        return Fail("the archive's directory lies outside the archive");
    fPrefix = recordOffset - length - start;
    fStart = start + fPrefix;
    fEnd = fStart + length;
    // Every entry takes at least 46 bytes of the directory.
    if (count > length / kCentralSize)
        return Fail("the archive's directory is damaged");
    fCount = count;
    Rewind();
    return true;
}

void ZipDirectory::Rewind() {
    fPosition = fStart;
    fIndex = 0;
}

bool ZipDirectory::Next(Entry& entry) {
    if (fIndex >= fCount) {
        // A count that disagrees with the directory's size would hide entries.
        if (fPosition != fEnd)
            return Fail("the archive's directory holds more entries than its end record says");
        return false;
    }
    unsigned char h[kCentralSize];
    if (fPosition > fEnd || fEnd - fPosition < kCentralSize || !Read(fPosition, h, kCentralSize) ||
        Get32(h) != kCentralSignature)
        return Fail("the archive's directory is damaged");
    size_t nameLength = Get16(h + 28), extraLength = Get16(h + 30), commentLength = Get16(h + 32);
    uint64_t total = kCentralSize + nameLength + extraLength + commentLength;
    if (fEnd - fPosition < total)
        return Fail("the archive's directory is damaged");
    entry = Entry();
    entry.central = fPosition;
    entry.madeBy = Get16(h + 4);
    entry.flags = Get16(h + 8);
    entry.method = Get16(h + 10);
    entry.dosTime = uint32_t(Get16(h + 14)) << 16 | Get16(h + 12);
    entry.crc = Get32(h + 16);
    entry.compressedSize = Get32(h + 20);
    entry.size = Get32(h + 24);
    unsigned disk = Get16(h + 34);
    entry.externalAttributes = Get32(h + 38);
    entry.localHeader = Get32(h + 42);
    entry.name.resize(nameLength);
    entry.extra.resize(extraLength);
    if (!Read(fPosition + kCentralSize, entry.name.data(), nameLength) ||
        !Read(fPosition + kCentralSize + nameLength, entry.extra.data(), extraLength))
        return Fail("the archive's directory cannot be read");

    // Fields that did not fit carry 0xFFFFFFFF and continue, in this order, in the
    // Zip64 extra record.
    bool needSize = entry.size == 0xffffffffu, needCompressed = entry.compressedSize == 0xffffffffu;
    bool needOffset = entry.localHeader == 0xffffffffu, needDisk = disk == 0xffff;
    if (needSize || needCompressed || needOffset || needDisk) {
        const unsigned char* p = entry.extra.data();
        size_t at = 0;
        bool found = false;
        while (!found && extraLength >= 4 && at <= extraLength - 4) {
            unsigned id = Get16(p + at);
            size_t length = Get16(p + at + 2);
            at += 4;
            if (length > extraLength - at)
                break;
            if (id == 0x0001) {
                found = true;
                size_t need = 8 * (needSize + needCompressed + needOffset) + 4 * needDisk;
                if (length < need)
                    return Fail("entry \"" + entry.name + "\" has a damaged Zip64 record");
                const unsigned char* q = p + at;
                if (needSize)
                    entry.size = Get64(q), q += 8;
                if (needCompressed)
                    entry.compressedSize = Get64(q), q += 8;
                if (needOffset)
                    entry.localHeader = Get64(q), q += 8;
                if (needDisk)
                    disk = Get32(q) ? 1 : 0;
            }
            at += length;
        }
        if (!found)
            return Fail("entry \"" + entry.name + "\" lacks its Zip64 record");
    }
    if (disk != 0)
        return Fail("archives split over several disks are not supported");
    fPosition += total;
    ++fIndex;
    return true;
}

bool ZipDirectory::DataOffset(const Entry& entry, uint64_t& offset,
                              std::vector<unsigned char>& localExtra) {
    std::vector<unsigned char> head;
    size_t dataStart = 0, dataInHead = 0;
    std::string error;
    if (!LocateData(entry, 0, head, dataStart, dataInHead, offset, localExtra, error))
        return Fail(error);
    return true;
}

bool ZipDirectory::ReadDirect(uint64_t offset, void* buffer, size_t size) const {
    if (offset > fSize || size > fSize - offset)
        return false;
    // Once held, the window never moves: threads reading entries may share it.
    if (fHeld) {
        memcpy(buffer, fWindow.data() + offset, size);
        return true;
    }
    size_t done = 0;
    while (done < size) {
        ssize_t n = fSource.ReadAt(static_cast<off_t>(offset + done),
                                   static_cast<char*>(buffer) + done, size - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool ZipDirectory::LocateData(const Entry& entry, size_t prefetch, std::vector<unsigned char>& head,
                              size_t& dataStart, size_t& dataInHead, uint64_t& offset,
                              std::vector<unsigned char>& localExtra, std::string& error) const {
    const std::string damaged = "entry \"" + entry.name + "\" has a damaged header";
    uint64_t header = entry.localHeader + fPrefix;
    if (entry.localHeader > fSize || header > fSize || fSize - header < kLocalSize) {
        error = damaged;
        return false;
    }
    // Room for the name, the usual extra fields and the data wanted, in one read.
    uint64_t want =
        kLocalSize + entry.name.size() + 256 + std::min<uint64_t>(prefetch, entry.compressedSize);
    size_t length = static_cast<size_t>(std::min<uint64_t>(want, fSize - header));
    if (head.size() < length)
        head.resize(length);
    if (!ReadDirect(header, head.data(), length) || Get32(head.data()) != kLocalSignature) {
        error = damaged;
        return false;
    }
    size_t nameLength = Get16(head.data() + 26), extraLength = Get16(head.data() + 28);
    uint64_t data = header + kLocalSize + nameLength + extraLength;
    if (data > fSize || entry.compressedSize > fSize - data) {
        error = "entry \"" + entry.name + "\" reaches past the end of the archive";
        return false;
    }
    localExtra.resize(extraLength);
    size_t extraStart = kLocalSize + nameLength;
    if (extraStart + extraLength <= length) {
        if (extraLength > 0)
            memcpy(localExtra.data(), head.data() + extraStart, extraLength);
    } else if (!ReadDirect(header + extraStart, localExtra.data(), extraLength)) {
        error = damaged;
        return false;
    }
    dataStart = kLocalSize + nameLength + extraLength;
    dataInHead =
        dataStart < length
            ? static_cast<size_t>(std::min<uint64_t>(length - dataStart, entry.compressedSize))
            : 0;
    offset = data;
    return true;
}
