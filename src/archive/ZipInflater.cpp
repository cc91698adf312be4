#include "archive/ZipInflater.h"

#include <errno.h>
#include <string.h>

#include <algorithm>

#include <zlib.h>
#ifdef TARNW_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include "archive/ZipFormat.h"

namespace {

constexpr size_t kChunk = 256 * 1024;
// Entries up to this size are inflated in one call into a bounded buffer.
constexpr uint64_t kWholeLimit = 1024 * 1024;
constexpr uint64_t kWholeInputLimit = kWholeLimit + kWholeLimit / 8;

uint32_t Crc(uint32_t crc, const unsigned char* data, size_t size) {
#ifdef TARNW_HAVE_LIBDEFLATE
    return libdeflate_crc32(crc, data, size);
#else
    return static_cast<uint32_t>(crc32_z(crc, data, size));
#endif
}

} // namespace

// Buffers are made when first needed: an extraction of a single small file, one of
// thousands in a run, needs none of the streaming ones.
ZipInflater::ZipInflater() = default;

ZipInflater::~ZipInflater() {
#ifdef TARNW_HAVE_LIBDEFLATE
    if (fWhole != nullptr)
        libdeflate_free_decompressor(static_cast<libdeflate_decompressor*>(fWhole));
#endif
}

bool ZipInflater::Decode(const ZipDirectory& directory, ZipSource& source,
                         const ZipDirectory::Entry& entry, Sink sink, void* context,
                         std::string& error) {
    bool whole =
        entry.method != 0 && entry.size <= kWholeLimit && entry.compressedSize <= kWholeInputLimit;
#ifndef TARNW_HAVE_LIBDEFLATE
    whole = false;
#endif
    size_t dataStart = 0, inHead = 0;
    uint64_t dataOffset = 0;
    size_t prefetch = whole ? static_cast<size_t>(entry.compressedSize) : kChunk;
    if (!directory.LocateData(entry, prefetch, fHead, dataStart, inHead, dataOffset, fLocalExtra,
                              error))
        return false;
    fLocalAccessTime = -1;
    zipformat::Times times;
    if (zipformat::ParseUnixTimes(fLocalExtra.data(), fLocalExtra.size(), times) &&
        times.hasAccessed)
        fLocalAccessTime = times.accessed;

    auto fail = [&](const std::string& reason) {
        if (error.empty())
            error = reason;
        return false;
    };
    const std::string damaged = "entry \"" + entry.name + "\" is damaged";
    const std::string writeFailed = "entry \"" + entry.name + "\" could not be written";
    uint32_t crc = 0;
    uint64_t produced = 0;
    bool ok = true;

    // The compressed bytes: first what came with the header, then read in place; never
    // more than the entry's compressed size.
    const unsigned char* headData = fHead.data() + dataStart;
    uint64_t rawLeft = entry.compressedSize - inHead;
    dataOffset += inHead;
    auto readRaw = [&](unsigned char* buffer, size_t size) -> ssize_t {
        size_t want = static_cast<size_t>(std::min<uint64_t>(size, rawLeft));
        if (want == 0)
            return 0;
        ssize_t n = source.ReadAt(static_cast<off_t>(dataOffset), buffer, want);
        if (n > 0) {
            dataOffset += static_cast<uint64_t>(n);
            rawLeft -= static_cast<uint64_t>(n);
        }
        return n;
    };

    if (entry.method == 0) {
        if (entry.compressedSize != entry.size)
            ok = fail(damaged + " (stored sizes differ)");
        auto take = [&](const unsigned char* chunk, size_t n) {
            produced += n;
            if (produced > entry.size)
                return fail(damaged + " (more data than declared)");
            crc = Crc(crc, chunk, n);
            if (!sink(context, chunk, n))
                return fail(writeFailed + std::string(": ") + strerror(errno));
            return true;
        };
        if (ok && inHead > 0)
            ok = take(headData, inHead);
        if (fIn.size() < kChunk)
            fIn.resize(kChunk);
        while (ok) {
            ssize_t n = readRaw(fIn.data(), fIn.size());
            if (n < 0)
                ok = fail(damaged + " (cannot be read)");
            else if (n == 0)
                break;
            else
                ok = take(fIn.data(), static_cast<size_t>(n));
        }
#ifdef TARNW_HAVE_LIBDEFLATE
    } else if (whole) {
        size_t inSize = static_cast<size_t>(entry.compressedSize);
        size_t outSize = static_cast<size_t>(entry.size);
        const unsigned char* input = headData;
        if (inHead < inSize) {
            if (fIn.size() < inSize)
                fIn.resize(inSize);
            memcpy(fIn.data(), headData, inHead);
            size_t got = inHead;
            while (got < inSize) {
                ssize_t n = readRaw(fIn.data() + got, inSize - got);
                if (n <= 0)
                    break;
                got += static_cast<size_t>(n);
            }
            if (got != inSize)
                ok = fail(damaged + " (data cut short)");
            input = fIn.data();
        }
        if (fOut.size() < outSize)
            fOut.resize(outSize);
        if (ok && (inSize > 0 || outSize > 0)) {
            if (fWhole == nullptr)
                fWhole = libdeflate_alloc_decompressor();
            auto* decompressor = static_cast<libdeflate_decompressor*>(fWhole);
            size_t actual = 0;
            if (decompressor == nullptr ||
                libdeflate_deflate_decompress(decompressor, input, inSize, fOut.data(), outSize,
                                              &actual) != LIBDEFLATE_SUCCESS ||
                actual != outSize) {
                ok = fail(damaged + " (compressed data does not match its size)");
            } else {
                produced = actual;
                crc = Crc(crc, fOut.data(), actual);
                if (crc != entry.crc)
                    ok = fail(damaged + " (CRC mismatch)");
                else if (!sink(context, fOut.data(), actual))
                    ok = fail(writeFailed + std::string(": ") + strerror(errno));
            }
        }
#endif
    } else {
        if (fIn.size() < kChunk)
            fIn.resize(kChunk);
        if (fOut.size() < kChunk)
            fOut.resize(kChunk);
        z_stream stream;
        memset(&stream, 0, sizeof(stream));
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return fail("out of memory while unpacking");
        // The bytes that came with the header go in first.
        stream.next_in = const_cast<unsigned char*>(headData);
        stream.avail_in = static_cast<uInt>(inHead);
        bool ended = false;
        while (ok && !ended) {
            if (stream.avail_in == 0) {
                ssize_t n = readRaw(fIn.data(), fIn.size());
                if (n <= 0) {
                    ok = fail(damaged + (n < 0 ? " (cannot be read)" : " (data cut short)"));
                    break;
                }
                stream.next_in = fIn.data();
                stream.avail_in = static_cast<uInt>(n);
            }
            stream.next_out = fOut.data();
            stream.avail_out = static_cast<uInt>(fOut.size());
            int result = inflate(&stream, Z_NO_FLUSH);
            size_t got = fOut.size() - stream.avail_out;
            if (result == Z_STREAM_END)
                ended = true;
            else if (result != Z_OK && !(result == Z_BUF_ERROR && stream.avail_in == 0)) {
                ok = fail(damaged + " (compressed data is invalid)");
                break;
            }
            produced += got;
            if (produced > entry.size) {
                ok = fail(damaged + " (more data than declared)");
                break;
            }
            crc = Crc(crc, fOut.data(), got);
            if (got > 0 && !sink(context, fOut.data(), got))
                ok = fail(writeFailed + std::string(": ") + strerror(errno));
        }
        inflateEnd(&stream);
    }
    if (!ok)
        return false;
    if (produced != entry.size)
        return fail(damaged + " (size does not match)");
    if (crc != entry.crc)
        return fail(damaged + " (CRC mismatch)");
    return true;
}
