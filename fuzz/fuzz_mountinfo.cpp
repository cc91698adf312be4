// Parses hostile mount tables: every entry is named and classified, and two tables made
// from the input are compared.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/storage/MountTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<MountEntry> entries = MountTable::Parse(text);
    for (const MountEntry& entry : entries) {
        if (entry.mountPoint.empty() || entry.mountPoint[0] != '/')
            abort();
        MountTable::VolumeName(entry);
        MountTable::IsUserVisible(entry);
        MountTable::IsShared(entry);
        MountTable::FindByPath(entries, entry.mountPoint + "/x");
        MountTable::FindByDevice(entries, entry.device);
    }
    std::vector<MountEntry> mounted, unmounted;
    std::vector<MountEntry> half = MountTable::Parse(text.substr(0, size / 2));
    MountTable::Diff(half, entries, &mounted, &unmounted);
    if (mounted.size() > entries.size() || unmounted.size() > half.size())
        abort();
    MountTable::Unescape(text);
    return 0;
}
