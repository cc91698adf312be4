#include "storage/ZipExtractor.h"

#include <errno.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

#include <zlib.h>
#ifdef TARNW_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include "storage/ArchivePath.h"
#include "storage/PosixFs.h"
#include "storage/ZipDirectory.h"
#include "storage/ZipFormat.h"

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
};

namespace {

constexpr size_t kChunk = 256 * 1024;
// Entries up to this size are inflated in one call into a bounded buffer.
constexpr uint64_t kWholeLimit = 1024 * 1024;
constexpr uint64_t kMaxLinkLength = 4095;
constexpr size_t kMaxName = 4096;

// Walks from a root folder to folders below it, creating missing ones, without ever
// passing through a symbolic link. Keeps the descriptors of the current path open so that
// the many entries of one folder cost no extra look-ups.
class FolderWalker {
public:
    explicit FolderWalker(int root) : fRoot(root) {}
    ~FolderWalker() { Release(0); }

    // The descriptor of root/parts[0..count), or -1 with errno set.
    int Reach(const std::vector<std::string>& parts, size_t count, bool create = true) {
        size_t common = 0;
        while (common < fOpen.size() && common < count && fOpen[common].name == parts[common])
            ++common;
        Release(common);
        for (size_t i = common; i < count; ++i) {
            int parent = i == 0 ? fRoot : fOpen[i - 1].fd;
            const char* name = parts[i].c_str();
            int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd < 0 && errno == ENOENT && create) {
                if (mkdirat(parent, name, 0777) != 0 && errno != EEXIST)
                    return -1;
                fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            }
            if (fd < 0)
                return -1;
            fOpen.push_back({parts[i], fd});
        }
        return count == 0 ? fRoot : fOpen[count - 1].fd;
    }

    void Release(size_t keep) {
        while (fOpen.size() > keep) {
            close(fOpen.back().fd);
            fOpen.pop_back();
        }
    }

private:
    struct Open {
        std::string name;
        int fd;
    };
    int fRoot;
    std::vector<Open> fOpen;
};

struct FolderTimes {
    std::vector<std::string> parts;
    uint32_t mode;
    bool hasMode;
    int64_t accessed;
    int64_t modified;
};

std::string Join(const std::vector<std::string>& parts, size_t from = 0) {
    std::string path;
    for (size_t i = from; i < parts.size(); ++i) {
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

bool WriteToFd(void* context, const void* data, size_t size) {
    return posixfs::WriteAll(*static_cast<int*>(context), data, size);
}

uint32_t Crc(uint32_t crc, const unsigned char* data, size_t size) {
#ifdef TARNW_HAVE_LIBDEFLATE
    return libdeflate_crc32(crc, data, size);
#else
    return static_cast<uint32_t>(crc32_z(crc, data, size));
#endif
}

int OpenAt2Beneath(int dirFd, const char* path) {
    struct open_how how;
    memset(&how, 0, sizeof(how));
    how.flags = O_PATH | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    return static_cast<int>(syscall(SYS_openat2, dirFd, path, &how, sizeof(how)));
}

} // namespace

ZipExtractor::ZipExtractor(ZipSource& source)
    : fSource(source), fDirectory(source), fIn(kChunk), fOut(kChunk) {}

ZipExtractor::~ZipExtractor() {
#ifdef TARNW_HAVE_LIBDEFLATE
    if (fInflater != nullptr)
        libdeflate_free_decompressor(static_cast<libdeflate_decompressor*>(fInflater));
#endif
}

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
    if ((unixMode & 0777) != 0)
        entry.mode = unixMode & 0777;
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
    return true;
}

bool ZipExtractor::Decode(const Entry& entry, bool (*sink)(void*, const void*, size_t),
                          void* context) {
    uint64_t dataOffset = 0;
    if (!fDirectory.DataOffset(entry.record, dataOffset, fLocalExtra))
        return Fail(fDirectory.Error());
    int method = entry.method;

    fLocalAccessTime = -1;
    zipformat::Times times;
    if (zipformat::ParseUnixTimes(fLocalExtra.data(), fLocalExtra.size(), times) &&
        times.hasAccessed)
        fLocalAccessTime = times.accessed;

    const std::string damaged = "entry \"" + entry.name + "\" is damaged";
    const std::string writeFailed = "entry \"" + entry.name + "\" could not be written";
    uint32_t crc = 0;
    uint64_t produced = 0;
    bool ok = true;

    // The compressed bytes, read in place; never more than the entry's compressed size.
    uint64_t rawLeft = entry.compressedSize;
    auto readRaw = [&](unsigned char* buffer, size_t size) -> ssize_t {
        size_t want = static_cast<size_t>(std::min<uint64_t>(size, rawLeft));
        if (want == 0)
            return 0;
        ssize_t n = fSource.ReadAt(static_cast<off_t>(dataOffset), buffer, want);
        if (n > 0) {
            dataOffset += static_cast<uint64_t>(n);
            rawLeft -= static_cast<uint64_t>(n);
        }
        return n;
    };

    if (method == 0) {
        if (entry.compressedSize != entry.size)
            ok = Fail(damaged + " (stored sizes differ)");
        while (ok) {
            ssize_t n = readRaw(fIn.data(), fIn.size());
            if (n < 0) {
                ok = Fail(damaged + " (cannot be read)");
                break;
            }
            if (n == 0)
                break;
            produced += static_cast<uint64_t>(n);
            if (produced > entry.size) {
                ok = Fail(damaged + " (more data than declared)");
                break;
            }
            crc = Crc(crc, fIn.data(), static_cast<size_t>(n));
            if (!sink(context, fIn.data(), static_cast<size_t>(n)))
                ok = Fail(writeFailed + std::string(": ") + strerror(errno));
        }
#ifdef TARNW_HAVE_LIBDEFLATE
    } else if (entry.size <= kWholeLimit && entry.compressedSize <= kWholeLimit + kWholeLimit / 8) {
        // Small entries: one call of the whole-buffer inflater into a bounded buffer.
        size_t inSize = static_cast<size_t>(entry.compressedSize);
        size_t outSize = static_cast<size_t>(entry.size);
        if (fIn.size() < inSize)
            fIn.resize(inSize);
        if (fOut.size() < outSize)
            fOut.resize(outSize);
        size_t got = 0;
        while (got < inSize) {
            ssize_t n = readRaw(fIn.data() + got, inSize - got);
            if (n <= 0)
                break;
            got += static_cast<size_t>(n);
        }
        if (got != inSize) {
            ok = Fail(damaged + " (data cut short)");
        } else if (inSize == 0 && outSize == 0) {
            produced = 0;
        } else {
            if (fInflater == nullptr)
                fInflater = libdeflate_alloc_decompressor();
            auto* decompressor = static_cast<libdeflate_decompressor*>(fInflater);
            size_t actual = 0;
            if (decompressor == nullptr ||
                libdeflate_deflate_decompress(decompressor, fIn.data(), inSize, fOut.data(),
                                              outSize, &actual) != LIBDEFLATE_SUCCESS ||
                actual != outSize) {
                ok = Fail(damaged + " (compressed data does not match its size)");
            } else {
                produced = actual;
                crc = Crc(crc, fOut.data(), actual);
                if (crc != entry.crc)
                    ok = Fail(damaged + " (CRC mismatch)");
                else if (!sink(context, fOut.data(), actual))
                    ok = Fail(writeFailed + std::string(": ") + strerror(errno));
            }
        }
        if (fIn.size() > kChunk)
            fIn.resize(kChunk), fIn.shrink_to_fit();
        if (fOut.size() > kChunk)
            fOut.resize(kChunk), fOut.shrink_to_fit();
#endif
    } else {
        z_stream stream;
        memset(&stream, 0, sizeof(stream));
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
            return Fail("out of memory while unpacking");
        }
        bool ended = false;
        while (ok && !ended) {
            if (stream.avail_in == 0) {
                ssize_t n = readRaw(fIn.data(), fIn.size());
                if (n <= 0) {
                    ok = Fail(damaged + (n < 0 ? " (cannot be read)" : " (data cut short)"));
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
                ok = Fail(damaged + " (compressed data is invalid)");
                break;
            }
            produced += got;
            if (produced > entry.size) {
                ok = Fail(damaged + " (more data than declared)");
                break;
            }
            crc = Crc(crc, fOut.data(), got);
            if (got > 0 && !sink(context, fOut.data(), got))
                ok = Fail(writeFailed + std::string(": ") + strerror(errno));
        }
        inflateEnd(&stream);
    }
    if (!ok)
        return false;
    if (produced != entry.size)
        return Fail(damaged + " (size does not match)");
    if (crc != entry.crc)
        return Fail(damaged + " (CRC mismatch)");
    return true;
}

bool ZipExtractor::ReadLinkTarget(const Entry& entry, std::string& target) {
    target.clear();
    if (!Decode(entry, AppendToString, &target))
        return false;
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
    bool topIsFile = false;
    Entry entry;
    std::string target;
    // Where each entry's header and data lie: entries that share bytes would let a small
    // archive unpack to an enormous amount of data.
    std::vector<std::pair<uint64_t, uint64_t>> spans;
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
        uint64_t start = entry.record.localHeader;
        uint64_t length = 30 + std::min<uint64_t>(entry.compressedSize, UINT64_MAX / 2);
        spans.emplace_back(start, start > UINT64_MAX - length ? UINT64_MAX : start + length);
        if (entry.kind == Entry::Link) {
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
    if (itemMode && expectedName != nullptr && expectedName[0] != '\0' && top != expectedName)
        return Fail("the archive holds \"" + top + "\" instead of \"" + expectedName + "\"");
    return true;
}

bool ZipExtractor::WriteFile(int dirFd, const std::string& leaf, const Entry& entry) {
    std::string temporary = posixfs::TemporaryLeaf();
    int fd = openat(dirFd, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0600);
    if (fd < 0)
        return Fail("cannot create \"" + entry.name + "\": " + strerror(errno));
    bool ok = Decode(entry, WriteToFd, &fd);
    if (ok) {
        struct timespec times[2];
        int64_t accessed = fLocalAccessTime >= 0 ? fLocalAccessTime : entry.accessed;
        posixfs::FillTimes(times, accessed, entry.modified);
        if (fchmod(fd, entry.mode) != 0)
            ok = Fail("cannot set the mode of \"" + entry.name + "\": " + strerror(errno));
        futimens(fd, times);
    }
    if (close(fd) != 0 && ok)
        ok = Fail("cannot write \"" + entry.name + "\": " + strerror(errno));
    if (ok && renameat(dirFd, temporary.c_str(), dirFd, leaf.c_str()) != 0)
        ok = Fail("cannot put \"" + entry.name + "\" in place: " + strerror(errno));
    if (!ok)
        unlinkat(dirFd, temporary.c_str(), 0);
    return ok;
}

bool ZipExtractor::WriteLink(int dirFd, const std::string& leaf, const Entry& entry) {
    std::string target;
    if (!ReadLinkTarget(entry, target))
        return false;
    std::string temporary = posixfs::TemporaryLeaf();
    if (symlinkat(target.c_str(), dirFd, temporary.c_str()) != 0)
        return Fail("cannot create link \"" + entry.name + "\": " + strerror(errno));
    struct timespec times[2];
    posixfs::FillTimes(times, entry.accessed, entry.modified);
    utimensat(dirFd, temporary.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (renameat(dirFd, temporary.c_str(), dirFd, leaf.c_str()) != 0) {
        int error = errno;
        unlinkat(dirFd, temporary.c_str(), 0);
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

bool ZipExtractor::Unpack(int baseFd, bool itemMode, const std::string& leaf) {
    FolderWalker walker(baseFd);
    std::vector<FolderTimes> folders;
    std::vector<std::vector<std::string>> links;
    Entry entry;
    std::vector<std::string> parts;
    fDirectory.Rewind();
    for (;;) {
        bool done = false;
        if (!NextEntry(entry, done))
            return false;
        if (done)
            break;
        parts = entry.parts;
        if (itemMode)
            parts[0] = leaf;
        size_t count = parts.size();
        if (entry.kind == Entry::Folder) {
            if (walker.Reach(parts, count) < 0)
                return Fail("cannot create folder \"" + entry.name + "\": " + strerror(errno));
            folders.push_back({parts, entry.mode, true, entry.accessed, entry.modified});
        } else {
            int dirFd = walker.Reach(parts, count - 1);
            if (dirFd < 0)
                return Fail("cannot reach the folder of \"" + entry.name +
                            "\": " + strerror(errno));
            if (entry.kind == Entry::File) {
                if (!WriteFile(dirFd, parts.back(), entry))
                    return false;
            } else {
                std::vector<std::string> folder(parts.begin() + (itemMode ? 1 : 0),
                                                parts.end() - 1);
                if (!WriteLink(dirFd, parts.back(), entry))
                    return false;
                // The text was checked while validating; check what was written again.
                char target[kMaxLinkLength + 1];
                ssize_t n = readlinkat(dirFd, parts.back().c_str(), target, kMaxLinkLength);
                if (n <= 0 || !ArchivePath::LinkStaysInside(folder, std::string(target, n))) {
                    unlinkat(dirFd, parts.back().c_str(), 0);
                    return Fail("link \"" + entry.name + "\" points outside the item");
                }
                links.emplace_back(parts.begin() + (itemMode ? 1 : 0), parts.end());
            }
        }
    }

    // Folder modes and times last: writing inside a folder changes its time, and a
    // read-only folder must stay writable until its contents are in. Deepest first, so a
    // folder without search permission never blocks the folders below it.
    std::stable_sort(
        folders.begin(), folders.end(),
        [](const FolderTimes& a, const FolderTimes& b) { return a.parts.size() > b.parts.size(); });
    for (const FolderTimes& folder : folders) {
        int fd = walker.Reach(folder.parts, folder.parts.size(), false);
        if (fd < 0)
            continue;
        struct timespec times[2];
        posixfs::FillTimes(times, folder.accessed, folder.modified);
        futimens(fd, times);
        if (folder.hasMode)
            fchmod(fd, folder.mode | 0700);
        walker.Release(0);
    }
    // Owner permissions stay on until the end so that nothing above blocks what follows;
    // now the exact modes.
    for (const FolderTimes& folder : folders) {
        if ((folder.mode & 0700) == 0700)
            continue;
        std::vector<std::string> parent(folder.parts.begin(), folder.parts.end() - 1);
        int dirFd = walker.Reach(parent, parent.size(), false);
        if (dirFd >= 0)
            fchmodat(dirFd, folder.parts.back().c_str(), folder.mode, 0);
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
    std::string parent, leaf;
    if (destination == nullptr || !posixfs::SplitParentLeaf(destination, parent, leaf))
        return Fail("the destination is not a valid path");
    int parentFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return Fail("cannot open folder \"" + parent + "\": " + strerror(errno));

    std::string top;
    bool topIsFolder = false;
    bool ok = Open() && Validate(true, expectedName, top, topIsFolder);
    if (ok && !topIsFolder) {
        ok = Unpack(parentFd, true, leaf);
    } else if (ok) {
        struct stat st;
        if (fstatat(parentFd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (!S_ISDIR(st.st_mode))
                ok = Fail("\"" + std::string(destination) + "\" exists and is not a folder");
            else
                ok = Unpack(parentFd, true, leaf);
        } else {
            // Unpacked into a hidden folder beside the destination, then renamed into place,
            // so that the item appears whole or not at all.
            std::string stage = posixfs::TemporaryLeaf("stage");
            if (mkdirat(parentFd, stage.c_str(), 0700) != 0) {
                ok = Fail("cannot create a folder in \"" + parent + "\": " + strerror(errno));
            } else {
                int stageFd = openat(parentFd, stage.c_str(),
                                     O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                ok = stageFd >= 0 ? Unpack(stageFd, true, leaf)
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
    Close();
    close(parentFd);
    return ok;
}

bool ZipExtractor::ExtractAll(const char* folder) {
    fError.clear();
    if (folder == nullptr || folder[0] == '\0')
        return Fail("no folder to unpack into");
    int folderFd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return Fail("cannot open folder \"" + std::string(folder) + "\": " + strerror(errno));
    std::string top;
    bool topIsFolder = false;
    bool ok = Open() && Validate(false, nullptr, top, topIsFolder) && Unpack(folderFd, false, "");
    Close();
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
