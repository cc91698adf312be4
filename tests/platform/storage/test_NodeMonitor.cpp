#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>

#include "platform/app/Looper.h"
#include "platform/app/Message.h"
#include "platform/app/Messenger.h"
#include "platform/storage/NodeMonitor.h"
#include "platform/storage/VolumeRoster.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

struct Notice {
    int32 opcode;
    std::string path;
};

class Recorder : public BLooper {
public:
    void MessageReceived(BMessage* message) override {
        if (message->what != B_NODE_MONITOR) {
            BLooper::MessageReceived(message);
            return;
        }
        Notice notice;
        notice.opcode = -1;
        message->FindInt32("opcode", &notice.opcode);
        const char* path = nullptr;
        if (message->FindString("path", &path) == B_OK)
            notice.path = path;
        std::lock_guard<std::mutex> lock(fLock);
        fNotices.push_back(notice);
        fChanged.notify_all();
    }

    bool WaitFor(size_t count, std::vector<Notice>* out) {
        std::unique_lock<std::mutex> lock(fLock);
        bool ok = fChanged.wait_for(lock, std::chrono::seconds(10),
                                    [&] { return fNotices.size() >= count; });
        *out = fNotices;
        return ok;
    }

private:
    std::mutex fLock;
    std::condition_variable fChanged;
    std::vector<Notice> fNotices;
};

const char kBase[] = "27 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                     "22 27 0:21 / /proc rw - proc proc rw\n";

} // namespace

TEST(NodeMonitor, MountsAndUnmountsReachTheWatcher) {
    fs::path table = Sandbox::MakeFolder("monitor") / "mountinfo";
    WriteFile(table, kBase);
    setenv("TARNW_MOUNTINFO", table.c_str(), 1);
    set_mount_poll_interval(20000);

    Recorder* recorder = new Recorder;
    recorder->Run();
    BMessenger target(recorder);
    EXPECT_EQ(watch_node(nullptr, B_WATCH_NAME, target), B_NOT_SUPPORTED);
    BVolumeRoster roster;
    ASSERT_EQ(roster.StartWatching(target), B_OK);

    WriteFile(table,
              std::string(kBase) + "40 27 8:17 / /media/user/STICK rw - vfat /dev/sdb1 rw\n");
    std::vector<Notice> notices;
    ASSERT_TRUE(recorder->WaitFor(1, &notices));
    EXPECT_EQ(notices[0].opcode, B_DEVICE_MOUNTED);
    EXPECT_EQ(notices[0].path, "/media/user/STICK");

    // A kernel file system coming and going is not a volume.
    WriteFile(table, std::string(kBase) + "41 22 0:50 / /proc/fs/nfsd rw - nfsd nfsd rw\n");
    ASSERT_TRUE(recorder->WaitFor(2, &notices));
    EXPECT_EQ(notices[1].opcode, B_DEVICE_UNMOUNTED);
    EXPECT_EQ(notices[1].path, "/media/user/STICK");

    roster.StopWatching();
    WriteFile(table, std::string(kBase) + "42 27 8:33 / /mnt/other rw - ext4 /dev/sdc1 rw\n");
    usleep(200000);
    recorder->WaitFor(2, &notices);
    EXPECT_EQ(notices.size(), 2u) << "nothing arrives after StopWatching";

    recorder->Lock();
    recorder->Quit();
    unsetenv("TARNW_MOUNTINFO");
}
