#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/sysmacros.h>

#include "platform/storage/MountTable.h"
#include "platform/storage/Volume.h"
#include "platform/storage/VolumeRoster.h"
#include "platform/storage/fs_info.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

// A mount table as the kernel writes it: escaped spaces, optional fields, bind mounts
// and kernel file systems.
const char kFixture[] =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "27 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "30 27 8:17 / /media/user/My\\040Stick rw,nosuid master:5 - vfat /dev/sdb1 rw,uid=1000\n"
    "31 27 0:45 / /mnt/share rw,relatime - nfs4 server:/export rw,vers=4.2\n"
    "32 27 8:33 / /mnt/cdrom ro,relatime - iso9660 /dev/sr0 ro\n"
    "33 27 8:1 /srv/data /srv/bound rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "34 24 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
    "garbage line without enough fields\n"
    "35 27 x:1 / /bad rw - ext4 /dev/x rw\n";

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : fName(name) {
        const char* old = getenv(name);
        fHad = old != nullptr;
        if (fHad)
            fOld = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (fHad)
            setenv(fName, fOld.c_str(), 1);
        else
            unsetenv(fName);
    }

private:
    const char* fName;
    bool fHad;
    std::string fOld;
};

} // namespace

TEST(MountTable, ParsesKernelTextWithEscapes) {
    std::vector<MountEntry> entries = MountTable::Parse(kFixture);
    ASSERT_EQ(entries.size(), 7u) << "malformed lines are skipped";
    const MountEntry& stick = entries[2];
    EXPECT_EQ(stick.mountPoint, "/media/user/My Stick");
    EXPECT_EQ(stick.fsType, "vfat");
    EXPECT_EQ(stick.source, "/dev/sdb1");
    EXPECT_EQ(stick.device, makedev(8, 17));
    EXPECT_FALSE(stick.readOnly);
    EXPECT_EQ(MountTable::VolumeName(stick), "My Stick");
    EXPECT_TRUE(entries[4].readOnly);
    EXPECT_TRUE(MountTable::IsShared(entries[3]));
    EXPECT_FALSE(MountTable::IsShared(entries[1]));
    EXPECT_EQ(MountTable::VolumeName(entries[1]), "/");
    EXPECT_FALSE(MountTable::IsUserVisible(entries[0]));
    EXPECT_FALSE(MountTable::IsUserVisible(entries[6]));
    EXPECT_EQ(MountTable::Unescape("a\\040b\\011c\\134d\\04"), std::string("a b\tc\\d\\04"));

    EXPECT_EQ(MountTable::FindByPath(entries, "/media/user/My Stick/docs")->mountId, 30);
    EXPECT_EQ(MountTable::FindByPath(entries, "/media/user/My Sticker")->mountId, 27);
    // The volume itself, not the bind mount of one of its folders.
    EXPECT_EQ(MountTable::FindByDevice(entries, makedev(8, 1))->mountPoint, "/");
}

TEST(MountTable, LabelsComeFromTheLabelFolder) {
    fs::path folder = Sandbox::MakeFolder("labels");
    WriteFile(folder / "devices/sdb1", "");
    fs::create_directories(folder / "by-label");
    fs::create_symlink(folder / "devices/sdb1", folder / "by-label/Holiday\\x20Photos");
    std::string text = "30 27 8:17 / /media/usb rw - vfat " + (folder / "devices/sdb1").string() +
                       " rw\n27 1 8:1 / / rw - ext4 /dev/sda1 rw\n";
    std::vector<MountEntry> entries = MountTable::Parse(text);
    MountTable::ApplyLabels(entries, (folder / "by-label").string());
    EXPECT_EQ(entries[0].label, "Holiday Photos");
    EXPECT_EQ(MountTable::VolumeName(entries[0]), "Holiday Photos");
    EXPECT_EQ(MountTable::VolumeName(entries[1]), "/");
}

TEST(MountTable, DiffReportsMountsAndUnmounts) {
    std::vector<MountEntry> before = MountTable::Parse(kFixture);
    std::string later = std::string(kFixture) +
                        "40 27 8:49 / /media/user/CAMERA rw - exfat /dev/sdd1 rw\n"
                        "41 22 0:50 / /proc/sys/fs/binfmt_misc rw - binfmt_misc binfmt_misc rw\n";
    later.erase(later.find("31 27"), later.find("32 27") - later.find("31 27"));
    std::vector<MountEntry> mounted, unmounted;
    MountTable::Diff(before, MountTable::Parse(later), &mounted, &unmounted);
    ASSERT_EQ(mounted.size(), 1u);
    EXPECT_EQ(mounted[0].mountPoint, "/media/user/CAMERA");
    ASSERT_EQ(unmounted.size(), 1u);
    EXPECT_EQ(unmounted[0].mountPoint, "/mnt/share");
}

TEST(VolumeRoster, ListsVolumesFromTheMountTable) {
    fs::path fixture = Sandbox::MakeFolder("mounts") / "mountinfo";
    WriteFile(fixture, kFixture);
    ScopedEnv table("TARNW_MOUNTINFO", fixture.string());
    ScopedEnv labels("TARNW_DISK_BY_LABEL", (Sandbox::Root() / "no-labels").string());

    BVolumeRoster roster;
    BVolume volume;
    std::vector<std::string> names;
    while (roster.GetNextVolume(&volume) == B_OK) {
        char name[B_FILE_NAME_LENGTH];
        ASSERT_EQ(volume.GetName(name), B_OK);
        names.push_back(name);
    }
    // No kernel file systems, no /dev mounts, each device once.
    EXPECT_EQ(names, (std::vector<std::string>{"/", "My Stick", "share", "cdrom"}));
    EXPECT_EQ(roster.GetNextVolume(&volume), B_BAD_VALUE);
    roster.Rewind();
    ASSERT_EQ(roster.GetNextVolume(&volume), B_OK);
    EXPECT_STREQ(volume.MountPoint(), "/");

    BVolume cdrom(makedev(8, 33));
    ASSERT_EQ(cdrom.InitCheck(), B_OK);
    EXPECT_TRUE(cdrom.IsReadOnly());
    EXPECT_STREQ(cdrom.FileSystemType(), "iso9660");
    BVolume share(makedev(0, 45));
    EXPECT_TRUE(share.IsShared());
    EXPECT_FALSE(share.IsReadOnly());
    EXPECT_EQ(BVolume(makedev(99, 99)).InitCheck(), B_BAD_VALUE);

    fs_info info;
    ASSERT_EQ(fs_stat_dev(makedev(8, 17), &info), B_OK);
    EXPECT_STREQ(info.volume_name, "My Stick");
    EXPECT_STREQ(info.fsh_name, "vfat");
    EXPECT_STREQ(info.device_name, "/dev/sdb1");

    int32 position = 0;
    int count = 0;
    while (next_dev(&position) != static_cast<dev_t>(B_BAD_VALUE) && count < 10)
        ++count;
    EXPECT_EQ(count, 4);
}

TEST(VolumeRoster, BootVolumeHoldsThePrefix) {
    fs::path fixture = Sandbox::MakeFolder("mounts") / "mountinfo";
    fs::path prefix = Sandbox::MakeFolder("prefix-volume");
    std::string text =
        std::string(kFixture) + "50 27 7:0 / " + prefix.string() + " rw - ext4 /dev/loop0 rw\n";
    WriteFile(fixture, text);
    ScopedEnv table("TARNW_MOUNTINFO", fixture.string());
    ScopedEnv where("TARNW_PREFIX", (prefix / "usr/..").string());
    BVolumeRoster roster;
    BVolume boot;
    ASSERT_EQ(roster.GetBootVolume(&boot), B_OK);
    EXPECT_EQ(boot.Device(), makedev(7, 0));
    ScopedEnv root("TARNW_PREFIX", "/");
    ASSERT_EQ(roster.GetBootVolume(&boot), B_OK);
    EXPECT_EQ(boot.Device(), makedev(8, 1));
}

TEST(Volume, RealBootVolumeHasSizes) {
    // The machine's own table: only read, never changed.
    BVolumeRoster roster;
    BVolume boot;
    ASSERT_EQ(roster.GetBootVolume(&boot), B_OK);
    EXPECT_GT(boot.Capacity(), 0);
    EXPECT_GE(boot.FreeBytes(), 0);
    EXPECT_LE(boot.FreeBytes(), boot.Capacity());
    EXPECT_EQ(BVolume(dev_for_path(Sandbox::Root().c_str())).InitCheck(), B_OK);
}
