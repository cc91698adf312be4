#include "engine/SpaceNeeds.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace fs = std::filesystem;

namespace {

// ext4 keeps a link's target in its node up to this length; others need no more.
constexpr uint64 kLinkInNode = 59;

uint64 Sum(uint64 a, uint64 b) {
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

} // namespace

void SpaceNeeds::Footprint::Add(const Footprint& other) {
    bytes = Sum(bytes, other.bytes);
    nodes = Sum(nodes, other.nodes);
}

SpaceNeeds::Volume* SpaceNeeds::VolumeOf(const std::string& path) {
    return Locate(path).volume;
}

SpaceNeeds::Place SpaceNeeds::Locate(const std::string& path) {
    // The path and its folders up to the first one looked at before, innermost first.
    std::vector<fs::path> chain;
    fs::path probe = path.empty() ? fs::path(".") : fs::path(path);
    std::optional<Place> above;
    for (;;) {
        chain.push_back(probe);
        if (!probe.has_parent_path() || probe.parent_path() == probe)
            break;
        probe = probe.parent_path();
        auto known = fFolders.find(probe.string());
        if (known != fFolders.end()) {
            above = known->second;
            break;
        }
    }
    // From the outermost down: nothing can exist inside a folder that does not, so below
    // the nearest existing entry nothing more is looked at.
    Place here;
    for (auto level = chain.rbegin(); level != chain.rend(); ++level) {
        struct stat info;
        if (above && !above->exists)
            here = {above->volume, false};
        else if (stat(level->c_str(), &info) == 0)
            here = {VolumeFor(info, level->string()), true};
        else
            here = {above ? above->volume : nullptr, false};
        if (level + 1 != chain.rend())
            fFolders.emplace(level->string(), here);
        above = here;
    }
    return here;
}

SpaceNeeds::Volume* SpaceNeeds::VolumeFor(const struct stat& info, const std::string& existing) {
    for (Volume& volume : fVolumes) {
        if (volume.device == info.st_dev)
            return &volume;
    }
    struct statvfs room;
    if (statvfs(existing.c_str(), &room) != 0)
        return nullptr;
    Volume volume;
    volume.device = info.st_dev;
    volume.folder = S_ISDIR(info.st_mode) ? existing : fs::path(existing).parent_path().string();
    uint64 unit = room.f_frsize != 0 ? room.f_frsize : room.f_bsize;
    if (unit == 0)
        unit = 4096;
    volume.blockSize = unit;
    volume.freeBytes =
        uint64(room.f_bavail) > UINT64_MAX / unit ? UINT64_MAX : uint64(room.f_bavail) * unit;
    // Some file systems (btrfs, network ones) report no node counts: they make nodes as
    // they need them.
    volume.countsNodes = room.f_files != 0;
    volume.freeNodes = room.f_favail;
    fVolumes.push_back(volume);
    return &fVolumes.back();
}

uint64 SpaceNeeds::Blocks(const Volume& volume, uint64 bytes) {
    uint64 blocks = bytes / volume.blockSize + (bytes % volume.blockSize != 0 ? 1 : 0);
    return blocks > UINT64_MAX / volume.blockSize ? UINT64_MAX : blocks * volume.blockSize;
}

SpaceNeeds::Footprint SpaceNeeds::Measure(const Volume& volume,
                                          const std::vector<ZipContents::Entry>& entries) {
    Footprint footprint;
    for (const ZipContents::Entry& entry : entries) {
        switch (entry.kind) {
        case ZipContents::Kind::File:
            footprint.bytes = Sum(footprint.bytes, Blocks(volume, entry.size));
            break;
        case ZipContents::Kind::Folder:
            footprint.bytes = Sum(footprint.bytes, volume.blockSize);
            break;
        case ZipContents::Kind::Link:
            if (entry.size > kLinkInNode)
                footprint.bytes = Sum(footprint.bytes, Blocks(volume, entry.size));
            break;
        }
        footprint.nodes = Sum(footprint.nodes, 1);
    }
    return footprint;
}

void SpaceNeeds::AddFolder(const std::string& path) {
    AddEntries(path, {{ZipContents::Kind::Folder, 0, 0}});
}

void SpaceNeeds::AddFile(const std::string& path, uint64 bytes) {
    AddEntries(path, {{ZipContents::Kind::File, bytes, 0}});
}

void SpaceNeeds::AddLink(const std::string& path, uint64 targetLength) {
    AddEntries(path, {{ZipContents::Kind::Link, targetLength, 0}});
}

void SpaceNeeds::AddEntries(const std::string& path,
                            const std::vector<ZipContents::Entry>& entries) {
    if (Volume* volume = VolumeOf(path))
        volume->placed.Add(Measure(*volume, entries));
}

void SpaceNeeds::AddPassingEntries(const std::string& path,
                                   const std::vector<ZipContents::Entry>& entries) {
    Volume* volume = VolumeOf(path);
    if (volume == nullptr)
        return;
    Footprint footprint = Measure(*volume, entries);
    Footprint& largest = volume->largestPassing;
    largest.bytes = std::max(largest.bytes, footprint.bytes);
    largest.nodes = std::max(largest.nodes, footprint.nodes);
}

void SpaceNeeds::AddCopyOf(const std::string& path, const std::string& existing) {
    std::vector<ZipContents::Entry> entries;
    auto add = [&entries](const fs::path& entry) {
        struct stat info;
        if (lstat(entry.c_str(), &info) != 0)
            return false;
        ZipContents::Kind kind = S_ISDIR(info.st_mode)   ? ZipContents::Kind::Folder
                                 : S_ISLNK(info.st_mode) ? ZipContents::Kind::Link
                                                         : ZipContents::Kind::File;
        entries.push_back({kind, S_ISDIR(info.st_mode) ? 0 : uint64(info.st_size), 0});
        return S_ISDIR(info.st_mode);
    };
    if (add(existing)) {
        std::error_code error;
        for (fs::recursive_directory_iterator
                 walk(existing, fs::directory_options::skip_permission_denied, error),
             end;
             !error && walk != end; walk.increment(error))
            add(walk->path());
    }
    AddEntries(path, entries);
}

bool SpaceNeeds::SameVolume(const std::string& a, const std::string& b) {
    return VolumeOf(a) == VolumeOf(b);
}

std::optional<SpaceNeeds::Shortfall> SpaceNeeds::FirstShortfall() const {
    for (const Volume& volume : fVolumes) {
        Footprint needed = volume.placed;
        needed.Add(volume.largestPassing);
        if (needed.bytes > volume.freeBytes)
            return Shortfall{volume.folder, false, needed.bytes, volume.freeBytes};
        if (volume.countsNodes && needed.nodes > volume.freeNodes)
            return Shortfall{volume.folder, true, needed.nodes, volume.freeNodes};
    }
    return std::nullopt;
}
