#include "platform/storage/NodeMonitor.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "platform/app/Message.h"
#include "platform/app/Messenger.h"
#include "platform/storage/MountTable.h"
#include "platform/storage/StoragePrivate.h"

namespace {

// Watches the mount table on a thread of its own while anyone is interested.
class MountWatcher {
public:
    ~MountWatcher() { Stop(); }

    status_t Add(const BMessenger& target) {
        std::unique_lock<std::mutex> lock(fLock);
        for (const BMessenger& existing : fTargets)
            if (existing == target)
                return B_OK;
        fTargets.push_back(target);
        if (!fThread.joinable()) {
            fText = MountTable::CurrentText();
            fStopping = false;
            fThread = std::thread(&MountWatcher::Run, this);
        }
        return B_OK;
    }

    status_t Remove(const BMessenger& target) {
        bool stop = false;
        bool found = false;
        {
            std::unique_lock<std::mutex> lock(fLock);
            for (size_t i = 0; i < fTargets.size(); ++i) {
                if (fTargets[i] == target) {
                    fTargets.erase(fTargets.begin() + static_cast<std::ptrdiff_t>(i));
                    found = true;
                    break;
                }
            }
            stop = fTargets.empty();
        }
        if (stop)
            Stop();
        return found ? B_OK : B_BAD_VALUE;
    }

    void SetInterval(bigtime_t interval) {
        std::unique_lock<std::mutex> lock(fLock);
        fInterval = interval > 1000 ? interval : 1000;
        fWake.notify_all();
    }

private:
    void Stop() {
        {
            std::unique_lock<std::mutex> lock(fLock);
            fStopping = true;
            fWake.notify_all();
        }
        if (fThread.joinable() && fThread.get_id() != std::this_thread::get_id())
            fThread.join();
    }

    void Run() {
        std::unique_lock<std::mutex> lock(fLock);
        while (!fStopping) {
            fWake.wait_for(lock, std::chrono::microseconds(fInterval));
            if (fStopping)
                break;
            std::string before = fText;
            lock.unlock();
            std::string after = MountTable::CurrentText();
            lock.lock();
            if (after == before)
                continue;
            fText = after;
            std::vector<BMessenger> targets = fTargets;
            lock.unlock();
            Notify(before, after, targets);
            lock.lock();
        }
    }

    static void Notify(const std::string& beforeText, const std::string& afterText,
                       const std::vector<BMessenger>& targets) {
        std::vector<MountEntry> before = MountTable::Parse(beforeText);
        std::vector<MountEntry> after = MountTable::Parse(afterText);
        std::vector<MountEntry> mounted, unmounted;
        MountTable::Diff(before, after, &mounted, &unmounted);
        for (const MountEntry& entry : unmounted) {
            BMessage message(B_NODE_MONITOR);
            message.AddInt32("opcode", B_DEVICE_UNMOUNTED);
            message.AddInt32("device", static_cast<int32>(entry.device));
            message.AddString("path", entry.mountPoint.c_str());
            for (const BMessenger& target : targets)
                target.SendMessage(&message);
        }
        for (const MountEntry& entry : mounted) {
            BMessage message(B_NODE_MONITOR);
            message.AddInt32("opcode", B_DEVICE_MOUNTED);
            message.AddInt32("new device", static_cast<int32>(entry.device));
            const MountEntry* parent = nullptr;
            for (const MountEntry& other : after)
                if (other.mountId == entry.parentId)
                    parent = &other;
            message.AddInt32("device", static_cast<int32>(parent != nullptr ? parent->device : 0));
            struct stat st;
            std::string folder = storage_private::ParentOf(entry.mountPoint);
            message.AddInt64("directory", !folder.empty() && stat(folder.c_str(), &st) == 0
                                              ? static_cast<int64>(st.st_ino)
                                              : 0);
            message.AddString("path", entry.mountPoint.c_str());
            for (const BMessenger& target : targets)
                target.SendMessage(&message);
        }
    }

    std::mutex fLock;
    std::condition_variable fWake;
    std::thread fThread;
    std::vector<BMessenger> fTargets;
    std::string fText;
    bigtime_t fInterval = 1000000;
    bool fStopping = false;
};

MountWatcher& Watcher() {
    static MountWatcher watcher;
    return watcher;
}

} // namespace

status_t watch_node(const node_ref*, uint32 flags, BMessenger target) {
    if (flags == B_STOP_WATCHING)
        return Watcher().Remove(target);
    if ((flags & ~static_cast<uint32>(B_WATCH_MOUNT)) != 0)
        return B_NOT_SUPPORTED;
    if (!target.IsValid())
        return B_BAD_VALUE;
    return Watcher().Add(target);
}

status_t stop_watching(BMessenger target) {
    return Watcher().Remove(target);
}

void set_mount_poll_interval(bigtime_t interval) {
    Watcher().SetInterval(interval);
}
