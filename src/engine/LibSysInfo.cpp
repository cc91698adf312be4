#include "engine/LibSysInfo.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>

#include "lib/LibString.h"
#include "platform/interface/DisplayScreen.h"

namespace {

struct Named {
    int32 number;
    const char* name;
};

const Named kProcessors[] = {
    {1, "601"},
    {2, "603"},
    {3, "603e"},
    {4, "604"},
    {5, "604e"},
    {13, "686"},
    {14, "AMD 29K"},
    {15, "x86"},
    {16, "MC6502"},
    {17, "Z80"},
    {18, "Alpha"},
    {19, "Mips"},
    {20, "Hppa"},
    {21, "M68K"},
    {22, "Arm"},
    {23, "SH"},
    {24, "Sparc"},
    {4096, "Intel x86"},
    {4177, "Intel Pentium"},
    {4178, "Intel Pentium 75"},
    {4179, "Intel Pentium 486"},
    {4180, "Intel Pentium MMX"},
    {4184, "Intel Pentium MMX Model 8"},
    {4185, "Intel Pentium 75-486"},
    {4193, "Intel Pentium Pro"},
    {4195, "Intel Pentium II"},
    {4197, "Intel Pentium II m5"},
    {4198, "Intel Pentium Celeron"},
    {4199, "Intel Pentium III"},
    {4352, "AMD x86"},
    {4432, "AMD K5 m0"},
    {4433, "AMD K5 m1"},
    {4434, "AMD K5 m2"},
    {4435, "AMD K5 m3"},
    {4438, "AMD K6 m6"},
    {4439, "AMD K6 m7"},
    {4440, "AMD K6 m8"},
    {4441, "AMD K6 m9"},
    {4608, "Cyrix x86"},
    {4692, "Cyrix GXm"},
    {4704, "Cyrix 6 x86MX"},
    {4948, "IDT WinChip C6"},
    {4952, "IDT WinChip 2"},
    {5120, "Rise x86"},
    {5200, "Rise mP6"},
};

const char* kPlatforms[] = {"BeBox", "Mac",    "AT Clone", "Eniac",          "Apple II",
                            "Cray",  "Lisa",   "TI 994A",  "Timex Sinclair", "Orac 1",
                            "Hal",   "Besm 6", "MK 61",    "Nintendo 64"};

const int32 kPlatformUnknown = -1;
const int32 kPlatformATClone = 2;

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string ReadWholeFile(const char* path) {
    std::ifstream in(path);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

int32 ProcessorTypeFromVendor(const std::string& vendor) {
    if (vendor == "GenuineIntel")
        return 4096;
    if (vendor == "AuthenticAMD")
        return 4352;
    if (vendor == "CyrixInstead")
        return 4608;
    if (vendor == "RiseRiseRise")
        return 5120;
    if (vendor == "CentaurHauls")
        return 4948;
    return 0;
}

bool IsX86(const std::string& machine) {
    return machine == "x86_64" || machine == "i386" || machine == "i486" || machine == "i586" ||
           machine == "i686";
}

} // namespace

LibSysInfo::LibSysInfo() {
    struct utsname names {};
    uname(&names);
    long pages = sysconf(_SC_PHYS_PAGES);
    long pageSize = sysconf(_SC_PAGE_SIZE);
    int64 memory = pages > 0 && pageSize > 0 ? int64(pages) * pageSize : 0;
    Fill(ReadWholeFile("/proc/cpuinfo"), memory, names.machine, names.release, names.version);
    DisplayScreen screen;
    if (ReadDefaultScreen(screen))
        SetScreen(screen.width, screen.height, screen.depth);
}

void LibSysInfo::SetScreen(int32 width, int32 height, int32 bitsPerPixel) {
    fScreenWidth = width > 0 ? width : 0;
    fScreenHeight = height > 0 ? height : 0;
    fColorSpace = ColorSpaceForDepth(bitsPerPixel);
}

int32 LibSysInfo::ColorSpaceForDepth(int32 bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return 1;
    case 8:
        return 4;
    case 15:
        return 16;
    case 16:
        return 5;
    case 24:
        return 3;
    case 32:
        return 8;
    default:
        return 0;
    }
}

void LibSysInfo::Fill(const std::string& cpuinfo, int64 memoryBytes, const std::string& machine,
                      const std::string& kernelRelease, const std::string& kernelVersion) {
    int32 processors = 0;
    std::string vendor;
    double megahertz = 0;
    int32 revision = 0;
    std::istringstream lines(cpuinfo);
    std::string line;
    while (std::getline(lines, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string key = Trim(line.substr(0, colon));
        std::string value = Trim(line.substr(colon + 1));
        if (key == "processor")
            ++processors;
        else if (key == "vendor_id" && vendor.empty())
            vendor = value;
        else if (key == "cpu MHz" && megahertz == 0)
            megahertz = std::strtod(value.c_str(), nullptr);
        else if (key == "stepping" && revision == 0)
            revision = std::atoi(value.c_str());
    }
    fProcessorCount = processors > 0 ? processors : 1;
    fProcessorName = ProcessorName(ProcessorTypeFromVendor(vendor));
    fPlatformName = PlatformName(IsX86(machine) ? kPlatformATClone : kPlatformUnknown);
    fProcessorRevision = revision;
    fProcessorClock = Megahertz(megahertz * 1000000.0);
    fBusClock = 0; // Linux does not tell the bus clock
    fKernelBuild = kernelVersion + ", " + kernelRelease;
    int64 megabytes = memoryBytes > 0 ? memoryBytes / 1048576 : 0;
    fPhysicalMemory = megabytes > INT32_MAX ? INT32_MAX : int32(megabytes);
    fColorSpace = 0;
    fScreenWidth = 0;
    fScreenHeight = 0;
}

int32 LibSysInfo::Megahertz(double hertz) {
    if (!(hertz > 0))
        return 0;
    double megahertz = hertz / 1000000.0;
    double whole = std::floor(megahertz);
    if (whole >= INT32_MAX)
        return INT32_MAX;
    return int32(whole) + (megahertz - whole > 0.5 ? 1 : 0);
}

const char* LibSysInfo::ProcessorName(int32 type) {
    for (const Named& entry : kProcessors) {
        if (entry.number == type)
            return entry.name;
    }
    return "Unknown";
}

const char* LibSysInfo::PlatformName(int32 platform) {
    if (platform < 0 || platform >= int32(sizeof(kPlatforms) / sizeof(kPlatforms[0])))
        return "Unknown";
    return kPlatforms[platform];
}

const char* LibSysInfo::ScreenDepthName(int32 colorSpace) {
    switch (colorSpace) {
    case 0:
        return "No color";
    case 1:
        return "1 bit gray";
    case 2:
        return "8 bit gray";
    case 3:
        return "24 bit color";
    case 4:
        return "8 bit color";
    case 5:
        return "16 bit color";
    case 8:
        return "32 bit color";
    case 16:
        return "15 bit color";
    default:
        return "Unknown";
    }
}

const char* LibSysInfo::ScreenDepthStr() const {
    static thread_local char shared[32];
    std::snprintf(shared, sizeof(shared), "%s", ScreenDepthName(fColorSpace));
    return shared;
}

std::string LibSysInfo::DescriptionText() const {
    char text[512];
    std::snprintf(text, sizeof(text), "%s (%d-%s@%d/%dMHz) %dMB RAM", fPlatformName.c_str(),
                  int(fProcessorCount), fProcessorName.c_str(), int(fProcessorClock),
                  int(fBusClock), int(fPhysicalMemory));
    return text;
}

void LibSysInfo::Description(LibString& out) const {
    out = DescriptionText().c_str();
}

void LibSysInfo::PrintToStream() const {
    std::fprintf(stderr, "%s\n", DescriptionText().c_str());
    std::fprintf(stderr, "%s, %dx%d\n", ScreenDepthStr(), int(fScreenWidth), int(fScreenHeight));
}

namespace {

// A value of an os-release line: quotes taken off and the shell's escapes undone.
std::string ReleaseValue(const std::string& raw) {
    std::string value = Trim(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        char quote = value.front();
        std::string inner = value.substr(1, value.size() - 2);
        if (quote == '\'')
            return inner;
        std::string unescaped;
        for (size_t i = 0; i < inner.size(); ++i) {
            if (inner[i] == '\\' && i + 1 < inner.size())
                ++i;
            unescaped += inner[i];
        }
        return unescaped;
    }
    return value;
}

} // namespace

std::string OSVersionFromRelease(const std::string& text) {
    std::string versionId;
    std::string version;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string key = Trim(line.substr(0, equals));
        if (key == "VERSION_ID")
            versionId = ReleaseValue(line.substr(equals + 1));
        else if (key == "VERSION")
            version = ReleaseValue(line.substr(equals + 1));
    }
    return !versionId.empty() ? versionId : version;
}

void LibGetOSVersion(LibString& out) {
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::string version = OSVersionFromRelease(ReadWholeFile(path));
        if (!version.empty()) {
            out = version.c_str();
            return;
        }
    }
    struct utsname names {};
    if (uname(&names) == 0 && names.release[0] != '\0')
        out = names.release;
}
