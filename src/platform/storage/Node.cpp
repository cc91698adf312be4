#include "platform/storage/Node.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "platform/storage/Directory.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Mime.h"
#include "platform/storage/NodeAttributes.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;

namespace {

const std::string kUserPrefix = "user.";
// Companion attributes holding the type code of attribute NAME.
const std::string kTypePrefix = "tarnw.type.";
using node_attributes::TypeName;
using node_attributes::ValueName;
// Largest value Linux keeps in one extended attribute.
constexpr size_t kMaxAttrSize = 64 * 1024;

status_t CheckName(const char* name) {
    if (name == nullptr || *name == '\0')
        return B_BAD_VALUE;
    size_t length = strlen(name);
    if (length >= B_ATTR_NAME_LENGTH || kUserPrefix.size() + kTypePrefix.size() + length > 255)
        return B_NAME_TOO_LONG;
    if (strncmp(name, kTypePrefix.c_str(), kTypePrefix.size()) == 0)
        return B_NOT_ALLOWED;
    return B_OK;
}

} // namespace

BNode::BNode() : fFd(-1), fIsLink(false), fStatus(B_NO_INIT), fAttrCursor(0), fAttrListed(false) {}

BNode::BNode(const entry_ref* ref) : BNode() {
    SetTo(ref);
}

BNode::BNode(const BEntry* entry) : BNode() {
    SetTo(entry);
}

BNode::BNode(const char* path) : BNode() {
    SetTo(path);
}

BNode::BNode(const BDirectory* dir, const char* path) : BNode() {
    SetTo(dir, path);
}

BNode::BNode(const BNode& other) : BNode() {
    *this = other;
}

BNode::~BNode() {
    CloseNode();
}

BNode& BNode::operator=(const BNode& other) {
    if (this == &other)
        return *this;
    CloseNode();
    fPath = other.fPath;
    fIsLink = other.fIsLink;
    fStatus = other.fStatus;
    if (other.fFd >= 0) {
        fFd = fcntl(other.fFd, F_DUPFD_CLOEXEC, 0);
        if (fFd < 0)
            fStatus = ErrnoStatus();
    }
    return *this;
}

bool BNode::operator==(const BNode& other) const {
    if (fStatus != B_OK || other.fStatus != B_OK)
        return fStatus != B_OK && other.fStatus != B_OK;
    struct stat a, b;
    if (GetStat(&a) != B_OK || other.GetStat(&b) != B_OK)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

status_t BNode::InitCheck() const {
    return fStatus;
}

void BNode::CloseNode() {
    if (fFd >= 0)
        close(fFd);
    fFd = -1;
    fPath.clear();
    fIsLink = false;
    fStatus = B_NO_INIT;
    fAttrNames.clear();
    fAttrCursor = 0;
    fAttrListed = false;
}

void BNode::AdoptDescriptor(int fd, const std::string& path) {
    CloseNode();
    fFd = fd;
    fPath = path;
    fStatus = B_OK;
}

status_t BNode::OpenNode(const std::string& path) {
    CloseNode();
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return fStatus = ErrnoStatus();
    fPath = path;
    if (S_ISLNK(st.st_mode)) {
        fIsLink = true;
        return fStatus = B_OK;
    }
    // A descriptor keeps the node while it is renamed; special files are only referenced
    // by path so that opening them has no side effects.
    if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
        int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd >= 0)
            fFd = fd;
        else if (errno != EACCES && errno != EPERM)
            return fStatus = ErrnoStatus();
    }
    return fStatus = B_OK;
}

status_t BNode::SetTo(const entry_ref* ref) {
    if (ref == nullptr || *ref->path() == '\0') {
        CloseNode();
        return fStatus = B_BAD_VALUE;
    }
    return OpenNode(ref->path());
}

status_t BNode::SetTo(const BEntry* entry) {
    if (entry == nullptr || entry->InitCheck() != B_OK) {
        CloseNode();
        return fStatus = B_BAD_VALUE;
    }
    return OpenNode(entry->Path());
}

status_t BNode::SetTo(const char* path) {
    BEntry entry(path, true);
    if (entry.InitCheck() != B_OK) {
        CloseNode();
        return fStatus = entry.InitCheck();
    }
    return OpenNode(entry.Path());
}

status_t BNode::SetTo(const BDirectory* dir, const char* path) {
    BEntry entry(dir, path, true);
    if (entry.InitCheck() != B_OK) {
        CloseNode();
        return fStatus = entry.InitCheck();
    }
    return OpenNode(entry.Path());
}

void BNode::Unset() {
    CloseNode();
}

status_t BNode::GetStat(struct stat* st) const {
    if (fStatus != B_OK)
        return fStatus;
    if (st == nullptr)
        return B_BAD_VALUE;
    int result = fFd >= 0 ? fstat(fFd, st) : lstat(fPath.c_str(), st);
    return result == 0 ? B_OK : ErrnoStatus();
}

status_t BNode::Sync() {
    if (fStatus != B_OK)
        return fStatus;
    if (fFd < 0)
        return B_OK;
    return fsync(fFd) == 0 ? B_OK : ErrnoStatus();
}

ssize_t BNode::WriteAttr(const char* name, type_code type, off_t offset, const void* buffer,
                         size_t length) {
    if (fStatus != B_OK)
        return fStatus;
    status_t status = CheckName(name);
    if (status != B_OK)
        return status;
    if (offset < 0 || (buffer == nullptr && length > 0) || length > kMaxAttrSize ||
        static_cast<size_t>(offset) > kMaxAttrSize - length)
        return B_BAD_VALUE;
    if (fIsLink)
        return B_ATTRIBUTES_NOT_SUPPORTED;

    std::vector<uint8> value;
    if (offset > 0) {
        status = GetXattr(fFd, fPath, ValueName(name), &value);
        if (status != B_OK && status != B_ENTRY_NOT_FOUND)
            return status;
        if (value.size() < static_cast<size_t>(offset) + length)
            value.resize(static_cast<size_t>(offset) + length, 0);
    } else {
        value.resize(length);
    }
    if (length > 0)
        memcpy(value.data() + offset, buffer, length);

    status = node_attributes::Write(fFd, fPath, name, type, value.data(), value.size(), false);
    if (status != B_OK)
        return status;
    return static_cast<ssize_t>(length);
}

ssize_t BNode::ReadAttr(const char* name, type_code, off_t offset, void* buffer,
                        size_t length) const {
    if (fStatus != B_OK)
        return fStatus;
    if (name == nullptr || *name == '\0' || offset < 0 || (buffer == nullptr && length > 0))
        return B_BAD_VALUE;
    if (fIsLink)
        return B_ATTRIBUTES_NOT_SUPPORTED;
    std::vector<uint8> value;
    status_t status = GetXattr(fFd, fPath, ValueName(name), &value);
    if (status != B_OK)
        return status;
    if (static_cast<size_t>(offset) >= value.size())
        return 0;
    size_t count = std::min(length, value.size() - static_cast<size_t>(offset));
    memcpy(buffer, value.data() + offset, count);
    return static_cast<ssize_t>(count);
}

status_t BNode::RemoveAttr(const char* name) {
    if (fStatus != B_OK)
        return fStatus;
    status_t status = CheckName(name);
    if (status != B_OK)
        return status;
    if (fIsLink)
        return B_ATTRIBUTES_NOT_SUPPORTED;
    status = RemoveXattr(fFd, fPath, ValueName(name));
    status_t typeStatus = RemoveXattr(fFd, fPath, TypeName(name));
    // A stray type companion alone does not make an attribute.
    if (status == B_ENTRY_NOT_FOUND && typeStatus == B_OK)
        return B_ENTRY_NOT_FOUND;
    return status;
}

status_t BNode::RenameAttr(const char* oldName, const char* newName) {
    if (fStatus != B_OK)
        return fStatus;
    status_t status = CheckName(oldName);
    if (status == B_OK)
        status = CheckName(newName);
    if (status != B_OK)
        return status;
    attr_info info;
    status = GetAttrInfo(oldName, &info);
    if (status != B_OK)
        return status;
    std::vector<uint8> value;
    status = GetXattr(fFd, fPath, ValueName(oldName), &value);
    if (status != B_OK)
        return status;
    ssize_t written = WriteAttr(newName, info.type, 0, value.data(), value.size());
    if (written < 0)
        return static_cast<status_t>(written);
    return RemoveAttr(oldName);
}

status_t BNode::GetAttrInfo(const char* name, attr_info* info) const {
    if (fStatus != B_OK)
        return fStatus;
    if (name == nullptr || *name == '\0' || info == nullptr)
        return B_BAD_VALUE;
    if (fIsLink)
        return B_ATTRIBUTES_NOT_SUPPORTED;
    std::vector<uint8> value;
    status_t status = GetXattr(fFd, fPath, ValueName(name), &value);
    if (status != B_OK)
        return status;
    std::vector<uint8> type;
    if (GetXattr(fFd, fPath, TypeName(name), &type) == B_OK && type.size() == 4)
        info->type =
            uint32(type[0]) << 24 | uint32(type[1]) << 16 | uint32(type[2]) << 8 | uint32(type[3]);
    else
        info->type = node_attributes::ImpliedType(name, value.data(), value.size());
    info->size = static_cast<off_t>(value.size());
    return B_OK;
}

status_t BNode::GetNextAttrName(char* buffer) {
    if (fStatus != B_OK)
        return fStatus;
    if (buffer == nullptr)
        return B_BAD_VALUE;
    if (fIsLink)
        return B_ENTRY_NOT_FOUND;
    if (!fAttrListed) {
        std::vector<std::string> names;
        status_t status = ListXattr(fFd, fPath, &names);
        if (status != B_OK)
            return status;
        fAttrNames.clear();
        for (const std::string& full : names) {
            if (full.compare(0, kUserPrefix.size(), kUserPrefix) != 0)
                continue;
            std::string name = full.substr(kUserPrefix.size());
            if (name.empty() || name.compare(0, kTypePrefix.size(), kTypePrefix) == 0 ||
                name.size() >= B_ATTR_NAME_LENGTH)
                continue;
            fAttrNames.push_back(name);
        }
        fAttrListed = true;
        fAttrCursor = 0;
    }
    if (fAttrCursor >= fAttrNames.size())
        return B_ENTRY_NOT_FOUND;
    snprintf(buffer, B_ATTR_NAME_LENGTH, "%s", fAttrNames[fAttrCursor++].c_str());
    return B_OK;
}

status_t BNode::RewindAttrs() {
    if (fStatus != B_OK)
        return fStatus;
    fAttrListed = false;
    fAttrNames.clear();
    fAttrCursor = 0;
    return B_OK;
}
