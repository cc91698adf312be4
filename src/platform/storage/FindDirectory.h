#pragma once

// Standard folders. The identifiers and their values are the old platform's; where
// each lies on Linux is listed in docs/platform.md. System-wide folders lie under
// $TARNW_PREFIX (default "/"); user folders follow $HOME and the XDG variables.

#include "platform/storage/StorageDefs.h"

class BPath;
class BVolume;

// Packages name folders by number: any 32-bit value is a directory_which, known or not.
enum directory_which : int32 {
    B_DESKTOP_DIRECTORY = 0,
    B_TRASH_DIRECTORY,

    B_BEOS_DIRECTORY = 1000,
    B_BEOS_SYSTEM_DIRECTORY,
    B_BEOS_ADDONS_DIRECTORY,
    B_BEOS_BOOT_DIRECTORY,
    B_BEOS_FONTS_DIRECTORY,
    B_BEOS_LIB_DIRECTORY,
    B_BEOS_SERVERS_DIRECTORY,
    B_BEOS_APPS_DIRECTORY,
    B_BEOS_BIN_DIRECTORY,
    B_BEOS_ETC_DIRECTORY,
    B_BEOS_DOCUMENTATION_DIRECTORY,
    B_BEOS_PREFERENCES_DIRECTORY,
    B_BEOS_TRANSLATORS_DIRECTORY,
    B_BEOS_MEDIA_NODES_DIRECTORY,
    B_BEOS_SOUNDS_DIRECTORY,

    B_COMMON_DIRECTORY = 2000,
    B_COMMON_SYSTEM_DIRECTORY,
    B_COMMON_ADDONS_DIRECTORY,
    B_COMMON_BOOT_DIRECTORY,
    B_COMMON_FONTS_DIRECTORY,
    B_COMMON_LIB_DIRECTORY,
    B_COMMON_SERVERS_DIRECTORY,
    B_COMMON_BIN_DIRECTORY,
    B_COMMON_ETC_DIRECTORY,
    B_COMMON_DOCUMENTATION_DIRECTORY,
    B_COMMON_SETTINGS_DIRECTORY,
    B_COMMON_DEVELOP_DIRECTORY,
    B_COMMON_LOG_DIRECTORY,
    B_COMMON_SPOOL_DIRECTORY,
    B_COMMON_TEMP_DIRECTORY,
    B_COMMON_VAR_DIRECTORY,
    B_COMMON_TRANSLATORS_DIRECTORY,
    B_COMMON_MEDIA_NODES_DIRECTORY,
    B_COMMON_SOUNDS_DIRECTORY,

    B_USER_DIRECTORY = 3000,
    B_USER_CONFIG_DIRECTORY,
    B_USER_ADDONS_DIRECTORY,
    B_USER_BOOT_DIRECTORY,
    B_USER_FONTS_DIRECTORY,
    B_USER_LIB_DIRECTORY,
    B_USER_SETTINGS_DIRECTORY,
    B_USER_DESKBAR_DIRECTORY,
    B_USER_PRINTERS_DIRECTORY,
    B_USER_TRANSLATORS_DIRECTORY,
    B_USER_MEDIA_NODES_DIRECTORY,
    B_USER_SOUNDS_DIRECTORY,

    B_APPS_DIRECTORY = 4000,
    B_PREFERENCES_DIRECTORY,
    B_UTILITIES_DIRECTORY
};

// The folder `which` stands for. With create, it and its parents are made (mode 0777 less
// the umask; the Trash 0700 with its "info" folder). With a volume other than the one the folder
// lies on, the folder is placed on that volume: the Trash as the volume's
// ".Trash-UID/files", any other folder at the same path below the volume's mount point.
// B_BAD_VALUE for an unknown identifier.
status_t find_directory(directory_which which, BPath* path, bool create = false,
                        BVolume* volume = nullptr);
status_t find_directory(directory_which which, dev_t volume, bool create, char* returnedPath,
                        int32 pathLength);
