#include "platform/storage/VolumeRoster.h"

#include <cstdlib>

#include "platform/app/Messenger.h"
#include "platform/storage/MountTable.h"
#include "platform/storage/NodeMonitor.h"
#include "platform/storage/StoragePrivate.h"

BVolumeRoster::BVolumeRoster() : fPosition(0), fTarget(nullptr) {}

BVolumeRoster::~BVolumeRoster() {
    StopWatching();
}

status_t BVolumeRoster::GetNextVolume(BVolume* volume) {
    if (volume == nullptr)
        return B_BAD_VALUE;
    std::vector<MountEntry> visible = MountTable::Volumes();
    if (fPosition < 0 || static_cast<size_t>(fPosition) >= visible.size())
        return B_BAD_VALUE;
    return volume->SetToMount(visible[static_cast<size_t>(fPosition++)]);
}

void BVolumeRoster::Rewind() {
    fPosition = 0;
}

status_t BVolumeRoster::GetBootVolume(BVolume* volume) {
    if (volume == nullptr)
        return B_BAD_VALUE;
    std::string prefix = storage_private::Env("TARNW_PREFIX", "/");
    char resolved[4096];
    if (realpath(prefix.c_str(), resolved) != nullptr)
        prefix = resolved;
    std::vector<MountEntry> table = MountTable::Current();
    const MountEntry* entry = MountTable::FindByPath(table, prefix);
    if (entry == nullptr) {
        volume->Unset();
        return B_ENTRY_NOT_FOUND;
    }
    return volume->SetToMount(*entry);
}

status_t BVolumeRoster::StartWatching(BMessenger target) {
    StopWatching();
    status_t status = watch_node(nullptr, B_WATCH_MOUNT, target);
    if (status == B_OK)
        fTarget = new BMessenger(target);
    return status;
}

void BVolumeRoster::StopWatching() {
    if (fTarget == nullptr)
        return;
    stop_watching(*fTarget);
    delete fTarget;
    fTarget = nullptr;
}

BMessenger BVolumeRoster::Messenger() const {
    return fTarget != nullptr ? *fTarget : BMessenger();
}
