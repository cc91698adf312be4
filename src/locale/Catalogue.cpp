#include "locale/Catalogue.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "locale/EmbeddedSource.h"

namespace catalogue {

struct EmbeddedSource {
    const char* language;
    std::string_view bytes;
};
extern const EmbeddedSource kEmbeddedSources[];
extern const int kEmbeddedSourceCount;

const char* const kLanguages[10] = {"en", "fr", "es", "de", "it", "no", "sv", "da", "nl", "pt"};

namespace {

struct BuiltinCatalogue {
    std::vector<Entry> entries;
    std::map<std::string, size_t, std::less<>> byName; // "de:1007" -> index
};

BuiltinCatalogue MakeCatalogue() {
    BuiltinCatalogue catalogue;
    for (const char* language : kLanguages) {
        const std::string_view source = BuiltinSource(language);
        ReadResult read = ReadSource(source);
        if (!read.ok || read.language != language) {
            // The sources are checked by the tests; a broken one costs its language.
            std::fprintf(stderr, "built-in catalogue %s: %s\n", language,
                         read.ok ? "wrong language in the header" : read.error.c_str());
            continue;
        }
        std::stable_sort(read.entries.begin(), read.entries.end(),
                         [](const Entry& a, const Entry& b) { return a.id < b.id; });
        for (Entry& entry : read.entries) {
            catalogue.byName.emplace(ResourceName(entry.language, entry.id),
                                     catalogue.entries.size());
            catalogue.entries.push_back(std::move(entry));
        }
    }
    return catalogue;
}

const BuiltinCatalogue& Builtin() {
    static const BuiltinCatalogue catalogue = MakeCatalogue();
    return catalogue;
}

} // namespace

const std::vector<Entry>& BuiltinEntries() {
    return Builtin().entries;
}

const char* BuiltinText(std::string_view language, int32_t id) {
    const BuiltinCatalogue& catalogue = Builtin();
    const auto found = catalogue.byName.find(ResourceName(language, id));
    if (found == catalogue.byName.end())
        return nullptr;
    return catalogue.entries[found->second].text.c_str();
}

std::string_view BuiltinSource(std::string_view language) {
    // Unpacked once, on first use, and kept for the life of the program.
    static const std::vector<std::string> unpacked = [] {
        std::vector<std::string> texts;
        for (int i = 0; i < kEmbeddedSourceCount; ++i)
            texts.push_back(UnpackEmbeddedSource(kEmbeddedSources[i].bytes));
        return texts;
    }();
    for (int i = 0; i < kEmbeddedSourceCount; ++i) {
        if (language == kEmbeddedSources[i].language)
            return unpacked[size_t(i)];
    }
    return {};
}

} // namespace catalogue
