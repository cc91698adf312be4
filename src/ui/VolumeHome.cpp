#include "ui/VolumeHome.h"

#include <cstdlib>

#include "platform/storage/Volume.h"
#include "platform/storage/VolumeRoster.h"

namespace {

VolumeChoice ChoiceFor(const BVolume& volume, bool boot) {
    VolumeChoice choice;
    char name[B_FILE_NAME_LENGTH] = {};
    volume.GetName(name);
    choice.name = name;
    choice.freeBytes = volume.FreeBytes();
    choice.removable = volume.IsRemovable();
    choice.shared = volume.IsShared();
    const char* home = std::getenv("HOME");
    if (boot && home != nullptr && *home != '\0') {
        choice.homeFolder = home;
    } else {
        std::string root = volume.MountPoint();
        choice.homeFolder = root == "/" ? "/home" : root + "/home";
    }
    return choice;
}

} // namespace

std::vector<VolumeChoice> InstallableVolumes() {
    std::vector<VolumeChoice> volumes;
    BVolumeRoster roster;
    BVolume boot;
    bool haveBoot = roster.GetBootVolume(&boot) == B_OK;
    if (haveBoot)
        volumes.push_back(ChoiceFor(boot, true));
    BVolume volume;
    roster.Rewind();
    while (roster.GetNextVolume(&volume) == B_OK) {
        if (haveBoot && volume == boot)
            continue;
        if (volume.IsReadOnly() || !volume.IsPersistent())
            continue;
        volumes.push_back(ChoiceFor(volume, false));
    }
    return volumes;
}

bool FindVolume(const std::string& name, VolumeChoice& choice) {
    for (const auto& volume : InstallableVolumes())
        if (volume.name == name) {
            choice = volume;
            return true;
        }
    return false;
}
