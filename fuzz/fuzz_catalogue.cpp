// Translation sources of the string catalogue: read, then check what a reader promises
// about every entry it yields.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "locale/CatalogueSource.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const catalogue::ReadResult read = catalogue::ReadSource(bytes);
    if (!read.ok) {
        if (!read.entries.empty() || read.error.empty())
            abort();
        return 0;
    }
    if (!catalogue::IsValidLanguage(read.language))
        abort();
    for (const catalogue::Entry& entry : read.entries) {
        if (entry.text.empty() || entry.language != read.language || entry.id < 0 ||
            entry.text.find('\0') != std::string::npos)
            abort();
        catalogue::Conversions(entry.text);
        catalogue::ResourceName(entry.language, entry.id);
    }
    return 0;
}
