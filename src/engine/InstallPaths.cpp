#include "engine/InstallPaths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

#include "files/LibFileOps.h"
#include "platform/app/Roster.h"
#include "platform/storage/Entry.h"
#include "platform/storage/MountTable.h"
#include "platform/storage/Path.h"
#include "platform/storage/Volume.h"

namespace fs = std::filesystem;

std::string InstallPaths::Join(const std::string& folder, const std::string& leaf) {
    if (folder.empty())
        return leaf;
    if (leaf.empty())
        return folder;
    if (folder.back() == '/')
        return folder + leaf;
    return folder + "/" + leaf;
}

std::string InstallPaths::Leaf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string InstallPaths::Parent(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool InstallPaths::IsPlainName(const char* name) {
    return name != nullptr && name[0] != '\0' && std::strcmp(name, ".") != 0 &&
           std::strcmp(name, "..") != 0 && std::strchr(name, '/') == nullptr;
}

std::string InstallPaths::SafeLeaf(const std::string& name) {
    std::string leaf = name;
    for (char& c : leaf) {
        if (c == '/')
            c = '-';
    }
    if (leaf.empty() || leaf == "." || leaf == "..")
        leaf = "_" + leaf;
    return leaf;
}

bool InstallPaths::CleanRelative(const std::string& sub, std::string& relative) {
    relative.clear();
    size_t start = 0;
    while (start <= sub.size()) {
        size_t slash = sub.find('/', start);
        if (slash == std::string::npos)
            slash = sub.size();
        std::string part = sub.substr(start, slash - start);
        if (part == "..")
            return false;
        if (!part.empty() && part != ".")
            relative = Join(relative, part);
        start = slash + 1;
    }
    return true;
}

bool InstallPaths::EntryExists(const std::string& path) {
    struct stat info;
    return !path.empty() && lstat(path.c_str(), &info) == 0;
}

bool InstallPaths::IsFolder(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool InstallPaths::HoldsMountPoint(const std::string& path) {
    if (!IsFolder(path))
        return false;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return false;
    std::string folder = resolved;
    free(resolved);
    std::string below = folder == "/" ? folder : folder + "/";
    for (const MountEntry& mount : MountTable::Current()) {
        if (mount.mountPoint == folder || mount.mountPoint.compare(0, below.size(), below) == 0)
            return true;
    }
    return false;
}

namespace {

// Whether the file system marks the entry as one that nobody, not even root, may delete.
bool MarkedUndeletable(const std::string& path, const struct stat& info) {
    if (!S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
        return false;
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool marked =
        ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
    close(fd);
    return marked;
}

// Why `entry`, inside the folder `folder` (stat in `folderInfo`), cannot be unlinked.
std::string EntryBlocker(const std::string& entry, const struct stat& info,
                         const std::string& folder, const struct stat& folderInfo) {
    if (MarkedUndeletable(entry, info))
        return entry + " is marked immutable or append-only";
    if (MarkedUndeletable(folder, folderInfo))
        return folder + " is marked immutable or append-only";
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return folder + " may not be changed (" + std::strerror(errno) + ")";
    uid_t user = geteuid();
    if ((folderInfo.st_mode & S_ISVTX) != 0 && user != 0 && user != info.st_uid &&
        user != folderInfo.st_uid)
        return entry + " belongs to someone else in a shared folder";
    return "";
}

} // namespace

std::string InstallPaths::RemovalBlocker(const std::string& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return "";
    std::string parent = Parent(path);
    struct stat parentInfo;
    if (lstat(parent.c_str(), &parentInfo) != 0)
        return parent + " cannot be read (" + std::strerror(errno) + ")";
    std::string blocker = EntryBlocker(path, info, parent, parentInfo);
    if (!blocker.empty() || !S_ISDIR(info.st_mode))
        return blocker;
    // A folder the walk may not list or enter is made readable first when it is ours.
    if (access(path.c_str(), R_OK | X_OK) != 0 && info.st_uid != geteuid() && geteuid() != 0)
        return path + " cannot be read (" + std::strerror(errno) + ")";
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr)
        return info.st_uid == geteuid() ? "" : path + " cannot be read";
    std::vector<std::string> children;
    while (struct dirent* child = readdir(dir)) {
        if (std::strcmp(child->d_name, ".") != 0 && std::strcmp(child->d_name, "..") != 0)
            children.push_back(Join(path, child->d_name));
    }
    closedir(dir);
    for (const std::string& child : children) {
        blocker = RemovalBlocker(child);
        if (!blocker.empty())
            return blocker;
    }
    return "";
}

bool InstallPaths::IsLink(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool InstallPaths::SameEntry(const std::string& a, const std::string& b) {
    std::error_code error;
    fs::path first = fs::weakly_canonical(fs::path(Parent(a)), error) / Leaf(a);
    if (error)
        first = fs::path(a).lexically_normal();
    fs::path second = fs::weakly_canonical(fs::path(Parent(b)), error) / Leaf(b);
    if (error)
        second = fs::path(b).lexically_normal();
    return first.lexically_normal() == second.lexically_normal();
}

std::vector<std::string> InstallPaths::ListFolder(const std::string& folder) {
    std::vector<std::string> entries;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return entries;
    while (struct dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        entries.push_back(Join(folder, entry->d_name));
    }
    closedir(dir);
    return entries;
}

std::string InstallPaths::FreeName(const std::string& folder, const std::string& leaf) {
    std::string candidate = Join(folder, leaf);
    for (int32 counter = 0; EntryExists(candidate); counter++) {
        std::string name = leaf + " copy";
        if (counter > 0)
            name += " " + std::to_string(counter);
        candidate = Join(folder, name);
    }
    return candidate;
}

int64 InstallPaths::FreeBytes(const std::string& path) {
    fs::path probe = path.empty() ? fs::path(".") : fs::path(path);
    for (int tries = 0; tries < 256; tries++) {
        struct statvfs info;
        if (statvfs(probe.c_str(), &info) == 0) {
            unsigned long long bytes =
                static_cast<unsigned long long>(info.f_bavail) * info.f_frsize;
            return bytes > static_cast<unsigned long long>(INT64_MAX) ? INT64_MAX : int64(bytes);
        }
        if (!probe.has_parent_path() || probe.parent_path() == probe)
            break;
        probe = probe.parent_path();
    }
    return -1;
}

std::string InstallPaths::VolumeName(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return "";
    BVolume volume(info.st_dev);
    char name[B_FILE_NAME_LENGTH] = "";
    if (volume.InitCheck() != B_OK || volume.GetName(name) != B_OK)
        return "";
    return name;
}

bool InstallPaths::LibraryPresent(const char* name) {
    if (name == nullptr || name[0] == '\0')
        return false;
    BPath found;
    if (LibFindEnvFile("LIBRARY_PATH", name, found) ||
        LibFindEnvFile("LD_LIBRARY_PATH", name, found))
        return true;
    std::string prefix;
    if (const char* value = std::getenv("TARNW_PREFIX"))
        prefix = value;
    if (!prefix.empty() && prefix.back() == '/')
        prefix.pop_back();
    for (const char* folder :
         {"/lib", "/usr/lib", "/usr/local/lib", "/lib64", "/usr/lib64", "/usr/lib/x86_64-linux-gnu",
          "/lib/x86_64-linux-gnu", "/usr/lib/aarch64-linux-gnu", "/lib/aarch64-linux-gnu",
          "/usr/lib/i386-linux-gnu"}) {
        if (EntryExists(Join(prefix + folder, name)))
            return true;
    }
    return false;
}

std::string InstallPaths::SignatureOf(const char* entry) {
    if (entry == nullptr)
        return "";
    const char* open = std::strchr(entry, '(');
    if (open == nullptr)
        return "";
    const char* close = std::strchr(open + 1, ')');
    if (close == nullptr)
        return "";
    return std::string(open + 1, close);
}

bool InstallPaths::ApplicationPresent(const char* signature) {
    entry_ref ref;
    return be_roster != nullptr && be_roster->FindApp(signature, &ref) == B_OK;
}
