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
#include "files/LibFileOps.h"
#include "files/NotedFolders.h"
#include "lib/PosixFs.h"

namespace {

bool PathExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string Reason() {
    return std::strerror(errno);
}

// A path that reaches `leaf` through the open folder, for the helpers that take paths: the
// kernel resolves the folder from the descriptor, not from its name.
std::string ThroughDescriptor(int folder, const std::string& leaf) {
    return "/proc/self/fd/" + std::to_string(folder) + "/" + leaf;
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

// The names in the open folder (without "." and ".."); the descriptor stays open.
std::vector<std::string> NamesIn(int folder) {
    std::vector<std::string> names;
    int copy = dup(folder);
    if (copy < 0)
        return names;
    DIR* dir = fdopendir(copy);
    if (dir == nullptr) {
        close(copy);
        return names;
    }
    rewinddir(dir);
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

} // namespace

RunUndo::RunUndo(JournalContents contents) : fContents(std::move(contents)) {
    // The last identity of a path counts: a folder made again later in the run is the one
    // there now.
    for (const JournalRecord& record : fContents.records) {
        if (record.kind == JournalKind::Identity)
            fFolders.Note(record.path, record.device, record.inode);
    }
}

bool RunUndo::InsideInstallFolder(const std::string& path) const {
    const std::string& folder = fContents.installFolder;
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

void RunUndo::Problem(const std::string& path, const std::string& reason) {
    fProblems.push_back(path + ": " + reason);
}

posixfs::OwnedFd RunUndo::OpenFolder(const std::string& path, bool make) {
    std::string replaced;
    posixfs::OwnedFd fd(fFolders.Open(path, O_RDONLY, make, replaced));
    if (!fd.IsOpen() && errno == EXDEV &&
        std::find(fReplaced.begin(), fReplaced.end(), replaced) == fReplaced.end()) {
        fReplaced.push_back(replaced);
        Problem(replaced, "it was replaced after the installation made it; it is left alone");
        errno = EXDEV;
    }
    return fd;
}

RunUndo::Place RunUndo::PlaceOf(const std::string& path, bool make) {
    Place place;
    place.leaf = InstallPaths::Leaf(path);
    place.folder = OpenFolder(InstallPaths::Parent(path), make).Release();
    return place;
}

void RunUndo::Close(Place& place) {
    if (place.folder >= 0)
        close(place.folder);
    place.folder = -1;
}

bool RunUndo::Exists(const Place& place) const {
    struct stat info;
    return place.folder >= 0 &&
           fstatat(place.folder, place.leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool RunUndo::IsFolder(const Place& place) const {
    struct stat info;
    return place.folder >= 0 &&
           fstatat(place.folder, place.leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(info.st_mode);
}

bool RunUndo::Move(const Place& from, const Place& to) {
    if (renameat(from.folder, from.leaf.c_str(), to.folder, to.leaf.c_str()) == 0)
        return true;
    if (errno != EXDEV)
        return false;
    return LibMoveAsIs(ThroughDescriptor(from.folder, from.leaf).c_str(),
                       ThroughDescriptor(to.folder, to.leaf).c_str());
}

void RunUndo::UndoRecord(const JournalRecord& record) {
    switch (record.kind) {
    case JournalKind::Entry: {
        Place place = PlaceOf(record.path);
        if (Exists(place) && !posixfs::RemoveTreeAt(place.folder, place.leaf.c_str()))
            Problem(record.path, "it could not be removed (" + Reason() + ")");
        Close(place);
        return;
    }
    case JournalKind::Folder: {
        Place place = PlaceOf(record.path);
        struct stat info;
        if (!IsFolder(place) ||
            fstatat(place.folder, place.leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            Close(place);
            return;
        }
        // Another folder in the place of the one the run made is not the run's.
        if (fFolders.Replaced(record.path, info)) {
            Close(place);
            if (std::find(fReplaced.begin(), fReplaced.end(), record.path) == fReplaced.end()) {
                fReplaced.push_back(record.path);
                Problem(record.path,
                        "it was replaced after the installation made it; it is left alone");
            }
            return;
        }
        // The installation folder holds nothing but what the run put there; a folder
        // elsewhere goes only when empty, so what someone else put there stays.
        if (InsideInstallFolder(record.path)) {
            if (!posixfs::RemoveTreeAt(place.folder, place.leaf.c_str()))
                Problem(record.path, "it could not be removed (" + Reason() + ")");
            Close(place);
            return;
        }
        int inside = openat(place.folder, place.leaf.c_str(),
                            O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (inside >= 0) {
            RemoveLeftoversAt(inside, fContents.pid);
            close(inside);
        }
        bool removed =
            unlinkat(place.folder, place.leaf.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT;
        int error = errno;
        Close(place);
        if (removed)
            return;
        if (error != ENOTEMPTY && error != EEXIST) {
            Problem(record.path,
                    std::string("it could not be removed (") + std::strerror(error) + ")");
            return;
        }
        if (HoldsOnlyTheRunsOwn(record.path))
            fLeftForLast.push_back(record.path);
        else
            Problem(record.path, "it holds entries the installation did not make");
        return;
    }
    case JournalKind::Move:
    case JournalKind::Trash: {
        Place moved = PlaceOf(record.other);
        if (!Exists(moved)) {
            Close(moved);
            // The move was never made; a Trash record reserved its name all the same.
            if (record.kind == JournalKind::Trash) {
                Place info = PlaceOf(record.third);
                if (info.folder >= 0)
                    unlinkat(info.folder, info.leaf.c_str(), 0);
                Close(info);
            }
            return;
        }
        Place place = PlaceOf(record.path, true);
        if (place.folder < 0) {
            if (errno != EXDEV)
                Problem(record.path,
                        "it could not be put back from " + record.other + " (" + Reason() + ")");
        } else if (Exists(place)) {
            Problem(record.path, "its place is taken; it stays in " + record.other);
        } else if (!Move(moved, place) || !Exists(place)) {
            Problem(record.path, "it could not be put back from " + record.other);
        } else {
            // What is there now is the user's entry again, not a folder the run made.
            fFolders.Forget(record.path);
        }
        if (record.kind == JournalKind::Trash && Exists(place) && !Exists(moved)) {
            Place info = PlaceOf(record.third);
            if (info.folder >= 0)
                unlinkat(info.folder, info.leaf.c_str(), 0);
            Close(info);
        }
        Close(place);
        Close(moved);
        return;
    }
    case JournalKind::Before: {
        // The copy sits beside the file: putting it back is one rename, contents, mode and
        // attributes at once.
        Place copy = PlaceOf(record.other);
        if (Exists(copy) && renameat(copy.folder, copy.leaf.c_str(), copy.folder,
                                     InstallPaths::Leaf(record.path).c_str()) != 0)
            Problem(record.path,
                    "it could not be put back from " + record.other + " (" + Reason() + ")");
        Close(copy);
        return;
    }
    case JournalKind::Identity:
    case JournalKind::Commit:
        return;
    }
}

bool RunUndo::HoldsOnlyTheRunsOwn(const std::string& folder) {
    std::string journal = InstallPaths::Leaf(Journal::PathFor(fContents.installFolder));
    std::string lock = InstallPaths::Leaf(Journal::LockPathFor(fContents.installFolder));
    posixfs::OwnedFd fd = OpenFolder(folder, false);
    if (!fd.IsOpen())
        return false;
    std::vector<std::string> names = NamesIn(fd.Get());
    // A folder the run made around the destination holds the destination, which itself
    // goes last.
    return !names.empty() && std::all_of(names.begin(), names.end(), [&](auto& name) {
        std::string child = InstallPaths::Join(folder, name);
        return name == journal || name == lock ||
               std::find(fLeftForLast.begin(), fLeftForLast.end(), child) != fLeftForLast.end();
    });
}

void RunUndo::RemoveFoldersLeftForLast() {
    for (const std::string& folder : fLeftForLast) {
        Place place = PlaceOf(folder);
        if (place.folder >= 0 && unlinkat(place.folder, place.leaf.c_str(), AT_REMOVEDIR) != 0 &&
            errno != ENOENT)
            Problem(folder, "it holds entries the installation did not make");
        Close(place);
    }
    fLeftForLast.clear();
}

bool RunUndo::Undo() {
    fProblems.clear();
    fReplaced.clear();
    for (auto record = fContents.records.rbegin(); record != fContents.records.rend(); ++record)
        UndoRecord(*record);
    for (const std::string& folder : FoldersTouched()) {
        if (posixfs::OwnedFd fd = OpenFolder(folder, false); fd.IsOpen())
            RemoveLeftoversAt(fd.Get(), fContents.pid);
    }
    return fProblems.empty();
}

void RunUndo::Settle() {
    fProblems.clear();
    fReplaced.clear();
    for (const JournalRecord& record : fContents.records) {
        if (record.kind == JournalKind::Before) {
            Place copy = PlaceOf(record.other);
            if (Exists(copy))
                unlinkat(copy.folder, copy.leaf.c_str(), 0);
            Close(copy);
        } else if (record.kind == JournalKind::Move && HeldLeaf(record.other, HeldTag())) {
            Place held = PlaceOf(record.other);
            if (Exists(held) && !posixfs::RemoveTreeAt(held.folder, held.leaf.c_str()))
                Problem(record.other, "it could not be removed (" + Reason() + ")");
            Close(held);
        }
    }
    for (const std::string& folder : FoldersTouched()) {
        if (posixfs::OwnedFd fd = OpenFolder(folder, false); fd.IsOpen())
            RemoveLeftoversAt(fd.Get(), fContents.pid);
    }
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
        if (record.kind == JournalKind::Identity)
            continue;
        add(InstallPaths::Parent(record.path));
        if (record.kind == JournalKind::Folder)
            add(record.path);
        if (record.kind == JournalKind::Move)
            add(InstallPaths::Parent(record.other));
    }
    return folders;
}

void RunUndo::RemoveLeftovers(const std::string& folder, int32 pid) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    RemoveLeftoversAt(fd, pid);
    close(fd);
}

void RunUndo::RemoveLeftoversAt(int folderFd, int32 pid) {
    std::vector<std::string> names;
    for (const std::string& name : NamesIn(folderFd)) {
        int32 owner = PidOfLeftover(name.c_str());
        if (owner == 0)
            continue;
        // In a shared folder a name like ours may be another user's: only this user's own
        // entries are taken for leftovers.
        struct stat info;
        if (fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            info.st_uid != geteuid())
            continue;
        // What a live process is writing is its own.
        if (pid != 0 ? owner == pid : ProcessIsGone(owner))
            names.push_back(name);
    }
    for (const std::string& name : names)
        posixfs::RemoveTreeAt(folderFd, name.c_str());
}

std::vector<std::string> RunUndo::EntriesToRemove() const {
    std::vector<std::string> paths;
    std::set<std::string> seen;
    for (auto record = fContents.records.rbegin(); record != fContents.records.rend(); ++record) {
        bool made = record->kind == JournalKind::Entry || record->kind == JournalKind::Folder;
        if (made && PathExists(record->path) && seen.insert(record->path).second)
            paths.push_back(record->path);
    }
    return paths;
}

std::vector<std::string> RunUndo::EntriesToPutBack() const {
    std::vector<std::string> paths;
    for (auto record = fContents.records.rbegin(); record != fContents.records.rend(); ++record) {
        bool moved = record->kind == JournalKind::Move || record->kind == JournalKind::Trash ||
                     record->kind == JournalKind::Before;
        if (moved && PathExists(record->other))
            paths.push_back(record->path);
    }
    return paths;
}
