#pragma once

// What choosing a volume means for the destination: the volume's "home" folder. On the
// volume that holds the system (or the sandbox named by $TARNW_PREFIX) that is the
// user's home folder; on any other volume it is the folder "home" at its root.

#include <string>
#include <vector>

struct VolumeChoice {
    std::string name;
    std::string homeFolder;
    long long freeBytes = 0;
    bool removable = false;
    bool shared = false;
};

// The mounted volumes an installation may go to, boot volume first.
std::vector<VolumeChoice> InstallableVolumes();
// The volume of that name, if mounted.
bool FindVolume(const std::string& name, VolumeChoice& choice);
