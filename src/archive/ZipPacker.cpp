#include "archive/ZipPacker.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include <minizip/zip.h>
#include <zlib.h>
#ifdef TARNW_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include "archive/ArchivePath.h"
#include "archive/FileRegionSource.h"
#include "archive/SourceDate.h"
#include "archive/ZipAttributes.h"
#include "archive/ZipDirectory.h"
#include "archive/ZipFormat.h"
#include "lib/PosixFs.h"
#include "lib/WorkPool.h"

namespace {

// Files up to this size are compressed in one piece by the whole-buffer compressor;
// larger ones in independent pieces of kPiece bytes.
constexpr uint64_t kWholeLimit = 1024 * 1024;
constexpr size_t kPiece = 1024 * 1024;
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

void ClampTimes(struct stat& st) {
    st.st_mtime = ClampToSourceDate(st.st_mtime);
    st.st_atime = ClampToSourceDate(st.st_atime);
}

// Local time, as Info-ZIP writes it; UTC in a reproducible build, whose bytes must not
// depend on the build machine's time zone.
uLong DosTime(time_t seconds) {
    struct tm tm;
    bool converted = SourceDateEpoch() ? gmtime_r(&seconds, &tm) != nullptr
                                       : localtime_r(&seconds, &tm) != nullptr;
    if (!converted || tm.tm_year < 80)
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

// Reads size bytes at offset; got tells how many there were before the end of the file.
bool PreadFully(int fd, unsigned char* buffer, size_t size, uint64_t offset, size_t& got) {
    got = 0;
    while (got < size) {
        ssize_t n = pread(fd, buffer + got, size - got, static_cast<off_t>(offset + got));
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

WorkPool& SharedPool() {
    static WorkPool pool;
    return pool;
}

// Each worker keeps its compressors from piece to piece.
struct Compressors {
#ifdef TARNW_HAVE_LIBDEFLATE
    libdeflate_compressor* whole = nullptr;
    int wholeLevel = -1;
#endif
    z_stream stream{};
    int streamLevel = -1;

    ~Compressors() {
#ifdef TARNW_HAVE_LIBDEFLATE
        if (whole != nullptr)
            libdeflate_free_compressor(whole);
#endif
        if (streamLevel >= 0)
            deflateEnd(&stream);
    }

    z_stream* Stream(int level) {
        if (streamLevel != level) {
            if (streamLevel >= 0)
                deflateEnd(&stream);
            stream = z_stream{};
            streamLevel = -1;
            if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
                return nullptr;
            streamLevel = level;
        } else if (deflateReset(&stream) != Z_OK) {
            return nullptr;
        }
        return &stream;
    }
};

thread_local Compressors tCompressors;

// Deflates in[0, size) into out as one piece of a stream: primed with the dictionary
// before it, and ended with a sync flush (so that the next piece starts on a byte) or,
// for the last piece, with the end of the stream.
bool DeflatePiece(int level, const unsigned char* dictionary, size_t dictionarySize,
                  const unsigned char* in, size_t size, bool last,
                  std::vector<unsigned char>& out) {
    z_stream* stream = tCompressors.Stream(level);
    if (stream == nullptr)
        return false;
    if (dictionarySize > 0 &&
        deflateSetDictionary(stream, dictionary, static_cast<uInt>(dictionarySize)) != Z_OK)
        return false;
    out.resize(deflateBound(stream, static_cast<uLong>(size)) + 64);
    stream->next_in = const_cast<unsigned char*>(in);
    stream->avail_in = static_cast<uInt>(size);
    size_t produced = 0;
    for (;;) {
        if (produced == out.size())
            out.resize(out.size() * 2);
        stream->next_out = out.data() + produced;
        stream->avail_out = static_cast<uInt>(out.size() - produced);
        int result = deflate(stream, last ? Z_FINISH : Z_SYNC_FLUSH);
        produced = out.size() - stream->avail_out;
        if (result == Z_STREAM_END || (!last && result == Z_OK && stream->avail_out > 0))
            break;
        if (result != Z_OK && result != Z_BUF_ERROR)
            return false;
    }
    out.resize(produced);
    return true;
}

// Deflates a whole file; false when it cannot be done (then it is stored).
bool DeflateWhole(int level, const unsigned char* in, size_t size,
                  std::vector<unsigned char>& out) {
#ifdef TARNW_HAVE_LIBDEFLATE
    if (tCompressors.wholeLevel != level) {
        if (tCompressors.whole != nullptr)
            libdeflate_free_compressor(tCompressors.whole);
        tCompressors.whole = libdeflate_alloc_compressor(level);
        tCompressors.wholeLevel = tCompressors.whole != nullptr ? level : -1;
    }
    if (tCompressors.whole != nullptr) {
        out.resize(libdeflate_deflate_compress_bound(tCompressors.whole, size));
        size_t packed =
            libdeflate_deflate_compress(tCompressors.whole, in, size, out.data(), out.size());
        out.resize(packed);
        return packed > 0;
    }
#endif
    return DeflatePiece(level, nullptr, 0, in, size, true, out);
}

} // namespace

struct ZipPacker::Entry {
    enum Kind { Folder, Link, File };
    Kind kind = File;
    std::string name;
    struct stat st {};
    uint32_t externalAttributes = 0;
    std::vector<unsigned char> central;
    std::string linkText;
    int fd = -1;
    uint64_t size = 0;
    bool pieces = false;              // compressed in pieces rather than whole
    bool table = false;               // its central record carries a piece table
    std::vector<uint32_t> pieceSizes; // compressed, as written
    uint32_t crc = 0;                 // of the pieces written so far

    ~Entry() {
        if (fd >= 0)
            close(fd);
    }
};

struct ZipPacker::Piece {
    std::shared_ptr<Entry> entry;
    bool first = true;
    bool last = true;
    uint64_t offset = 0;
    size_t length = 0;

    // Filled by the worker.
    std::vector<unsigned char> data; // the bytes that go into the archive
    uint32_t crc = 0;
    bool deflated = false;
    std::string error;

    std::mutex lock;
    std::condition_variable finished;
    bool done = false;

    void Finish() {
        {
            std::lock_guard<std::mutex> guard(lock);
            done = true;
        }
        finished.notify_all();
    }
    void Wait() {
        std::unique_lock<std::mutex> guard(lock);
        finished.wait(guard, [this] { return done; });
    }

    // Reads and compresses the piece (on a worker).
    void Work(int level) {
        const Entry& file = *entry;
        const std::string changed = "\"" + file.name + "\" changed while it was packed";
        const std::string unreadable = "cannot read \"" + file.name + "\": ";
        // Each piece is deflated on its own, without the bytes before it as a dictionary,
        // so that the pieces can be inflated apart.
        size_t prime = 0;
        std::vector<unsigned char> in(prime + length);
        size_t got = 0;
        if (!PreadFully(file.fd, in.data(), in.size(), offset - prime, got)) {
            error = unreadable + strerror(errno);
            return;
        }
        if (got != in.size()) {
            error = changed;
            return;
        }
        const unsigned char* bytes = in.data() + prime;
#ifdef TARNW_HAVE_LIBDEFLATE
        crc = libdeflate_crc32(0, bytes, length);
#else
        crc = static_cast<uint32_t>(crc32(0, bytes, static_cast<uInt>(length)));
#endif
        if (level == 0 || length == 0) {
            in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(prime));
            data.swap(in);
            return;
        }
        if (file.pieces) {
            deflated = DeflatePiece(level, in.data(), prime, bytes, length, last, data);
            if (!deflated)
                error = "cannot compress \"" + file.name + "\"";
            return;
        }
        // A whole file that does not get smaller is stored.
        deflated = DeflateWhole(level, bytes, length, data) && data.size() < length;
        if (!deflated)
            data.swap(in);
    }
};

ZipPacker::ZipPacker(unsigned threads) {
    if (threads == 0) {
        fPool = &SharedPool();
    } else {
        fOwnPool = std::make_unique<WorkPool>(threads);
        fPool = fOwnPool.get();
    }
    // Enough pieces ahead to keep every worker busy while the oldest is written.
    fWindow = std::max<size_t>(4, 3 * size_t(fPool->Threads()));
}

ZipPacker::~ZipPacker() {
    Drain();
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
    fPieceTables.clear();
    if (ok)
        ok = AddTree(parentFd, leaf, stored, parent + "/" + leaf, 0, true);
    // Every piece handed out is waited for, also after a failure.
    ok = Drain() && ok;
    if (fZip != nullptr && zipClose(static_cast<zipFile>(fZip), nullptr) != ZIP_OK)
        ok = Fail("cannot finish the archive: " +
                  std::string(sink.error ? strerror(sink.error) : "write error"));
    fZip = nullptr;
    if (ok && sink.error != 0)
        ok = Fail(std::string("cannot write the archive: ") + strerror(sink.error));
    if (ok && fEntries >= 0xffff && !AddMissingZip64End(fd, sink.position, fEntries))
        ok = Fail(std::string("cannot finish the archive: ") + strerror(errno));
    if (ok)
        ok = WritePieceTables(fd);
    close(parentFd);
    return ok;
}

bool ZipPacker::AddTree(int dirFd, const std::string& leaf, const std::string& stored,
                        const std::string& source, size_t depth, bool followLink) {
    if (depth >= ArchivePath::kMaxDepth)
        return Fail("\"" + stored + "\" is nested too deeply");
    struct stat st;
    if (fstatat(dirFd, leaf.c_str(), &st, followLink ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
        return Fail("cannot read \"" + stored + "\": " + strerror(errno));
    ClampTimes(st);

    if (S_ISLNK(st.st_mode)) {
        char target[4096];
        ssize_t n = readlinkat(dirFd, leaf.c_str(), target, sizeof(target) - 1);
        if (n <= 0)
            return Fail("cannot read link \"" + stored + "\": " + strerror(errno));
        std::string text(target, static_cast<size_t>(n));
        if (!ArchivePath::LinkStaysInside(fFolder, text))
            return Fail("link \"" + stored + "\" points outside the item (\"" + text +
                        "\"); the installer would refuse it");
        // Linux keeps no user attributes on symbolic links, so a link carries none.
        auto entry = std::make_shared<Entry>();
        entry->kind = Entry::Link;
        entry->name = stored;
        entry->st = st;
        entry->externalAttributes = uint32_t(S_IFLNK | 0777) << 16;
        entry->central = zipformat::CentralUnixTimes(st.st_mtime);
        entry->linkText = text;
        auto piece = std::make_shared<Piece>();
        piece->entry = entry;
        return Emit(piece, false);
    }
    if (S_ISREG(st.st_mode)) {
        int fd = openat(dirFd, leaf.c_str(), O_RDONLY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
        if (fd < 0)
            return Fail("cannot open \"" + stored + "\": " + strerror(errno));
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return AddFile(fd, stored, source, st);
    }
    if (!S_ISDIR(st.st_mode)) {
        fprintf(stderr, "ZipPacker: skipping \"%s\", which is not a file, folder or link\n",
                stored.c_str());
        return true;
    }

    int fd = openat(dirFd, leaf.c_str(),
                    O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return Fail("cannot open folder \"" + stored + "\": " + strerror(errno));
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return Fail("cannot read folder \"" + stored + "\"");
    }
    auto entry = std::make_shared<Entry>();
    entry->kind = Entry::Folder;
    entry->name = stored + "/";
    entry->st = st;
    entry->externalAttributes = (uint32_t(S_IFDIR | (st.st_mode & 07777)) << 16) | 0x10;
    bool ok = CentralFields(fd, source, st, entry->central);
    if (ok) {
        auto piece = std::make_shared<Piece>();
        piece->entry = entry;
        ok = Emit(piece, false);
    }
    // Sorted, so that the same tree always gives the same archive.
    std::vector<std::string> names;
    while (ok && (errno = 0, true)) {
        struct dirent* found = readdir(dir);
        if (found == nullptr)
            break;
        const char* name = found->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    if (depth > 0)
        fFolder.push_back(leaf);
    for (const std::string& name : names) {
        if (!(ok = AddTree(dirfd(dir), name, stored + "/" + name, source + "/" + name, depth + 1,
                           false)))
            break;
    }
    if (depth > 0)
        fFolder.pop_back();
    closedir(dir);
    return ok;
}

bool ZipPacker::CentralFields(int fd, const std::string& source, const struct stat& st,
                              std::vector<unsigned char>& fields) {
    fields = zipformat::CentralUnixTimes(st.st_mtime);
    std::vector<zipattributes::Attribute> attributes;
    std::string reason;
    std::vector<unsigned char> carried;
    if (!zipattributes::ReadNodeAttributes(fd, source, attributes, reason) ||
        !zipattributes::EncodeField(attributes, carried, reason))
        return Fail("\"" + source + "\": " + reason);
    fields.insert(fields.end(), carried.begin(), carried.end());
    return true;
}

bool ZipPacker::AddFile(int fd, const std::string& stored, const std::string& source,
                        const struct stat& st) {
    auto entry = std::make_shared<Entry>();
    entry->fd = fd;
    entry->kind = Entry::File;
    entry->name = stored;
    entry->st = st;
    entry->externalAttributes = uint32_t(S_IFREG | (st.st_mode & 07777)) << 16;
    entry->size = static_cast<uint64_t>(st.st_size);
    entry->pieces = entry->size > kWholeLimit;
    if (!CentralFields(fd, source, st, entry->central))
        return false;
    if (entry->pieces && fLevel > 0) {
        size_t count = static_cast<size_t>((entry->size + kPiece - 1) / kPiece);
        // Room is left for the Zip64 field that minizip adds; a file too large for a
        // table is inflated as one stream.
        if (entry->central.size() + 8 + 4 * count <= 65535 - 32) {
            std::vector<unsigned char> table = zipformat::PieceField(kPiece, count);
            entry->central.insert(entry->central.end(), table.begin(), table.end());
            entry->table = true;
            entry->pieceSizes.reserve(count);
        }
    }
    uint64_t offset = 0;
    do {
        auto piece = std::make_shared<Piece>();
        piece->entry = entry;
        piece->first = offset == 0;
        piece->offset = offset;
        piece->length = entry->pieces
                            ? static_cast<size_t>(std::min<uint64_t>(kPiece, entry->size - offset))
                            : static_cast<size_t>(entry->size);
        offset += piece->length;
        piece->last = offset >= entry->size;
        if (!Emit(piece, true))
            return false;
    } while (offset < entry->size);
    return true;
}

bool ZipPacker::Emit(const std::shared_ptr<Piece>& piece, bool needsWork) {
    fPending.push_back(piece);
    if (needsWork) {
        int level = fLevel;
        fPool->Submit([piece, level] {
            piece->Work(level);
            piece->Finish();
        });
    } else {
        piece->done = true;
    }
    while (fPending.size() > fWindow) {
        if (!WriteFront())
            return false;
    }
    return true;
}

bool ZipPacker::WriteFront() {
    std::shared_ptr<Piece> piece = fPending.front();
    fPending.pop_front();
    piece->Wait();
    // After a failure the pieces still out are only waited for.
    if (!fError.empty())
        return false;
    if (!piece->error.empty())
        return Fail(piece->error);
    return WritePiece(*piece);
}

bool ZipPacker::Drain() {
    bool ok = true;
    while (!fPending.empty())
        ok = WriteFront() && ok;
    return ok;
}

bool ZipPacker::OpenEntry(const Entry& entry, int method, bool raw) {
    zip_fileinfo info;
    memset(&info, 0, sizeof(info));
    info.dosDate = DosTime(entry.st.st_mtime);
    info.external_fa = entry.externalAttributes;
    bool zip64 = entry.size >= 0xffffffffull;
    std::vector<unsigned char> local =
        zipformat::LocalUnixTimes(entry.st.st_mtime, entry.st.st_atime);
    int result = zipOpenNewFileInZip4_64(
        static_cast<zipFile>(fZip), entry.name.c_str(), &info, local.data(),
        static_cast<uInt>(local.size()), entry.central.data(),
        static_cast<uInt>(entry.central.size()), nullptr, method,
        entry.kind == Entry::File ? fLevel : 0, raw ? 1 : 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
        nullptr, 0, zip64 ? zipformat::kMadeByUnixZip64 : zipformat::kMadeByUnix, 0, zip64 ? 1 : 0);
    if (result != ZIP_OK)
        return Fail("cannot add \"" + entry.name + "\" to the archive");
    ++fEntries;
    return true;
}

bool ZipPacker::WritePiece(Piece& piece) {
    Entry& entry = *piece.entry;
    zipFile zip = static_cast<zipFile>(fZip);
    const std::string cannot = "cannot add \"" + entry.name + "\" to the archive";
    if (entry.kind == Entry::Folder) {
        if (!OpenEntry(entry, 0, false))
            return false;
        return zipCloseFileInZip(zip) == ZIP_OK || Fail(cannot);
    }
    if (entry.kind == Entry::Link) {
        if (!OpenEntry(entry, 0, false))
            return false;
        if (zipWriteInFileInZip(zip, entry.linkText.data(),
                                static_cast<unsigned>(entry.linkText.size())) != ZIP_OK ||
            zipCloseFileInZip(zip) != ZIP_OK)
            return Fail("cannot add link \"" + entry.name + "\" to the archive");
        return true;
    }
    if (piece.first) {
        bool deflated = entry.pieces ? fLevel > 0 : piece.deflated;
        if (!OpenEntry(entry, deflated ? Z_DEFLATED : 0, true))
            return false;
        entry.crc = piece.crc;
    } else {
        entry.crc = static_cast<uint32_t>(
            crc32_combine(entry.crc, piece.crc, static_cast<z_off_t>(piece.length)));
    }
    if (entry.table)
        entry.pieceSizes.push_back(static_cast<uint32_t>(piece.data.size()));
    if (!piece.data.empty() &&
        zipWriteInFileInZip(zip, piece.data.data(), static_cast<unsigned>(piece.data.size())) !=
            ZIP_OK) {
        zipCloseFileInZip(zip);
        return Fail(cannot);
    }
    if (piece.last) {
        if (zipCloseFileInZipRaw64(zip, entry.size, entry.crc) != ZIP_OK)
            return Fail(cannot);
        if (entry.table)
            fPieceTables.push_back({entry.name, std::move(entry.pieceSizes)});
        // The file is read to its end: let it go now rather than when the last worker
        // lets go of the entry.
        close(entry.fd);
        entry.fd = -1;
    }
    return true;
}

bool ZipPacker::WritePieceTables(int fd) {
    if (fPieceTables.empty())
        return true;
    // The tables were written with their sizes 0 (minizip takes the central fields before
    // the data); the directory is read back to find them.
    off_t size = lseek(fd, 0, SEEK_END);
    FileRegionSource source(fd, 0, size);
    ZipDirectory directory(source);
    // An archive written where it cannot be read back keeps its tables empty: readers then
    // inflate those files as one stream.
    if (!directory.Open())
        return true;
    ZipDirectory::Entry entry;
    size_t next = 0;
    while (next < fPieceTables.size() && directory.Next(entry)) {
        const PieceTable& table = fPieceTables[next];
        if (entry.name != table.name)
            continue;
        size_t at = zipformat::PieceSizesOffset(entry.extra.data(), entry.extra.size());
        if (at == SIZE_MAX || entry.extra.size() - at < 4 * table.sizes.size())
            return Fail("cannot find the piece table of \"" + table.name + "\"");
        std::vector<unsigned char> bytes;
        for (uint32_t piece : table.sizes) {
            for (int shift = 0; shift < 32; shift += 8)
                bytes.push_back(static_cast<unsigned char>(piece >> shift));
        }
        off_t where = static_cast<off_t>(entry.central + 46 + entry.name.size() + at);
        if (pwrite(fd, bytes.data(), bytes.size(), where) != static_cast<ssize_t>(bytes.size()))
            return Fail(std::string("cannot write the archive: ") + strerror(errno));
        ++next;
    }
    if (next < fPieceTables.size())
        return Fail("cannot find the piece table of \"" + fPieceTables[next].name + "\"" +
                    (directory.Error().empty() ? "" : ": " + directory.Error()));
    return true;
}
