#include "Manifest.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "NearestName.h"
#include "StrictJson.h"
#include "engine/InstallPaths.h"
#include "engine/LibStdDirName.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace tarnw::pack {

const std::vector<ScalarKey>& ConfigurationScalarKeys() {
    using T = ScalarType;
    static const std::vector<ScalarKey> keys = {
        {"install_folder_name", T::String},
        {"app_name", T::String},
        {"version", T::String},
        {"release_date", T::String},
        {"company", T::String},
        {"support_email", T::String},
        {"license", T::String},
        {"opt_log", T::Bool},
        {"opt_create_startup", T::Bool},
        {"opt_save_replaced", T::Bool},
        {"opt_include_deinstall", T::Bool},
        {"opt_default_folder", T::String},
        {"opt_created_folder", T::String},
        {"opt_show_beos_folders", T::Bool},
        {"opt_compression", T::Int32},
        {"req_disk_space_needed", T::Bool},
        {"req_disk_space_required", T::Bool},
        {"req_boot_vol_only", T::Bool},
        {"req_removable_vol_ok", T::Bool},
        {"req_shared_vol_ok", T::Bool},
        {"req_ram_needed", T::Bool},
        {"req_ram_required", T::Bool},
        {"req_ram_amount", T::Int32},
        {"edit_bootscript", T::Bool},
        {"edit_bootscript_tag", T::String},
        {"edit_bootscript_contents", T::String},
        {"edit_setup_env", T::Bool},
        {"edit_setup_env_tag", T::String},
        {"edit_setup_env_contents", T::String},
        {"edit_profile", T::Bool},
        {"edit_profile_tag", T::String},
        {"edit_profile_contents", T::String},
        {"complete_comments", T::String},
        {"complete_restart", T::Bool},
        {"complete_display_folder", T::Bool},
    };
    return keys;
}

std::string Manifest::String(const std::string& key, const std::string& fallback) const {
    auto it = scalars.find(key);
    if (it == scalars.end() || !std::holds_alternative<std::string>(it->second))
        return fallback;
    return std::get<std::string>(it->second);
}

bool Manifest::Bool(const std::string& key, bool fallback) const {
    auto it = scalars.find(key);
    if (it == scalars.end() || !std::holds_alternative<bool>(it->second))
        return fallback;
    return std::get<bool>(it->second);
}

int32_t Manifest::Int(const std::string& key, int32_t fallback) const {
    auto it = scalars.find(key);
    if (it == scalars.end() || !std::holds_alternative<int32_t>(it->second))
        return fallback;
    return std::get<int32_t>(it->second);
}

namespace {

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw ManifestError(where + ": " + what);
}

const char* TypeName(ScalarType type) {
    switch (type) {
    case ScalarType::String:
        return "a string";
    case ScalarType::Bool:
        return "true or false";
    case ScalarType::Int32:
        return "a whole number";
    }
    return "?";
}

// Checks that an object carries only the allowed keys.
void CheckKeys(const json& object, const std::string& where, const std::set<std::string>& allowed) {
    if (!object.is_object())
        Fail(where, "must be an object");
    for (const auto& [key, value] : object.items()) {
        (void)value;
        if (allowed.count(key) == 0)
            Fail(where.empty() ? key : where + "." + key, "unknown key");
    }
}

bool GetBool(const json& value, const std::string& where) {
    if (!value.is_boolean())
        Fail(where, "must be true or false");
    return value.get<bool>();
}

int32_t GetInt32(const json& value, const std::string& where) {
    if (!value.is_number_integer())
        Fail(where, "must be a whole number");
    if (value.is_number_unsigned()) {
        uint64_t v = value.get<uint64_t>();
        if (v > static_cast<uint64_t>(INT32_MAX))
            Fail(where, "is out of range for a 32-bit number");
        return static_cast<int32_t>(v);
    }
    int64_t v = value.get<int64_t>();
    if (v < INT32_MIN || v > INT32_MAX)
        Fail(where, "is out of range for a 32-bit number");
    return static_cast<int32_t>(v);
}

fs::path SourcePath(const json& value, const fs::path& folder, const std::string& where) {
    fs::path path = JsonString(value, where);
    if (path.empty())
        Fail(where, "must name a file");
    if (path.is_relative())
        path = folder / path;
    // "bin/" names the folder bin: its leaf is the installed name.
    path = path.lexically_normal();
    if (!path.has_filename() && path.has_parent_path() && path != path.root_path())
        path = path.parent_path();
    std::error_code error;
    if (!fs::exists(fs::symlink_status(path, error)))
        Fail(where, "source not found: " + path.string());
    return path;
}

// A payload can carry files, folders and symbolic links only; a FIFO, device or socket
// (here or anywhere inside a folder) would fail on the user's machine.
void CheckPackable(const fs::path& source, const std::string& where) {
    auto check = [&where](const fs::path& path) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0)
            Fail(where, "cannot read " + path.string() + ": " + std::strerror(errno));
        if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode) && !S_ISLNK(st.st_mode))
            Fail(where, path.string() +
                            " is not a file, folder or symbolic link (a FIFO, device or socket "
                            "cannot be installed)");
        return S_ISDIR(st.st_mode);
    };
    if (!check(source))
        return;
    std::error_code error;
    for (fs::recursive_directory_iterator it(source, error), end; !error && it != end;
         it.increment(error))
        check(it->path());
    if (error)
        Fail(where, "cannot read " + source.string() + ": " + error.message());
}

std::string ReadText(const fs::path& path, const std::string& where) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail(where, "cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The name the installer keeps for a source: its path below the manifest's folder, or
// only its leaf, so that no absolute path of the building machine goes into the package.
std::string StoredName(const fs::path& source, const fs::path& folder) {
    fs::path relative = source.lexically_relative(folder.lexically_normal());
    if (relative.empty() || relative.is_absolute() || *relative.begin() == "..")
        return source.filename().string();
    return relative.string();
}

const std::set<std::string> kExistsModes = {"Prompt", "Rename", "Replace"};

std::string ExistsMode(const json& value, const std::string& where) {
    std::string mode = JsonString(value, where);
    if (kExistsModes.count(mode) == 0)
        Fail(where, "must be \"Prompt\", \"Rename\" or \"Replace\"");
    return mode;
}

ManifestFile ParseFile(const json& object, const fs::path& folder, const std::string& where) {
    CheckKeys(object, where,
              {"source", "groups", "destination", "destination_exists", "link", "link_exists",
               "deinstallable", "auto_launch", "auto_launch_reason"});
    ManifestFile file;
    if (!object.contains("source"))
        Fail(where + ".source", "missing");
    file.source = SourcePath(object["source"], folder, where + ".source");
    CheckPackable(file.source, where + ".source");
    file.storedName = StoredName(file.source, folder);
    if (object.contains("groups"))
        file.groups = JsonStringArray(object["groups"], where + ".groups");
    for (const auto& group : file.groups)
        if (group.find(';') != std::string::npos)
            Fail(where + ".groups", "a group name cannot contain ';'");
    if (object.contains("destination"))
        file.destination = JsonString(object["destination"], where + ".destination");
    if (object.contains("destination_exists"))
        file.destinationExists =
            ExistsMode(object["destination_exists"], where + ".destination_exists");
    if (object.contains("link"))
        file.link = JsonString(object["link"], where + ".link");
    if (object.contains("link_exists"))
        file.linkExists = ExistsMode(object["link_exists"], where + ".link_exists");
    if (object.contains("deinstallable"))
        file.deinstallable = GetBool(object["deinstallable"], where + ".deinstallable");
    if (object.contains("auto_launch"))
        file.autoLaunch = GetBool(object["auto_launch"], where + ".auto_launch");
    if (object.contains("auto_launch_reason"))
        file.autoLaunchReason =
            JsonString(object["auto_launch_reason"], where + ".auto_launch_reason");
    return file;
}

ManifestRequirementList ParseRequirementList(const json& object, const std::string& where) {
    CheckKeys(object, where, {"required", "names"});
    ManifestRequirementList list;
    list.present = true;
    if (object.contains("required"))
        list.required = GetBool(object["required"], where + ".required");
    if (object.contains("names"))
        list.names = JsonStringArray(object["names"], where + ".names");
    return list;
}

constexpr int32_t kLargestRamMegabytes = 16 * 1024 * 1024; // 16 TiB
constexpr double kLargestDiskBytes = 1125899906842624.0;   // 1 PiB

void CheckRange(const Manifest& manifest, const char* key, int32_t low, int32_t high,
                const std::string& what) {
    if (!manifest.Has(key))
        return;
    int32_t value = manifest.Int(key);
    if (value < low || value > high)
        Fail(key, "must be " + what + " (got " + std::to_string(value) + ")");
}

// The installation folder's name is one folder inside the chosen destination.
void CheckPlainName(const std::string& name, const std::string& where) {
    if (name.find('/') != std::string::npos)
        Fail(where, "must be a plain folder name without '/' (got '" + name + "')");
    if (name == "." || name == "..")
        Fail(where, "must be a folder name, not '" + name + "'");
}

// A sub folder stays below its root: names separated by '/', none of them "..".
void CheckSubFolder(const std::string& sub, const std::string& where) {
    if (!sub.empty() && sub[0] == '/')
        Fail(where, "must be relative to its root folder, not absolute (got '" + sub + "')");
    for (const auto& part : fs::path(sub))
        if (part == "..")
            Fail(where, "must stay below its root folder: '..' is not allowed (got '" + sub + "')");
}

std::vector<std::string> StandardFolderNames() {
    std::vector<std::string> names;
    // The identifiers lie in five small blocks below 5000.
    for (int32 which = 0; which < 5000; ++which)
        if (const char* name = LibStdDirNameOf(which))
            names.push_back(name);
    return names;
}

// Where a place name leads, as a key that is equal for two names of one folder.
std::string PlaceKey(const Manifest& manifest, const std::string& name) {
    if (name == "User Selected")
        return "installation folder";
    for (const auto& custom : manifest.customFolders) {
        if (custom.name != name)
            continue;
        std::string key = std::to_string(custom.root);
        for (const auto& part : fs::path(custom.subDir))
            if (!part.empty() && part != ".")
                key += "/" + part.string();
        return key;
    }
    return std::to_string(StandardFolderNumber(name));
}

// A destination or link must name a folder the installer knows.
void CheckPlace(const Manifest& manifest, const std::string& name, const std::string& where,
                const std::vector<std::string>& specialWords, bool customAllowed) {
    std::vector<std::string> known = specialWords;
    if (customAllowed)
        for (const auto& custom : manifest.customFolders)
            known.push_back(custom.name);
    for (const auto& candidate : known)
        if (candidate == name)
            return;
    if (LibStdDirNameExists(name.c_str()))
        return;
    for (auto& standard : StandardFolderNames())
        known.push_back(standard);
    Fail(where, "unknown folder '" + name + "'" + DidYouMean(name, known));
}

// Every place name is known, and no two entries (items, their links, the log) would be
// placed at the same path.
void CheckPlaces(const Manifest& manifest) {
    if (manifest.Has("opt_default_folder"))
        CheckPlace(manifest, manifest.String("opt_default_folder"), "opt_default_folder",
                   {"Current"}, false);

    std::map<std::string, std::string> taken = {
        {"installation folder/Log", "the installation log"},
        {"installation folder/Saved Files", "the folder of replaced entries"}};
    auto take = [&taken](const std::string& spot, const std::string& what,
                         const std::string& where) {
        auto [it, added] = taken.emplace(spot, what);
        if (!added)
            Fail(where, what + " would be placed where " + it->second + " is");
    };
    for (size_t i = 0; i < manifest.files.size(); ++i) {
        const ManifestFile& file = manifest.files[i];
        std::string where = "files[" + std::to_string(i) + "]";
        CheckPlace(manifest, file.destination, where + ".destination", {"User Selected"}, true);
        if (file.link != "None")
            CheckPlace(manifest, file.link, where + ".link", {"None", "User Selected"}, true);
        std::string leaf = file.source.filename().string();
        take(PlaceKey(manifest, file.destination) + "/" + leaf, where + " ('" + leaf + "')",
             where + ".source");
        if (file.link != "None")
            take(PlaceKey(manifest, file.link) + "/" + leaf,
                 where + ".link ('" + leaf + "' in '" + file.link + "')", where + ".link");
    }
}

// The longest names a run makes from the package's names are the hidden files beside the
// installation folder and the deinstaller: each must fit in one folder entry.
void CheckMadeNames(const Manifest& manifest) {
    constexpr size_t kLongestLeaf = 255;
    auto check = [](const std::string& key, const std::string& made, const std::string& what) {
        if (made.size() > kLongestLeaf)
            Fail(key, "is too long: the run would make " + what + " of " +
                          std::to_string(made.size()) + " bytes, and a file name holds at most " +
                          std::to_string(kLongestLeaf));
    };
    std::string folder = manifest.String("opt_created_folder");
    check("opt_created_folder", "." + folder + ".tarnw-journal", "its journal's name");
    if (manifest.Bool("opt_include_deinstall", true)) {
        std::string deinstaller = InstallPaths::SafeLeaf(
            manifest.String("app_name") + " " + manifest.String("version") + " Deinstaller");
        std::string key = manifest.String("app_name").size() >= manifest.String("version").size()
                              ? "app_name"
                              : "version";
        check(key, "." + deinstaller + ".tarnw-record", "the deinstaller's record name");
    }
}

} // namespace

Manifest ParseManifest(const std::string& text, const fs::path& folder) {
    json root = ParseStrictJson(text);
    if (!root.is_object())
        throw ManifestError("manifest: must be a JSON object");

    std::set<std::string> allowed = {"license_file",
                                     "groups",
                                     "custom_folders",
                                     "req_disk_space_amount",
                                     "req_shared_library",
                                     "req_apps",
                                     "about_image_file",
                                     "audio_file",
                                     "files",
                                     "desktop_entries",
                                     "deinstaller_menu_entry"};
    for (const auto& key : ConfigurationScalarKeys())
        allowed.insert(key.name);
    CheckKeys(root, "", allowed);

    Manifest manifest;
    manifest.folder = folder;
    for (const auto& key : ConfigurationScalarKeys()) {
        if (!root.contains(key.name))
            continue;
        const json& value = root[key.name];
        switch (key.type) {
        case ScalarType::String:
            if (!value.is_string())
                Fail(key.name, std::string("must be ") + TypeName(key.type));
            manifest.scalars[key.name] = JsonString(value, key.name);
            break;
        case ScalarType::Bool:
            manifest.scalars[key.name] = GetBool(value, key.name);
            break;
        case ScalarType::Int32:
            manifest.scalars[key.name] = GetInt32(value, key.name);
            break;
        }
    }

    if (root.contains("license_file")) {
        if (root.contains("license"))
            Fail("license_file", "give either \"license\" or \"license_file\", not both");
        fs::path path = SourcePath(root["license_file"], folder, "license_file");
        manifest.scalars["license"] = ReadText(path, "license_file");
    }

    CheckRange(manifest, "opt_compression", 0, 9, "a compression level from 0 to 9");
    CheckRange(manifest, "req_ram_amount", 0, kLargestRamMegabytes,
               "a number of megabytes from 0 to " + std::to_string(kLargestRamMegabytes));
    if (manifest.Has("opt_created_folder"))
        CheckPlainName(manifest.String("opt_created_folder"), "opt_created_folder");

    if (root.contains("req_disk_space_amount")) {
        const json& value = root["req_disk_space_amount"];
        if (!value.is_number() || !(value.get<double>() >= 0) ||
            value.get<double>() > kLargestDiskBytes)
            Fail("req_disk_space_amount", "must be a number of bytes from 0 to " +
                                              std::to_string(uint64_t(kLargestDiskBytes)));
        manifest.diskSpaceAmount = value.get<double>();
    }

    if (root.contains("groups")) {
        const json& groups = root["groups"];
        if (!groups.is_array())
            Fail("groups", "must be an array");
        for (size_t i = 0; i < groups.size(); ++i) {
            std::string where = "groups[" + std::to_string(i) + "]";
            CheckKeys(groups[i], where, {"name", "description"});
            ManifestGroup group;
            if (!groups[i].contains("name"))
                Fail(where + ".name", "missing");
            group.name = JsonString(groups[i]["name"], where + ".name");
            if (group.name.empty() || group.name.find(';') != std::string::npos)
                Fail(where + ".name", "must be a non-empty name without ';'");
            if (groups[i].contains("description"))
                group.description = JsonString(groups[i]["description"], where + ".description");
            manifest.groups.push_back(group);
        }
    }

    if (root.contains("custom_folders")) {
        const json& folders = root["custom_folders"];
        if (!folders.is_array())
            Fail("custom_folders", "must be an array");
        for (size_t i = 0; i < folders.size(); ++i) {
            std::string where = "custom_folders[" + std::to_string(i) + "]";
            CheckKeys(folders[i], where, {"name", "root", "sub_dir", "replace"});
            ManifestCustomFolder custom;
            if (!folders[i].contains("name"))
                Fail(where + ".name", "missing");
            custom.name = JsonString(folders[i]["name"], where + ".name");
            if (!folders[i].contains("root"))
                Fail(where + ".root", "missing");
            const json& root_value = folders[i]["root"];
            if (root_value.is_number_integer()) {
                custom.root = GetInt32(root_value, where + ".root");
                if (custom.root < 0 || StandardFolderNumber(std::to_string(custom.root)) < 0)
                    Fail(where + ".root", "is not a standard folder number");
            } else {
                std::string name = JsonString(root_value, where + ".root");
                custom.root = StandardFolderNumber(name);
                if (custom.root < 0)
                    Fail(where + ".root",
                         "unknown folder '" + name + "'" + DidYouMean(name, StandardFolderNames()));
            }
            if (folders[i].contains("sub_dir")) {
                custom.subDir = JsonString(folders[i]["sub_dir"], where + ".sub_dir");
                CheckSubFolder(custom.subDir, where + ".sub_dir");
            }
            for (size_t j = 0; j < manifest.customFolders.size(); ++j)
                if (manifest.customFolders[j].name == custom.name)
                    Fail(where + ".name", "'" + custom.name +
                                              "' is already defined by custom_folders[" +
                                              std::to_string(j) + "]");
            if (folders[i].contains("replace"))
                custom.replace = GetBool(folders[i]["replace"], where + ".replace");
            manifest.customFolders.push_back(custom);
        }
    }

    if (root.contains("req_shared_library"))
        manifest.sharedLibraries =
            ParseRequirementList(root["req_shared_library"], "req_shared_library");
    if (root.contains("req_apps"))
        manifest.apps = ParseRequirementList(root["req_apps"], "req_apps");
    if (root.contains("about_image_file"))
        manifest.aboutImageFile = SourcePath(root["about_image_file"], folder, "about_image_file");
    if (root.contains("audio_file"))
        manifest.audioFile = SourcePath(root["audio_file"], folder, "audio_file");

    if (root.contains("files")) {
        const json& files = root["files"];
        if (!files.is_array())
            Fail("files", "must be an array");
        for (size_t i = 0; i < files.size(); ++i)
            manifest.files.push_back(
                ParseFile(files[i], folder, "files[" + std::to_string(i) + "]"));
    }

    if (manifest.String("opt_created_folder").empty())
        Fail("opt_created_folder", "missing: the installation folder needs a name");
    CheckMadeNames(manifest);
    CheckPlaces(manifest);
    if (root.contains("desktop_entries"))
        manifest.desktopEntries = ParseDesktopEntries(root["desktop_entries"], manifest);
    if (root.contains("deinstaller_menu_entry"))
        manifest.deinstallerMenuEntry =
            GetBool(root["deinstaller_menu_entry"], "deinstaller_menu_entry");
    for (const auto& file : manifest.files)
        for (const auto& group : file.groups) {
            bool known = false;
            for (const auto& defined : manifest.groups)
                known = known || defined.name == group;
            if (!known)
                Fail("files", "group \"" + group + "\" is not defined in \"groups\"");
        }
    return manifest;
}

Manifest LoadManifest(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ManifestError("cannot read manifest " + file.string());
    std::ostringstream text;
    text << in.rdbuf();
    fs::path folder = fs::absolute(file).parent_path();
    return ParseManifest(text.str(), folder);
}

} // namespace tarnw::pack

namespace tarnw::pack {

int32_t StandardFolderNumber(const std::string& nameOrNumber) {
    if (!nameOrNumber.empty() &&
        nameOrNumber.find_first_not_of("0123456789") == std::string::npos &&
        nameOrNumber.size() < 10) {
        int32 which = std::stoi(nameOrNumber);
        return LibStdDirNameOf(which) != nullptr ? which : -1;
    }
    directory_which which;
    if (LibGetStdDirName(nameOrNumber.c_str(), which))
        return int32_t(which);
    return -1;
}

} // namespace tarnw::pack
