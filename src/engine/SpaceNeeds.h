#pragma once

// The room a run will take, volume by volume, counted before it writes anything. Each
// need is filed under the volume that will receive it: the one holding the nearest
// existing folder on its path (the path itself need not exist yet). A file counts in
// whole blocks of its volume, a folder as one block, a link as one block when its target
// is too long to live in its node; every entry counts as one node on volumes that count
// nodes. Room is what an unprivileged user may still take (f_bavail, f_favail).

#include <deque>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unordered_map>
#include <vector>

#include "archive/ZipContents.h"
#include "platform/support/SupportDefs.h"

class SpaceNeeds {
public:
    struct Shortfall {
        std::string folder; // an existing folder on the volume, for messages
        bool nodes = false; // short of nodes (files and folders) rather than bytes
        uint64 needed = 0;
        uint64 available = 0;
    };

    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, uint64 bytes);
    void AddLink(const std::string& path, uint64 targetLength);
    // A payload unpacked at path (its first entry becomes path itself).
    void AddEntries(const std::string& path, const std::vector<ZipContents::Entry>& entries);
    // The same, for a payload that is unpacked on path's volume and then moved to another:
    // it leaves again before the next one comes, so only the largest passage counts.
    void AddPassingEntries(const std::string& path, const std::vector<ZipContents::Entry>& entries);
    // A copy, made at path, of the existing entry at `existing` with all it holds.
    void AddCopyOf(const std::string& path, const std::string& existing);

    // Whether both paths lie on one volume (each by its nearest existing folder).
    bool SameVolume(const std::string& a, const std::string& b);

    // The first volume, in the order they were met, that cannot take what it receives.
    std::optional<Shortfall> FirstShortfall() const;

private:
    struct Footprint {
        uint64 bytes = 0;
        uint64 nodes = 0;
        void Add(const Footprint& other);
    };
    struct Volume {
        dev_t device = 0;
        std::string folder;
        uint64 blockSize = 4096;
        uint64 freeBytes = 0;
        bool countsNodes = false;
        uint64 freeNodes = 0;
        Footprint placed;
        Footprint largestPassing;
    };

    // Where a path lies: the volume receiving it, and whether it exists already.
    struct Place {
        Volume* volume = nullptr;
        bool exists = false;
    };

    // The volume receiving path; null when not even "/" can be looked at.
    Volume* VolumeOf(const std::string& path);
    Place Locate(const std::string& path);
    Volume* VolumeFor(const struct stat& info, const std::string& existing);
    static uint64 Blocks(const Volume& volume, uint64 bytes);
    static Footprint Measure(const Volume& volume, const std::vector<ZipContents::Entry>& entries);

    std::deque<Volume> fVolumes; // handed out by address: never moved
    // The folders looked at so far. The needs are counted before anything is written, so
    // what a folder lies on is looked up once, not once for every item placed in it.
    std::unordered_map<std::string, Place> fFolders;
};
