#include "ui/gui/LibVolumeMenu.h"

#include <cstring>

#include "platform/app/Message.h"
#include "platform/storage/StorageDefs.h"
#include "platform/storage/VolumeRoster.h"

namespace {

constexpr float kMenuWidth = 130;

// File systems of Linux's own that keep user extended attributes, which the installer's
// deinstall records need.
constexpr const char* kNativeFileSystems[] = {
    "ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs", "jfs", "reiserfs", "zfs", "nilfs2", "bcachefs"};

LibString VolumeName(const BVolume& volume) {
    char name[B_FILE_NAME_LENGTH] = "";
    if (volume.GetName(name) != B_OK)
        name[0] = '\0';
    return LibString(name);
}

} // namespace

LibVolumeMenu::LibVolumeMenu(BPoint where, const char* name, const uint32& command,
                             const float& labelWidth)
    : LibMenuButton(where, name, "Disk", labelWidth, kMenuWidth, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0,
                    true),
      fCommand(command) {}

LibVolumeMenu::~LibVolumeMenu() {}

void LibVolumeMenu::OnlyBeOS(const bool& only) {
    fOnlyNative = only;
}

void LibVolumeMenu::AllowReadOnly(const bool& allow) {
    fAllowReadOnly = allow;
}

void LibVolumeMenu::AllowShared(const bool& allow) {
    fAllowShared = allow;
}

void LibVolumeMenu::AllowRemovable(const bool& allow) {
    fAllowRemovable = allow;
}

void LibVolumeMenu::AllowPersistent(const bool& allow) {
    fAllowPersistent = allow;
}

bool LibVolumeMenu::IsNativeFileSystem(const char* fsType) {
    if (fsType == nullptr)
        return false;
    for (const char* native : kNativeFileSystems)
        if (std::strcmp(fsType, native) == 0)
            return true;
    return false;
}

bool LibVolumeMenu::IsExcluded(const BVolume& volume) const {
    if (fOnlyNative && !IsNativeFileSystem(volume.FileSystemType()))
        return true;
    return (volume.IsReadOnly() && !fAllowReadOnly) ||
           (volume.IsPersistent() && !fAllowPersistent) ||
           (volume.IsRemovable() && !fAllowRemovable) || (volume.IsShared() && !fAllowShared);
}

void LibVolumeMenu::Update() {
    LibString chosen = Text();
    Clear();
    BVolumeRoster roster;
    BVolume boot;
    bool hasBoot = roster.GetBootVolume(&boot) == B_OK;
    if (hasBoot)
        AddItem(VolumeName(boot), new BMessage(fCommand));
    BVolume volume;
    while (roster.GetNextVolume(&volume) == B_OK) {
        if (hasBoot && volume.Device() == boot.Device())
            continue;
        LibString name = VolumeName(volume);
        if (name.Length() == 0)
            continue;
        if (AddItem(name, new BMessage(fCommand)) == nullptr)
            continue;
        if (IsExcluded(volume))
            SetEnableItem(CountItems() - 1, false);
    }
    if (InMenu(chosen))
        SetText(chosen);
}

bool LibVolumeMenu::GetCurrentVolume(BVolume& volume) {
    LibString current = Text();
    BVolumeRoster roster;
    BVolume candidate;
    while (roster.GetNextVolume(&candidate) == B_OK) {
        if (VolumeName(candidate) == current) {
            volume = candidate;
            return true;
        }
    }
    return false;
}
