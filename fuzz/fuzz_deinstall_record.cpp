// What a deinstaller reads: its flattened configuration followed by the flattened list of
// what was installed (the bytes of its record file); the bytes also serve as a start-up
// file to take a block out of.
#include <cstddef>
#include <cstdint>
#include <string>

#include "deinstall/DeinstallRecord.h"
#include "deinstall/ScriptBlockRemover.h"
#include "engine/Journal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    BMessage configuration;
    if (configuration.Unflatten(bytes, size) == B_OK) {
        ssize_t first = BMessage::FlattenedSizeOf(bytes, size);
        BMessage installed;
        bool haveList = first > 0 && size_t(first) < size &&
                        installed.Unflatten(bytes + first, size - size_t(first)) == B_OK;
        DeinstallRecord record;
        std::string error;
        if (ReadDeinstallRecord(configuration, haveList ? &installed : nullptr, record, error)) {
            for (const std::string& path : record.paths) {
                if (!IsPlainAbsolutePath(path))
                    __builtin_trap();
            }
            (void)record.Identity();
        }
    }
    std::string text(bytes, size);
    bool removed = false;
    std::string rest = ScriptBlockRemover::Without(text, "Demo", &removed);
    if (rest.size() > text.size() || (!removed && rest != text))
        __builtin_trap();
    return 0;
}
