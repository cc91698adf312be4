#pragma once

#include "ui/gui/LibMenuButton.h"

class BVolume;

// The "Disk" menu: the boot volume first, then every other mounted volume with a name,
// each item sending `command`. Volumes an installation may not use are listed but
// disabled: by default those without a native Linux file system (one that keeps
// extended attributes: ext2/3/4, xfs, btrfs, ...) and read-only ones. The boot volume is
// never disabled. The flags take effect at the next Update().
class LibVolumeMenu : public LibMenuButton {
public:
    LibVolumeMenu(BPoint where, const char* name, const uint32& command,
                  const float& labelWidth = 70);
    ~LibVolumeMenu() override;

    void OnlyBeOS(const bool& only);
    void AllowReadOnly(const bool& allow);
    void AllowShared(const bool& allow);
    void AllowRemovable(const bool& allow);
    void AllowPersistent(const bool& allow);

    // Rebuilds the list of volumes, keeping the chosen one marked if it is still there.
    void Update();
    // The first mounted volume (in mount order) whose name is the menu's text.
    bool GetCurrentVolume(BVolume& volume);

    // Whether a file-system type is one of the native ones an installation may use.
    static bool IsNativeFileSystem(const char* fsType);
    // Whether a volume would be disabled with the given flags (not for the boot volume).
    bool IsExcluded(const BVolume& volume) const;

private:
    bool fAllowPersistent = true;
    bool fAllowRemovable = true;
    bool fAllowShared = true;
    bool fAllowReadOnly = false;
    bool fOnlyNative = true;
    uint32 fCommand;
};
