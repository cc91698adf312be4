#pragma once

// The package configuration: the one typed message that describes everything the
// installer installs. The package builder writes it and stores it flattened as the
// program's own resource 'CSTR' 2002 named "TWC:configuration"; the installer loads it
// once at start-up and from then on reads every setting from it by key.
//
// How the configuration and the engine fit together: PackageConfig is the message and
// its data-holder operations (loading, marking, printing, typed reads of records).
// The installation engine, InstallConfig (engine/InstallConfig.h), derives from
// PackageConfig and from LibThread and adds the run itself together with its run state
// (the log stream, the destination folder reference and the restart flag). Nothing in
// this class starts a thread or touches the file system beyond reading the resources.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "package/InstallRecords.h"
#include "platform/app/Message.h"
#include "platform/support/SupportDefs.h"

class BResources;

// Resource that carries the flattened configuration.
constexpr type_code kConfigurationResourceType = B_STRING_TYPE;
constexpr int32 kConfigurationResourceId = 2002;
constexpr const char* kConfigurationResourceName = "TWC:configuration";

// Literal values the configuration compares against (exact, case-sensitive).
namespace config_value {
constexpr const char* kTrue = "True";
constexpr const char* kNone = "None";
constexpr const char* kUserSelected = "User Selected";
constexpr const char* kPrompt = "Prompt";
constexpr const char* kRename = "Rename";
constexpr const char* kReplace = "Replace";
constexpr const char* kCurrent = "Current";
} // namespace config_value

class PackageConfig : public BMessage {
public:
    PackageConfig();
    PackageConfig(const PackageConfig& other);
    PackageConfig& operator=(const PackageConfig& other);
    virtual ~PackageConfig();

    // Empties the message and fills it from the resource 'CSTR' 2002 of the running
    // program. On failure one line goes to standard error ("Does not have resource
    // 2002" or "Unable to read resource 2002") unless the bytes were found but are not
    // a valid flattened message, and false is returned; the message is then empty.
    bool LoadConfiguration();
    // The same from a given resource container (the deinstaller, tests, the packer).
    bool LoadConfiguration(BResources& resources);
    // Empties the message and unflattens the bytes into it; false (and an empty
    // message) when they are not a complete flattened message.
    bool LoadFlattened(const void* data, size_t size);

    // Every "install_file" record of "install_instructions", in index order, through
    // the message printer, to standard output. The engine's PrintToStream prints its
    // thread description first and then calls this.
    void PrintInstallFiles() const;

    // Finds the first "install_file" whose "file_name" has this leaf and sets its
    // "install_to_system" to the flag, writing the record back into the configuration.
    // Returns false when no record has that leaf.
    bool MarkInstallFile(const char* leaf, const bool& install);
    // The same by record index (the window's row index); false when there is no such
    // record.
    bool MarkInstallFile(int32 index, const bool& install);

    // Typed reads with the configuration's rule for a missing key: false, 0, no text.
    bool BoolValue(const char* key) const;
    int32 Int32Value(const char* key) const;
    // The text of a string key, or "" when it is absent (never null).
    const char* StringValue(const char* key) const;
    // The text of a string key, or null when it is absent: for the places where a missing
    // value means something other than an empty one.
    const char* StringValueOrNull(const char* key) const;
    // "opt_include_deinstall" is the one boolean that reads as true when missing.
    bool IncludeDeinstaller() const;

    // Install file records ("install_instructions" / "install_file").
    //
    // The container is decoded once and kept (InstallRecords) until the configuration
    // changes (through these calls or any BMessage call): every read below costs at most
    // the size of one record, so visiting every record by index is linear in the number of
    // records. The writing calls put the whole container back, which costs its size; code
    // that changes many records takes Records(), changes a copy and stores it back once with
    // StoreRecords (or MarkInstallFiles).
    std::shared_ptr<const InstallRecords> Records() const;
    // The decoded records to change and put back with StoreRecords: the kept copy itself
    // when nothing else holds it, so that a run of many items holds them only once.
    InstallRecords TakeRecords();
    // Writes the container of `records` back as "install_instructions" and keeps `records`
    // as the decoded copy; false when it could not be written.
    bool StoreRecords(InstallRecords records);
    bool GetInstructions(BMessage& instructions) const;
    bool SetInstructions(const BMessage& instructions);
    // Sets "install_to_system" of record i to marks[i] for every record that has a
    // mark; records beyond the marks are left alone. Returns the number of records
    // marked.
    int32 MarkInstallFiles(const std::vector<bool>& marks);
    int32 CountInstallFiles() const;
    bool GetInstallFile(int32 index, BMessage& record) const;
    // Replaces record `index`, writing "install_instructions" back into the
    // configuration; false when there is no such record.
    bool ReplaceInstallFile(int32 index, const BMessage& record);
    // Index of the first record whose "file_name" has this leaf, or -1.
    int32 FindInstallFile(const char* leaf) const;
    // Whether record `index` carries "install_to_system" set to true.
    bool IsMarkedForInstall(int32 index) const;
    // Reads "install_meta" of record `index` into meta; false when it has none.
    bool GetInstallMeta(int32 index, BMessage& meta) const;

    // The leaf of a "file_name" value: the text after the last '/' (the whole text when
    // it holds none, "" for null).
    static const char* LeafOf(const char* path);

private:
    // The decoded records, decoded again when the message has changed; under fDecodedLock.
    std::shared_ptr<InstallRecords> DecodedLocked() const;

    mutable std::mutex fDecodedLock;
    // The decoded records, valid while the message's change stamp is fDecodedStamp.
    mutable std::shared_ptr<InstallRecords> fDecoded;
    mutable uint64 fDecodedStamp = 0;
};
