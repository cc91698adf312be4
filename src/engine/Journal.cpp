#include "engine/Journal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/OwnFile.h"
#include "lib/PosixFs.h"
#include "platform/support/PercentCoding.h"

namespace {

constexpr const char* kMagic = "tarnw-journal";
// Version 2 added the folder identities; a journal of version 1 reads the same without them.
constexpr const char* kVersion = "2";
constexpr const char* kFormerVersion = "1";
// Space is set aside ahead of the records, so that a disk that fills up during the run
// still takes the journal's lines.
constexpr off_t kReserveStep = 256 * 1024;
// A journal larger than this is not one of ours.
constexpr size_t kMaxJournalSize = 64u * 1024 * 1024;

const char* KindName(JournalKind kind) {
    switch (kind) {
    case JournalKind::Folder:
        return "folder";
    case JournalKind::Entry:
        return "entry";
    case JournalKind::Move:
        return "move";
    case JournalKind::Trash:
        return "trash";
    case JournalKind::Before:
        return "before";
    case JournalKind::Commit:
        return "commit";
    case JournalKind::Identity:
        return "identity";
    }
    return "";
}

// The number of path fields each kind carries.
size_t FieldCount(JournalKind kind) {
    switch (kind) {
    case JournalKind::Folder:
    case JournalKind::Entry:
        return 1;
    case JournalKind::Move:
    case JournalKind::Before:
        return 2;
    case JournalKind::Trash:
        return 3;
    case JournalKind::Commit:
        return 0;
    case JournalKind::Identity:
        return 1; // and the device and inode, in decimal
    }
    return 0;
}

bool KindFrom(const std::string& name, JournalKind& kind) {
    for (JournalKind candidate :
         {JournalKind::Folder, JournalKind::Entry, JournalKind::Move, JournalKind::Trash,
          JournalKind::Before, JournalKind::Commit, JournalKind::Identity}) {
        if (name == KindName(candidate)) {
            kind = candidate;
            return true;
        }
    }
    return false;
}

std::string Escape(const std::string& text) {
    return PercentEncode(text, [](unsigned char c) { return c != '%' && c >= 0x20 && c != 0x7f; });
}

bool Unescape(const std::string& text, std::string& out) {
    return PercentDecode(text, out, true);
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t tab = line.find('\t', start);
        fields.push_back(
            line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

bool DecimalFrom(const std::string& text, uint64& value) {
    if (text.empty() || text.size() > 19 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoull(text);
    return true;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ErrorText(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

} // namespace

bool IsPlainAbsolutePath(const std::string& path) {
    if (path.size() < 2 || path[0] != '/' || path.find('\0') != std::string::npos)
        return false;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

Journal::~Journal() {
    if (fFd >= 0)
        close(fFd);
}

std::string Journal::PathFor(const std::string& installFolder) {
    return ParentOf(installFolder) + "/." + LeafOf(installFolder) + ".tarnw-journal";
}

std::string Journal::LockPathFor(const std::string& installFolder) {
    return ParentOf(installFolder) + "/." + LeafOf(installFolder) + ".tarnw-lock";
}

bool Journal::Begin(const std::string& installFolder, const std::string& product) {
    Discard();
    fError.clear();
    fRecords.clear();
    if (!IsPlainAbsolutePath(installFolder)) {
        fError = "the installation folder " + installFolder + " is no plain absolute path";
        return false;
    }
    fInstallFolder = installFolder;
    fProduct = product;
    fPath = PathFor(installFolder);
    // Whatever has the name goes first (what an earlier run left was read before): a new
    // file of this process's own is made, never one another user prepared (a link, a FIFO
    // that would block, a file that user could still write to).
    if (unlink(fPath.c_str()) != 0 && errno != ENOENT) {
        fError = ErrorText("cannot replace the journal", fPath);
        return false;
    }
    fFd = open(fPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
               0600);
    if (fFd < 0) {
        fError = ErrorText("cannot create the journal", fPath);
        return false;
    }
    fEnd = 0;
    fReserved = 0;
    fMadeInstallFolder = false;
    std::string header = std::string(kMagic) + "\t" + kVersion + "\t" + Escape(installFolder) +
                         "\t" + std::to_string(getpid()) + "\t" + Escape(product) + "\n";
    if (!WriteLine(header, true)) {
        close(fFd);
        fFd = -1;
        unlink(fPath.c_str());
        return false;
    }
    posixfs::SyncFolder(ParentOf(fPath));
    return true;
}

bool Journal::WriteLine(const std::string& line, bool flush) {
    if (fFd < 0) {
        fError = "the journal is not open";
        return false;
    }
    if (fEnd + off_t(line.size()) > fReserved) {
        off_t want = fReserved + kReserveStep;
        while (want < fEnd + off_t(line.size()))
            want += kReserveStep;
        // Not every file system sets space aside; writing is what counts.
        if (fallocate(fFd, FALLOC_FL_KEEP_SIZE, 0, want) == 0)
            fReserved = want;
    }
    size_t done = 0;
    while (done < line.size()) {
        ssize_t written = pwrite(fFd, line.data() + done, line.size() - done, fEnd + off_t(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            fError = ErrorText("cannot write the journal", fPath);
            // A line written in part would end the reading there; it is cut off again.
            if (ftruncate(fFd, fEnd) != 0) {
                // The reader stops at the torn line anyway.
            }
            return false;
        }
        done += size_t(written);
    }
    if (flush && fdatasync(fFd) != 0) {
        fError = ErrorText("cannot flush the journal", fPath);
        return false;
    }
    fEnd += off_t(line.size());
    return true;
}

bool Journal::InsideMadeInstallFolder(const std::string& path) const {
    return fMadeInstallFolder && path.size() > fInstallFolder.size() &&
           path.compare(0, fInstallFolder.size(), fInstallFolder) == 0 &&
           path[fInstallFolder.size()] == '/';
}

bool Journal::Note(const JournalRecord& record) {
    // A flush costs milliseconds on a real disk: the records of the many files and folders
    // unpacked into the run's own installation folder need none, since a folder or file
    // that outlives its record there goes with the folder all the same.
    bool made = record.kind == JournalKind::Folder || record.kind == JournalKind::Entry;
    bool flush = !made || !InsideMadeInstallFolder(record.path);
    if (!WriteLine(FormatRecord(record), flush))
        return false;
    if (record.kind == JournalKind::Folder && record.path == fInstallFolder)
        fMadeInstallFolder = true;
    if (record.kind != JournalKind::Commit)
        fRecords.push_back(record);
    return true;
}

JournalContents Journal::Contents() const {
    JournalContents contents;
    contents.installFolder = fInstallFolder;
    contents.pid = int32(getpid());
    contents.product = fProduct;
    contents.records = fRecords;
    return contents;
}

void Journal::Close() {
    if (fFd < 0)
        return;
    close(fFd);
    fFd = -1;
    fRecords.clear();
}

void Journal::Discard() {
    if (fFd < 0)
        return;
    close(fFd);
    fFd = -1;
    unlink(fPath.c_str());
    posixfs::SyncFolder(ParentOf(fPath));
    fRecords.clear();
}

std::string Journal::FormatRecord(const JournalRecord& record) {
    std::string line = KindName(record.kind);
    const std::string* fields[] = {&record.path, &record.other, &record.third};
    for (size_t i = 0; i < FieldCount(record.kind); i++)
        line += "\t" + Escape(*fields[i]);
    if (record.kind == JournalKind::Identity)
        line += "\t" + std::to_string(record.device) + "\t" + std::to_string(record.inode);
    return line + "\n";
}

bool Journal::NoteIdentity(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    JournalRecord record{JournalKind::Identity, path, "", ""};
    record.device = uint64(info.st_dev);
    record.inode = uint64(info.st_ino);
    return Note(record);
}

bool Journal::Parse(const std::string& bytes, JournalContents& out, std::string& error) {
    out = JournalContents();
    size_t end = bytes.find('\n');
    if (end == std::string::npos) {
        error = "the journal has no complete first line";
        return false;
    }
    std::vector<std::string> header = SplitTabs(bytes.substr(0, end));
    if (header.size() != 5 || header[0] != kMagic) {
        error = "the file is no installation journal";
        return false;
    }
    if (header[1] != kVersion && header[1] != kFormerVersion) {
        error = "the journal has format version " + header[1].substr(0, 16) + ", not " + kVersion;
        return false;
    }
    if (!Unescape(header[2], out.installFolder) || !IsPlainAbsolutePath(out.installFolder)) {
        error = "the journal names no usable installation folder";
        return false;
    }
    const std::string& pid = header[3];
    if (pid.empty() || pid.size() > 9 || pid.find_first_not_of("0123456789") != std::string::npos) {
        error = "the journal names no process";
        return false;
    }
    out.pid = int32(std::stol(pid));
    if (!Unescape(header[4], out.product)) {
        error = "the journal's product name is malformed";
        return false;
    }

    // Records up to the first one that is incomplete or malformed: the run cannot have
    // acted on what it had not finished writing.
    size_t start = end + 1;
    while (start < bytes.size()) {
        end = bytes.find('\n', start);
        if (end == std::string::npos)
            break;
        std::vector<std::string> fields = SplitTabs(bytes.substr(start, end - start));
        start = end + 1;
        JournalRecord record;
        if (!KindFrom(fields[0], record.kind))
            break;
        size_t paths = FieldCount(record.kind);
        size_t numbers = record.kind == JournalKind::Identity ? 2 : 0;
        if (fields.size() != 1 + paths + numbers)
            break;
        std::string* targets[] = {&record.path, &record.other, &record.third};
        bool usable = true;
        for (size_t i = 1; i <= paths && usable; i++)
            usable = Unescape(fields[i], *targets[i - 1]) && IsPlainAbsolutePath(*targets[i - 1]);
        if (usable && numbers == 2)
            usable = DecimalFrom(fields[1 + paths], record.device) &&
                     DecimalFrom(fields[2 + paths], record.inode);
        if (!usable)
            break;
        if (record.kind == JournalKind::Commit) {
            out.committed = true;
            continue;
        }
        out.records.push_back(record);
    }
    return true;
}

bool Journal::Load(const std::string& path, JournalContents& out, std::string& error,
                   bool* notOwn) {
    std::string bytes;
    ownfile::Verdict verdict = ownfile::Verdict::Missing;
    bool read = ownfile::ReadAll(path, kMaxJournalSize, bytes, verdict, error);
    if (notOwn != nullptr)
        *notOwn = !read && verdict != ownfile::Verdict::Own &&
                  verdict != ownfile::Verdict::Missing && verdict != ownfile::Verdict::Unreadable;
    if (!read)
        return false;
    return Parse(bytes, out, error);
}
