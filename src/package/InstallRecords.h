#pragma once

// The "install_file" records of a configuration's "install_instructions", decoded once.
// The installer reads its items over and over (choosing, checking the installer file and
// the room, placing, desktop entries, launching): decoding the container for each read
// would make every pass quadratic in the number of items. Each item's plain fields are
// kept beside the container; a whole record is read from the decoded container, which
// costs the size of that record.
//
// Changes go to the decoded copy (and its container) only; the owner writes the container
// back into the configuration once, with Container().

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/app/Message.h"
#include "platform/support/SupportDefs.h"

class InstallRecords {
public:
    // What the installer reads of each record, absent keys read as empty, 0 and false.
    struct Item {
        std::string fileName;  // "file_name"
        std::string leaf;      // its last component
        std::string groups;    // "groups": the install types it belongs to, ';'-separated
        int32 size = 0;        // "file_size"
        bool selected = false; // "install_to_system"
        // Of "install_meta":
        std::string destination;
        std::string destinationExists;
        std::string link;
        std::string linkExists;
        bool deinstallable = false; // exactly "True"
        bool autoLaunch = false;    // exactly "True"
    };

    InstallRecords() = default;
    // Decodes the records of the container, in index order; they end at the first one
    // that cannot be read, as a loop over FindMessage would.
    explicit InstallRecords(BMessage instructions);

    int32 Count() const { return int32(fItems.size()); }
    // Null when there is no such record.
    const Item* At(int32 index) const;
    // The whole record, and its "install_meta" (empty when it has none); false when there is
    // no such record.
    bool Record(int32 index, BMessage& record) const;
    bool Meta(int32 index, BMessage& meta) const;
    // The first record whose leaf is `leaf`, or -1.
    int32 IndexOf(const char* leaf) const;

    // Sets "install_to_system" (replaced when present, of whatever type; added when absent).
    // False when there is no such record or it cannot be written.
    bool SetSelected(int32 index, bool selected);
    // Whether SetSelected would change record `index` (false when there is none).
    bool ChangesMark(int32 index, bool selected) const;
    // Sets "file_name" (the run writes where the item went). `record`, when given, is the
    // record as Record() read it, to save reading it again; it is changed too.
    bool SetFileName(int32 index, const std::string& path, BMessage* record = nullptr);

    // The container with every change in it, in the configuration's own form.
    const BMessage& Container() const { return fContainer; }

private:
    static Item Read(const BMessage& record);
    bool Store(int32 index, const BMessage& record);
    void IndexLeaves();

    BMessage fContainer;
    std::vector<Item> fItems;
    std::unordered_map<std::string, int32> fFirstByLeaf;
    // Whether each record holds "install_to_system" as a bool: marking it the same again
    // then changes nothing.
    std::vector<bool> fMarkStored;
    // Whether each record holds a "file_name": a record without one is never found by leaf.
    std::vector<bool> fNamed;
};
