#include "storage/ZipPacker.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

#include <minizip/zip.h>
#include <zlib.h>
#ifdef TARNW_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include "storage/ArchivePath.h"
#include "storage/PosixFs.h"
#include "storage/ZipFormat.h"

namespace {

constexpr size_t kChunk = 256 * 1024;
// Files up to this size are compressed in one call of the whole-buffer compressor.
constexpr uint64_t kWholeLimit = 1024 * 1024;
constexpr size_t kSinkBuffer = 1024 * 1024;

// minizip writes the archive through these callbacks. Writes are gathered in a buffer;
// minizip goes back to patch each local header once the entry's CRC is known, and such
// patches usually land in the buffer still.
struct FdSink {
    int fd;
    uint64_t position = 0;
    uint64_t bufferStart = 0;
    std::vector<unsigned char> buffer;
    size_t used = 0;
    int error = 0;

    bool Flush() {
        if (used == 0)
            return true;
        size_t done = 0;
        while (done < used) {
            ssize_t n = pwrite(fd, buffer.data() + done, used - done,
                               static_cast<off_t>(bufferStart + done));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                error = errno;
                return false;
            }
            done += static_cast<size_t>(n);
        }
        used = 0;
        return true;
    }

    size_t Write(const void* data, size_t size) {
        if (error != 0)
            return 0;
        bool inBuffer = used > 0 && position >= bufferStart && position <= bufferStart + used &&
                        position - bufferStart + size <= buffer.size();
        if (!inBuffer) {
            if (!Flush())
                return 0;
            if (size >= buffer.size()) {
                size_t done = 0;
                while (done < size) {
                    ssize_t n = pwrite(fd, static_cast<const char*>(data) + done, size - done,
                                       static_cast<off_t>(position + done));
                    if (n < 0) {
                        if (errno == EINTR)
                            continue;
                        error = errno;
                        return 0;
                    }
                    done += static_cast<size_t>(n);
                }
                position += size;
                return size;
            }
            bufferStart = position;
        }
        size_t at = static_cast<size_t>(position - bufferStart);
        memcpy(buffer.data() + at, data, size);
        used = std::max(used, at + size);
        position += size;
        return size;
    }
};

voidpf SinkOpen(voidpf opaque, const void*, int) {
    return opaque;
}
uLong SinkRead(voidpf, voidpf, void*, uLong) {
    return 0;
}
uLong SinkWrite(voidpf, voidpf stream, const void* data, uLong size) {
    return static_cast<uLong>(static_cast<FdSink*>(stream)->Write(data, size));
}
ZPOS64_T SinkTell(voidpf, voidpf stream) {
    return static_cast<FdSink*>(stream)->position;
}
long SinkSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* sink = static_cast<FdSink*>(stream);
    if (origin == ZLIB_FILEFUNC_SEEK_SET)
        sink->position = offset;
    else if (origin == ZLIB_FILEFUNC_SEEK_CUR)
        sink->position += offset;
    else
        return -1; // minizip never asks for the end of a file it creates
    return 0;
}
int SinkClose(voidpf, voidpf stream) {
    return static_cast<FdSink*>(stream)->Flush() ? 0 : -1;
}
int SinkError(voidpf, voidpf stream) {
    return static_cast<FdSink*>(stream)->error;
}

uLong DosTime(time_t seconds) {
    struct tm tm;
    if (localtime_r(&seconds, &tm) == nullptr || tm.tm_year < 80)
        return (0u << 25) | (1u << 21) | (1u << 16); // 1980-01-01 00:00
    if (tm.tm_year > 207)
        return (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
    return (uLong(tm.tm_year - 80) << 25) | (uLong(tm.tm_mon + 1) << 21) |
           (uLong(tm.tm_mday) << 16) | (uLong(tm.tm_hour) << 11) | (uLong(tm.tm_min) << 5) |
           uLong(tm.tm_sec / 2);
}

void Put(std::vector<unsigned char>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

uint32_t Get32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// minizip marks the entry count of its end record as "see the Zip64 record" from 65535
// entries on, but writes that record only for archives beyond 4 GiB. Readers then see a
// wrong count. The Zip64 end record and its locator are put in before the end record.
bool AddMissingZip64End(int fd, uint64_t end, uint64_t entries) {
    unsigned char tail[42];
    if (end < sizeof(tail) ||
        pread(fd, tail, sizeof(tail), static_cast<off_t>(end - sizeof(tail))) != sizeof(tail))
        return false;
    const unsigned char* record = tail + 20;
    if (Get32(record) != 0x06054b50)
        return false;
    if (Get32(tail) == 0x07064b50)
        return true; // minizip wrote it itself
    uint64_t directorySize = Get32(record + 12), directoryOffset = Get32(record + 16);
    uint64_t zip64Offset = end - 22;
    std::vector<unsigned char> out;
    Put(out, 0x06064b50, 4);
    Put(out, 44, 8);
    Put(out, zipformat::kMadeByUnixZip64, 2);
    Put(out, 45, 2);
    Put(out, 0, 4);
    Put(out, 0, 4);
    Put(out, entries, 8);
    Put(out, entries, 8);
    Put(out, directorySize, 8);
    Put(out, directoryOffset, 8);
    Put(out, 0x07064b50, 4);
    Put(out, 0, 4);
    Put(out, zip64Offset, 8);
    Put(out, 1, 4);
    Put(out, 0x06054b50, 4);
    Put(out, 0, 2);
    Put(out, 0, 2);
    Put(out, 0xffff, 2);
    Put(out, 0xffff, 2);
    Put(out, directorySize, 4);
    Put(out, directoryOffset, 4);
    Put(out, 0, 2);
    return pwrite(fd, out.data(), out.size(), static_cast<off_t>(zip64Offset)) ==
           static_cast<ssize_t>(out.size());
}

bool ReadFully(int fd, unsigned char* buffer, size_t size, size_t& got) {
    got = 0;
    while (got < size) {
        ssize_t n = read(fd, buffer + got, size - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

ZipPacker::ZipPacker() : fIn(kChunk) {}

ZipPacker::~ZipPacker() {
#ifdef TARNW_HAVE_LIBDEFLATE
    if (fCompressor != nullptr)
        libdeflate_free_compressor(static_cast<libdeflate_compressor*>(fCompressor));
#endif
}

bool ZipPacker::Fail(const std::string& reason) {
    if (fError.empty())
        fError = reason;
    return false;
}

bool ZipPacker::Pack(const char* path, const char* storedName, int fd, int level) {
    fError.clear();
    fLevel = std::clamp(level, 0, 9);
    std::string parent, leaf;
    if (path == nullptr || !posixfs::SplitParentLeaf(path, parent, leaf))
        return Fail("the item is not a valid path");
    std::string stored = storedName != nullptr && storedName[0] != '\0' ? storedName : leaf;
    if (stored.find('/') != std::string::npos || stored == "." || stored == "..")
        return Fail("\"" + stored + "\" cannot name an archive item");
    int parentFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return Fail("cannot open folder \"" + parent + "\": " + strerror(errno));

#ifdef TARNW_HAVE_LIBDEFLATE
    if (fCompressor != nullptr && fCompressorLevel != fLevel) {
        libdeflate_free_compressor(static_cast<libdeflate_compressor*>(fCompressor));
        fCompressor = nullptr;
    }
    if (fLevel > 0 && fCompressor == nullptr) {
        fCompressor = libdeflate_alloc_compressor(fLevel);
        fCompressorLevel = fLevel;
    }
#endif
    FdSink sink;
    sink.fd = fd;
    sink.buffer.resize(kSinkBuffer);
    zlib_filefunc64_def functions;
    functions.zopen64_file = SinkOpen;
    functions.zread_file = SinkRead;
    functions.zwrite_file = SinkWrite;
    functions.ztell64_file = SinkTell;
    functions.zseek64_file = SinkSeek;
    functions.zclose_file = SinkClose;
    functions.zerror_file = SinkError;
    functions.opaque = &sink;
    fZip = zipOpen2_64("archive", APPEND_STATUS_CREATE, nullptr, &functions);
    bool ok = fZip != nullptr || Fail("cannot start the archive");
    fFolder.clear();
    fEntries = 0;
    if (ok)
        ok = AddTree(parentFd, leaf, stored, 0, true);
    if (fZip != nullptr && zipClose(static_cast<zipFile>(fZip), nullptr) != ZIP_OK)
        ok = Fail("cannot finish the archive: " +
                  std::string(sink.error ? strerror(sink.error) : "write error"));
    fZip = nullptr;
    if (ok && sink.error != 0)
        ok = Fail(std::string("cannot write the archive: ") + strerror(sink.error));
    if (ok && fEntries >= 0xffff && !AddMissingZip64End(fd, sink.position, fEntries))
        ok = Fail(std::string("cannot finish the archive: ") + strerror(errno));
    close(parentFd);
    return ok;
}

bool ZipPacker::AddTree(int dirFd, const std::string& leaf, const std::string& stored, size_t depth,
                        bool followLink) {
    if (depth >= ArchivePath::kMaxDepth)
        return Fail("\"" + stored + "\" is nested too deeply");
    struct stat st;
    if (fstatat(dirFd, leaf.c_str(), &st, followLink ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
        return Fail("cannot read \"" + stored + "\": " + strerror(errno));

    if (S_ISLNK(st.st_mode)) {
        char target[4096];
        ssize_t n = readlinkat(dirFd, leaf.c_str(), target, sizeof(target) - 1);
        if (n <= 0)
            return Fail("cannot read link \"" + stored + "\": " + strerror(errno));
        std::string text(target, static_cast<size_t>(n));
        if (!ArchivePath::LinkStaysInside(fFolder, text))
            return Fail("link \"" + stored + "\" points outside the item (\"" + text +
                        "\"); the installer would refuse it");
        return AddLink(stored, text, st);
    }
    if (S_ISREG(st.st_mode)) {
        int fd = openat(dirFd, leaf.c_str(), O_RDONLY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
        if (fd < 0)
            return Fail("cannot open \"" + stored + "\": " + strerror(errno));
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        bool ok = AddFile(fd, stored, st);
        close(fd);
        return ok;
    }
    if (!S_ISDIR(st.st_mode)) {
        fprintf(stderr, "ZipPacker: skipping \"%s\", which is not a file, folder or link\n",
                stored.c_str());
        return true;
    }

    if (!AddFolder(stored + "/", st))
        return false;
    int fd = openat(dirFd, leaf.c_str(),
                    O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return Fail("cannot open folder \"" + stored + "\": " + strerror(errno));
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return Fail("cannot read folder \"" + stored + "\"");
    }
    // Sorted, so that the same tree always gives the same archive.
    std::vector<std::string> names;
    while (struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    bool ok = true;
    if (depth > 0)
        fFolder.push_back(leaf);
    for (const std::string& name : names) {
        if (!(ok = AddTree(dirfd(dir), name, stored + "/" + name, depth + 1, false)))
            break;
    }
    if (depth > 0)
        fFolder.pop_back();
    closedir(dir);
    return ok;
}

bool ZipPacker::OpenEntry(const std::string& name, const struct stat& st,
                          uint32_t externalAttributes, int method, int level, bool raw,
                          bool zip64) {
    zip_fileinfo info;
    memset(&info, 0, sizeof(info));
    info.dosDate = DosTime(st.st_mtime);
    info.external_fa = externalAttributes;
    std::vector<unsigned char> local = zipformat::LocalUnixTimes(st.st_mtime, st.st_atime);
    std::vector<unsigned char> central = zipformat::CentralUnixTimes(st.st_mtime);
    int result = zipOpenNewFileInZip4_64(
        static_cast<zipFile>(fZip), name.c_str(), &info, local.data(),
        static_cast<uInt>(local.size()), central.data(), static_cast<uInt>(central.size()), nullptr,
        method, level, raw ? 1 : 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0,
        zip64 ? zipformat::kMadeByUnixZip64 : zipformat::kMadeByUnix, 0, zip64 ? 1 : 0);
    if (result != ZIP_OK)
        return Fail("cannot add \"" + name + "\" to the archive");
    ++fEntries;
    return true;
}

bool ZipPacker::AddFolder(const std::string& stored, const struct stat& st) {
    uint32_t attributes = (uint32_t(S_IFDIR | (st.st_mode & 07777)) << 16) | 0x10;
    if (!OpenEntry(stored, st, attributes, 0, 0, false, false))
        return false;
    if (zipCloseFileInZip(static_cast<zipFile>(fZip)) != ZIP_OK)
        return Fail("cannot add \"" + stored + "\" to the archive");
    return true;
}

bool ZipPacker::AddLink(const std::string& stored, const std::string& target,
                        const struct stat& st) {
    uint32_t attributes = uint32_t(S_IFLNK | 0777) << 16;
    zipFile zip = static_cast<zipFile>(fZip);
    if (!OpenEntry(stored, st, attributes, 0, 0, false, false))
        return false;
    if (zipWriteInFileInZip(zip, target.data(), static_cast<unsigned>(target.size())) != ZIP_OK ||
        zipCloseFileInZip(zip) != ZIP_OK)
        return Fail("cannot add link \"" + stored + "\" to the archive");
    return true;
}

bool ZipPacker::AddFile(int fd, const std::string& stored, const struct stat& st) {
    zipFile zip = static_cast<zipFile>(fZip);
    uint64_t size = static_cast<uint64_t>(st.st_size);
    uint32_t attributes = uint32_t(S_IFREG | (st.st_mode & 07777)) << 16;
    bool zip64 = size >= 0xffffffffull;
    const std::string changed = "\"" + stored + "\" changed while it was packed";
    const std::string unreadable = "cannot read \"" + stored + "\": ";

#ifdef TARNW_HAVE_LIBDEFLATE
    if (fLevel > 0 && size <= kWholeLimit && fCompressor != nullptr) {
        auto* compressor = static_cast<libdeflate_compressor*>(fCompressor);
        size_t inSize = static_cast<size_t>(size);
        if (fIn.size() < inSize)
            fIn.resize(inSize);
        size_t got = 0;
        if (!ReadFully(fd, fIn.data(), inSize, got))
            return Fail(unreadable + strerror(errno));
        if (got != inSize)
            return Fail(changed);
        uint32_t crc = libdeflate_crc32(0, fIn.data(), inSize);
        size_t bound = libdeflate_deflate_compress_bound(compressor, inSize);
        if (fOut.size() < bound)
            fOut.resize(bound);
        size_t packed = inSize == 0 ? 0
                                    : libdeflate_deflate_compress(compressor, fIn.data(), inSize,
                                                                  fOut.data(), fOut.size());
        bool deflated = packed > 0 && packed < inSize;
        if (!OpenEntry(stored, st, attributes, deflated ? Z_DEFLATED : 0, fLevel, true, false))
            return false;
        const unsigned char* data = deflated ? fOut.data() : fIn.data();
        size_t length = deflated ? packed : inSize;
        if ((length > 0 &&
             zipWriteInFileInZip(zip, data, static_cast<unsigned>(length)) != ZIP_OK) ||
            zipCloseFileInZipRaw64(zip, size, crc) != ZIP_OK)
            return Fail("cannot add \"" + stored + "\" to the archive");
        return true;
    }
#endif
    if (!OpenEntry(stored, st, attributes, fLevel > 0 ? Z_DEFLATED : 0, fLevel, false, zip64))
        return false;
    uint64_t done = 0;
    while (done < size) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(fIn.size(), size - done));
        size_t got = 0;
        if (!ReadFully(fd, fIn.data(), want, got)) {
            zipCloseFileInZip(zip);
            return Fail(unreadable + strerror(errno));
        }
        if (got != want) {
            zipCloseFileInZip(zip);
            return Fail(changed);
        }
        if (zipWriteInFileInZip(zip, fIn.data(), static_cast<unsigned>(got)) != ZIP_OK) {
            zipCloseFileInZip(zip);
            return Fail("cannot add \"" + stored + "\" to the archive");
        }
        done += got;
    }
    if (zipCloseFileInZip(zip) != ZIP_OK)
        return Fail("cannot add \"" + stored + "\" to the archive");
    return true;
}
