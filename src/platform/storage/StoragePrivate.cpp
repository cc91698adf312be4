#include "platform/storage/StoragePrivate.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace storage_private {

status_t ErrnoStatus() {
    return status_from_errno(errno);
}

status_t AttrErrnoStatus(int error) {
    switch (error) {
    case ENOTSUP:
        return B_ATTRIBUTES_NOT_SUPPORTED;
    case ENODATA:
        return B_ENTRY_NOT_FOUND;
    case ENOSPC:
        return B_DEVICE_FULL;
    case E2BIG:
    case ERANGE:
        return B_BAD_VALUE;
    default:
        return status_from_errno(error);
    }
}

std::string MakeAbsolute(const char* path) {
    if (path == nullptr || *path == '\0')
        return "";
    if (path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) == nullptr)
        return "";
    return JoinPath(cwd, path);
}

std::string JoinPath(const std::string& dir, const std::string& leaf) {
    if (leaf.empty())
        return dir;
    if (dir.empty())
        return leaf;
    if (dir.back() == '/')
        return dir + leaf;
    return dir + "/" + leaf;
}

std::string NormalizeLexically(const std::string& absolute) {
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < absolute.size()) {
        size_t j = absolute.find('/', i);
        if (j == std::string::npos)
            j = absolute.size();
        std::string part = absolute.substr(i, j - i);
        if (part.empty() || part == ".") {
        } else if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

bool NeedsNormalization(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return true;
    if (path.size() > 1 && path.back() == '/')
        return true;
    if (path.find("//") != std::string::npos || path.find("/./") != std::string::npos ||
        path.find("/../") != std::string::npos)
        return true;
    auto endsWith = [&](const char* tail) {
        size_t n = strlen(tail);
        return path.size() >= n && path.compare(path.size() - n, n, tail) == 0;
    };
    return endsWith("/.") || endsWith("/..");
}

std::string LeafOf(const std::string& path) {
    if (path == "/")
        return "/";
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentOf(const std::string& path) {
    if (path == "/")
        return "";
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

status_t ResolveEntryPath(const std::string& absolute, bool traverse, std::string* out) {
    if (absolute.empty() || absolute[0] != '/')
        return B_BAD_VALUE;
    // Collapse repeated and trailing slashes only; "." and ".." are left to the kernel.
    std::string path;
    for (char c : absolute) {
        if (c == '/' && !path.empty() && path.back() == '/')
            continue;
        path += c;
    }
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.size() >= PATH_MAX)
        return B_NAME_TOO_LONG;

    char resolved[PATH_MAX];
    std::string leaf = LeafOf(path);
    if (path == "/" || leaf == "." || leaf == "..") {
        if (realpath(path.c_str(), resolved) == nullptr)
            return ErrnoStatus();
        *out = resolved;
        return B_OK;
    }
    if (leaf.size() >= B_FILE_NAME_LENGTH)
        return B_NAME_TOO_LONG;
    std::string parent = ParentOf(path);
    if (realpath(parent.c_str(), resolved) == nullptr)
        return ErrnoStatus();
    std::string result = JoinPath(resolved, leaf);
    if (traverse) {
        struct stat st;
        if (lstat(result.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            if (realpath(result.c_str(), resolved) == nullptr)
                return ErrnoStatus();
            result = resolved;
        }
    }
    *out = result;
    return B_OK;
}

status_t GetXattr(int fd, const std::string& path, const std::string& name,
                  std::vector<uint8>* out) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        ssize_t size = fd >= 0 ? fgetxattr(fd, name.c_str(), nullptr, 0)
                               : lgetxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0)
            return AttrErrnoStatus(errno);
        out->resize(static_cast<size_t>(size));
        ssize_t got = fd >= 0 ? fgetxattr(fd, name.c_str(), out->data(), out->size())
                              : lgetxattr(path.c_str(), name.c_str(), out->data(), out->size());
        if (got >= 0) {
            out->resize(static_cast<size_t>(got));
            return B_OK;
        }
        if (errno != ERANGE)
            return AttrErrnoStatus(errno);
    }
    return B_BUSY;
}

status_t SetXattr(int fd, const std::string& path, const std::string& name, const void* data,
                  size_t size) {
    int result = fd >= 0 ? fsetxattr(fd, name.c_str(), data, size, 0)
                         : lsetxattr(path.c_str(), name.c_str(), data, size, 0);
    if (result == 0)
        return B_OK;
    // Linux refuses user attributes on symbolic links and special files with EPERM.
    if (errno == EPERM) {
        struct stat st;
        if (lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            return B_ATTRIBUTES_NOT_SUPPORTED;
    }
    return AttrErrnoStatus(errno);
}

status_t RemoveXattr(int fd, const std::string& path, const std::string& name) {
    int result =
        fd >= 0 ? fremovexattr(fd, name.c_str()) : lremovexattr(path.c_str(), name.c_str());
    return result == 0 ? B_OK : AttrErrnoStatus(errno);
}

status_t ListXattr(int fd, const std::string& path, std::vector<std::string>* names) {
    names->clear();
    std::vector<char> buffer;
    for (int attempt = 0; attempt < 8; ++attempt) {
        ssize_t size = fd >= 0 ? flistxattr(fd, nullptr, 0) : llistxattr(path.c_str(), nullptr, 0);
        if (size < 0)
            return AttrErrnoStatus(errno);
        buffer.resize(static_cast<size_t>(size) + 1);
        ssize_t got = fd >= 0 ? flistxattr(fd, buffer.data(), buffer.size())
                              : llistxattr(path.c_str(), buffer.data(), buffer.size());
        if (got >= 0) {
            size_t i = 0;
            while (i < static_cast<size_t>(got)) {
                size_t len = strnlen(buffer.data() + i, static_cast<size_t>(got) - i);
                if (len > 0)
                    names->emplace_back(buffer.data() + i, len);
                i += len + 1;
            }
            return B_OK;
        }
        if (errno != ERANGE)
            return AttrErrnoStatus(errno);
    }
    return B_BUSY;
}

status_t WriteFully(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ErrnoStatus();
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return B_OK;
}

status_t PwriteFully(int fd, const void* data, size_t size, off_t offset) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = pwrite(fd, p, size, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ErrnoStatus();
        }
        p += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return B_OK;
}

ssize_t PreadFully(int fd, void* data, size_t size, off_t offset) {
    char* p = static_cast<char*>(data);
    size_t done = 0;
    while (done < size) {
        ssize_t n = pread(fd, p + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ErrnoStatus();
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

std::string Env(const char* name, const std::string& fallback) {
    const char* value = getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

} // namespace storage_private
