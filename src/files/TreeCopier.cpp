#include "files/TreeCopier.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "lib/PosixFs.h"

namespace {

// Copies the user extended attributes (node attributes, MIME type). A destination file
// system without extended attributes simply does not get them.
void CopyAttributes(int srcFd, int dstFd) {
    ssize_t length = flistxattr(srcFd, nullptr, 0);
    if (length <= 0)
        return;
    std::vector<char> names(static_cast<size_t>(length));
    length = flistxattr(srcFd, names.data(), names.size());
    if (length <= 0)
        return;
    std::vector<char> value;
    for (ssize_t at = 0; at < length;) {
        const char* name = names.data() + at;
        at += static_cast<ssize_t>(strlen(name)) + 1;
        if (strncmp(name, "user.", 5) != 0)
            continue;
        ssize_t size = fgetxattr(srcFd, name, nullptr, 0);
        if (size < 0)
            continue;
        value.resize(static_cast<size_t>(size) + 1);
        size = fgetxattr(srcFd, name, value.data(), value.size());
        if (size < 0)
            continue;
        if (fsetxattr(dstFd, name, value.data(), static_cast<size_t>(size), 0) != 0 &&
            (errno == ENOTSUP || errno == EOPNOTSUPP))
            return;
    }
}

bool CopyData(int srcFd, int dstFd, off_t size) {
    off_t done = 0;
    bool useRange = true;
    while (useRange && done < size) {
        ssize_t n = copy_file_range(srcFd, nullptr, dstFd, nullptr,
                                    static_cast<size_t>(std::min<off_t>(size - done, 1 << 30)), 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                errno == EBADF) {
                useRange = false;
                break;
            }
            return false;
        }
        if (n == 0)
            break; // the file shrank; copy what is there
        done += n;
    }
    if (useRange)
        return true;
    // Fall back to plain reads and writes from where the kernel stopped.
    if (lseek(srcFd, done, SEEK_SET) < 0 || lseek(dstFd, done, SEEK_SET) < 0)
        return false;
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        ssize_t n = read(srcFd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (!posixfs::WriteAll(dstFd, buffer.data(), static_cast<size_t>(n)))
            return false;
    }
}

void KeepTimes(int fd, const struct stat& st) {
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    futimens(fd, times);
}

} // namespace

bool TreeCopier::Fail(Failure failure) {
    if (!fFailure)
        fFailure = std::move(failure);
    return false;
}

Result<void> TreeCopier::Copy(const char* source, const char* destination) {
    fFailure.reset();
    if (CopyTree(source, destination))
        return Done();
    if (!fFailure)
        fFailure = Failure::Because("cannot copy", source != nullptr ? source : "", "");
    return *fFailure;
}

bool TreeCopier::CopyTree(const char* source, const char* destination) {
    std::string srcParent, srcLeaf, dstParent, dstLeaf;
    if (source == nullptr || !posixfs::SplitParentLeaf(source, srcParent, srcLeaf))
        return Fail(Failure::Because("cannot copy", source != nullptr ? source : "",
                                     "the source is not a valid path"));
    if (destination == nullptr || !posixfs::SplitParentLeaf(destination, dstParent, dstLeaf))
        return Fail(Failure::Because("cannot copy to", destination != nullptr ? destination : "",
                                     "the destination is not a valid path"));

    // A folder copied into itself would never end.
    char srcReal[PATH_MAX], dstReal[PATH_MAX];
    struct stat st;
    if (lstat(source, &st) == 0 && S_ISDIR(st.st_mode) && realpath(source, srcReal) &&
        realpath(dstParent.c_str(), dstReal)) {
        std::string inside = std::string(dstReal) + "/";
        std::string folder = std::string(srcReal) + "/";
        if (inside.compare(0, folder.size(), folder) == 0)
            return Fail(
                Failure::Because("cannot copy", source, "a folder cannot be copied into itself"));
    }

    int srcDirFd = open(srcParent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (srcDirFd < 0)
        return Fail(Failure::System("cannot open", srcParent));
    int dstDirFd = open(dstParent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dstDirFd < 0) {
        close(srcDirFd);
        return Fail(Failure::System("cannot open", dstParent));
    }
    bool ok = CopyEntry(srcDirFd, srcLeaf, dstDirFd, dstLeaf, source, true);
    close(srcDirFd);
    close(dstDirFd);
    return ok;
}

bool TreeCopier::CopyEntry(int srcDirFd, const std::string& srcLeaf, int dstDirFd,
                           const std::string& dstLeaf, const std::string& shown, bool top) {
    struct stat st;
    if (fstatat(srcDirFd, srcLeaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return Fail(Failure::System("cannot read", shown));
    if (S_ISLNK(st.st_mode))
        return CopyLink(srcDirFd, srcLeaf, st, dstDirFd, dstLeaf, shown);
    if (S_ISREG(st.st_mode)) {
        int fd = openat(srcDirFd, srcLeaf.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return Fail(Failure::System("cannot open", shown));
        bool ok = CopyFile(fd, st, dstDirFd, dstLeaf, shown);
        close(fd);
        return ok;
    }
    if (!S_ISDIR(st.st_mode)) {
        fprintf(stderr, "LibCopy: skipping \"%s\", which is not a file, folder or link\n",
                shown.c_str());
        return true;
    }

    int srcFd = openat(srcDirFd, srcLeaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (srcFd < 0)
        return Fail(Failure::System("cannot open folder", shown));

    struct stat existing;
    if (fstatat(dstDirFd, dstLeaf.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISDIR(existing.st_mode)) {
            close(srcFd);
            return Fail(Failure::Because("cannot copy the folder", shown,
                                         "the file \"" + dstLeaf + "\" is in its place"));
        }
        int dstFd =
            openat(dstDirFd, dstLeaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        bool ok = dstFd >= 0 ? CopyChildren(srcFd, dstFd, shown)
                             : Fail(Failure::System("cannot open folder", dstLeaf));
        if (dstFd >= 0)
            close(dstFd);
        close(srcFd);
        return ok;
    }

    // A new tree is built under a hidden name at the top and renamed when complete.
    std::string building = top ? posixfs::TemporaryLeaf("copy") : dstLeaf;
    if (mkdirat(dstDirFd, building.c_str(), 0700) != 0) {
        close(srcFd);
        return Fail(Failure::System("cannot create folder", dstLeaf));
    }
    int dstFd = openat(dstDirFd, building.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    bool ok = dstFd >= 0 ? CopyChildren(srcFd, dstFd, shown)
                         : Fail(Failure::System("cannot open folder", dstLeaf));
    if (ok) {
        CopyAttributes(srcFd, dstFd);
        fchmod(dstFd, st.st_mode & 07777);
        KeepTimes(dstFd, st);
    }
    if (dstFd >= 0)
        close(dstFd);
    close(srcFd);
    if (top) {
        if (ok &&
            renameat2(dstDirFd, building.c_str(), dstDirFd, dstLeaf.c_str(), RENAME_NOREPLACE) != 0)
            ok = Fail(Failure::System("cannot put in place", dstLeaf));
        if (!ok)
            posixfs::RemoveTreeAt(dstDirFd, building.c_str());
    }
    return ok;
}

bool TreeCopier::CopyChildren(int srcFd, int dstFd, const std::string& shown) {
    int listFd = dup(srcFd);
    DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (dir == nullptr) {
        if (listFd >= 0)
            close(listFd);
        return Fail(Failure::System("cannot read folder", shown));
    }
    std::vector<std::string> names;
    while (struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        names.emplace_back(name);
    }
    closedir(dir);
    for (const std::string& name : names) {
        if (!CopyEntry(srcFd, name, dstFd, name, shown + "/" + name, false))
            return false;
    }
    return true;
}

bool TreeCopier::CopyFile(int srcFd, const struct stat& st, int dstDirFd,
                          const std::string& dstLeaf, const std::string& shown) {
    std::string temporary = posixfs::TemporaryLeaf();
    int fd = openat(dstDirFd, temporary.c_str(),
                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(Failure::System("cannot create a copy of", shown));
    bool ok = CopyData(srcFd, fd, st.st_size) || Fail(Failure::System("cannot copy", shown));
    if (ok) {
        CopyAttributes(srcFd, fd);
        fchmod(fd, st.st_mode & 07777);
        KeepTimes(fd, st);
    }
    if (close(fd) != 0 && ok)
        ok = Fail(Failure::System("cannot copy", shown));
    if (ok && renameat(dstDirFd, temporary.c_str(), dstDirFd, dstLeaf.c_str()) != 0)
        ok = Fail(Failure::System("cannot put in place the copy of", shown));
    if (!ok)
        unlinkat(dstDirFd, temporary.c_str(), 0);
    return ok;
}

bool TreeCopier::CopyLink(int srcDirFd, const std::string& srcLeaf, const struct stat& st,
                          int dstDirFd, const std::string& dstLeaf, const std::string& shown) {
    std::vector<char> target(static_cast<size_t>(std::max<off_t>(st.st_size, PATH_MAX)) + 1);
    ssize_t n = readlinkat(srcDirFd, srcLeaf.c_str(), target.data(), target.size() - 1);
    if (n < 0)
        return Fail(Failure::System("cannot read link", shown));
    target[static_cast<size_t>(n)] = '\0';
    std::string temporary = posixfs::TemporaryLeaf();
    if (symlinkat(target.data(), dstDirFd, temporary.c_str()) != 0)
        return Fail(Failure::System("cannot copy link", shown));
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    utimensat(dstDirFd, temporary.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (renameat(dstDirFd, temporary.c_str(), dstDirFd, dstLeaf.c_str()) != 0) {
        int error = errno;
        unlinkat(dstDirFd, temporary.c_str(), 0);
        return Fail(Failure::System("cannot put in place the copy of the link", shown, error));
    }
    return true;
}
