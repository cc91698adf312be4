#pragma once

// A file system of its own for a test: an image file in the sandbox on a loop device,
// formatted and mounted on a folder of the sandbox. Needs root and a free loop device;
// Ready() is false otherwise and Problem() says why (the test then skips).

#include <filesystem>
#include <string>

namespace tarnw::test {

class LoopVolume {
public:
    enum class Kind { kExt4, kExfat };

    LoopVolume(Kind kind, int megabytes);
    ~LoopVolume();
    LoopVolume(const LoopVolume&) = delete;
    LoopVolume& operator=(const LoopVolume&) = delete;

    bool Ready() const { return fProblem.empty(); }
    const std::string& Problem() const { return fProblem; }
    const std::filesystem::path& Path() const { return fMountPoint; }

    // A new, empty file system in place of the old one, mounted.
    bool Reformat();
    // A power cut: the file system stops at once and writes nothing more, not even its
    // log (ext4 only).
    bool CutPower();
    // Unmounted and mounted again: what a machine finds on the disk after it restarts.
    bool Remount();

private:
    bool Format();
    bool Mount();
    void Unmount();

    Kind fKind;
    std::filesystem::path fImage;
    std::filesystem::path fMountPoint;
    std::string fDevice;
    bool fMounted = false;
    std::string fProblem;
};

} // namespace tarnw::test
