#pragma once

// The package manifest: a JSON file that names everything an installer carries. It is
// checked strictly: an unknown key, a value of the wrong type or a missing source file is
// an error that names it.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "DesktopEntrySource.h"

namespace tarnw::pack {

class ManifestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ManifestGroup {
    std::string name;
    std::string description;
};

struct ManifestCustomFolder {
    std::string name;
    int32_t root = 0; // a standard folder number
    std::string subDir;
    bool replace = true;
};

struct ManifestRequirementList {
    bool present = false;
    bool required = false;
    std::vector<std::string> names;
};

struct ManifestFile {
    std::filesystem::path source;
    std::string storedName; // what the package keeps of the source's path (never absolute)
    std::vector<std::string> groups;
    std::string destination = "User Selected";
    std::string destinationExists = "Replace";
    std::string link = "None";
    std::string linkExists = "Replace";
    bool deinstallable = true;
    bool autoLaunch = false;
    std::string autoLaunchReason;
};

// A scalar configuration key as the manifest gave it.
using ScalarValue = std::variant<std::string, bool, int32_t>;

struct Manifest {
    std::filesystem::path folder; // paths in the manifest are relative to it

    // Scalar configuration keys by name, only those the manifest set.
    std::map<std::string, ScalarValue> scalars;
    std::optional<double> diskSpaceAmount; // "req_disk_space_amount", bytes

    std::vector<ManifestGroup> groups;
    std::vector<ManifestCustomFolder> customFolders;
    ManifestRequirementList sharedLibraries;
    ManifestRequirementList apps;
    std::optional<std::filesystem::path> aboutImageFile;
    std::optional<std::filesystem::path> audioFile;
    std::vector<ManifestFile> files;
    std::vector<ManifestDesktopEntry> desktopEntries;
    bool deinstallerMenuEntry = true; // "deinstaller_menu_entry"

    std::string String(const std::string& key, const std::string& fallback = "") const;
    bool Bool(const std::string& key, bool fallback = false) const;
    int32_t Int(const std::string& key, int32_t fallback = 0) const;
    bool Has(const std::string& key) const { return scalars.count(key) != 0; }
};

// The scalar keys of the configuration message, in the order the builder writes them,
// with their types.
enum class ScalarType { String, Bool, Int32 };
struct ScalarKey {
    const char* name;
    ScalarType type;
};
const std::vector<ScalarKey>& ConfigurationScalarKeys();

// Parses and checks the manifest text; `folder` is where relative paths start.
Manifest ParseManifest(const std::string& text, const std::filesystem::path& folder);
// Reads the file and parses it.
Manifest LoadManifest(const std::filesystem::path& file);

// The number of a standard folder from its name ("Common Documentation") or its number
// as text; -1 when unknown.
int32_t StandardFolderNumber(const std::string& nameOrNumber);

} // namespace tarnw::pack
