// Manifests come from users' files: any text either parses or gives a clear error.
#include <cstdint>
#include <string>

#include "Manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        tarnw::pack::ParseManifest(text, "/nonexistent-fuzz-folder");
    } catch (const tarnw::pack::ManifestError&) {
    }
    return 0;
}
