#include "ConfigBuilder.h"

#include "ImageArchive.h"
#include "SoundArchive.h"
#include "archive/SourceDate.h"
#include "files/LibFileOps.h"
#include "package/InstallListItem.h"
#include "platform/app/Message.h"

namespace tarnw::pack {

namespace {

void AddScalar(const Manifest& manifest, const char* key, BMessage& config) {
    for (const auto& known : ConfigurationScalarKeys()) {
        if (std::string(known.name) != key)
            continue;
        switch (known.type) {
        case ScalarType::String:
            // Strings are written only when given: a missing text reads as empty anyway,
            // and an absent "opt_default_folder" keeps the installer's own default.
            if (manifest.Has(key))
                config.AddString(key, manifest.String(key).c_str());
            return;
        case ScalarType::Bool: {
            // A missing "opt_include_deinstall" means true; write it so.
            bool fallback = std::string(key) == "opt_include_deinstall";
            config.AddBool(key, manifest.Bool(key, fallback));
            return;
        }
        case ScalarType::Int32: {
            int32_t fallback = std::string(key) == "opt_compression" ? 6 : 0;
            config.AddInt32(key, manifest.Int(key, fallback));
            return;
        }
        }
    }
}

void AddGroups(const Manifest& manifest, BMessage& config) {
    BMessage groups;
    for (const auto& group : manifest.groups) {
        groups.AddString("group_name", group.name.c_str());
        groups.AddString("group_description", group.description.c_str());
    }
    config.AddMessage("groups", &groups);
}

void AddCustomFolders(const Manifest& manifest, BMessage& config) {
    BMessage container;
    for (const auto& folder : manifest.customFolders) {
        BMessage definition;
        definition.AddString("custom_folder_name", folder.name.c_str());
        definition.AddInt32("custom_root_dir", folder.root);
        definition.AddString("custom_sub_dir", folder.subDir.c_str());
        definition.AddBool("custom_replace_existing", folder.replace);
        container.AddMessage("custom_folder", &definition);
    }
    config.AddMessage("custom_folder", &container);
}

void AddRequirementList(const ManifestRequirementList& list, const char* key,
                        const char* requiredKey, const char* nameKey, BMessage& config) {
    if (!list.present)
        return;
    BMessage message;
    message.AddBool(requiredKey, list.required);
    for (const auto& name : list.names)
        message.AddString(nameKey, name.c_str());
    config.AddMessage(key, &message);
}

void AddInstructions(const Manifest& manifest, BMessage& config) {
    BMessage instructions;
    for (const auto& file : manifest.files) {
        BMessage record;
        BuildInstallFileRecord(file, record);
        instructions.AddMessage("install_file", &record);
    }
    config.AddMessage("install_instructions", &instructions);
}

void AddDesktopEntries(const Manifest& manifest, BMessage& config) {
    BMessage container;
    for (const auto& entry : manifest.desktopEntries) {
        BMessage record;
        record.AddString("entry_id", entry.id.c_str());
        record.AddString("entry_name", entry.name.c_str());
        record.AddString("entry_comment", entry.comment.c_str());
        record.AddInt32("entry_item", entry.item);
        record.AddString("entry_path", entry.pathInItem.c_str());
        for (const auto& arg : entry.args)
            record.AddString("entry_arg", arg.c_str());
        for (const auto& category : entry.categories)
            record.AddString("entry_category", category.c_str());
        record.AddBool("entry_terminal", entry.terminal);
        if (!entry.iconType.empty()) {
            record.AddString("entry_icon_type", entry.iconType.c_str());
            record.AddInt32("entry_icon_size", entry.iconSize);
            record.AddData("entry_icon", B_RAW_TYPE, entry.iconData.data(),
                           ssize_t(entry.iconData.size()));
            if (!entry.iconPicture.empty())
                record.AddData("entry_icon_picture", B_RAW_TYPE, entry.iconPicture.data(),
                               ssize_t(entry.iconPicture.size()));
        }
        container.AddMessage("desktop_entry", &record);
    }
    config.AddMessage("desktop_entries", &container);
    config.AddBool("deinstaller_menu_entry", manifest.deinstallerMenuEntry);
    config.AddString("deinstaller_menu_id",
                     DesktopEntryId(manifest.String("opt_created_folder"), "deinstaller").c_str());
}

} // namespace

void BuildInstallFileRecord(const ManifestFile& file, BMessage& record) {
    std::string path = file.source.string();
    InstallListItem item(path.c_str(), false, true);
    item.SetType(FileListItem::DetectType(path.c_str()));
    int64 size = LibEntrySize(path.c_str(), true);
    // The record keeps sizes in 32 bits; a larger item is shown as the largest size.
    item.SetSize(size > INT32_MAX ? INT32_MAX : int32(size < 0 ? 0 : size));
    std::string groups;
    for (const auto& group : file.groups)
        groups += group + ";";
    item.SetGroupsText(groups.c_str());
    item.Write(record);
    // The item's times are placed with it; a reproducible build keeps none newer than its
    // epoch.
    for (const char* field : {"file_creation", "file_modified", "file_accessed"}) {
        int64 seconds = 0;
        if (record.FindInt64(field, &seconds) == B_OK)
            record.ReplaceInt64(field, int64(ClampToSourceDate(time_t(seconds))));
    }
    if (!file.storedName.empty())
        record.ReplaceString("file_name", file.storedName.c_str());

    BMessage meta;
    meta.AddString("destination", file.destination.c_str());
    meta.AddString("destination_exists", file.destinationExists.c_str());
    meta.AddString("link", file.link.c_str());
    meta.AddString("link_exists", file.linkExists.c_str());
    meta.AddString("deinstallable", file.deinstallable ? "True" : "False");
    meta.AddString("auto_launch", file.autoLaunch ? "True" : "False");
    meta.AddString("auto_launch_reason", file.autoLaunchReason.c_str());
    record.AddMessage("install_meta", &meta);
}

void BuildConfiguration(const Manifest& manifest, int32_t deinstallerSize, BMessage& config) {
    config.MakeEmpty();
    config.what = 0;
    auto scalar = [&](const char* key) { AddScalar(manifest, key, config); };

    if (manifest.Has("install_folder_name"))
        scalar("install_folder_name");
    else
        config.AddString("install_folder_name", manifest.String("opt_created_folder").c_str());
    AddGroups(manifest, config);
    for (const char* key : {"app_name", "version", "release_date", "company", "support_email"})
        scalar(key);
    if (manifest.aboutImageFile) {
        RgbaImage image =
            FitImage(DecodeImage(*manifest.aboutImageFile), kAboutImageWidth, kAboutImageHeight);
        BMessage archive;
        ArchiveBitmap(image, archive);
        config.AddMessage("about_image", &archive);
    }
    if (manifest.audioFile)
        config.AddString("audio_file", manifest.audioFile->filename().string().c_str());
    scalar("license");
    AddInstructions(manifest, config);
    AddCustomFolders(manifest, config);
    for (const char* key :
         {"opt_log", "opt_create_startup", "opt_save_replaced", "opt_include_deinstall",
          "opt_default_folder", "opt_created_folder", "opt_show_beos_folders", "opt_compression",
          "req_disk_space_needed", "req_disk_space_required"})
        scalar(key);
    {
        BMessage amount;
        double bytes = manifest.diskSpaceAmount.value_or(0);
        amount.AddDouble("value", bytes);
        amount.AddInt32("value_type", 'byte');
        amount.AddFloat("value_conversion", 1.0f);
        config.AddMessage("req_disk_space_amount", &amount);
    }
    for (const char* key : {"req_boot_vol_only", "req_removable_vol_ok", "req_shared_vol_ok",
                            "req_ram_needed", "req_ram_required", "req_ram_amount"})
        scalar(key);
    // The installer reads the key under this spelling.
    AddRequirementList(manifest.sharedLibraries, "req_shared_library", "req_shared_librry_req",
                       "req_shared_library_name", config);
    AddRequirementList(manifest.apps, "req_apps", "req_app_req", "req_app_name", config);
    for (const char* key : {"edit_bootscript", "edit_bootscript_tag", "edit_bootscript_contents",
                            "edit_setup_env", "edit_setup_env_tag", "edit_setup_env_contents",
                            "edit_profile", "edit_profile_tag", "edit_profile_contents",
                            "complete_comments", "complete_restart", "complete_display_folder"})
        scalar(key);
    if (manifest.audioFile) {
        BMessage sound;
        ArchiveSound(LoadWav(*manifest.audioFile), sound);
        config.AddMessage("audio_data", &sound);
    }
    AddDesktopEntries(manifest, config);
    config.AddInt32("TWC:deinstaller_size", deinstallerSize);
}

} // namespace tarnw::pack
