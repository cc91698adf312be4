// The step of InstallConfig's requirements check that makes sure, before the run writes
// anything, that everything it will write fits on each volume that receives some of it:
// the destination (installation folder, journal, log, deinstaller and the items placed
// there), the folders other items go to, the folders that receive links, and the Trash
// when an earlier installation folder goes there from another volume.

#include <cstring>
#include <memory>
#include <set>

#include "engine/EngineTexts.h"
#include "engine/FolderResolver.h"
#include "engine/InstallConfig.h"
#include "engine/InstallPaths.h"
#include "engine/SpaceNeeds.h"
#include "files/LibAppResource.h"
#include "files/ProgramRole.h"
#include "frontend/LibAlert.h"
#include "lib/ByteText.h"
#include "lib/MessageFields.h"

namespace {

// What the journal, the log and the deinstaller's list of what was installed take grows
// with the items; these are generous estimates of it.
constexpr uint64 kJournalBase = 4096;
constexpr uint64 kJournalPerRecord = 64; // besides the record's paths
constexpr uint64 kLogBase = 16 * 1024;
constexpr uint64 kLogPerItem = 1024;
constexpr uint64 kRecordPerPath = 16; // a flattened string's length and terminator
// The deinstaller's resource container: index, names, trailer.
constexpr uint64 kContainerAllowance = 16 * 1024;

} // namespace

std::string InstallConfig::FolderNamed(const std::string& name, const BMessage& customFolders,
                                       bool& replaces) const {
    std::optional<ResolvedFolder> folder = FolderResolver(customFolders).Resolve(name);
    replaces = folder && folder->replaceAsked && InstallPaths::EntryExists(folder->path);
    return folder ? folder->path : "";
}

void InstallConfig::PlanRoom(SpaceNeeds& needs) {
    std::string folder = InstallationFolderPath();
    if (folder.empty())
        return; // refused before anything is written
    std::unique_ptr<LibAppResource> resources = OpenInstallerResources();
    bool saveReplaced = BoolValue("opt_save_replaced");
    std::string savedFiles = InstallPaths::Join(folder, "Saved Files");
    uint64 journalBytes = kJournalBase;
    uint64 recordBytes = 0;
    int32 selected = 0;

    // The destination's volume is met first, so that it is the one named when several
    // are short.
    needs.AddFolder(folder);
    needs.AddFile(Journal::LockPathFor(folder), 0);
    if (saveReplaced)
        needs.AddFolder(savedFiles);
    if (InstallPaths::EntryExists(folder)) {
        // The earlier installation folder goes to the Trash: a copy, when that is elsewhere.
        BPath trash;
        if (find_directory(B_TRASH_DIRECTORY, &trash, false) == B_OK && trash.Path() != nullptr &&
            !needs.SameVolume(trash.Path(), folder))
            needs.AddCopyOf(InstallPaths::Join(trash.Path(), InstallPaths::Leaf(folder)), folder);
    }

    BMessage customFolders;
    FindMessage("custom_folder", &customFolders);
    std::set<std::string> seenFolders;
    // The folder a destination or link names; made when missing, and a custom folder that
    // is replaced goes into Saved Files (a copy, when it is on another volume).
    auto resolve = [&](const std::string& name) {
        bool replaces = false;
        std::string path = FolderNamed(name, customFolders, replaces);
        if (path.empty() || !seenFolders.insert(path).second)
            return path;
        if (replaces && saveReplaced && !needs.SameVolume(path, folder))
            needs.AddCopyOf(InstallPaths::Join(savedFiles, InstallPaths::Leaf(path)), path);
        for (std::string level = path;
             !level.empty() && level != "/" && !InstallPaths::EntryExists(level);
             level = InstallPaths::Parent(level))
            needs.AddFolder(level);
        return path;
    };

    std::shared_ptr<const InstallRecords> records = Records();
    std::vector<ZipContents::Entry> entries;
    for (int32 i = 0; i < records->Count(); i++) {
        const InstallRecords::Item& item = *records->At(i);
        if (!item.selected)
            continue;
        selected++;
        const std::string& leaf = item.leaf;
        if (!InstallPaths::IsPlainName(leaf.c_str()))
            continue;
        if (!resources->ListEntry(2100 + i, entries)) {
            // Refused when it is unpacked; until then its recorded size stands for it.
            entries = {{ZipContents::Kind::File, uint64(std::max<int32>(item.size, 0)), 0}};
        }

        // Every item is unpacked in the installation folder first, then moved to its own.
        std::string unpacked = InstallPaths::Join(folder, leaf);
        std::string placed = unpacked;
        const std::string& destination = item.destination;
        if (destination != config_value::kUserSelected) {
            std::string target = resolve(destination);
            if (!target.empty())
                placed = InstallPaths::Join(target, leaf);
        }
        needs.AddEntries(placed, entries);
        if (placed != unpacked && !needs.SameVolume(placed, folder)) {
            // Moved to another volume: copied there, then removed here. An item the user
            // may decline to place stays here for good; one it replaces may be saved here.
            bool inTheWay = InstallPaths::EntryExists(placed);
            CollisionMode mode = CollisionModeFrom(item.destinationExists.c_str());
            if (inTheWay && mode == CollisionMode::Prompt)
                needs.AddEntries(unpacked, entries);
            else
                needs.AddPassingEntries(unpacked, entries);
            if (inTheWay && saveReplaced && mode != CollisionMode::Rename)
                needs.AddCopyOf(InstallPaths::Join(savedFiles, leaf), placed);
        }
        for (const ZipContents::Entry& entry : entries)
            recordBytes += placed.size() + 1 + entry.nameLength + kRecordPerPath;
        journalBytes += 3 * (placed.size() + kJournalPerRecord);

        const std::string& link = item.link;
        if (link.empty() || link == config_value::kNone)
            continue;
        std::string linkFolder = link == config_value::kUserSelected ? folder : resolve(link);
        if (linkFolder.empty())
            continue;
        std::string linkPath = InstallPaths::Join(linkFolder, leaf);
        needs.AddLink(linkPath, placed.size());
        if (saveReplaced && link != config_value::kUserSelected &&
            InstallPaths::EntryExists(linkPath) && !needs.SameVolume(linkPath, folder) &&
            CollisionModeFrom(item.linkExists.c_str()) != CollisionMode::Rename)
            needs.AddCopyOf(InstallPaths::Join(savedFiles, leaf), linkPath);
        recordBytes += linkPath.size() + placed.size() + 2 * kRecordPerPath;
        journalBytes += linkPath.size() + kJournalPerRecord;
    }

    needs.AddFile(Journal::PathFor(folder), journalBytes);
    if (BoolValue("opt_log"))
        needs.AddFile(InstallPaths::Join(folder, "Log"), kLogBase + uint64(selected) * kLogPerItem);
    if (IncludeDeinstaller()) {
        // A copy of this program's image with the deinstaller's resources, among them the
        // list of what was installed.
        BMessage configuration;
        BuildDeinstallerConfiguration(configuration);
        off_t image = resources->ContainerStart();
        uint64 bytes = image > 0 ? uint64(image) : uint64(std::max<int32>(DeinstallerSize(), 0));
        bytes += uint64(std::max<ssize_t>(configuration.FlattenedSize(), 0)) +
                 kDeinstallerRole.size() + recordBytes + kContainerAllowance;
        needs.AddFile(InstallPaths::Join(folder, DeinstallerName()), bytes);
    }
}

bool InstallConfig::RoomOnEveryVolume(EngineTexts& texts, const std::string& requires_) {
    SpaceNeeds needs;
    PlanRoom(needs);
    std::optional<SpaceNeeds::Shortfall> shortfall = needs.FirstShortfall();
    if (!shortfall)
        return true;
    std::string volumeName = InstallPaths::VolumeName(shortfall->folder);
    std::string needed = std::to_string(shortfall->needed);
    std::string available = std::to_string(shortfall->available);
    if (shortfall->nodes) {
        ReportDetail("Not enough room on the volume holding " + shortfall->folder +
                     ": the installation makes " + needed + " files and folders, and only " +
                     available + " more can be made there");
        LibError("%s", texts
                           .Format(1110, requires_.c_str(), needed.c_str(), volumeName.c_str(),
                                   available.c_str())
                           .c_str());
    } else {
        ReportDetail("Not enough disk space on the volume holding " + shortfall->folder +
                     ": the installation needs " + needed + " bytes there, and only " + available +
                     " bytes are free");
        LibError("%s", texts
                           .Format(1045, requires_.c_str(), ByteText(shortfall->needed).c_str(),
                                   volumeName.c_str(), ByteText(shortfall->available).c_str())
                           .c_str());
    }
    return false;
}
