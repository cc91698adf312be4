#pragma once

// Writing a string catalogue into a program's resources, as the package builder does
// for every installer: one 'CSTR' resource per text, named "<language>:<id>", holding
// the text and its NUL, with resource ids 1, 2, 3, ... in the order of the entries.

#include <vector>

#include "locale/CatalogueSource.h"
#include "platform/support/SupportDefs.h"

class BResources;

namespace catalogue {

// Adds the entries (the built-in catalogue when none are given). Resources of those ids
// are replaced. Returns B_OK or the first error; the caller syncs the resources.
status_t WriteResources(BResources& resources, const std::vector<Entry>& entries);
status_t WriteResources(BResources& resources);

} // namespace catalogue
