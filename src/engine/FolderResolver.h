#pragma once

// Folder names of a package ("Common Bin", a custom folder's name) to the paths they
// stand for on this system. Nothing is looked at but the configuration and the standard
// folders' places: making, clearing and checking folders is the run's business.

#include <optional>
#include <string>

#include "platform/app/Message.h"

struct ResolvedFolder {
    std::string path;
    // For a custom folder: its index among the definitions, and whether it asks for what
    // is at its place to be replaced (never the standard folder itself, so only with a sub
    // folder).
    bool custom = false;
    int32 index = -1;
    bool replaceAsked = false;
};

class FolderResolver {
public:
    // `customFolders` holds the package's "custom_folder" definitions; it must outlive
    // the resolver.
    explicit FolderResolver(const BMessage& customFolders) : fCustomFolders(customFolders) {}

    // A custom folder's definition wins over a standard folder of the same name. None for
    // an unknown name, a sub folder that climbs out of its root, or a standard folder this
    // system has no place for.
    std::optional<ResolvedFolder> Resolve(const std::string& name) const;

private:
    const BMessage& fCustomFolders;
};
