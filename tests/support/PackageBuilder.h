#pragma once

// Installers built in the test process: a copy of a tiny program carrying a package
// configuration, the items' payloads and a deinstaller in its resources, as the package
// builder would write them.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/app/Message.h"

namespace tarnw::test {

namespace fs = std::filesystem;

// An item's "install_meta": where it goes, what happens to one already there, its link
// and whether the deinstaller removes it.
BMessage Meta(const char* destination, const char* exists = "Replace", const char* link = "None",
              const char* linkExists = "Replace", const char* deinstallable = "True");

// An item described by its record alone, installed into the folder the user selects.
struct PackageRecord {
    std::string name; // the record's "file_name" is "/build/<name>"
    int32 size;
    std::string groups; // "Typical;Full;"
    // A file to carry as the item's payload; none for a record alone.
    fs::path payload;
    // The record's "file_type": 0 file, 1 program, 2 folder, 3 symbolic link.
    int8 type = 0;
};

class PackageBuilder {
public:
    // A package named "Tool" 1.0 by "Maker" that creates the folder "Tool", in a folder
    // of its own; a test adds whatever else its configuration needs to `config`.
    PackageBuilder();

    // Adds the record of the file or folder at `source` as the package builder would on
    // the machine it ran on, and the source as its payload (none when withPayload is
    // false).
    void AddItem(const fs::path& source, const BMessage& meta, bool withPayload = true,
                 const char* groups = "Typical;");
    void AddRecord(const PackageRecord& record);
    void AddCustomFolder(const char* name, int32 root, const char* sub, bool replace);
    void AddGroup(const char* name, const char* description = "");

    // Writes the installer as `leaf` in the package's folder.
    fs::path Build(const std::string& leaf = "installer");

    fs::path root;
    BMessage config;
    BMessage instructions;
    BMessage customFolders;
    BMessage groups;
    // The payload of each record of `instructions`, in order (empty: none).
    std::vector<fs::path> payloads;

private:
    void AddInstruction(const std::string& fileName, int8 type, int32 size, const char* groupNames,
                        const BMessage& meta, const fs::path& payload);
};

} // namespace tarnw::test
