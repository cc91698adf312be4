#include "platform/storage/MountTable.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/storage/StoragePrivate.h"

namespace {

bool ParseUnsigned(const std::string& text, uint32* out) {
    if (text.empty() || text.size() > 10)
        return false;
    uint64 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<uint64>(c - '0');
    }
    if (value > 0xffffffffu)
        return false;
    *out = static_cast<uint32>(value);
    return true;
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t')
            ++j;
        if (j > i)
            fields.push_back(line.substr(i, j - i));
        i = j;
    }
    return fields;
}

bool HasOption(const std::string& options, const char* option) {
    std::stringstream in(options);
    std::string item;
    while (std::getline(in, item, ','))
        if (item == option)
            return true;
    return false;
}

bool IsUnder(const std::string& path, const char* folder) {
    size_t n = strlen(folder);
    return path.compare(0, n, folder) == 0 && (path.size() == n || path[n] == '/');
}

// Undoes udev's \xHH escapes in /dev/disk/by-label names.
std::string UnescapeUdev(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            out += static_cast<char>(std::stoi(name.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

bool ReadFlag(const std::string& path) {
    std::ifstream in(path);
    int value = 0;
    return (in >> value) && value != 0;
}

} // namespace

std::string MountTable::Unescape(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' &&
            field[i + 3] >= '0' && field[i + 3] <= '7') {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<MountEntry> MountTable::Parse(const std::string& text) {
    std::vector<MountEntry> entries;
    std::stringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        // 36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue
        std::vector<std::string> fields = SplitFields(line);
        size_t dash = 0;
        for (size_t i = 6; i < fields.size(); ++i) {
            if (fields[i] == "-") {
                dash = i;
                break;
            }
        }
        if (dash == 0 || fields.size() < dash + 3)
            continue;
        MountEntry entry;
        uint32 id, parent;
        if (!ParseUnsigned(fields[0], &id) || !ParseUnsigned(fields[1], &parent))
            continue;
        entry.mountId = static_cast<int32>(id);
        entry.parentId = static_cast<int32>(parent);
        size_t colon = fields[2].find(':');
        if (colon == std::string::npos ||
            !ParseUnsigned(fields[2].substr(0, colon), &entry.major) ||
            !ParseUnsigned(fields[2].substr(colon + 1), &entry.minor))
            continue;
        entry.device = makedev(entry.major, entry.minor);
        entry.root = Unescape(fields[3]);
        entry.mountPoint = Unescape(fields[4]);
        if (entry.mountPoint.empty() || entry.mountPoint[0] != '/')
            continue;
        entry.options = fields[5];
        entry.fsType = Unescape(fields[dash + 1]);
        entry.source = Unescape(fields[dash + 2]);
        entry.superOptions = fields.size() > dash + 3 ? fields[dash + 3] : "";
        entry.readOnly = HasOption(entry.options, "ro") || HasOption(entry.superOptions, "ro");
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string MountTable::CurrentText() {
    std::string path = storage_private::Env("TARNW_MOUNTINFO", "/proc/self/mountinfo");
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<MountEntry> MountTable::Current() {
    std::vector<MountEntry> entries = Parse(CurrentText());
    ApplyLabels(entries, storage_private::Env("TARNW_DISK_BY_LABEL", "/dev/disk/by-label"));
    return entries;
}

void MountTable::ApplyLabels(std::vector<MountEntry>& entries, const std::string& byLabelDir) {
    DIR* dir = opendir(byLabelDir.c_str());
    if (dir == nullptr)
        return;
    while (struct dirent* item = readdir(dir)) {
        if (item->d_name[0] == '.')
            continue;
        std::string link = byLabelDir + "/" + item->d_name;
        char resolved[4096];
        if (realpath(link.c_str(), resolved) == nullptr)
            continue;
        struct stat st;
        bool haveDevice = stat(resolved, &st) == 0 && S_ISBLK(st.st_mode);
        for (MountEntry& entry : entries) {
            if (!entry.label.empty())
                continue;
            char source[4096];
            bool sameSource =
                realpath(entry.source.c_str(), source) != nullptr && strcmp(source, resolved) == 0;
            bool sameDevice = haveDevice && st.st_rdev == entry.device;
            if (sameSource || sameDevice)
                entry.label = UnescapeUdev(item->d_name);
        }
    }
    closedir(dir);
}

bool MountTable::IsUserVisible(const MountEntry& entry) {
    static const char* const kPseudo[] = {
        "proc",      "sysfs",       "devtmpfs",        "devpts",      "cgroup",
        "cgroup2",   "securityfs",  "debugfs",         "tracefs",     "pstore",
        "bpf",       "mqueue",      "hugetlbfs",       "configfs",    "fusectl",
        "autofs",    "binfmt_misc", "efivarfs",        "rpc_pipefs",  "nsfs",
        "selinuxfs", "ramfs",       "fuse.gvfsd-fuse", "fuse.portal", "squashfs",
        "nfsd"};
    for (const char* type : kPseudo)
        if (entry.fsType == type)
            return false;
    for (const char* folder : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot/efi"})
        if (IsUnder(entry.mountPoint, folder))
            return false;
    return true;
}

const MountEntry* MountTable::FindByPath(const std::vector<MountEntry>& entries,
                                         const std::string& path) {
    const MountEntry* best = nullptr;
    for (const MountEntry& entry : entries) {
        const std::string& point = entry.mountPoint;
        bool holds = point == "/" || IsUnder(path, point.c_str());
        // The later of two mounts on one point is the one that is visible.
        if (holds && (best == nullptr || point.size() >= best->mountPoint.size()))
            best = &entry;
    }
    return best;
}

const MountEntry* MountTable::FindByDevice(const std::vector<MountEntry>& entries, dev_t device) {
    const MountEntry* first = nullptr;
    for (const MountEntry& entry : entries) {
        if (entry.device != device)
            continue;
        // A bind mount of a sub-folder is not the volume itself.
        if (entry.root == "/")
            return &entry;
        if (first == nullptr)
            first = &entry;
    }
    return first;
}

bool MountTable::IsShared(const MountEntry& entry) {
    static const char* const kNetwork[] = {
        "nfs",   "nfs4",       "cifs",           "smb3",        "smbfs",     "ncpfs",     "afs",
        "9p",    "ceph",       "glusterfs",      "davfs",       "coda",      "lustre",    "gfs2",
        "ocfs2", "fuse.sshfs", "fuse.glusterfs", "fuse.rclone", "fuse.s3fs", "fuse.davfs"};
    for (const char* type : kNetwork)
        if (entry.fsType == type)
            return true;
    return false;
}

bool MountTable::IsRemovable(const MountEntry& entry, const std::string& sysRoot) {
    if (entry.major == 0)
        return false;
    std::string device =
        sysRoot + "/dev/block/" + std::to_string(entry.major) + ":" + std::to_string(entry.minor);
    char resolved[4096];
    if (realpath(device.c_str(), resolved) == nullptr)
        return false;
    std::string path = resolved;
    struct stat st;
    // A partition's flag lives on its disk.
    std::string disk =
        stat((path + "/partition").c_str(), &st) == 0 ? path.substr(0, path.rfind('/')) : path;
    if (ReadFlag(disk + "/removable"))
        return true;
    return disk.find("/usb") != std::string::npos;
}

bool MountTable::KnowsAttributes(const MountEntry& entry) {
    // Asking the file system itself is exact; a name that no one uses answers ENODATA
    // where attributes work.
    // A network mount is not asked: a server that went away would hang the caller.
    if (!IsShared(entry) && access(entry.mountPoint.c_str(), F_OK) == 0) {
        char probe;
        if (getxattr(entry.mountPoint.c_str(), "user.tarnw.probe", &probe, 1) >= 0)
            return true;
        if (errno == ENODATA || errno == ERANGE)
            return true;
        if (errno == ENOTSUP)
            return false;
    }
    static const char* const kWithAttributes[] = {
        "ext2",  "ext3",    "ext4", "xfs",      "btrfs", "f2fs", "jfs",       "reiserfs",
        "tmpfs", "overlay", "zfs",  "bcachefs", "ntfs3", "nfs4", "fuse.sshfs"};
    for (const char* type : kWithAttributes)
        if (entry.fsType == type)
            return true;
    return false;
}

std::string MountTable::VolumeName(const MountEntry& entry) {
    if (!entry.label.empty())
        return entry.label;
    if (entry.mountPoint == "/")
        return "/";
    std::string point = entry.mountPoint;
    while (point.size() > 1 && point.back() == '/')
        point.pop_back();
    return point.substr(point.rfind('/') + 1);
}

void MountTable::Diff(const std::vector<MountEntry>& before, const std::vector<MountEntry>& after,
                      std::vector<MountEntry>* mounted, std::vector<MountEntry>* unmounted) {
    auto same = [](const MountEntry& a, const MountEntry& b) {
        return a.mountId == b.mountId && a.device == b.device && a.mountPoint == b.mountPoint;
    };
    auto contains = [&](const std::vector<MountEntry>& list, const MountEntry& entry) {
        for (const MountEntry& other : list)
            if (same(other, entry))
                return true;
        return false;
    };
    if (mounted != nullptr) {
        mounted->clear();
        for (const MountEntry& entry : after)
            if (IsUserVisible(entry) && !contains(before, entry))
                mounted->push_back(entry);
    }
    if (unmounted != nullptr) {
        unmounted->clear();
        for (const MountEntry& entry : before)
            if (IsUserVisible(entry) && !contains(after, entry))
                unmounted->push_back(entry);
    }
}
