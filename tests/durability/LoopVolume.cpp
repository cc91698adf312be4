#include "LoopVolume.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/types.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;

namespace tarnw::test {

namespace {

// From the kernel's fs/ext4/ext4.h, which no user header carries.
constexpr unsigned long kExt4Shutdown = _IOR('X', 125, __u32);
constexpr __u32 kGoingDownWithoutLogFlush = 0x2;

std::string Program(const char* name) {
    std::string found = FindProgram(name);
    for (const char* folder : {"/usr/sbin/", "/sbin/"}) {
        if (found.empty() && access((std::string(folder) + name).c_str(), X_OK) == 0)
            found = std::string(folder) + name;
    }
    return found;
}

} // namespace

LoopVolume::LoopVolume(Kind kind, int megabytes) : fKind(kind) {
    if (geteuid() != 0) {
        fProblem = "a loop volume needs root";
        return;
    }
    const char* formatter = kind == Kind::kExt4 ? "mkfs.ext4" : "mkfs.exfat";
    if (Program("losetup").empty() || Program(formatter).empty() ||
        (kind == Kind::kExfat && Program("mount.exfat-fuse").empty())) {
        fProblem = std::string("losetup, ") + formatter +
                   (kind == Kind::kExfat ? " or mount.exfat-fuse" : "") + " is not installed";
        return;
    }
    fs::path folder = Sandbox::MakeFolder("volume");
    fImage = folder / "image";
    fMountPoint = folder / "mount";
    fs::create_directories(fMountPoint);
    int fd = open(fImage.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0 || ftruncate(fd, off_t(megabytes) * 1024 * 1024) != 0) {
        fProblem = std::string("cannot make the image: ") + std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return;
    }
    close(fd);
    RunResult attached = RunProgram({Program("losetup"), "--find", "--show", fImage.string()});
    if (attached.status != 0) {
        fProblem = "no loop device: " + attached.output;
        return;
    }
    fDevice = attached.output.substr(0, attached.output.find('\n'));
    if (!Format() || !Mount())
        return;
}

LoopVolume::~LoopVolume() {
    Unmount();
    if (!fDevice.empty())
        RunProgram({Program("losetup"), "-d", fDevice});
}

bool LoopVolume::Format() {
    RunResult made = fKind == Kind::kExt4 ? RunProgram({Program("mkfs.ext4"), "-q", "-F", fDevice})
                                          : RunProgram({Program("mkfs.exfat"), fDevice});
    if (made.status != 0)
        fProblem = "cannot format " + fDevice + ": " + made.output;
    return made.status == 0;
}

bool LoopVolume::Mount() {
    if (fKind == Kind::kExt4) {
        if (mount(fDevice.c_str(), fMountPoint.c_str(), "ext4", 0, nullptr) != 0) {
            fProblem = "cannot mount " + fDevice + ": " + std::strerror(errno);
            return false;
        }
    } else {
        RunResult mounted =
            RunProgram({Program("mount.exfat-fuse"), fDevice, fMountPoint.string()});
        if (mounted.status != 0) {
            fProblem = "cannot mount " + fDevice + " with FUSE: " + mounted.output;
            return false;
        }
    }
    fMounted = true;
    return true;
}

void LoopVolume::Unmount() {
    if (!fMounted)
        return;
    // A FUSE file system answers only once its daemon has written everything out.
    for (int attempt = 0; attempt < 50 && umount(fMountPoint.c_str()) != 0; attempt++)
        usleep(100 * 1000);
    fMounted = false;
}

bool LoopVolume::Reformat() {
    Unmount();
    return Format() && Mount();
}

bool LoopVolume::CutPower() {
    int fd = open(fMountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    __u32 flags = kGoingDownWithoutLogFlush;
    bool cut = ioctl(fd, kExt4Shutdown, &flags) == 0;
    close(fd);
    return cut;
}

bool LoopVolume::Remount() {
    Unmount();
    return Mount();
}

} // namespace tarnw::test
