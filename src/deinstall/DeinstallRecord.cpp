#include "deinstall/DeinstallRecord.h"

#include <set>
#include <string_view>
#include <unordered_set>

#include "engine/InstalledRecord.h"
#include "engine/Journal.h"
#include "files/LibAppResource.h"
#include "lib/MessageFields.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "platform/support/SupportDefs.h"

namespace {

constexpr int32 kConfigurationId = 2002;

std::string UserFile(directory_which which, const char* leaf) {
    BPath folder;
    if (find_directory(which, &folder, false, nullptr) != B_OK || folder.Path() == nullptr)
        return "";
    return std::string(folder.Path()) + "/" + leaf;
}

// Keeps a path when it is safe to act on, and notes it as refused otherwise.
bool Accept(const std::string& path, DeinstallRecord& out) {
    if (IsPlainAbsolutePath(path))
        return true;
    out.refused.push_back(path);
    return false;
}

void ReadInstalledList(const BMessage& installed, DeinstallRecord& out) {
    out.hasInstalledList = true;
    std::string folder = StringOf(installed, "install_folder");
    if (!folder.empty() && Accept(folder, out))
        out.installFolder = folder;
    std::vector<std::string> paths = StringsOf(installed, "path");
    std::unordered_set<std::string_view> seen(paths.size());
    out.paths.reserve(paths.size());
    for (const std::string& path : paths) {
        if (Accept(path, out) && seen.insert(path).second)
            out.paths.push_back(path);
    }
    auto links = StringsOf(installed, "link");
    auto targets = StringsOf(installed, "link_target");
    for (size_t i = 0; i < links.size() && i < targets.size(); i++) {
        if (Accept(links[i], out))
            out.links.push_back({links[i], targets[i]});
    }
    auto saved = StringsOf(installed, "saved");
    auto origins = StringsOf(installed, "saved_from");
    for (size_t i = 0; i < saved.size() && i < origins.size(); i++) {
        if (Accept(saved[i], out) && Accept(origins[i], out))
            out.saved.push_back({saved[i], origins[i]});
    }
    for (const std::string& folder : StringsOf(installed, "created_folder")) {
        if (Accept(folder, out))
            out.createdFolders.push_back(folder);
    }
    for (const std::string& file : StringsOf(installed, "created_file")) {
        if (Accept(file, out))
            out.createdFiles.push_back(file);
    }
    for (const std::string& entry : StringsOf(installed, "created_entry")) {
        if (Accept(entry, out))
            out.createdEntries.push_back(entry);
    }
    for (const std::string& text : StringsOf(installed, "folder_identity")) {
        std::string noted;
        uint64_t device = 0, inode = 0;
        if (InstalledRecord::ParseFolderIdentity(text, noted, device, inode) && Accept(noted, out))
            out.folders.Note(noted, device, inode);
    }
    auto files = StringsOf(installed, "script_file");
    auto tags = StringsOf(installed, "script_tag");
    for (size_t i = 0; i < files.size() && i < tags.size(); i++) {
        if (Accept(files[i], out))
            out.blocks.push_back({files[i], tags[i]});
    }
    auto entries = StringsOf(installed, "hook_entry");
    auto entryScripts = StringsOf(installed, "hook_entry_for");
    for (size_t i = 0; i < entries.size() && i < entryScripts.size(); i++) {
        if (Accept(entries[i], out) && Accept(entryScripts[i], out))
            out.hooks.push_back({entries[i], "", entryScripts[i]});
    }
    auto blocks = StringsOf(installed, "hook_block");
    auto blockTags = StringsOf(installed, "hook_block_tag");
    auto blockScripts = StringsOf(installed, "hook_block_for");
    for (size_t i = 0; i < blocks.size() && i < blockTags.size() && i < blockScripts.size(); i++) {
        if (!blockTags[i].empty() && Accept(blocks[i], out) && Accept(blockScripts[i], out))
            out.hooks.push_back({blocks[i], blockTags[i], blockScripts[i]});
    }
}

} // namespace

std::string DeinstallRecord::Identity() const {
    return appName + ";" + version + ";" + releaseDate + ";" + company + ";" + supportEmail + ";";
}

std::string DeinstallRecord::ProductName() const {
    if (version.empty())
        return appName;
    return appName + " " + version;
}

bool ReadDeinstallRecord(const BMessage& configuration, const BMessage* installed,
                         DeinstallRecord& out, std::string& error) {
    out = DeinstallRecord();
    out.appName = StringOf(configuration, "app_name");
    out.version = StringOf(configuration, "version");
    out.releaseDate = StringOf(configuration, "release_date");
    out.company = StringOf(configuration, "company");
    out.supportEmail = StringOf(configuration, "support_email");
    if (out.appName.empty() && out.version.empty() && out.company.empty()) {
        error = "the configuration names no product";
        return false;
    }
    out.hasAboutImage = configuration.FindMessage("about_image", &out.aboutImage) == B_OK;

    out.hasScope = out.scope.ReadFrom(configuration);
    if (installed != nullptr) {
        // A list naming anything the installation could not have made is not believed in
        // any part.
        if (out.hasScope) {
            out.stranger = out.scope.FirstStranger(*installed);
            if (!out.stranger.empty()) {
                error = "the list of what was installed names " + out.stranger +
                        ", which the installation cannot have made";
                return false;
            }
        }
        ReadInstalledList(*installed, out);
    }

    // The switches of the configuration name the package's own blocks; the list adds the
    // ones the run really wrote (the StartUp block among them).
    struct Switch {
        const char* flag;
        const char* tag;
        directory_which folder;
        const char* leaf;
    };
    const Switch switches[] = {
        {"edit_bootscript", "edit_bootscript_tag", B_USER_BOOT_DIRECTORY, "UserBootscript"},
        {"edit_setup_env", "edit_setup_env_tag", B_USER_BOOT_DIRECTORY, "UserSetupEnvironment"},
        {"edit_profile", "edit_profile_tag", B_USER_DIRECTORY, ".profile"}};
    std::vector<ScriptBlockRef> blocks;
    for (const Switch& edit : switches) {
        std::string tag = StringOf(configuration, edit.tag);
        if (!IsTrue(configuration, edit.flag) || tag.empty())
            continue;
        std::string file = UserFile(edit.folder, edit.leaf);
        if (!file.empty())
            blocks.push_back({file, tag});
    }
    for (const ScriptBlockRef& block : out.blocks)
        blocks.push_back(block);
    out.blocks.clear();
    std::set<std::pair<std::string, std::string>> seen;
    for (const ScriptBlockRef& block : blocks) {
        // An empty tag would name every block of the file.
        if (!block.tag.empty() && seen.insert({block.file, block.tag}).second)
            out.blocks.push_back(block);
    }
    return true;
}

namespace {

bool LoadConfiguration(const char* path, BMessage& configuration, std::string& error) {
    LibAppResource resources(path, uint32(B_READ_ONLY));
    if (!resources.IsAttached()) {
        error = "the deinstaller carries no resources";
        return false;
    }
    size_t size = 0;
    const void* bytes = resources.LoadResource(B_STRING_TYPE, kConfigurationId, &size);
    if (bytes == nullptr ||
        configuration.Unflatten(static_cast<const char*>(bytes), size) != B_OK) {
        error = "the deinstaller carries no usable configuration";
        return false;
    }
    return true;
}

} // namespace

bool LoadDeinstallRecord(const char* path, DeinstallRecord& out, std::string& error) {
    BMessage configuration;
    if (!LoadConfiguration(path, configuration, error))
        return false;
    // Without the list it could only claim that nothing is left while the installation
    // is still there.
    BMessage installed;
    std::string why;
    bool notOwn = false;
    if (!InstalledRecord::Read(path, installed, why, &notOwn)) {
        error = "the list of what was installed cannot be read: " + why;
        if (notOwn)
            out.setAside = InstalledRecord::PathFor(path);
        return false;
    }
    if (!ReadDeinstallRecord(configuration, &installed, out, error)) {
        if (!out.stranger.empty())
            out.setAside = InstalledRecord::PathFor(path);
        return false;
    }
    return true;
}

bool LoadDeinstallScope(const char* path, RunScope& scope) {
    BMessage configuration;
    std::string error;
    return LoadConfiguration(path, configuration, error) && scope.ReadFrom(configuration);
}
