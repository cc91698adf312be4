#pragma once

// The list of volumes a user can install onto, and the boot volume.

#include <string>

#include "platform/storage/Volume.h"

class BMessenger;

class BVolumeRoster {
public:
    BVolumeRoster();
    virtual ~BVolumeRoster();

    // Volumes in mount order; B_BAD_VALUE at the end.
    status_t GetNextVolume(BVolume* volume);
    void Rewind();

    // The volume that holds $TARNW_PREFIX (by default "/").
    status_t GetBootVolume(BVolume* volume);

    // Mount and unmount notices (B_NODE_MONITOR) to the target; see NodeMonitor.h.
    status_t StartWatching(BMessenger target);
    void StopWatching();
    BMessenger Messenger() const;

private:
    int32 fPosition;
    BMessenger* fTarget;
};
