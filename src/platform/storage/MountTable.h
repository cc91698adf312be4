#pragma once

// The table of mounted file systems, read from /proc/self/mountinfo (or from the file
// named by $TARNW_MOUNTINFO, so that tests can feed fixture text).

#include <string>
#include <vector>

#include "platform/storage/StorageDefs.h"

struct MountEntry {
    int32 mountId = 0;
    int32 parentId = 0;
    uint32 major = 0;
    uint32 minor = 0;
    dev_t device = 0;       // makedev(major, minor), what stat() reports as st_dev
    std::string root;       // root of the mount within its file system
    std::string mountPoint; // unescaped
    std::string options;    // per-mount options
    std::string fsType;     // e.g. "ext4", "fuse.sshfs"
    std::string source;     // e.g. "/dev/sda1", unescaped
    std::string superOptions;
    std::string label; // file-system label when known
    bool readOnly = false;
};

class MountTable {
public:
    // Parses mountinfo text. Malformed lines are skipped; the result keeps file order.
    static std::vector<MountEntry> Parse(const std::string& text);
    // Undoes the octal escapes (\040 and friends) of mountinfo fields.
    static std::string Unescape(const std::string& field);

    // Reads the current table from $TARNW_MOUNTINFO or /proc/self/mountinfo, with labels
    // from $TARNW_DISK_BY_LABEL or /dev/disk/by-label.
    static std::vector<MountEntry> Current();
    // The raw text of the current table (for change detection).
    static std::string CurrentText();

    // Fills in the labels from a folder of links named by label (udev escapes \x20).
    static void ApplyLabels(std::vector<MountEntry>& entries, const std::string& byLabelDir);

    // Mounts a user would install onto: no kernel pseudo file systems and nothing below
    // /proc, /sys, /dev or /run; each device once (its first mount).
    static bool IsUserVisible(const MountEntry& entry);

    // The user-visible volumes of the current table, each device once, in mount order.
    static std::vector<MountEntry> Volumes();

    // What changed between two tables (user-visible mounts only).
    static void Diff(const std::vector<MountEntry>& before, const std::vector<MountEntry>& after,
                     std::vector<MountEntry>* mounted, std::vector<MountEntry>* unmounted);

    // The entry whose mount point holds `path` (longest matching mount point); null
    // when none does.
    static const MountEntry* FindByPath(const std::vector<MountEntry>& entries,
                                        const std::string& path);
    static const MountEntry* FindByDevice(const std::vector<MountEntry>& entries, dev_t device);

    // Network file systems.
    static bool IsShared(const MountEntry& entry);
    // Removable media, from /sys/dev/block (a USB disk counts as removable).
    static bool IsRemovable(const MountEntry& entry, const std::string& sysRoot = "/sys");
    // Whether the file system keeps user extended attributes.
    static bool KnowsAttributes(const MountEntry& entry);
    // Volume name: the label, else the mount point's last component, "/" for the root.
    static std::string VolumeName(const MountEntry& entry);
};
