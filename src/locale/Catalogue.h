#pragma once

// The string catalogue built into the program: the translation sources of
// locale/catalogue/*.po, embedded at build time (by cmake/EmbedCatalogue.cmake)
// and read once on first use.

#include <cstdint>
#include <string_view>
#include <vector>

#include "locale/CatalogueSource.h"

namespace catalogue {

constexpr int32_t kFirstId = 1000;
constexpr int32_t kLastId = 1045;

// The ten languages in the order of the language menu.
extern const char* const kLanguages[10];

// Every entry, language by language in menu order and by id within a language. The
// installer's resources number them 1 upwards in this order.
const std::vector<Entry>& BuiltinEntries();

// The text of (language, id); null when the catalogue has none.
const char* BuiltinText(std::string_view language, int32_t id);

// The embedded source of one language (for checks), empty when unknown.
std::string_view BuiltinSource(std::string_view language);

} // namespace catalogue
