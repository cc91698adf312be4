#include "locale/CatalogueResources.h"

#include <string>

#include "locale/Catalogue.h"
#include "platform/storage/Resources.h"

namespace catalogue {

status_t WriteResources(BResources& resources, const std::vector<Entry>& entries) {
    int32 id = 1;
    for (const Entry& entry : entries) {
        if (!IsValidLanguage(entry.language) || entry.text.find('\0') != std::string::npos)
            return B_BAD_VALUE;
        const std::string name = ResourceName(entry.language, entry.id);
        const status_t status = resources.AddResource(B_STRING_TYPE, id, entry.text.c_str(),
                                                      entry.text.size() + 1, name.c_str());
        if (status != B_OK)
            return status;
        ++id;
    }
    return B_OK;
}

status_t WriteResources(BResources& resources) {
    return WriteResources(resources, BuiltinEntries());
}

} // namespace catalogue
