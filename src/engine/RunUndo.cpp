#include "engine/RunUndo.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/InstallPaths.h"
#include "storage/LibFileOps.h"
#include "storage/PosixFs.h"

namespace {

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool IsRealFolder(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string Reason() {
    return std::strerror(errno);
}

// Makes the folders above `path` that are missing (an entry moved back may have lived in
// a folder that was removed since).
void MakeParents(const std::string& path) {
    std::string parent = InstallPaths::Parent(path);
    if (parent.empty() || parent == "/" || Exists(parent))
        return;
    MakeParents(parent);
    mkdir(parent.c_str(), 0775);
}

bool HeldLeaf(const std::string& path, const char* tag) {
    std::string prefix = std::string(".tarnw-") + tag + "-";
    std::string leaf = InstallPaths::Leaf(path);
    return leaf.compare(0, prefix.size(), prefix) == 0;
}

// The process id in a temporary name ".tarnw-<kind>-<pid>-...", or 0.
int32 PidOfLeftover(const char* name) {
    const char* prefix = ".tarnw-";
    if (std::strncmp(name, prefix, std::strlen(prefix)) != 0)
        return 0;
    const char* at = name + std::strlen(prefix);
    while (*at >= 'a' && *at <= 'z')
        at++;
    if (*at != '-')
        return 0;
    at++;
    int64 pid = 0;
    const char* digits = at;
    while (*at >= '0' && *at <= '9' && pid < 100000000)
        pid = pid * 10 + (*at++ - '0');
    if (at == digits || *at != '-')
        return 0;
    return int32(pid);
}

bool ProcessIsGone(int32 pid) {
    return pid > 0 && pid != int32(getpid()) && kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

RunUndo::RunUndo(JournalContents contents) : fContents(std::move(contents)) {}

bool RunUndo::InsideInstallFolder(const std::string& path) const {
    const std::string& folder = fContents.installFolder;
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

void RunUndo::Problem(const std::string& path, const std::string& reason) {
    fProblems.push_back(path + ": " + reason);
}

void RunUndo::UndoRecord(const JournalRecord& record) {
    switch (record.kind) {
    case JournalKind::Entry:
        if (Exists(record.path) && !posixfs::RemoveTree(record.path.c_str()))
            Problem(record.path, "it could not be removed (" + Reason() + ")");
        return;
    case JournalKind::Folder:
        if (!IsRealFolder(record.path))
            return;
        // The installation folder holds nothing but what the run put there; a folder
        // elsewhere goes only when empty, so what someone else put there stays.
        if (InsideInstallFolder(record.path)) {
            if (!posixfs::RemoveTree(record.path.c_str()))
                Problem(record.path, "it could not be removed (" + Reason() + ")");
            return;
        }
        RemoveLeftovers(record.path, fContents.pid);
        if (rmdir(record.path.c_str()) == 0 || errno == ENOENT)
            return;
        if (errno != ENOTEMPTY && errno != EEXIST) {
            Problem(record.path, "it could not be removed (" + Reason() + ")");
            return;
        }
        if (HoldsOnlyTheRunsOwn(record.path))
            fLeftForLast.push_back(record.path);
        else
            Problem(record.path, "it holds entries the installation did not make");
        return;
    case JournalKind::Move:
    case JournalKind::Trash:
        if (!Exists(record.other)) {
            // The move was never made; a Trash record reserved its name all the same.
            if (record.kind == JournalKind::Trash)
                unlink(record.third.c_str());
            return;
        }
        if (Exists(record.path)) {
            Problem(record.path, "its place is taken; it stays in " + record.other);
            return;
        }
        MakeParents(record.path);
        if (!LibMoveAsIs(record.other.c_str(), record.path.c_str()) || !Exists(record.path)) {
            Problem(record.path, "it could not be put back from " + record.other);
            return;
        }
        if (record.kind == JournalKind::Trash)
            unlink(record.third.c_str());
        return;
    case JournalKind::Before:
        // The copy sits beside the file: putting it back is one rename, contents, mode and
        // attributes at once.
        if (Exists(record.other) && rename(record.other.c_str(), record.path.c_str()) != 0)
            Problem(record.path,
                    "it could not be put back from " + record.other + " (" + Reason() + ")");
        return;
    case JournalKind::Commit:
        return;
    }
}

bool RunUndo::HoldsOnlyTheRunsOwn(const std::string& folder) const {
    std::string journal = InstallPaths::Leaf(Journal::PathFor(fContents.installFolder));
    std::string lock = InstallPaths::Leaf(Journal::LockPathFor(fContents.installFolder));
    std::vector<std::string> children = InstallPaths::ListFolder(folder);
    // A folder the run made around the destination holds the destination, which itself
    // goes last.
    return !children.empty() && std::all_of(children.begin(), children.end(), [&](auto& child) {
        std::string leaf = InstallPaths::Leaf(child);
        return leaf == journal || leaf == lock ||
               std::find(fLeftForLast.begin(), fLeftForLast.end(), child) != fLeftForLast.end();
    });
}

void RunUndo::RemoveFoldersLeftForLast() {
    for (const std::string& folder : fLeftForLast) {
        if (rmdir(folder.c_str()) != 0 && errno != ENOENT)
            Problem(folder, "it holds entries the installation did not make");
    }
    fLeftForLast.clear();
}

bool RunUndo::Undo() {
    fProblems.clear();
    for (auto record = fContents.records.rbegin(); record != fContents.records.rend(); ++record)
        UndoRecord(*record);
    for (const std::string& folder : FoldersTouched())
        RemoveLeftovers(folder, fContents.pid);
    return fProblems.empty();
}

void RunUndo::Settle() {
    fProblems.clear();
    for (const JournalRecord& record : fContents.records) {
        if (record.kind == JournalKind::Before && Exists(record.other))
            unlink(record.other.c_str());
        else if (record.kind == JournalKind::Move && HeldLeaf(record.other, HeldTag()) &&
                 Exists(record.other) && !posixfs::RemoveTree(record.other.c_str()))
            Problem(record.other, "it could not be removed (" + Reason() + ")");
    }
    for (const std::string& folder : FoldersTouched())
        RemoveLeftovers(folder, fContents.pid);
}

std::vector<std::string> RunUndo::FoldersTouched() const {
    std::set<std::string> seen;
    std::vector<std::string> folders;
    auto add = [&](const std::string& folder) {
        if (!folder.empty() && seen.insert(folder).second)
            folders.push_back(folder);
    };
    add(InstallPaths::Parent(fContents.installFolder));
    add(fContents.installFolder);
    for (const JournalRecord& record : fContents.records) {
        add(InstallPaths::Parent(record.path));
        if (record.kind == JournalKind::Folder)
            add(record.path);
        if (record.kind == JournalKind::Move)
            add(InstallPaths::Parent(record.other));
    }
    return folders;
}

void RunUndo::RemoveLeftovers(const std::string& folder, int32 pid) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return;
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
        int32 owner = PidOfLeftover(entry->d_name);
        if (owner == 0)
            continue;
        // In a shared folder a name like ours may be another user's: only this user's own
        // entries are taken for leftovers.
        struct stat info;
        if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            info.st_uid != geteuid())
            continue;
        // What a live process is writing is its own.
        if (pid != 0 ? owner == pid : ProcessIsGone(owner))
            names.push_back(entry->d_name);
    }
    closedir(dir);
    for (const std::string& name : names)
        posixfs::RemoveTree((folder + "/" + name).c_str());
}

std::vector<std::string> RunUndo::EntriesToRemove() const {
    std::vector<std::string> paths;
    std::set<std::string> seen;
    for (auto record = fContents.records.rbegin(); record != fContents.records.rend(); ++record) {
        bool made = record->kind == JournalKind::Entry || record->kind == JournalKind::Folder;
        if (made && Exists(record->path) && seen.insert(record->path).second)
            paths.push_back(record->path);
    }
    return paths;
}

std::vector<std::string> RunUndo::EntriesToPutBack() const {
    std::vector<std::string> paths;
    for (auto record = fContents.records.rbegin(); record != fContents.records.rend(); ++record) {
        bool moved = record->kind == JournalKind::Move || record->kind == JournalKind::Trash ||
                     record->kind == JournalKind::Before;
        if (moved && Exists(record->other))
            paths.push_back(record->path);
    }
    return paths;
}
