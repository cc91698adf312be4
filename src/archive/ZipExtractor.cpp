#include "archive/ZipExtractor.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_set>

#include <zlib.h>
#ifdef TARNW_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include "archive/ArchivePath.h"
#include "archive/EntryAttributeWriter.h"
#include "archive/FolderWalker.h"
#include "archive/InflatePool.h"
#include "archive/ZipDirectory.h"
#include "archive/ZipFormat.h"
#include "lib/PosixFs.h"
#include "platform/storage/NodeAttributes.h"

struct ZipExtractor::Entry {
    enum Kind { File, Folder, Link };
    std::string name;
    std::vector<std::string> parts;
    Kind kind = File;
    uint32_t mode = 0644;
    int64_t modified = 0;
    int64_t accessed = 0;
    uint32_t crc = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0;
    int method = 0;
    ZipDirectory::Entry record;
    std::vector<zipformat::CarriedAttribute> attributes;
    // For a file compressed in independent pieces: their uncompressed and compressed sizes.
    uint32_t pieceSize = 0;
    std::vector<uint32_t> pieces;
};

namespace {

constexpr size_t kChunk = 256 * 1024;
constexpr uint64_t kMaxLinkLength = 4095;
constexpr size_t kMaxName = 4096;
// Files waiting for a thread at most; each holds little more than its directory record.
constexpr size_t kQueueLimit = 64;
// The largest file item written on another thread while the caller goes on: larger ones
// are written in the call, where their progress can be told.
constexpr uint64_t kQueuedItemLimit = 1024 * 1024;

struct FolderTimes {
    std::vector<std::string> parts;
    uint32_t mode;
    int64_t accessed;
    int64_t modified;
};

std::string Join(const std::vector<std::string>& parts, size_t from = 0, size_t to = SIZE_MAX) {
    std::string path;
    for (size_t i = from; i < parts.size() && i < to; ++i) {
        if (!path.empty())
            path += '/';
        path += parts[i];
    }
    return path;
}

bool AppendToString(void* context, const void* data, size_t size) {
    auto* text = static_cast<std::string*>(context);
    if (text->size() + size > kMaxLinkLength)
        return false;
    text->append(static_cast<const char*>(data), size);
    return true;
}

bool WriteToDescriptor(void* context, const void* data, size_t size) {
    return posixfs::WriteAll(*static_cast<int*>(context), data, size);
}

int OpenAt2Beneath(int dirFd, const char* path) {
    struct open_how how;
    memset(&how, 0, sizeof(how));
    how.flags = O_PATH | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    return static_cast<int>(syscall(SYS_openat2, dirFd, path, &how, sizeof(how)));
}

// The process's file creation mask, read without changing it (umask() would, for every
// thread at once).
unsigned CurrentUmask() {
    int fd = open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 022;
    char text[4096];
    ssize_t n = read(fd, text, sizeof(text) - 1);
    close(fd);
    if (n <= 0)
        return 022;
    text[n] = '\0';
    const char* line = strstr(text, "\nUmask:");
    return line != nullptr ? static_cast<unsigned>(strtoul(line + 7, nullptr, 8)) & 0777 : 022;
}

// The first failure in archive order wins, whichever thread meets it first.
class Outcome {
public:
    void Fail(size_t index, const std::string& reason) {
        std::lock_guard<std::mutex> lock(fLock);
        if (index < fIndex) {
            fIndex = index;
            fReason = reason;
        }
        fFailed.store(true, std::memory_order_relaxed);
    }
    bool Failed() const { return fFailed.load(std::memory_order_relaxed); }
    const std::string& Reason() const { return fReason; }

private:
    std::mutex fLock;
    size_t fIndex = SIZE_MAX;
    std::string fReason;
    std::atomic<bool> fFailed{false};
};

ZipInflater& ThreadInflater() {
    thread_local ZipInflater inflater;
    return inflater;
}

#ifdef TARNW_HAVE_LIBDEFLATE
// Each thread's whole-buffer inflater and buffers for pieces.
struct PieceBuffers {
    libdeflate_decompressor* decompressor = nullptr;
    std::vector<unsigned char> in;
    std::vector<unsigned char> out;
    ~PieceBuffers() {
        if (decompressor != nullptr)
            libdeflate_free_decompressor(decompressor);
    }
};
thread_local PieceBuffers tPieces;
#endif

} // namespace

struct ZipExtractor::Job {
    Entry entry;
    FolderHandle folder;
    std::string leaf;
    // Created under its own name where that is free (a fresh folder, or the caller
    // allows it), else under a temporary name that is renamed over whatever is there.
    bool fresh;
    // The extracted item itself, not an entry inside it.
    bool isItem = false;
};

struct ZipExtractor::PiecedFile {
    explicit PiecedFile(Job j) : job(std::move(j)) {}
    Job job;
    std::string name; // written under
    int fd = -1;
    bool exact = true; // created with its final mode
    uint64_t data = 0; // where its compressed bytes begin in the source
    int64_t accessed = 0;
    std::vector<uint64_t> starts; // of each piece, from data
    std::vector<uint32_t> crcs;
    std::atomic<size_t> left{0};
    std::mutex lock;
    size_t failedPiece = SIZE_MAX;
    std::string error;
    // Left unwritten because another file failed: removed without a reason of its own.
    std::atomic<bool> abandoned{false};

    // The first failing piece's reason is the one told.
    void Fail(size_t piece, const std::string& reason) {
        std::lock_guard<std::mutex> guard(lock);
        if (piece < failedPiece) {
            failedPiece = piece;
            error = reason;
        }
    }
};

unsigned ZipExtractor::ProcessUmask() {
    return CurrentUmask();
}

ZipExtractor::ZipExtractor(ZipSource& source) : fSource(source), fDirectory(source) {}

ZipExtractor::~ZipExtractor() = default;

bool ZipExtractor::Fail(const std::string& reason) {
    if (fError.empty())
        fError = reason;
    return false;
}

bool ZipExtractor::Open() {
    if (!fDirectory.Open())
        return Fail(fDirectory.Error());
    return true;
}

bool ZipExtractor::NextEntry(Entry& entry, bool& done) {
    done = false;
    if (!fDirectory.Next(fRecord)) {
        if (!fDirectory.Error().empty())
            return Fail(fDirectory.Error());
        done = true;
        return true;
    }
    return ReadEntry(entry);
}

bool ZipExtractor::ReadEntry(Entry& entry) {
    const ZipDirectory::Entry& info = fRecord;
    if (info.name.size() > kMaxName)
        return Fail("an entry name is too long");
    entry = Entry();
    entry.record = info;
    entry.name = info.name;
    bool endsInSlash = false;
    std::string reason;
    if (!ArchivePath::Split(entry.name, entry.parts, endsInSlash, reason))
        return Fail(reason);
    if (info.flags & 1)
        return Fail("entry \"" + entry.name + "\" is encrypted");
    if (info.method != 0 && info.method != Z_DEFLATED)
        return Fail("entry \"" + entry.name + "\" uses an unsupported compression method");
    entry.method = static_cast<int>(info.method);
    entry.crc = info.crc;
    entry.compressedSize = info.compressedSize;
    entry.size = info.size;

    // Unix hosts keep the file's mode and type in the high half of the external
    // attributes; other hosts only have the MS-DOS folder and read-only bits.
    unsigned host = (info.madeBy >> 8) & 0xff;
    uint32_t unixMode = (host == zipformat::kHostUnix || host == zipformat::kHostMac)
                            ? info.externalAttributes >> 16
                            : 0;
    uint32_t type = unixMode & S_IFMT;
    if (type == S_IFLNK) {
        if (endsInSlash)
            return Fail("entry \"" + entry.name + "\" is a link named like a folder");
        entry.kind = Entry::Link;
        if (entry.size > kMaxLinkLength)
            return Fail("link \"" + entry.name + "\" has an over-long target");
    } else if (type == S_IFDIR || endsInSlash ||
               (unixMode == 0 && (info.externalAttributes & 0x10))) {
        entry.kind = Entry::Folder;
    } else if (type == S_IFREG || type == 0) {
        entry.kind = Entry::File;
    } else {
        return Fail("entry \"" + entry.name + "\" is a device, pipe or socket");
    }
    // Set-id bits never come out of an archive; a folder keeps its sticky bit (a shared
    // folder such as a spool must not let everyone remove everyone's files).
    uint32_t kept = entry.kind == Entry::Folder ? 01777 : 0777;
    if ((unixMode & 0777) != 0)
        entry.mode = unixMode & kept;
    else if (entry.kind == Entry::Folder)
        entry.mode = 0755;
    else
        entry.mode = (info.externalAttributes & 1) ? 0444 : 0644;

    zipformat::Times times;
    if (zipformat::ParseUnixTimes(info.extra.data(), info.extra.size(), times) &&
        times.hasModified) {
        entry.modified = times.modified;
    } else {
        // MS-DOS date and time, in local time.
        struct tm tm;
        memset(&tm, 0, sizeof(tm));
        uint32_t dos = info.dosTime;
        tm.tm_sec = static_cast<int>((dos & 0x1f) * 2);
        tm.tm_min = static_cast<int>((dos >> 5) & 0x3f);
        tm.tm_hour = static_cast<int>((dos >> 11) & 0x1f);
        tm.tm_mday = static_cast<int>((dos >> 16) & 0x1f);
        tm.tm_mon = static_cast<int>((dos >> 21) & 0x0f) - 1;
        tm.tm_year = static_cast<int>((dos >> 25) & 0x7f) + 80;
        tm.tm_isdst = -1;
        time_t t = mktime(&tm);
        entry.modified = t == static_cast<time_t>(-1) ? 0 : static_cast<int64_t>(t);
    }
    entry.accessed = entry.modified;
    if (!zipformat::ParseAttributes(info.extra.data(), info.extra.size(), entry.attributes, reason))
        return Fail("entry \"" + entry.name + "\": " + reason);
    // A piece table that does not add up is only a missed shortcut: the file is then read
    // as one stream, which checks everything.
    if (entry.kind == Entry::File && entry.method == Z_DEFLATED)
        zipformat::ParsePieces(info.extra.data(), info.extra.size(), entry.size,
                               entry.compressedSize, entry.pieceSize, entry.pieces);
    return true;
}

bool ZipExtractor::ReadLinkTarget(const Entry& entry, std::string& target) {
    target.clear();
    std::string error;
    if (!fInflater.Decode(fDirectory, fSource, entry.record, AppendToString, &target, error))
        return Fail(error);
    if (target.empty() || target.find('\0') != std::string::npos)
        return Fail("link \"" + entry.name + "\" has an invalid target");
    return true;
}

bool ZipExtractor::Validate(bool itemMode, const char* expectedName, std::string& top,
                            bool& topIsFolder) {
    if (fDirectory.Count() == 0)
        return Fail("the archive is empty");
    top.clear();
    topIsFolder = false;
    fFiles = 0;
    fBytes = 0;
    bool topIsFile = false;
    Entry entry;
    std::string target;
    // Where each entry's header and data lie: entries that share bytes would let a small
    // archive unpack to an enormous amount of data.
    std::vector<std::pair<uint64_t, uint64_t>> spans;
    // Two entries of one name would leave whichever came last, unseen by the checks.
    std::vector<std::string> names;
    fDirectory.Rewind();
    for (;;) {
        bool done = false;
        if (!NextEntry(entry, done))
            return false;
        if (done)
            break;
        if (itemMode) {
            if (top.empty())
                top = entry.parts[0];
            else if (entry.parts[0] != top)
                return Fail("the archive holds more than one item (\"" + top + "\" and \"" +
                            entry.parts[0] + "\")");
            if (entry.parts.size() == 1 && entry.kind != Entry::Folder)
                topIsFile = true;
            else
                topIsFolder = true;
            if (topIsFile && topIsFolder)
                return Fail("the archive holds both a file and a folder named \"" + top + "\"");
            if (topIsFile && entry.kind == Entry::Link)
                return Fail("the archive's item \"" + top + "\" is a symbolic link");
        }
        names.push_back(Join(entry.parts));
        uint64_t start = entry.record.localHeader;
        uint64_t length = 30 + std::min<uint64_t>(entry.compressedSize, UINT64_MAX / 2);
        spans.emplace_back(start, start > UINT64_MAX - length ? UINT64_MAX : start + length);
        if (entry.kind == Entry::File) {
            ++fFiles;
            fBytes += std::min<uint64_t>(entry.size, UINT64_MAX / 2);
        } else if (entry.kind == Entry::Link) {
            if (!ReadLinkTarget(entry, target))
                return false;
            std::vector<std::string> folder(entry.parts.begin() + (itemMode ? 1 : 0),
                                            entry.parts.end() - 1);
            if (!ArchivePath::LinkStaysInside(folder, target))
                return Fail("link \"" + entry.name + "\" points outside the item (\"" + target +
                            "\")");
        }
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].first < spans[i - 1].second)
            return Fail("entries of the archive overlap");
    }
    std::sort(names.begin(), names.end());
    auto twice = std::adjacent_find(names.begin(), names.end());
    if (twice != names.end())
        return Fail("the archive holds \"" + *twice + "\" twice");
    if (itemMode && expectedName != nullptr && expectedName[0] == '\0')
        return Fail("the entry has no name to check the archive's item against");
    if (itemMode && expectedName != nullptr && top != expectedName)
        return Fail("the archive holds \"" + top + "\" instead of \"" + expectedName + "\"");
    return true;
}

bool ZipExtractor::WriteFile(ZipInflater& inflater, const Job& job, std::string& error) const {
    const Entry& entry = job.entry;
    // Created with its final mode where the creation mask allows it, which spares a
    // chmod; the descriptor may write whatever the mode says.
    bool exact = ((entry.mode & 0777) & fUmask) == 0;
    std::string name;
    int fd = CreateFile(job, exact, name);
    if (fd < 0) {
        error = "cannot create \"" + entry.name + "\": " + strerror(errno);
        return false;
    }
    bool ok = inflater.Decode(fDirectory, fSource, entry.record, WriteToDescriptor, &fd, error);
    int64_t accessed =
        inflater.LocalAccessTime() >= 0 ? inflater.LocalAccessTime() : entry.accessed;
    return PlaceFile(fd, job, name, exact, accessed, ok, error);
}

int ZipExtractor::CreateFile(const Job& job, bool exact, std::string& name) const {
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    mode_t mode = exact ? job.entry.mode & 0777 : 0600;
    if (job.fresh) {
        name = job.leaf;
        int fd = openat(job.folder->fd, name.c_str(), flags, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    name = posixfs::TemporaryLeaf();
    return openat(job.folder->fd, name.c_str(), flags, mode);
}

bool ZipExtractor::PlaceFile(int fd, const Job& job, const std::string& name, bool exact,
                             int64_t accessed, bool ok, std::string& error) const {
    const Entry& entry = job.entry;
    int dirFd = job.folder->fd;
    mode_t mode = entry.mode & 0777;
    if (ok) {
        AttributeWriter attributes(fd, true, entry.name);
        ok = attributes.Carried(entry.attributes, error) && attributes.Run(fAttributes, error);
    }
    if (ok && !exact && fchmod(fd, mode) != 0) {
        error = "cannot set the mode of \"" + entry.name + "\": " + strerror(errno);
        ok = false;
    }
    if (ok) {
        int64_t modified = entry.modified;
        if (job.isItem) {
            accessed = fItemAccessed.value_or(accessed);
            modified = fItemModified.value_or(modified);
        }
        struct timespec times[2];
        posixfs::FillTimes(times, accessed, modified);
        futimens(fd, times);
    }
    if (close(fd) != 0 && ok) {
        error = "cannot write \"" + entry.name + "\": " + strerror(errno);
        ok = false;
    }
    if (ok && name != job.leaf && renameat(dirFd, name.c_str(), dirFd, job.leaf.c_str()) != 0) {
        error = "cannot put \"" + entry.name + "\" in place: " + strerror(errno);
        ok = false;
    }
    if (!ok)
        unlinkat(dirFd, name.c_str(), 0);
    return ok;
}

bool ZipExtractor::OpenPieces(PiecedFile& file, std::string& error) const {
    const Entry& entry = file.job.entry;
    std::vector<unsigned char> head, localExtra;
    size_t dataStart = 0, inHead = 0;
    if (!fDirectory.LocateData(entry.record, 0, head, dataStart, inHead, file.data, localExtra,
                               error))
        return false;
    zipformat::Times times;
    file.accessed =
        zipformat::ParseUnixTimes(localExtra.data(), localExtra.size(), times) && times.hasAccessed
            ? times.accessed
            : entry.accessed;
    uint64_t at = 0;
    for (uint32_t piece : entry.pieces) {
        file.starts.push_back(at);
        at += piece;
    }
    file.crcs.assign(entry.pieces.size(), 0);
    file.left = entry.pieces.size();
    file.exact = ((entry.mode & 0777) & fUmask) == 0;
    file.fd = CreateFile(file.job, file.exact, file.name);
    if (file.fd < 0) {
        error = "cannot create \"" + entry.name + "\": " + strerror(errno);
        return false;
    }
    return true;
}

bool ZipExtractor::WritePiece(PiecedFile& file, size_t piece, std::string& error) const {
#ifdef TARNW_HAVE_LIBDEFLATE
    const Entry& entry = file.job.entry;
    const std::string damaged = "entry \"" + entry.name + "\" is damaged";
    bool last = piece + 1 == entry.pieces.size();
    size_t length = entry.pieces[piece];
    uint64_t outStart = uint64_t(piece) * entry.pieceSize;
    size_t outLength =
        static_cast<size_t>(std::min<uint64_t>(entry.pieceSize, entry.size - outStart));
    PieceBuffers& buffers = tPieces;
    if (buffers.decompressor == nullptr)
        buffers.decompressor = libdeflate_alloc_decompressor();
    if (buffers.decompressor == nullptr) {
        error = "out of memory while unpacking";
        return false;
    }
    if (buffers.in.size() < length + 2)
        buffers.in.resize(length + 2);
    if (buffers.out.size() < outLength)
        buffers.out.resize(outLength);
    unsigned char* in = buffers.in.data();
    size_t got = 0;
    while (got < length) {
        ssize_t n = fSource.ReadAt(static_cast<off_t>(file.data + file.starts[piece] + got),
                                   in + got, length - got);
        if (n <= 0) {
            error = damaged + " (cannot be read)";
            return false;
        }
        got += static_cast<size_t>(n);
    }
    // A piece before the last ends with the empty stored block of a sync flush, so the
    // next one starts a block on a byte of its own; an empty final block added behind it
    // lets it be inflated alone. Inflated without the bytes before it, a piece that
    // reaches back into them fails, so what is written is what one stream would give.
    size_t inSize = length;
    if (!last) {
        static const unsigned char kFlushMarker[4] = {0, 0, 0xff, 0xff};
        if (memcmp(in + length - 4, kFlushMarker, 4) != 0) {
            error = damaged + " (a piece does not end where its table says)";
            return false;
        }
        in[length] = 0x03;
        in[length + 1] = 0x00;
        inSize += 2;
    }
    size_t actualIn = 0, actualOut = 0;
    libdeflate_result result = libdeflate_deflate_decompress_ex(
        buffers.decompressor, in, inSize, buffers.out.data(), outLength, &actualIn, &actualOut);
    if (result != LIBDEFLATE_SUCCESS || actualIn != inSize || actualOut != outLength) {
        error = damaged + " (a piece does not inflate to its size)";
        return false;
    }
    file.crcs[piece] = libdeflate_crc32(0, buffers.out.data(), outLength);
    size_t done = 0;
    while (done < outLength) {
        ssize_t n = pwrite(file.fd, buffers.out.data() + done, outLength - done,
                           static_cast<off_t>(outStart + done));
        if (n <= 0) {
            error = "entry \"" + entry.name +
                    "\" could not be written: " + strerror(n < 0 ? errno : EIO);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
#else
    (void)file;
    (void)piece;
    error = "pieces cannot be inflated apart";
    return false;
#endif
}

bool ZipExtractor::FinishPieces(PiecedFile& file, std::string& error) const {
    const Entry& entry = file.job.entry;
    bool ok = file.failedPiece == SIZE_MAX && !file.abandoned;
    if (file.failedPiece != SIZE_MAX) {
        error = file.error;
    } else if (ok) {
        uint32_t crc = file.crcs[0];
        for (size_t i = 1; i < file.crcs.size(); ++i) {
            uint64_t start = uint64_t(i) * entry.pieceSize;
            uint64_t length = std::min<uint64_t>(entry.pieceSize, entry.size - start);
            crc = static_cast<uint32_t>(
                crc32_combine(crc, file.crcs[i], static_cast<z_off_t>(length)));
        }
        if (crc != entry.crc) {
            error = "entry \"" + entry.name + "\" is damaged (CRC mismatch)";
            ok = false;
        }
    }
    return PlaceFile(file.fd, file.job, file.name, file.exact, file.accessed, ok, error);
}

bool ZipExtractor::WriteLink(int dirFd, const std::string& leaf, const Entry& entry, bool fresh) {
    std::string target;
    if (!ReadLinkTarget(entry, target))
        return false;
    std::string name = fresh ? leaf : posixfs::TemporaryLeaf();
    if (symlinkat(target.c_str(), dirFd, name.c_str()) != 0)
        return Fail("cannot create link \"" + entry.name + "\": " + strerror(errno));
    // Linux keeps no user attributes on symbolic links; where a file system does, the
    // link gets what the archive carries for it, and where it does not, the link is
    // still placed.
    if (!entry.attributes.empty()) {
        std::string path = "/proc/self/fd/" + std::to_string(dirFd) + "/" + name;
        for (const auto& a : entry.attributes) {
            if (lsetxattr(path.c_str(), node_attributes::ValueName(a.name.c_str()).c_str(),
                          a.value.data(), a.value.size(), 0) != 0)
                break;
            if (node_attributes::ImpliedType(a.name.c_str(), a.value.data(), a.value.size()) !=
                a.type) {
                uint8 code[4];
                node_attributes::EncodeType(a.type, code);
                lsetxattr(path.c_str(), node_attributes::TypeName(a.name.c_str()).c_str(), code, 4,
                          0);
            }
        }
    }
    struct timespec times[2];
    posixfs::FillTimes(times, entry.accessed, entry.modified);
    utimensat(dirFd, name.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (!fresh && renameat(dirFd, name.c_str(), dirFd, leaf.c_str()) != 0) {
        int error = errno;
        unlinkat(dirFd, name.c_str(), 0);
        return Fail("cannot put link \"" + entry.name + "\" in place: " + strerror(error));
    }
    return true;
}

bool ZipExtractor::CheckLinks(int rootFd, const std::vector<std::vector<std::string>>& links) {
    // Each link was checked as text; a chain of links could still lead out (a link to
    // ".." followed by another ".."), so each is resolved for real, confined to the root.
    bool ok = true;
    for (const auto& parts : links) {
        std::string path = Join(parts);
        int fd = OpenAt2Beneath(rootFd, path.c_str());
        if (fd >= 0) {
            close(fd);
            continue;
        }
        if (errno == EXDEV) {
            unlinkat(rootFd, path.c_str(), 0);
            ok = Fail("link \"" + path + "\" leads outside the item through other links");
        }
    }
    return ok;
}

bool ZipExtractor::Unpack(int baseFd, bool itemMode, const std::string& leaf, bool fresh) {
    size_t skip = itemMode ? 1 : 0;
    std::unordered_set<std::string> madeOnTheWay;
    // Folders made on the way to an entry get the run's attributes.
    FolderWalker walker(baseFd, [&](int fd, const std::vector<std::string>& parts, size_t count) {
        std::string relative = Join(parts, skip, count);
        std::string what = Join(parts, 0, count);
        AttributeWriter attributes(fd, true, what);
        std::string error;
        if (!attributes.Run(fAttributes, error))
            return Fail(error);
        fCreated.push_back(relative);
        madeOnTheWay.insert(relative);
        return true;
    });
    auto reachFailed = [&](const std::string& what) {
        if (!fError.empty())
            return false;
        return Fail(what + ": " + strerror(errno));
    };

    std::vector<FolderTimes> folders;
    std::vector<std::vector<std::string>> links;
    Outcome outcome;
    // Small archives are not worth handing to other threads.
    bool parallel = fFiles > 16 || fBytes > 2 * 1024 * 1024;
    InflatePool::Batch batch(InflatePool::Shared(), parallel ? kQueueLimit : 0);
    size_t index = 0;
    Entry entry;
    std::vector<std::string> parts;
    fDirectory.Rewind();
    for (;; ++index) {
        // A failure on another thread ends the walk; the first in archive order is told.
        if (outcome.Failed())
            break;
        bool done = false;
        if (!NextEntry(entry, done))
            break;
        if (done)
            break;
        parts = entry.parts;
        if (itemMode)
            parts[0] = leaf;
        size_t count = parts.size();
        std::string relative = Join(parts, skip);
        if (entry.kind == Entry::Folder) {
            bool made = false;
            FolderHandle folder = walker.Reach(parts, count, true, true, &made);
            if (folder == nullptr) {
                reachFailed("cannot create folder \"" + entry.name + "\"");
                break;
            }
            AttributeWriter attributes(folder->fd, made, entry.name);
            std::string error;
            if (!attributes.Carried(entry.attributes, error) ||
                !attributes.Run(fAttributes, error)) {
                Fail(error);
                break;
            }
            if (made || madeOnTheWay.count(relative) == 0)
                fCreated.push_back(relative);
            folders.push_back({parts, entry.mode, entry.accessed, entry.modified});
            continue;
        }
        FolderHandle folder = walker.Reach(parts, count - 1);
        if (folder == nullptr) {
            reachFailed("cannot reach the folder of \"" + entry.name + "\"");
            break;
        }
        fCreated.push_back(relative);
#ifdef TARNW_HAVE_LIBDEFLATE
        if (entry.kind == Entry::File && parallel && entry.pieces.size() > 1) {
            auto file = std::make_shared<PiecedFile>(
                Job{entry, folder, parts.back(), fresh, itemMode && count == 1});
            std::string error;
            if (!OpenPieces(*file, error)) {
                outcome.Fail(index, error);
                break;
            }
            for (size_t piece = 0; piece < file->job.entry.pieces.size(); ++piece) {
                batch.Submit([this, file, piece, index, &outcome] {
                    std::string error;
                    if (outcome.Failed())
                        file->abandoned = true;
                    else if (!WritePiece(*file, piece, error))
                        file->Fail(piece, error);
                    error.clear();
                    if (file->left.fetch_sub(1) == 1 && !FinishPieces(*file, error) &&
                        !error.empty())
                        outcome.Fail(index, error);
                });
            }
            continue;
        }
#endif
        if (entry.kind == Entry::File && fQueue != nullptr && itemMode && count == 1 &&
            entry.size <= kQueuedItemLimit) {
            // The item is this one file: its writing goes to the caller's queue, with a
            // folder descriptor of its own, since the caller closes ours.
            int own = fcntl(folder->fd, F_DUPFD_CLOEXEC, 0);
            if (own < 0) {
                Fail("cannot hand over \"" + entry.name + "\": " + strerror(errno));
                break;
            }
            auto job = std::make_shared<Job>(
                Job{entry, std::make_shared<FolderFd>(own, true), parts.back(), fresh, true});
            fQueue->Submit([this, job] {
                std::string error;
                bool ok = WriteFile(ThreadInflater(), *job, error);
                fQueueFinished(ok, error);
            });
            fQueued = true;
            continue;
        }
        if (entry.kind == Entry::File) {
            auto job = std::make_shared<Job>(
                Job{entry, folder, parts.back(), fresh, itemMode && count == 1});
            batch.Submit([this, job, index, &outcome] {
                if (outcome.Failed())
                    return;
                std::string error;
                if (!WriteFile(ThreadInflater(), *job, error))
                    outcome.Fail(index, error);
            });
            continue;
        }
        std::vector<std::string> folderParts(parts.begin() + skip, parts.end() - 1);
        if (!WriteLink(folder->fd, parts.back(), entry, fresh))
            break;
        // The text was checked while validating; check what was written again.
        char target[kMaxLinkLength + 1];
        ssize_t n = readlinkat(folder->fd, parts.back().c_str(), target, kMaxLinkLength);
        if (n <= 0 || !ArchivePath::LinkStaysInside(folderParts, std::string(target, n))) {
            unlinkat(folder->fd, parts.back().c_str(), 0);
            Fail("link \"" + entry.name + "\" points outside the item");
            break;
        }
        links.emplace_back(parts.begin() + skip, parts.end());
    }
    batch.Wait();
    if (outcome.Failed()) {
        // A failure met here on this thread came later in the archive than the one the
        // files report, or at the same time; the earliest is the one told.
        fError.clear();
        Fail(outcome.Reason());
    }
    if (!fError.empty())
        return false;

    // Folder modes and times last: writing inside a folder changes its time, and a
    // read-only folder must stay writable until its contents are in. Deepest first, so a
    // folder without search permission never blocks the folders below it.
    std::stable_sort(
        folders.begin(), folders.end(),
        [](const FolderTimes& a, const FolderTimes& b) { return a.parts.size() > b.parts.size(); });
    for (const FolderTimes& folder : folders) {
        FolderHandle handle = walker.Reach(folder.parts, folder.parts.size(), false);
        if (handle == nullptr)
            continue;
        struct timespec times[2];
        posixfs::FillTimes(times, folder.accessed, folder.modified);
        futimens(handle->fd, times);
        fchmod(handle->fd, folder.mode | 0700);
        walker.Release(0);
    }
    // Owner permissions stay on until the end so that nothing above blocks what follows;
    // now the exact modes.
    for (const FolderTimes& folder : folders) {
        if ((folder.mode & 0700) == 0700)
            continue;
        std::vector<std::string> parent(folder.parts.begin(), folder.parts.end() - 1);
        FolderHandle handle = walker.Reach(parent, parent.size(), false);
        if (handle != nullptr)
            fchmodat(handle->fd, folder.parts.back().c_str(), folder.mode, 0);
    }
    walker.Release(0);

    if (!links.empty()) {
        int rootFd = baseFd;
        if (itemMode) {
            rootFd = openat(baseFd, leaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (rootFd < 0)
                return Fail("cannot reopen the unpacked item: " + std::string(strerror(errno)));
        }
        bool ok = CheckLinks(rootFd, links);
        if (rootFd != baseFd)
            close(rootFd);
        if (!ok)
            return false;
    }
    return true;
}

bool ZipExtractor::ExtractItem(const char* destination, const char* expectedName) {
    fError.clear();
    fCreated.clear();
    fQueued = false;
    std::string parent, leaf;
    if (destination == nullptr || !posixfs::SplitParentLeaf(destination, parent, leaf))
        return Fail("the destination is not a valid path");
    bool known = fFolderFd >= 0 && parent == fFolderPath;
    int parentFd = known ? fFolderFd : open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return Fail("cannot open folder \"" + parent + "\": " + strerror(errno));
    if (!fUmaskKnown)
        fUmask = CurrentUmask();

    std::string top;
    bool topIsFolder = false;
    bool ok = Open() && Validate(true, expectedName, top, topIsFolder);
    if (ok && !topIsFolder) {
        ok = Unpack(parentFd, true, leaf, fWriteInPlace);
    } else if (ok) {
        struct stat st;
        if (fstatat(parentFd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (!S_ISDIR(st.st_mode))
                ok = Fail("\"" + std::string(destination) + "\" exists and is not a folder");
            else
                ok = Unpack(parentFd, true, leaf, false);
        } else if (fWriteInPlace) {
            ok = Unpack(parentFd, true, leaf, true);
            // Nothing was there: whatever of the item got written goes again.
            bool madeIt = !fCreated.empty() && fCreated.front().empty();
            if (!ok && madeIt)
                posixfs::RemoveTreeAt(parentFd, leaf.c_str());
        } else {
            // Unpacked into a fresh hidden folder beside the destination, then renamed
            // into place, so that the item appears whole or not at all. Nothing else
            // writes there, so files are created under their own names.
            std::string stage = posixfs::TemporaryLeaf("stage");
            if (mkdirat(parentFd, stage.c_str(), 0700) != 0) {
                ok = Fail("cannot create a folder in \"" + parent + "\": " + strerror(errno));
            } else {
                int stageFd = openat(parentFd, stage.c_str(),
                                     O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                ok = stageFd >= 0 ? Unpack(stageFd, true, leaf, true)
                                  : Fail("cannot open a folder in \"" + parent + "\"");
                if (ok &&
                    renameat2(stageFd, leaf.c_str(), parentFd, leaf.c_str(), RENAME_NOREPLACE) != 0)
                    ok = Fail("cannot put \"" + std::string(destination) +
                              "\" in place: " + strerror(errno));
                if (stageFd >= 0)
                    close(stageFd);
                posixfs::RemoveTreeAt(parentFd, stage.c_str());
            }
        }
    }
    // A file item got its times as it was written.
    if (ok && topIsFolder && (fItemAccessed || fItemModified)) {
        struct timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
        if (fItemAccessed)
            times[0] = {static_cast<time_t>(*fItemAccessed), 0};
        if (fItemModified)
            times[1] = {static_cast<time_t>(*fItemModified), 0};
        utimensat(parentFd, leaf.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    if (!known)
        close(parentFd);
    if (!ok)
        fCreated.clear();
    return ok;
}

bool ZipExtractor::ExtractAll(const char* folder) {
    fError.clear();
    fCreated.clear();
    if (folder == nullptr || folder[0] == '\0')
        return Fail("no folder to unpack into");
    int folderFd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return Fail("cannot open folder \"" + std::string(folder) + "\": " + strerror(errno));
    if (!fUmaskKnown)
        fUmask = CurrentUmask();
    std::string top;
    bool topIsFolder = false;
    bool ok =
        Open() && Validate(false, nullptr, top, topIsFolder) && Unpack(folderFd, false, "", false);
    close(folderFd);
    return ok;
}

bool ZipExtractor::CopyRaw(ZipSource& source, const char* destination, std::string& error) {
    std::string parent, leaf;
    if (destination == nullptr || !posixfs::SplitParentLeaf(destination, parent, leaf)) {
        error = "the destination is not a valid path";
        return false;
    }
    int dirFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        error = "cannot open folder \"" + parent + "\": " + strerror(errno);
        return false;
    }
    std::string temporary = posixfs::TemporaryLeaf();
    int fd = openat(dirFd, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0644);
    bool ok = fd >= 0;
    if (!ok)
        error = "cannot create a file in \"" + parent + "\": " + strerror(errno);
    std::vector<unsigned char> buffer(kChunk);
    off_t offset = 0;
    while (ok) {
        ssize_t n = source.ReadAt(offset, buffer.data(), buffer.size());
        if (n < 0) {
            error = "cannot read the entry";
            ok = false;
        } else if (n == 0) {
            break;
        } else if (!posixfs::WriteAll(fd, buffer.data(), static_cast<size_t>(n))) {
            error = std::string("cannot write \"") + destination + "\": " + strerror(errno);
            ok = false;
        }
        offset += n;
    }
    if (fd >= 0 && close(fd) != 0 && ok) {
        error = std::string("cannot write \"") + destination + "\": " + strerror(errno);
        ok = false;
    }
    if (ok && renameat(dirFd, temporary.c_str(), dirFd, leaf.c_str()) != 0) {
        error = std::string("cannot put \"") + destination + "\" in place: " + strerror(errno);
        ok = false;
    }
    if (!ok && fd >= 0)
        unlinkat(dirFd, temporary.c_str(), 0);
    close(dirFd);
    return ok;
}
