#include "platform/storage/FindDirectory.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/storage/Directory.h"
#include "platform/storage/MountTable.h"
#include "platform/storage/Path.h"
#include "platform/storage/StoragePrivate.h"
#include "platform/storage/Volume.h"
#include "platform/storage/VolumeRoster.h"

using namespace storage_private;

namespace {

struct Places {
    std::string prefix; // $TARNW_PREFIX
    std::string home;
    std::string dataHome;
    std::string configHome;
    std::string stateHome;
    std::string local; // ~/.local
};

Places CurrentPlaces() {
    Places p;
    p.prefix = Env("TARNW_PREFIX", "/");
    p.home = Env("HOME", "/");
    p.local = JoinPath(p.home, ".local");
    p.dataHome = Env("XDG_DATA_HOME", JoinPath(p.local, "share"));
    p.configHome = Env("XDG_CONFIG_HOME", JoinPath(p.home, ".config"));
    p.stateHome = Env("XDG_STATE_HOME", JoinPath(p.local, "state"));
    return p;
}

std::string Under(const std::string& base, const char* relative) {
    return JoinPath(base, relative);
}

// The desktop folder from the XDG user dirs: $XDG_DESKTOP_DIR, else the line in
// user-dirs.dirs, else ~/Desktop.
std::string DesktopFolder(const Places& p) {
    std::string fromEnv = Env("XDG_DESKTOP_DIR");
    if (!fromEnv.empty())
        return fromEnv;
    std::ifstream in(JoinPath(p.configHome, "user-dirs.dirs"));
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_DESKTOP_DIR=";
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
            continue;
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = p.home + value.substr(5);
        if (!value.empty() && value[0] == '/')
            return value;
    }
    return JoinPath(p.home, "Desktop");
}

std::string TempFolder(const Places& p) {
    std::string tmp = Env("TMPDIR");
    return tmp.empty() ? Under(p.prefix, "tmp") : tmp;
}

} // namespace

namespace storage_private {

status_t StandardFolder(int32 which, bool asRoot, std::string* out) {
    Places p = CurrentPlaces();
    const std::string& P = p.prefix;
    // Common folders: system-wide for root, the user's own ~/.local tree otherwise.
    std::string common = asRoot ? Under(P, "usr/local") : p.local;
    std::string commonShare = asRoot ? Under(P, "usr/local/share") : p.dataHome;
    std::string apps = asRoot ? Under(P, "opt") : JoinPath(p.home, "Applications");
    std::string path;
    switch (which) {
    case B_DESKTOP_DIRECTORY:
        path = DesktopFolder(p);
        break;
    case B_TRASH_DIRECTORY:
        path = Under(p.dataHome, "Trash/files");
        break;

    case B_BEOS_DIRECTORY:
        path = Under(P, "usr");
        break;
    case B_BEOS_SYSTEM_DIRECTORY:
        path = Under(P, "usr/lib");
        break;
    case B_BEOS_ADDONS_DIRECTORY:
        path = Under(P, "usr/lib/add-ons");
        break;
    case B_BEOS_BOOT_DIRECTORY:
        path = Under(P, "usr/lib/boot");
        break;
    case B_BEOS_FONTS_DIRECTORY:
        path = Under(P, "usr/share/fonts");
        break;
    case B_BEOS_LIB_DIRECTORY:
        path = Under(P, "usr/lib");
        break;
    case B_BEOS_SERVERS_DIRECTORY:
        path = Under(P, "usr/libexec");
        break;
    case B_BEOS_APPS_DIRECTORY:
        path = Under(P, "usr/bin");
        break;
    case B_BEOS_BIN_DIRECTORY:
        path = Under(P, "usr/bin");
        break;
    case B_BEOS_ETC_DIRECTORY:
        path = Under(P, "etc");
        break;
    case B_BEOS_DOCUMENTATION_DIRECTORY:
        path = Under(P, "usr/share/doc");
        break;
    case B_BEOS_PREFERENCES_DIRECTORY:
        path = Under(P, "usr/bin");
        break;
    case B_BEOS_TRANSLATORS_DIRECTORY:
        path = Under(P, "usr/lib/add-ons/Translators");
        break;
    case B_BEOS_MEDIA_NODES_DIRECTORY:
        path = Under(P, "usr/lib/add-ons/media");
        break;
    case B_BEOS_SOUNDS_DIRECTORY:
        path = Under(P, "usr/share/sounds");
        break;

    case B_COMMON_DIRECTORY:
        path = common;
        break;
    case B_COMMON_SYSTEM_DIRECTORY:
        path = Under(common, "lib");
        break;
    case B_COMMON_ADDONS_DIRECTORY:
        path = Under(common, "lib/add-ons");
        break;
    case B_COMMON_BOOT_DIRECTORY:
        path = asRoot ? Under(P, "etc/tarnwhistle/boot")
                      : Under(p.configHome, "tarnwhistle/common-boot");
        break;
    case B_COMMON_FONTS_DIRECTORY:
        path = Under(commonShare, "fonts");
        break;
    case B_COMMON_LIB_DIRECTORY:
        path = Under(common, "lib");
        break;
    case B_COMMON_SERVERS_DIRECTORY:
        path = Under(common, "libexec");
        break;
    case B_COMMON_BIN_DIRECTORY:
        path = Under(common, "bin");
        break;
    case B_COMMON_ETC_DIRECTORY:
        path = asRoot ? Under(P, "etc") : Under(common, "etc");
        break;
    case B_COMMON_DOCUMENTATION_DIRECTORY:
        path = Under(commonShare, "doc");
        break;
    case B_COMMON_SETTINGS_DIRECTORY:
        path = asRoot ? Under(P, "etc") : p.configHome;
        break;
    case B_COMMON_DEVELOP_DIRECTORY:
        path = Under(common, "include");
        break;
    case B_COMMON_LOG_DIRECTORY:
        path = asRoot ? Under(P, "var/log") : Under(p.stateHome, "log");
        break;
    case B_COMMON_SPOOL_DIRECTORY:
        path = asRoot ? Under(P, "var/spool") : Under(p.stateHome, "spool");
        break;
    case B_COMMON_TEMP_DIRECTORY:
        path = TempFolder(p);
        break;
    case B_COMMON_VAR_DIRECTORY:
        path = asRoot ? Under(P, "var") : p.stateHome;
        break;
    case B_COMMON_TRANSLATORS_DIRECTORY:
        path = Under(common, "lib/add-ons/Translators");
        break;
    case B_COMMON_MEDIA_NODES_DIRECTORY:
        path = Under(common, "lib/add-ons/media");
        break;
    case B_COMMON_SOUNDS_DIRECTORY:
        path = Under(commonShare, "sounds");
        break;

    case B_USER_DIRECTORY:
        path = p.home;
        break;
    case B_USER_CONFIG_DIRECTORY:
        path = p.configHome;
        break;
    case B_USER_ADDONS_DIRECTORY:
        path = Under(p.local, "lib/add-ons");
        break;
    case B_USER_BOOT_DIRECTORY:
        path = Under(p.configHome, "tarnwhistle/boot");
        break;
    case B_USER_FONTS_DIRECTORY:
        path = Under(p.dataHome, "fonts");
        break;
    case B_USER_LIB_DIRECTORY:
        path = Under(p.local, "lib");
        break;
    case B_USER_SETTINGS_DIRECTORY:
        path = p.configHome;
        break;
    case B_USER_DESKBAR_DIRECTORY:
        path = Under(p.dataHome, "applications");
        break;
    case B_USER_PRINTERS_DIRECTORY:
        path = Under(p.configHome, "tarnwhistle/printers");
        break;
    case B_USER_TRANSLATORS_DIRECTORY:
        path = Under(p.local, "lib/add-ons/Translators");
        break;
    case B_USER_MEDIA_NODES_DIRECTORY:
        path = Under(p.local, "lib/add-ons/media");
        break;
    case B_USER_SOUNDS_DIRECTORY:
        path = Under(p.dataHome, "sounds");
        break;

    case B_APPS_DIRECTORY:
        path = apps;
        break;
    case B_PREFERENCES_DIRECTORY:
        path = Under(apps, "Preferences");
        break;
    case B_UTILITIES_DIRECTORY:
        path = Under(apps, "Utilities");
        break;
    default:
        return B_BAD_VALUE;
    }
    *out = NormalizeLexically(MakeAbsolute(path.c_str()));
    return B_OK;
}

} // namespace storage_private

namespace {

// The device of the volume a (possibly not yet existing) folder would lie on.
dev_t DeviceOf(const std::string& path) {
    std::string probe = path;
    struct stat st;
    while (!probe.empty()) {
        if (stat(probe.c_str(), &st) == 0)
            return st.st_dev;
        probe = ParentOf(probe);
    }
    return static_cast<dev_t>(-1);
}

status_t Resolve(directory_which which, const BVolume* volume, std::string* out) {
    std::string path;
    status_t status = StandardFolder(which, geteuid() == 0, &path);
    if (status != B_OK)
        return status;
    if (volume != nullptr && volume->InitCheck() == B_OK && DeviceOf(path) != volume->Device()) {
        BVolume boot;
        BVolumeRoster roster;
        bool isBoot = roster.GetBootVolume(&boot) == B_OK && boot == *volume;
        if (!isBoot) {
            // The folder as it would be on that volume.
            if (which == B_TRASH_DIRECTORY)
                path =
                    JoinPath(volume->MountPoint(), ".Trash-" + std::to_string(getuid()) + "/files");
            else
                path = NormalizeLexically(JoinPath(volume->MountPoint(), path.substr(1)));
        }
    }
    *out = path;
    return B_OK;
}

status_t Create(directory_which which, const std::string& path) {
    if (which != B_TRASH_DIRECTORY)
        return create_directory(path.c_str(), 0777);
    status_t status = create_directory(path.c_str(), 0700);
    if (status == B_OK)
        status = create_directory(JoinPath(ParentOf(path), "info").c_str(), 0700);
    return status;
}

} // namespace

status_t find_directory(directory_which which, BPath* path, bool create, BVolume* volume) {
    if (path == nullptr)
        return B_BAD_VALUE;
    std::string folder;
    status_t status = Resolve(which, volume, &folder);
    if (status == B_OK && create)
        status = Create(which, folder);
    if (status != B_OK)
        return status;
    return path->SetTo(folder.c_str());
}

status_t find_directory(directory_which which, dev_t device, bool create, char* returnedPath,
                        int32 pathLength) {
    if (returnedPath == nullptr || pathLength <= 0)
        return B_BAD_VALUE;
    BVolume volume;
    bool onVolume = device != static_cast<dev_t>(-1);
    if (onVolume && volume.SetTo(device) != B_OK)
        return B_BAD_VALUE;
    BPath path;
    status_t status = find_directory(which, &path, create, onVolume ? &volume : nullptr);
    if (status != B_OK)
        return status;
    if (strlen(path.Path()) >= static_cast<size_t>(pathLength))
        return B_NAME_TOO_LONG;
    snprintf(returnedPath, static_cast<size_t>(pathLength), "%s", path.Path());
    return B_OK;
}
