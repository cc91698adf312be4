// The texts the system snapshot reads: /proc/cpuinfo and os-release.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/LibSysInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    LibSysInfo info;
    info.Fill(text, int64(size) * 1048576, "x86_64", text.substr(0, 16), text.substr(0, 32));
    info.DescriptionText();
    OSVersionFromRelease(text);
    return 0;
}
