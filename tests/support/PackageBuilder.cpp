#include "support/PackageBuilder.h"

#include <gtest/gtest.h>

#include "files/LibAppResource.h"
#include "files/ProgramRole.h"
#include "support/Sandbox.h"

namespace tarnw::test {

BMessage Meta(const char* destination, const char* exists, const char* link, const char* linkExists,
              const char* deinstallable) {
    BMessage meta;
    meta.AddString("destination", destination);
    meta.AddString("destination_exists", exists);
    meta.AddString("link", link);
    meta.AddString("link_exists", linkExists);
    meta.AddString("deinstallable", deinstallable);
    meta.AddString("auto_launch", "False");
    meta.AddString("auto_launch_reason", "");
    return meta;
}

PackageBuilder::PackageBuilder() : root(Sandbox::MakeFolder("package")) {
    config.AddString("app_name", "Tool");
    config.AddString("version", "1.0");
    config.AddString("company", "Maker");
    config.AddString("opt_created_folder", "Tool");
}

void PackageBuilder::AddItem(const fs::path& source, const BMessage& meta, bool withPayload,
                             const char* groupNames) {
    bool folder = fs::is_directory(source);
    AddInstruction("/build/machine/" + source.filename().string(), folder ? 2 : 0,
                   folder ? 4096 : int32(fs::file_size(source)), groupNames, meta,
                   withPayload ? source : fs::path());
}

void PackageBuilder::AddRecord(const PackageRecord& record) {
    AddInstruction("/build/" + record.name, record.type, record.size, record.groups.c_str(),
                   Meta("User Selected"), record.payload);
}

void PackageBuilder::AddInstruction(const std::string& fileName, int8 type, int32 size,
                                    const char* groupNames, const BMessage& meta,
                                    const fs::path& payload) {
    BMessage record;
    record.AddString("file_name", fileName.c_str());
    record.AddInt8("file_type", type);
    // The size on the building machine and the size the item takes installed.
    record.AddInt32("file_size", size);
    record.AddInt32("file_size", size);
    record.AddInt64("file_modified", 1000000000);
    record.AddInt64("file_accessed", 1000000000);
    record.AddString("groups", groupNames);
    record.AddMessage("install_meta", &meta);
    instructions.AddMessage("install_file", &record);
    payloads.push_back(payload);
}

void PackageBuilder::AddCustomFolder(const char* name, int32 rootFolder, const char* sub,
                                     bool replace) {
    BMessage definition;
    definition.AddString("custom_folder_name", name);
    definition.AddInt32("custom_root_dir", rootFolder);
    definition.AddString("custom_sub_dir", sub);
    definition.AddBool("custom_replace_existing", replace);
    customFolders.AddMessage("custom_folder", &definition);
}

void PackageBuilder::AddGroup(const char* name, const char* description) {
    groups.AddString("group_name", name);
    groups.AddString("group_description", description);
}

fs::path PackageBuilder::Build(const std::string& leaf) {
    fs::path installer = root / leaf;
    fs::copy_file("/bin/true", installer, fs::copy_options::overwrite_existing);

    BMessage whole = config;
    if (!groups.IsEmpty())
        whole.AddMessage("groups", &groups);
    whole.AddMessage("install_instructions", &instructions);
    if (!customFolders.IsEmpty())
        whole.AddMessage("custom_folder", &customFolders);
    std::string flat = whole.Flatten();

    LibAppResource resources(installer.c_str(), uint32(B_READ_WRITE));
    EXPECT_TRUE(resources.IsAttached());
    for (size_t i = 0; i < payloads.size(); i++) {
        if (payloads[i].empty())
            continue;
        EXPECT_TRUE(resources.AddEntry(payloads[i].c_str(), int32(2100 + i),
                                       payloads[i].filename().c_str(), 1))
            << resources.LastError();
    }
    EXPECT_EQ(resources.AddResource(kDeinstallerResourceType, kDeinstallerResourceId,
                                    kDeinstallerRecord.data(), kDeinstallerRecord.size(),
                                    kDeinstallerResourceName),
              B_OK);
    EXPECT_EQ(
        resources.AddResource(B_STRING_TYPE, 2002, flat.data(), flat.size(), "TWC:configuration"),
        B_OK);
    EXPECT_EQ(resources.Sync(), B_OK);
    return installer;
}

} // namespace tarnw::test
