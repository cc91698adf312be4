#include "platform/storage/File.h"

#include <cerrno>
#include <unistd.h>

#include "platform/storage/Directory.h"
#include "platform/storage/Entry.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;

namespace {
constexpr uint32 kAccessMask = O_ACCMODE;
constexpr uint32 kKnownModes =
    O_ACCMODE | B_CREATE_FILE | B_ERASE_FILE | B_FAIL_IF_EXISTS | B_OPEN_AT_END;
} // namespace

BFile::BFile() : fMode(0), fWriteRefused(false) {}

BFile::BFile(const entry_ref* ref, uint32 openMode) : BFile() {
    SetTo(ref, openMode);
}

BFile::BFile(const BEntry* entry, uint32 openMode) : BFile() {
    SetTo(entry, openMode);
}

BFile::BFile(const char* path, uint32 openMode) : BFile() {
    SetTo(path, openMode);
}

BFile::BFile(const BDirectory* dir, const char* path, uint32 openMode) : BFile() {
    SetTo(dir, path, openMode);
}

BFile::BFile(const BFile& other)
    : BNode(other), fMode(other.fMode), fWriteRefused(other.fWriteRefused) {}

BFile::~BFile() = default;

BFile& BFile::operator=(const BFile& other) {
    if (this != &other) {
        BNode::operator=(other);
        fMode = other.fMode;
        fWriteRefused = other.fWriteRefused;
    }
    return *this;
}

status_t BFile::OpenFile(const std::string& absolute, uint32 openMode) {
    CloseNode();
    fMode = 0;
    fWriteRefused = false;
    if (absolute.empty() || (openMode & ~kKnownModes) != 0)
        return fStatus = B_BAD_VALUE;

    // Existing files are opened through links; a new file is created in the resolved
    // folder.
    std::string path;
    status_t status = ResolveEntryPath(absolute, true, &path);
    if (status != B_OK) {
        status = ResolveEntryPath(absolute, false, &path);
        if (status != B_OK)
            return fStatus = status;
    }
    int flags = static_cast<int>(openMode) | O_CLOEXEC | O_NOCTTY;
    int fd = open(path.c_str(), flags, 0666);
    if (fd < 0 && errno == ETXTBSY && (openMode & kAccessMask) != O_RDONLY) {
        // A running program: its data cannot change, but its attributes can.
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd >= 0)
            fWriteRefused = true;
    }
    if (fd < 0)
        return fStatus = ErrnoStatus();
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return fStatus = B_IS_A_DIRECTORY;
    }
    std::string resolved;
    if (ResolveEntryPath(path, true, &resolved) != B_OK)
        resolved = path;
    AdoptDescriptor(fd, resolved);
    fMode = openMode;
    return fStatus = B_OK;
}

status_t BFile::SetTo(const entry_ref* ref, uint32 openMode) {
    if (ref == nullptr || *ref->path() == '\0') {
        CloseNode();
        return fStatus = B_BAD_VALUE;
    }
    return OpenFile(ref->path(), openMode);
}

status_t BFile::SetTo(const BEntry* entry, uint32 openMode) {
    if (entry == nullptr || entry->InitCheck() != B_OK) {
        CloseNode();
        return fStatus = B_BAD_VALUE;
    }
    return OpenFile(entry->Path(), openMode);
}

status_t BFile::SetTo(const char* path, uint32 openMode) {
    if (path == nullptr || *path == '\0') {
        CloseNode();
        return fStatus = B_BAD_VALUE;
    }
    return OpenFile(MakeAbsolute(path), openMode);
}

status_t BFile::SetTo(const BDirectory* dir, const char* path, uint32 openMode) {
    if (dir == nullptr || dir->InitCheck() != B_OK || path == nullptr || *path == '\0') {
        CloseNode();
        return fStatus = B_BAD_VALUE;
    }
    return OpenFile(path[0] == '/' ? std::string(path) : JoinPath(dir->Path(), path), openMode);
}

bool BFile::IsReadable() const {
    return fStatus == B_OK &&
           ((fMode & kAccessMask) == O_RDONLY || (fMode & kAccessMask) == O_RDWR);
}

bool BFile::IsWritable() const {
    return fStatus == B_OK && !fWriteRefused &&
           ((fMode & kAccessMask) == O_WRONLY || (fMode & kAccessMask) == O_RDWR);
}

ssize_t BFile::Read(void* buffer, size_t size) {
    if (fStatus != B_OK)
        return fStatus;
    if (!IsReadable())
        return B_NOT_ALLOWED;
    ssize_t n;
    do
        n = read(fFd, buffer, size);
    while (n < 0 && errno == EINTR);
    return n < 0 ? ErrnoStatus() : n;
}

ssize_t BFile::ReadAt(off_t position, void* buffer, size_t size) {
    if (fStatus != B_OK)
        return fStatus;
    if (!IsReadable())
        return B_NOT_ALLOWED;
    if (position < 0)
        return B_BAD_VALUE;
    return PreadFully(fFd, buffer, size, position);
}

ssize_t BFile::Write(const void* buffer, size_t size) {
    if (fStatus != B_OK)
        return fStatus;
    if (fWriteRefused)
        return B_BUSY;
    if (!IsWritable())
        return B_NOT_ALLOWED;
    status_t status = WriteFully(fFd, buffer, size);
    return status == B_OK ? static_cast<ssize_t>(size) : status;
}

ssize_t BFile::WriteAt(off_t position, const void* buffer, size_t size) {
    if (fStatus != B_OK)
        return fStatus;
    if (fWriteRefused)
        return B_BUSY;
    if (!IsWritable())
        return B_NOT_ALLOWED;
    if (position < 0)
        return B_BAD_VALUE;
    if (fMode & B_OPEN_AT_END) {
        // pwrite() appends on such descriptors; keep the positioned meaning instead.
        off_t saved = lseek(fFd, 0, SEEK_CUR);
        int flags = fcntl(fFd, F_GETFL);
        fcntl(fFd, F_SETFL, flags & ~O_APPEND);
        status_t status = PwriteFully(fFd, buffer, size, position);
        fcntl(fFd, F_SETFL, flags);
        lseek(fFd, saved, SEEK_SET);
        return status == B_OK ? static_cast<ssize_t>(size) : status;
    }
    status_t status = PwriteFully(fFd, buffer, size, position);
    return status == B_OK ? static_cast<ssize_t>(size) : status;
}

off_t BFile::Seek(off_t position, uint32 seekMode) {
    if (fStatus != B_OK)
        return fStatus;
    if (seekMode != SEEK_SET && seekMode != SEEK_CUR && seekMode != SEEK_END)
        return B_BAD_VALUE;
    off_t result = lseek(fFd, position, static_cast<int>(seekMode));
    return result < 0 ? ErrnoStatus() : result;
}

off_t BFile::Position() const {
    if (fStatus != B_OK)
        return fStatus;
    off_t result = lseek(fFd, 0, SEEK_CUR);
    return result < 0 ? ErrnoStatus() : result;
}

status_t BFile::GetSize(off_t* size) const {
    return BStatable::GetSize(size);
}

status_t BFile::SetSize(off_t size) {
    if (fStatus != B_OK)
        return fStatus;
    if (fWriteRefused)
        return B_BUSY;
    if (!IsWritable())
        return B_NOT_ALLOWED;
    if (size < 0)
        return B_BAD_VALUE;
    return ftruncate(fFd, size) == 0 ? B_OK : ErrnoStatus();
}
