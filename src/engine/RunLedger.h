#pragma once

// What an installation made, changed and saved, as its deinstaller's record lists it (the
// fields are described at kInstalledResourceId in InstallConfig.h). The run adds to one as
// it goes and writes it into the record at its end; a later run in the same place reads an
// earlier record into one to take over what that installation made.
//
// Read from a record, it holds what the record says, which is untrusted: callers check
// each path before acting on it.

#include <string>
#include <utility>
#include <vector>

class BMessage;

struct RunLedger {
    struct ScriptEdit {
        std::string file;
        std::string tag;
        bool operator==(const ScriptEdit&) const = default;
    };
    struct HookBlock {
        std::string file;
        std::string tag;
        std::string script;
        bool operator==(const HookBlock&) const = default;
    };
    using PathPair = std::pair<std::string, std::string>;

    // Every tagged entry, a folder before its contents ("path").
    std::vector<std::string> tagged;
    std::vector<ScriptEdit> scriptEdits; // "script_file" + "script_tag"
    std::vector<PathPair> links;         // link, target ("link" + "link_target")
    std::vector<PathPair> saved;         // saved copy, original place ("saved" + "saved_from")
    // Folders made outside the installation folder, outer ones first ("created_folder").
    std::vector<std::string> createdFolders;
    // Entries the installer made for itself as it started ("created_entry").
    std::vector<std::string> createdEntries;
    std::vector<std::string> createdFiles; // start-up files ("created_file")
    std::vector<PathPair> hookEntries;     // autostart entry, script it runs
    std::vector<HookBlock> hookBlocks;     // profile block, its tag, the script it reads

    bool operator==(const RunLedger&) const = default;

    // Adds the lists to a record.
    void AddTo(BMessage& record) const;
    // The lists of a record; a pair or triple with a part missing ends its list there.
    static RunLedger From(const BMessage& record);
};
