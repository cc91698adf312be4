#pragma once

// A snapshot of the machine: processor, clocks, memory and screen. The requirements check
// reads its physical memory; the installation log shows its description.
//
// On Linux the processor comes from /proc/cpuinfo (the vendor gives the old platform's
// processor type: GenuineIntel 4096 "Intel x86", AuthenticAMD 4352 "AMD x86"), the platform
// is 2 "AT Clone" on x86 machines, and the memory is the physical memory of the system.
// The screen is the default screen of the X display when one can be opened (its depth
// named as the old platform's colour spaces are); without a display it is unknown (colour
// space 0, size 0 x 0). Linux does not tell the bus clock: it stays 0.

#include <string>

#include "platform/support/SupportDefs.h"

class LibString;

class LibSysInfo {
public:
    LibSysInfo();
    virtual ~LibSysInfo() = default;
    LibSysInfo(const LibSysInfo&) = default;
    LibSysInfo& operator=(const LibSysInfo&) = default;

    // Fills the snapshot from the text of /proc/cpuinfo, the physical memory in bytes, the
    // machine name of uname (x86_64, aarch64, ...) and the kernel's release and version.
    void Fill(const std::string& cpuinfo, int64 memoryBytes, const std::string& machine,
              const std::string& kernelRelease, const std::string& kernelVersion);

    // "%s (%d-%s@%d/%dMHz) %dMB RAM": platform, processors, processor, clock, bus clock,
    // memory.
    void Description(LibString& out) const;
    std::string DescriptionText() const;
    // The screen depth's name; the text lives in one shared buffer that the next call
    // overwrites.
    const char* ScreenDepthStr() const;
    void PrintToStream() const;

    static const char* ProcessorName(int32 type);
    static const char* PlatformName(int32 platform);
    static const char* ScreenDepthName(int32 colorSpace);
    // The colour space whose name tells a screen of that many bits per pixel; 0 for none.
    static int32 ColorSpaceForDepth(int32 bitsPerPixel);
    // Takes the screen's size and depth (bits per pixel).
    void SetScreen(int32 width, int32 height, int32 bitsPerPixel);
    // Whole megahertz from hertz: the fraction above one half rounds up.
    static int32 Megahertz(double hertz);

    int32 ScreenColorSpace() const { return fColorSpace; }
    int32 ProcessorCount() const { return fProcessorCount; }
    const std::string& ProcessorText() const { return fProcessorName; }
    const std::string& PlatformText() const { return fPlatformName; }
    int32 ScreenWidth() const { return fScreenWidth; }
    int32 ScreenHeight() const { return fScreenHeight; }
    int32 ProcessorRevision() const { return fProcessorRevision; }
    int32 ProcessorClock() const { return fProcessorClock; }
    int32 BusClock() const { return fBusClock; }
    const std::string& KernelBuild() const { return fKernelBuild; }
    int32 PhysicalMemory() const { return fPhysicalMemory; }

private:
    int32 fColorSpace = 0;
    int32 fProcessorCount = 0;
    std::string fProcessorName;
    std::string fPlatformName;
    int32 fScreenWidth = 0;
    int32 fScreenHeight = 0;
    int32 fProcessorRevision = 0;
    int32 fProcessorClock = 0;
    int32 fBusClock = 0;
    std::string fKernelBuild;
    int32 fPhysicalMemory = 0;
};

// The system's version, as short as it is told: VERSION_ID of os-release (else VERSION),
// else the kernel's release. `out` is left as it is when none can be read.
void LibGetOSVersion(LibString& out);
// The version an os-release text names (VERSION_ID, else VERSION), unquoted; "" for none.
std::string OSVersionFromRelease(const std::string& text);
