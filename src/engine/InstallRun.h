#pragma once

// The state of one installation run: where it installs, what it has placed, made, saved
// and edited so far (the deinstaller's record is written from it, and an undo or the
// next run's recovery acts on the journal kept beside it), and what it has been told.
// InstallConfig makes a fresh one as each run begins, so nothing of an earlier run is
// carried into the next; the last one stays, for the front-ends to ask what it did and
// for its undo-or-keep decision.
//
// The worker's: only the run's thread changes it.

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/CollisionPolicy.h"
#include "engine/RunLedger.h"
#include "engine/RunReport.h"
#include "platform/app/Message.h"
#include "platform/storage/Volume.h"

struct InstallRun {
    InstallRun() = default;
    // Lets go of the folders the run held open.
    ~InstallRun();
    InstallRun(const InstallRun&) = delete;
    InstallRun& operator=(const InstallRun&) = delete;

    RunReport report;
    std::string language; // of the catalogue the run speaks in

    // Where the run installs.
    BMessage customFolders;
    BVolume volume;
    std::string installFolder;
    // The installation folder as the run made it, open: items are unpacked through it, and
    // a folder swapped in under its name is found out (-1 before it is made).
    int installFolderFd = -1;
    bool unpackThroughHeldFolder = false;
    int savedFilesFd = -1;
    bool installFolderSwapped = false;
    std::string savedFiles;
    std::string identity; // the deinstall tag's value
    std::string deinstallerPath;

    // The collision answers that apply to all later items, and later links.
    CollisionSwitches itemSwitches;
    CollisionSwitches linkSwitches;
    int32 total = 0;              // the selected items
    int32 ordinal = 0;            // the item being placed, from 1
    std::string itemStatusFormat; // "Installing %d of %d (%s)", checked once per run
    std::set<int32> failedItems;
    std::string folderProblem; // why the last GetNewPath found no folder, when it knows

    // What the run made and changed, for the deinstaller's record.
    RunLedger ledger;
    // What an earlier installation in the same place made and saved, which this run's
    // deinstaller takes over.
    RunLedger inherited;
    std::vector<std::string> foldersMadeBefore;
    std::vector<std::string> entriesMadeAtStart;
    std::set<std::string> replacedPlaces; // where this run placed items, links, folders

    // The transaction.
    bool journalled = false; // the journal took over foldersMadeBefore
    std::set<std::string> keptBefore;
    bool restart = false; // the user asked for a restart
};
