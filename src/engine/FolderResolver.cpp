#include "engine/FolderResolver.h"

#include "engine/InstallPaths.h"
#include "engine/LibStdDirName.h"
#include "package/CustomFolder.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"

namespace {

std::optional<std::string> StandardPlace(directory_which which) {
    BPath folder;
    if (find_directory(which, &folder, false, nullptr) != B_OK || folder.Path() == nullptr)
        return std::nullopt;
    return std::string(folder.Path());
}

} // namespace

std::optional<ResolvedFolder> FolderResolver::Resolve(const std::string& name) const {
    BMessage record;
    for (int32 i = 0; fCustomFolders.FindMessage("custom_folder", i, &record) == B_OK; i++) {
        CustomFolder definition;
        definition.Read(record);
        if (name != definition.Name())
            continue;
        std::string relative;
        if (!InstallPaths::CleanRelative(definition.SubFolder(), relative))
            return std::nullopt;
        std::optional<std::string> base = StandardPlace(definition.ParentFolder());
        if (!base)
            return std::nullopt;
        ResolvedFolder folder;
        folder.path = InstallPaths::Join(*base, relative);
        folder.custom = true;
        folder.index = i;
        folder.replaceAsked = definition.Replace() && !relative.empty();
        return folder;
    }
    directory_which which;
    if (!LibGetStdDirName(name.c_str(), which))
        return std::nullopt;
    std::optional<std::string> place = StandardPlace(which);
    if (!place)
        return std::nullopt;
    ResolvedFolder folder;
    folder.path = *place;
    return folder;
}
