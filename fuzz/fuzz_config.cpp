// A package configuration as the installer loads it: unflattened, then every record
// read the way the window and the engine read them.
#include <cstdint>
#include <vector>

#include "package/CustomFolders.h"
#include "package/GroupContextList.h"
#include "package/InstallListItem.h"
#include "package/PackageConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PackageConfig config;
    if (!config.LoadFlattened(data, size))
        return 0;

    BMessage groupsMessage;
    if (config.FindMessage("groups", &groupsMessage) == B_OK) {
        GroupContextList groups;
        groups.Read(groupsMessage);
        for (GroupContext* group = groups.First(); group != nullptr; group = groups.Next())
            groups.HasGroup(group->Name());
        if (groups.Size() > 0)
            groups.RemoveContext(0);
        groups.Add("Typical");
        groups.NextUid();
    }

    BMessage customMessage;
    if (config.FindMessage("custom_folder", &customMessage) == B_OK) {
        CustomFolders folders;
        folders.Read(customMessage);
        for (CustomFolder* folder = folders.First(); folder != nullptr; folder = folders.Next()) {
            CustomFolder copy;
            copy.SetFromAttrDescription(folder->AttrDescription());
        }
        BMessage prefs;
        folders.WritePref(prefs, true);
        folders.ReadPref(prefs, false);
    }

    BMessage instructions;
    config.GetInstructions(instructions);
    const int32 count = config.CountInstallFiles();
    std::vector<bool> marks;
    BMessage record;
    for (int32 i = 0; instructions.FindMessage("install_file", i, &record) == B_OK; ++i) {
        InstallListItem item(false);
        item.SetShowFullPath(false);
        item.Read(record);
        item.InGroup("Typical");
        LibString folder, rest;
        item.SplitDisplayText(folder, rest);
        marks.push_back(i % 2 == 0);
        if (i < 2) {
            // These take the whole container out each time: a few calls suffice.
            config.IsMarkedForInstall(i);
            BMessage meta;
            config.GetInstallMeta(i, meta);
            config.MarkInstallFile(item.Leaf(), true);
        }
    }
    if (static_cast<int32>(marks.size()) != count)
        __builtin_trap();
    config.MarkInstallFiles(marks);
    config.BoolValue("opt_log");
    config.StringValue("opt_created_folder");
    config.IncludeDeinstaller();
    return 0;
}
