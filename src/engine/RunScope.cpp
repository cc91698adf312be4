#include "engine/RunScope.h"

#include <algorithm>

#include "engine/InstallPaths.h"
#include "engine/InstalledRecord.h"
#include "lib/MessageFields.h"
#include "platform/app/Message.h"

namespace {

// Whether `path` is `folder` or lies below it.
bool Within(const std::string& path, const std::string& folder) {
    if (folder.empty())
        return false;
    if (folder == "/")
        return true;
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

// Whether `path` is a folder above `place`.
bool Above(const std::string& path, const std::string& place) {
    return path != place && Within(place, path);
}

bool HasPrefix(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

void RunScope::SetInstallFolder(const std::string& folder) {
    fInstallFolder = folder;
}

void RunScope::AddFolder(const std::string& folder) {
    // The file-system root, or anything that is no plain path, is never a place of a run.
    if (IsPlainAbsolutePath(folder) &&
        std::find(fFolders.begin(), fFolders.end(), folder) == fFolders.end())
        fFolders.push_back(folder);
}

void RunScope::AddFile(const std::string& file) {
    if (IsPlainAbsolutePath(file) && std::find(fFiles.begin(), fFiles.end(), file) == fFiles.end())
        fFiles.push_back(file);
}

void RunScope::AddMadeFolder(const std::string& folder) {
    if (IsPlainAbsolutePath(folder) &&
        std::find(fMadeFolders.begin(), fMadeFolders.end(), folder) == fMadeFolders.end())
        fMadeFolders.push_back(folder);
}

void RunScope::SetTrash(const std::string& filesFolder) {
    if (!IsPlainAbsolutePath(filesFolder))
        return;
    fTrashFiles = filesFolder;
    fTrashInfo = InstallPaths::Join(InstallPaths::Parent(filesFolder), "info");
}

bool RunScope::InsideFolders(const std::string& path) const {
    return Within(path, fInstallFolder) ||
           std::any_of(fFolders.begin(), fFolders.end(),
                       [&](const std::string& folder) { return Within(path, folder); });
}

bool RunScope::Holds(const std::string& path) const {
    return IsPlainAbsolutePath(path) &&
           (InsideFolders(path) || std::find(fFiles.begin(), fFiles.end(), path) != fFiles.end());
}

bool RunScope::MayMakeFolder(const std::string& path) const {
    if (!IsPlainAbsolutePath(path))
        return false;
    if (Holds(path) || Above(path, fInstallFolder) || Above(path, fTrashFiles) ||
        Above(path, fTrashInfo) || path == fTrashFiles || path == fTrashInfo)
        return true;
    auto above = [&](const std::string& place) { return Above(path, place); };
    auto madeOrAbove = [&](const std::string& made) { return Within(made, path); };
    return std::any_of(fFolders.begin(), fFolders.end(), above) ||
           std::any_of(fFiles.begin(), fFiles.end(), above) ||
           std::any_of(fMadeFolders.begin(), fMadeFolders.end(), madeOrAbove);
}

std::string RunScope::FirstStranger(const JournalContents& journal) const {
    if (journal.installFolder != fInstallFolder)
        return journal.installFolder;
    for (const JournalRecord& record : journal.records) {
        const std::string& path = record.path;
        const std::string& other = record.other;
        switch (record.kind) {
        case JournalKind::Folder:
            if (!MayMakeFolder(path))
                return path;
            break;
        case JournalKind::Entry:
            if (!Holds(path))
                return path;
            break;
        case JournalKind::Move:
            // Aside in the same folder (a held or renamed entry), or into the installation
            // folder's Saved Files.
            if (!Holds(path))
                return path;
            if (!Holds(other) || (InstallPaths::Parent(other) != InstallPaths::Parent(path) &&
                                  !Within(other, fInstallFolder)))
                return other;
            break;
        case JournalKind::Trash:
            if (!Holds(path))
                return path;
            if (fTrashFiles.empty() || InstallPaths::Parent(other) != fTrashFiles)
                return other;
            if (InstallPaths::Parent(record.third) != fTrashInfo || record.third.size() < 10 ||
                record.third.compare(record.third.size() - 10, 10, ".trashinfo") != 0)
                return record.third;
            break;
        case JournalKind::Before:
            if (!Holds(path))
                return path;
            if (InstallPaths::Parent(other) != InstallPaths::Parent(path) ||
                !HasPrefix(InstallPaths::Leaf(other), ".tarnw-before-"))
                return other;
            break;
        case JournalKind::Identity:
            if (!MayMakeFolder(path))
                return path;
            break;
        case JournalKind::Commit:
            break;
        }
    }
    return "";
}

std::string RunScope::FirstStranger(const BMessage& installed) const {
    for (const std::string& folder : StringsOf(installed, "install_folder")) {
        if (folder != fInstallFolder)
            return folder;
    }
    for (const char* name : {"path", "link", "created_entry", "created_file", "script_file",
                             "hook_entry", "hook_entry_for", "hook_block", "hook_block_for"}) {
        for (const std::string& path : StringsOf(installed, name)) {
            if (!Holds(path))
                return path;
        }
    }
    // A replaced entry was taken from a folder the run placed into, never from a start-up
    // file, and it went into the installation's Saved Files (or, when a later run of the
    // package did not keep Saved Files, into the Trash with the earlier installation).
    for (const std::string& path : StringsOf(installed, "saved_from")) {
        if (!IsPlainAbsolutePath(path) || !InsideFolders(path))
            return path;
    }
    std::string savedFiles = InstallPaths::Join(fInstallFolder, "Saved Files");
    for (const std::string& path : StringsOf(installed, "saved")) {
        if (!IsPlainAbsolutePath(path) ||
            !(Above(savedFiles, path) || (!fTrashFiles.empty() && Above(fTrashFiles, path))))
            return path;
    }
    for (const std::string& path : StringsOf(installed, "created_folder")) {
        if (!MayMakeFolder(path))
            return path;
    }
    for (const std::string& text : StringsOf(installed, "folder_identity")) {
        std::string folder;
        uint64_t device = 0, inode = 0;
        if (!InstalledRecord::ParseFolderIdentity(text, folder, device, inode) ||
            !MayMakeFolder(folder))
            return folder.empty() ? text : folder;
    }
    return "";
}

void RunScope::AddTo(BMessage& configuration) const {
    configuration.AddString("scope_install_folder", fInstallFolder.c_str());
    for (const std::string& folder : fFolders)
        configuration.AddString("scope_folder", folder.c_str());
    for (const std::string& file : fFiles)
        configuration.AddString("scope_file", file.c_str());
    for (const std::string& folder : fMadeFolders)
        configuration.AddString("scope_made_folder", folder.c_str());
    if (!fTrashFiles.empty())
        configuration.AddString("scope_trash", fTrashFiles.c_str());
}

bool RunScope::ReadFrom(const BMessage& configuration) {
    *this = RunScope();
    std::vector<std::string> folder = StringsOf(configuration, "scope_install_folder");
    if (folder.size() != 1 || !IsPlainAbsolutePath(folder.front()))
        return false;
    fInstallFolder = folder.front();
    for (const std::string& path : StringsOf(configuration, "scope_folder"))
        AddFolder(path);
    for (const std::string& path : StringsOf(configuration, "scope_file"))
        AddFile(path);
    for (const std::string& path : StringsOf(configuration, "scope_made_folder"))
        AddMadeFolder(path);
    for (const std::string& path : StringsOf(configuration, "scope_trash"))
        SetTrash(path);
    return true;
}
