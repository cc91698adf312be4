#include "platform/storage/Statable.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "platform/storage/StoragePrivate.h"
#include "platform/storage/Volume.h"

using storage_private::ErrnoStatus;

BStatable::~BStatable() = default;

bool BStatable::IsFile() const {
    struct stat st;
    return GetStat(&st) == B_OK && S_ISREG(st.st_mode);
}

bool BStatable::IsDirectory() const {
    struct stat st;
    return GetStat(&st) == B_OK && S_ISDIR(st.st_mode);
}

bool BStatable::IsSymLink() const {
    struct stat st;
    return GetStat(&st) == B_OK && S_ISLNK(st.st_mode);
}

status_t BStatable::GetNodeRef(node_ref* ref) const {
    if (ref == nullptr)
        return B_BAD_VALUE;
    struct stat st;
    status_t status = GetStat(&st);
    if (status != B_OK)
        return status;
    *ref = node_ref(st.st_dev, st.st_ino);
    return B_OK;
}

status_t BStatable::GetOwner(uid_t* owner) const {
    struct stat st;
    status_t status = owner == nullptr ? B_BAD_VALUE : GetStat(&st);
    if (status == B_OK)
        *owner = st.st_uid;
    return status;
}

status_t BStatable::SetOwner(uid_t owner) {
    int result = StatFollowsLinks() ? chown(StatPath(), owner, static_cast<gid_t>(-1))
                                    : lchown(StatPath(), owner, static_cast<gid_t>(-1));
    return result == 0 ? B_OK : ErrnoStatus();
}

status_t BStatable::GetGroup(gid_t* group) const {
    struct stat st;
    status_t status = group == nullptr ? B_BAD_VALUE : GetStat(&st);
    if (status == B_OK)
        *group = st.st_gid;
    return status;
}

status_t BStatable::SetGroup(gid_t group) {
    int result = StatFollowsLinks() ? chown(StatPath(), static_cast<uid_t>(-1), group)
                                    : lchown(StatPath(), static_cast<uid_t>(-1), group);
    return result == 0 ? B_OK : ErrnoStatus();
}

status_t BStatable::GetPermissions(mode_t* perms) const {
    struct stat st;
    status_t status = perms == nullptr ? B_BAD_VALUE : GetStat(&st);
    if (status == B_OK)
        *perms = st.st_mode & 07777;
    return status;
}

status_t BStatable::SetPermissions(mode_t perms) {
    struct stat st;
    status_t status = GetStat(&st);
    if (status != B_OK)
        return status;
    if (S_ISLNK(st.st_mode))
        return B_NOT_SUPPORTED; // Linux links have no permissions of their own
    return chmod(StatPath(), perms & 07777) == 0 ? B_OK : ErrnoStatus();
}

status_t BStatable::GetSize(off_t* size) const {
    struct stat st;
    status_t status = size == nullptr ? B_BAD_VALUE : GetStat(&st);
    if (status == B_OK)
        *size = st.st_size;
    return status;
}

status_t BStatable::GetModificationTime(time_t* mtime) const {
    struct stat st;
    status_t status = mtime == nullptr ? B_BAD_VALUE : GetStat(&st);
    if (status == B_OK)
        *mtime = st.st_mtime;
    return status;
}

namespace {
// Sets one of the two times; the other is left as it is.
status_t SetTime(const char* path, bool follow, time_t value, bool access) {
    struct timespec times[2];
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_nsec = UTIME_OMIT;
    struct timespec& target = access ? times[0] : times[1];
    target.tv_sec = value;
    target.tv_nsec = 0;
    int result = utimensat(AT_FDCWD, path, times, follow ? 0 : AT_SYMLINK_NOFOLLOW);
    return result == 0 ? B_OK : ErrnoStatus();
}
} // namespace

status_t BStatable::SetModificationTime(time_t mtime) {
    if (*StatPath() == '\0')
        return B_NO_INIT;
    return SetTime(StatPath(), StatFollowsLinks(), mtime, false);
}

status_t BStatable::GetCreationTime(time_t* ctime) const {
    if (ctime == nullptr)
        return B_BAD_VALUE;
    struct statx stx;
    if (*StatPath() != '\0' &&
        statx(AT_FDCWD, StatPath(), StatFollowsLinks() ? 0 : AT_SYMLINK_NOFOLLOW, STATX_BTIME,
              &stx) == 0 &&
        (stx.stx_mask & STATX_BTIME) != 0) {
        *ctime = stx.stx_btime.tv_sec;
        return B_OK;
    }
    return GetModificationTime(ctime);
}

status_t BStatable::SetCreationTime(time_t) {
    return B_NOT_SUPPORTED;
}

status_t BStatable::GetAccessTime(time_t* atime) const {
    struct stat st;
    status_t status = atime == nullptr ? B_BAD_VALUE : GetStat(&st);
    if (status == B_OK)
        *atime = st.st_atime;
    return status;
}

status_t BStatable::SetAccessTime(time_t atime) {
    if (*StatPath() == '\0')
        return B_NO_INIT;
    return SetTime(StatPath(), StatFollowsLinks(), atime, true);
}

status_t BStatable::GetVolume(BVolume* volume) const {
    struct stat st;
    status_t status = volume == nullptr ? B_BAD_VALUE : GetStat(&st);
    if (status != B_OK)
        return status;
    return volume->SetTo(st.st_dev);
}
