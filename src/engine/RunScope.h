#pragma once

// The places an installation run of one package can change: its installation folder, the
// folders its configuration resolves to (custom folders, the folders of items and links),
// the menu and icon folders of its scope, the start-up files it edits, the user's Trash and
// the installer's own document-type record. A journal or a deinstaller's record naming
// anything else was not written by a run of this package, and nothing of it is acted on.
//
// Folders above those places may be named as folders the run made (a missing level is
// made), and are only ever removed when empty. Entries moved aside stay beside their
// place or go into the installation folder (Saved Files); the Trash keeps its own.

#include <string>
#include <vector>

#include "engine/Journal.h"

class BMessage;

class RunScope {
public:
    // The installation folder; everything inside it is the run's.
    void SetInstallFolder(const std::string& folder);
    // A folder the run may place entries in, with everything below it.
    void AddFolder(const std::string& folder);
    // A single file the run may make or edit.
    void AddFile(const std::string& file);
    // A folder the run may have made (the default destination, made as the installer
    // starts), and only made: what lies in it is not the run's.
    void AddMadeFolder(const std::string& folder);
    // The Trash's "files" folder; its "info" sibling comes with it.
    void SetTrash(const std::string& filesFolder);

    const std::string& InstallFolder() const { return fInstallFolder; }
    bool Empty() const { return fInstallFolder.empty(); }

    // Whether the run may place, move or edit the entry at `path`.
    bool Holds(const std::string& path) const;
    // Whether the run may have made the folder at `path`: a place it holds, or a folder
    // above one.
    bool MayMakeFolder(const std::string& path) const;

    // The first path of the journal that no run of this package can produce; empty when
    // there is none. A journal of another installation folder names it.
    std::string FirstStranger(const JournalContents& journal) const;
    // The same for a deinstaller's record (engine/InstalledRecord.h).
    std::string FirstStranger(const BMessage& installed) const;

    // Kept in the deinstaller's configuration as "scope_install_folder", "scope_folder",
    // "scope_file" and "scope_trash", so that it judges what it finds by the same places.
    void AddTo(BMessage& configuration) const;
    // False when the configuration carries no places (a deinstaller placed before they
    // were recorded).
    bool ReadFrom(const BMessage& configuration);

private:
    bool InsideFolders(const std::string& path) const;

    std::string fInstallFolder;
    std::vector<std::string> fFolders;
    std::vector<std::string> fFiles;
    std::vector<std::string> fMadeFolders;
    std::string fTrashFiles;
    std::string fTrashInfo;
};
