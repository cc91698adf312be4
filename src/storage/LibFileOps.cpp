#include "storage/LibFileOps.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/app/Application.h"
#include "platform/storage/AppFileInfo.h"
#include "platform/storage/Directory.h"
#include "platform/storage/File.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Mime.h"
#include "platform/storage/Node.h"
#include "platform/storage/NodeInfo.h"
#include "storage/FileRegionSource.h"
#include "storage/PosixFs.h"
#include "storage/TarWriter.h"
#include "storage/TrashRecord.h"
#include "storage/TreeCopier.h"
#include "storage/ZipExtractor.h"
#include "storage/ZipPacker.h"

extern char** environ;

namespace {

bool EntryExists(const char* path) {
    struct stat st;
    return path != nullptr && path[0] != '\0' && lstat(path, &st) == 0;
}

bool IsFolder(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Leaf(const std::string& path) {
    std::string parent, leaf;
    posixfs::SplitParentLeaf(path, parent, leaf);
    return leaf;
}

std::string Parent(const std::string& path) {
    std::string parent, leaf;
    posixfs::SplitParentLeaf(path, parent, leaf);
    return parent;
}

// As cp and mv do: a destination that is an existing folder receives the source under
// the source's own name.
std::string Target(const char* source, const char* destination) {
    std::string target = destination;
    if (IsFolder(destination)) {
        if (target.back() != '/')
            target += '/';
        target += Leaf(source);
    }
    return target;
}

// "N copy", "N copy 1", "N copy 2", ...
std::string CopyName(const std::string& name, int counter) {
    std::string candidate = name + " copy";
    if (counter > 0)
        candidate += " " + std::to_string(counter);
    return candidate;
}

void TypeTree(const char* path) {
    update_mime_info(path, 1, 1, B_UPDATE_MIME_INFO_NO_FORCE);
}

std::string AbsolutePath(const char* path) {
    if (path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof(cwd)) == nullptr)
        return path;
    return std::string(cwd) + "/" + path;
}

// Starts program with one argument and does not wait for it; a thread of its own
// collects it when it ends so that no zombie is left behind.
bool SpawnDetached(const char* program, const char* argument) {
    pid_t pid;
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool OpenWithDesktop(const char* path) {
    const char* opener = getenv("TARNW_OPEN_COMMAND");
    if (opener == nullptr || opener[0] == '\0')
        opener = "xdg-open";
    return SpawnDetached(opener, path);
}

LibDateTime DateFrom(time_t seconds, const bool& local) {
    LibDateTime date(1, 1, 1970);
    date.SetDateTime(static_cast<int32>(seconds), local);
    return date;
}

bool CreationTime(const char* path, time_t& seconds) {
    struct statx sx;
    if (statx(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW, STATX_BTIME | STATX_MTIME, &sx) != 0)
        return false;
    seconds = (sx.stx_mask & STATX_BTIME) ? static_cast<time_t>(sx.stx_btime.tv_sec)
                                          : static_cast<time_t>(sx.stx_mtime.tv_sec);
    return true;
}

int64 SizeOf(const char* path, bool withAttributes, bool follow) {
    struct stat st;
    if ((follow ? stat(path, &st) : lstat(path, &st)) != 0)
        return 0;
    int64 size = st.st_size;
    if (withAttributes && !S_ISLNK(st.st_mode)) {
        BNode node(path);
        if (node.InitCheck() == B_OK) {
            char name[B_ATTR_NAME_LENGTH];
            attr_info info;
            while (node.GetNextAttrName(name) == B_OK) {
                if (node.GetAttrInfo(name, &info) == B_OK)
                    size += info.size;
            }
        }
    }
    if (S_ISDIR(st.st_mode)) {
        BDirectory directory(path);
        BEntry entry;
        while (directory.GetNextEntry(&entry, false) == B_OK)
            size += SizeOf(entry.Path(), withAttributes, false);
    }
    return size;
}

} // namespace

// ---- Placing and removing ----

namespace {

Result<void> CopyEntry(const char* source, const char* destination) {
    if (!EntryExists(source))
        return Failure::System("cannot copy", source != nullptr ? source : "", ENOENT);
    if (destination == nullptr || destination[0] == '\0')
        return Failure::Because("cannot copy", source, "no destination is given");
    return TreeCopier().Copy(source, Target(source, destination).c_str());
}

} // namespace

bool LibCopy(const char* source, const char* destination) {
    Result<void> copied = CopyEntry(source, destination);
    // A missing source was never reported here: only a copy that went wrong is.
    if (!copied && copied.Error().error != ENOENT && destination != nullptr &&
        destination[0] != '\0')
        fprintf(stderr, "LibCopy: %s\n", copied.Error().Text().c_str());
    return copied.Ok();
}

namespace {

std::string ModeText(mode_t mode) {
    char text[8];
    snprintf(text, sizeof text, "%04o", unsigned(mode & 07777));
    return text;
}

// The user attributes of an entry, by name, not following a link.
bool UserAttributes(const std::string& path,
                    std::vector<std::pair<std::string, std::string>>* out) {
    out->clear();
    ssize_t length = llistxattr(path.c_str(), nullptr, 0);
    if (length < 0)
        return errno == ENOTSUP;
    std::vector<char> names(size_t(length) + 1, '\0');
    length = llistxattr(path.c_str(), names.data(), names.size() - 1);
    for (ssize_t at = 0; length > 0 && at < length; at += ssize_t(strlen(&names[size_t(at)])) + 1) {
        std::string name = &names[size_t(at)];
        if (name.compare(0, 5, "user.") != 0)
            continue;
        ssize_t size = lgetxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0)
            return false;
        std::string value(size_t(size), '\0');
        size = lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (size < 0)
            return false;
        value.resize(size_t(size));
        out->emplace_back(std::move(name), std::move(value));
    }
    std::sort(out->begin(), out->end());
    return true;
}

// What the copy `copy` of `source` lost of it (mode, owner, user attributes), entry by
// entry below a folder; empty when nothing.
std::string WhatTheCopyLost(const std::string& source, const std::string& copy) {
    struct stat from, to;
    if (lstat(source.c_str(), &from) != 0 || lstat(copy.c_str(), &to) != 0)
        return copy + " could not be compared with " + source;
    if ((from.st_mode & S_IFMT) != (to.st_mode & S_IFMT))
        return copy + " is not of the kind of " + source;
    if (!S_ISLNK(from.st_mode) && (from.st_mode & 07777) != (to.st_mode & 07777))
        return "the mode " + ModeText(from.st_mode) + " of " + source + " became " +
               ModeText(to.st_mode);
    if (from.st_uid != to.st_uid || from.st_gid != to.st_gid)
        return "the owner " + std::to_string(from.st_uid) + ":" + std::to_string(from.st_gid) +
               " of " + source + " became " + std::to_string(to.st_uid) + ":" +
               std::to_string(to.st_gid);
    std::vector<std::pair<std::string, std::string>> fromAttributes, toAttributes;
    if (!S_ISLNK(from.st_mode) && UserAttributes(source, &fromAttributes) &&
        (!UserAttributes(copy, &toAttributes) || fromAttributes != toAttributes))
        return "the attributes of " + source + " were not kept";
    if (!S_ISDIR(from.st_mode))
        return "";
    DIR* folder = opendir(source.c_str());
    if (folder == nullptr)
        return source + " could not be read";
    std::vector<std::string> names;
    while (dirent* entry = readdir(folder)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            names.push_back(entry->d_name);
    }
    closedir(folder);
    for (const std::string& name : names) {
        std::string lost = WhatTheCopyLost(source + "/" + name, copy + "/" + name);
        if (!lost.empty())
            return lost;
    }
    return "";
}

Result<void> MoveEntry(const char* source, const char* destination, bool sniff,
                       std::string* lost = nullptr) {
    if (!EntryExists(source))
        return Failure::System("cannot move", source != nullptr ? source : "", ENOENT);
    if (destination == nullptr || destination[0] == '\0')
        return Failure::Because("cannot move", source, "no destination is given");
    std::string target = Target(source, destination);
    if (rename(source, target.c_str()) == 0)
        return Done();
    if (errno != EXDEV)
        return Failure::System("cannot move", source).To(target);
    // Another volume: copy, type what came without a type, and only then remove the
    // source. When the copy fails the source stays where it was.
    Result<void> copied = TreeCopier().Copy(source, target.c_str());
    if (!copied)
        return copied;
    if (lost != nullptr) {
        *lost = WhatTheCopyLost(source, target);
        if (!lost->empty()) {
            posixfs::RemoveTree(target.c_str());
            return Failure::Because("cannot move", source,
                                    "the destination's volume cannot keep it: " + *lost)
                .To(target);
        }
    }
    if (sniff)
        TypeTree(target.c_str());
    // The copy reaches the disk before the source goes: a power cut in between leaves
    // both, never neither.
    std::string error;
    if (!posixfs::SyncVolumesOf({target}, &error)) {
        posixfs::RemoveTree(target.c_str());
        return Failure::Because("cannot move", source, error).To(target);
    }
    posixfs::RemoveTree(source);
    return Done();
}

// The wrappers' diagnostic: a missing source or destination is not told, as it never was.
bool Told(const Result<void>& moved, const char* destination) {
    if (!moved && moved.Error().error != ENOENT && destination != nullptr && destination[0] != '\0')
        fprintf(stderr, "LibMove: %s\n", moved.Error().Text().c_str());
    return moved.Ok();
}

} // namespace

Result<void> LibMoveEntry(const char* source, const char* destination) {
    return MoveEntry(source, destination, true);
}

bool LibMove(const char* source, const char* destination) {
    return Told(MoveEntry(source, destination, true), destination);
}

Result<void> LibMoveEntryAsIs(const char* source, const char* destination) {
    return MoveEntry(source, destination, false);
}

bool LibMoveAsIs(const char* source, const char* destination) {
    return Told(MoveEntry(source, destination, false), destination);
}

bool LibMoveKeepingAll(const char* source, const char* destination, std::string* lost) {
    std::string ignored;
    if (lost == nullptr)
        lost = &ignored;
    lost->clear();
    return Told(MoveEntry(source, destination, false, lost), destination);
}

Result<void> LibRemoveEntry(const char* path) {
    if (!EntryExists(path))
        return Done();
    errno = 0;
    if (!posixfs::RemoveTree(path))
        return Failure::System("cannot remove", path, errno != 0 ? errno : EIO);
    return Done();
}

void LibUnlink(const char* path) {
    (void)LibRemoveEntry(path);
}

Result<void> LibSniffType(const char* path) {
    if (!EntryExists(path))
        return Failure::System("cannot sniff the type of", path != nullptr ? path : "", ENOENT);
    // Forces a new look at the node itself; a folder's contents are left as they are so
    // that a call on a folder such as the desktop never retypes the user's files.
    status_t status = update_mime_info(path, 0, 1, B_UPDATE_MIME_INFO_FORCE_UPDATE_ALL);
    if (status != B_OK)
        return Failure::Because("cannot sniff the type of", path, strerror_status(status));
    return Done();
}

void Libmimeset(const char* path) {
    (void)LibSniffType(path);
}

bool LibSymLink(const char* target, const char* link) {
    if (target == nullptr || link == nullptr || target[0] == '\0' || link[0] == '\0')
        return false;
    std::string where = link;
    struct stat st;
    // As `ln -fs`: a real folder at the link's place receives the link inside it.
    if (lstat(link, &st) == 0 && S_ISDIR(st.st_mode))
        where += "/" + Leaf(target);
    std::string parent = Parent(where);
    std::string temporary = parent + "/" + posixfs::TemporaryLeaf("link");
    if (symlink(target, temporary.c_str()) != 0)
        return false;
    if (rename(temporary.c_str(), where.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

Result<std::string> LibTrashEntry(const BPath& item, bool overwrite) {
    const char* path = item.Path();
    if (path == nullptr || !EntryExists(path))
        return Failure::System("cannot move to the Trash", path != nullptr ? path : "", ENOENT);
    BPath trash;
    status_t status = find_directory(B_TRASH_DIRECTORY, &trash, true);
    if (status != B_OK || trash.Path() == nullptr)
        return Failure::Because("cannot move to the Trash", path,
                                std::string("the Trash cannot be made: ") +
                                    strerror_status(status != B_OK ? status : B_ERROR));
    std::string files = trash.Path();
    std::string info = Parent(files) + "/info";
    mkdir(info.c_str(), 0700);
    Result<TrashRecord> record = TrashRecord::Reserve(files, info, Leaf(path), overwrite);
    if (!record)
        return record.Error();
    if (Result<void> written = record->Write(AbsolutePath(path)); !written)
        return written.Error();
    if (EntryExists(record->Target().c_str())) {
        record->Discard();
        return Failure::System("cannot move to the Trash", path, EEXIST);
    }
    if (Result<void> moved = MoveEntry(path, record->Target().c_str(), true); !moved) {
        record->Discard();
        return moved.Error();
    }
    return record->Target();
}

void LibTrash(const BPath& item, const bool& overwrite) {
    Result<std::string> trashed = LibTrashEntry(item, overwrite);
    if (!trashed && trashed.Error().error != ENOENT)
        fprintf(stderr, "LibTrash: %s\n", trashed.Error().Text().c_str());
}

Result<std::string> LibDuplicateEntry(const char* path) {
    if (path == nullptr || path[0] == '\0')
        return Failure::Because("cannot rename", "", "no path is given");
    BPath normalized(path, nullptr, true);
    if (normalized.InitCheck() != B_OK || !EntryExists(normalized.Path()))
        return Failure::System("cannot rename", path, ENOENT);
    std::string folder = Parent(normalized.Path());
    std::string name = Leaf(normalized.Path());
    for (int counter = 0; counter < INT_MAX; ++counter) {
        std::string candidate = folder + "/" + CopyName(name, counter);
        if (!EntryExists(candidate.c_str())) {
            if (Result<void> moved = MoveEntry(normalized.Path(), candidate.c_str(), true); !moved)
                return moved.Error();
            return candidate;
        }
    }
    return Failure::Because("cannot rename", path, "every copy name is taken");
}

void LibDuplicate(const char* path) {
    Result<std::string> renamed = LibDuplicateEntry(path);
    if (!renamed && renamed.Error().error != ENOENT && !renamed.Error().path.empty())
        fprintf(stderr, "LibDuplicate: %s\n", renamed.Error().Text().c_str());
}

bool Libmkdir(const char* path) {
    if (path == nullptr || path[0] == '\0' || EntryExists(path))
        return false;
    std::string full = path;
    // Each missing folder from the top down, with the modes the user's umask allows (a
    // fixed 0775 would leave system folders writable by a whole group).
    for (size_t at = 1; at <= full.size(); ++at) {
        if (at != full.size() && full[at] != '/')
            continue;
        std::string part = full.substr(0, at);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    return IsFolder(path);
}

Result<void> LibEnterFolder(const char* path) {
    if (!EntryExists(path))
        return Failure::System("cannot change to", path != nullptr ? path : "", ENOENT);
    if (chdir(path) != 0)
        return Failure::System("cannot change to", path);
    return Done();
}

void LibChangeDirectory(const char* path) {
    Result<void> entered = LibEnterFolder(path);
    if (!entered && entered.Error().error != ENOENT)
        fprintf(stderr, "LibChangeDirectory: %s\n", entered.Error().Text().c_str());
}

// ---- Archives ----

bool LibZip(const char* archive, const BPath& item, int level) {
    if (archive == nullptr || item.Path() == nullptr || !EntryExists(item.Path()))
        return false;
    std::string parent = Parent(archive);
    std::string temporary = parent + "/" + posixfs::TemporaryLeaf("zip");
    int fd = open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ZipPacker packer;
    bool ok = packer.Pack(item.Path(), nullptr, fd, level);
    if (close(fd) != 0)
        ok = false;
    if (ok && rename(temporary.c_str(), archive) != 0)
        ok = false;
    if (!ok) {
        if (!packer.Error().empty())
            fprintf(stderr, "LibZip: %s\n", packer.Error().c_str());
        unlink(temporary.c_str());
    }
    return ok;
}

bool LibUnzip(const char* archive) {
    if (archive == nullptr)
        return false;
    int fd = open(archive, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0;
    if (ok) {
        FileRegionSource source(fd, 0, st.st_size);
        ZipExtractor extractor(source);
        ok = extractor.ExtractAll(Parent(AbsolutePath(archive)).c_str());
        if (!ok)
            fprintf(stderr, "LibUnzip: %s: %s\n", archive, extractor.Error().c_str());
    }
    close(fd);
    return ok;
}

bool LibTar(const char* item, const char* archive) {
    if (item == nullptr || archive == nullptr || !EntryExists(item))
        return false;
    TarWriter writer;
    if (!writer.Write(item, archive)) {
        fprintf(stderr, "LibTar: %s\n", writer.Error().c_str());
        return false;
    }
    return true;
}

bool LibFindEnvFile(const char* variable, const char* file, BPath& found) {
    const char* value = variable != nullptr ? getenv(variable) : nullptr;
    if (value == nullptr || file == nullptr)
        return false;
    std::string list = value;
    size_t start = 0;
    while (start <= list.size()) {
        size_t colon = list.find(':', start);
        if (colon == std::string::npos)
            colon = list.size();
        std::string folder = list.substr(start, colon - start);
        start = colon + 1;
        if (folder.empty())
            continue;
        std::string candidate = folder + "/" + file;
        if (access(candidate.c_str(), F_OK) == 0) {
            found.SetTo(candidate.c_str());
            return true;
        }
    }
    return false;
}

// ---- Names and paths ----

void LibUniqueName(BPath& folder, const char* prefix) {
    static std::atomic<int32> counter{0};
    if (folder.InitCheck() != B_OK || folder.Path() == nullptr || folder.Path()[0] == '\0')
        find_directory(B_COMMON_TEMP_DIRECTORY, &folder, true);
    int32 value = counter.load();
    int32 next;
    do {
        next = value >= 10000 ? 1 : value + 1;
    } while (!counter.compare_exchange_weak(value, next));
    value = next;
    char leaf[B_FILE_NAME_LENGTH];
    snprintf(leaf, sizeof(leaf), "%s%d%d%ld", prefix != nullptr ? prefix : "", value,
             static_cast<int>(getpid()), static_cast<long>(time(nullptr)));
    folder.Append(leaf);
}

bool LibGetEntryRef(const char* path, entry_ref& ref) {
    if (path == nullptr || path[0] == '\0')
        return false;
    BEntry entry(path, false);
    return entry.InitCheck() == B_OK && entry.GetRef(&ref) == B_OK;
}

bool LibGetFullPath(const entry_ref& ref, LibString& path) {
    BPath full(&ref);
    path = full.Path() != nullptr ? full.Path() : "";
    return true;
}

bool LibGetFullPath(const entry_ref& ref, BPath& path) {
    path.SetTo(&ref);
    return true;
}

void LibGetPath(const entry_ref& folder, const char* leaf, BPath& path) {
    path.SetTo(&folder);
    if (leaf != nullptr && leaf[0] != '\0')
        path.Append(leaf);
}

entry_ref LibGetParentRef(const entry_ref& ref) {
    entry_ref parentRef;
    BEntry entry(&ref);
    BEntry parent;
    if (entry.InitCheck() == B_OK && entry.GetParent(&parent) == B_OK)
        parent.GetRef(&parentRef);
    return parentRef;
}

void LibGetParentPath(const char* path, LibString& parent) {
    BPath full(path);
    BPath up;
    if (full.InitCheck() == B_OK && full.GetParent(&up) == B_OK && up.Path() != nullptr)
        parent = up.Path();
    else
        parent = "";
}

void LibGetChildName(const char* path, char* buffer) {
    if (buffer == nullptr)
        return;
    std::string leaf = path != nullptr ? Leaf(path) : "";
    snprintf(buffer, B_FILE_NAME_LENGTH, "%s", leaf.c_str());
}

void LibGetWorkingDirectory(BPath& folder) {
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0) {
        folder.Unset();
        return;
    }
    self[n] = '\0';
    folder.SetTo(Parent(self).c_str());
}

bool LibGetSettingsPath(LibString& path) {
    BPath settings;
    find_directory(B_USER_SETTINGS_DIRECTORY, &settings);
    path = settings.Path() != nullptr ? settings.Path() : "";
    return true;
}

bool LibGetSettingsPath(char* buffer, const int& size) {
    BPath settings;
    find_directory(B_USER_SETTINGS_DIRECTORY, &settings);
    // The path is cut to the buffer's size rather than overrunning it.
    if (buffer != nullptr && size > 0)
        snprintf(buffer, static_cast<size_t>(size), "%s",
                 settings.Path() != nullptr ? settings.Path() : "");
    return true;
}

namespace {

template <typename Message> bool FindFolder(const Message& message, BPath& path) {
    if constexpr (requires(entry_ref * ref) { message.FindRef("directory", ref); }) {
        entry_ref ref;
        if (message.FindRef("directory", &ref) == B_OK) {
            path.SetTo(&ref);
            return true;
        }
    }
    const char* folder = nullptr;
    if (message.FindString("directory", &folder) == B_OK && folder != nullptr) {
        path.SetTo(folder);
        return true;
    }
    return false;
}

} // namespace

int32 LibGetFilePath(const BMessage* message, BPath& path) {
    if (message == nullptr || !FindFolder(*message, path))
        return 0;
    const char* name = nullptr;
    if (message->FindString("name", &name) != B_OK || name == nullptr)
        return 0;
    std::string trimmed = name;
    size_t first = trimmed.find_first_not_of(" \t\r\n");
    size_t last = trimmed.find_last_not_of(" \t\r\n");
    trimmed = first == std::string::npos ? "" : trimmed.substr(first, last - first + 1);
    if (!trimmed.empty())
        path.Append(trimmed.c_str());
    return static_cast<int32>(trimmed.size());
}

bool LibExists(const char* path) {
    // The entry itself: a link whose target is missing still exists.
    return EntryExists(path);
}

// ---- Types and information ----

void LibGetMimeType(const entry_ref& ref, char* buffer, bool describe) {
    if (buffer == nullptr)
        return;
    buffer[0] = '\0';
    BPath path(&ref);
    struct stat st;
    bool isLink = path.Path() != nullptr && lstat(path.Path(), &st) == 0 && S_ISLNK(st.st_mode);
    BNode node(&ref);
    BNodeInfo info(&node);
    if (node.InitCheck() != B_OK || info.GetType(buffer) != B_OK || buffer[0] == '\0') {
        // Nodes nobody has typed yet get the type their content shows.
        buffer[0] = '\0';
        if (isLink) {
            snprintf(buffer, B_MIME_TYPE_LENGTH, "%s", B_SYMLINK_MIME_TYPE);
        } else if (path.Path() != nullptr) {
            BMimeType guessed;
            if (BMimeType::GuessMimeType(&ref, &guessed) == B_OK && guessed.Type() != nullptr)
                snprintf(buffer, B_MIME_TYPE_LENGTH, "%s", guessed.Type());
        }
    }
    if (!describe)
        return;
    const char* kind = "Unknown";
    if (strcmp(buffer, B_DIRECTORY_MIME_TYPE) == 0)
        kind = "Folder";
    else if (strcmp(buffer, B_APP_MIME_TYPE) == 0)
        kind = "Be Application";
    else if (isLink)
        kind = "Symbolic Link";
    snprintf(buffer, B_MIME_TYPE_LENGTH, "%s", kind);
}

Result<void> LibSetEntryType(const char* path, const char* type) {
    BNode node(path);
    BNodeInfo info(&node);
    if (status_t status = node.InitCheck(); status != B_OK)
        return Failure::Because("cannot open", path != nullptr ? path : "",
                                strerror_status(status));
    if (status_t status = info.SetType(type); status != B_OK)
        return Failure::Because("cannot set the type of", path, strerror_status(status));
    return Done();
}

void LibSetMimeType(const char* path, const char* type) {
    (void)LibSetEntryType(path, type);
}

Result<void> LibSetEntryTypeAndApp(const char* path, const char* type, const char* preferredApp) {
    BNode node(path);
    BNodeInfo info(&node);
    if (status_t status = node.InitCheck(); status != B_OK)
        return Failure::Because("cannot open", path != nullptr ? path : "",
                                strerror_status(status));
    if (status_t status = info.SetType(type); status != B_OK)
        return Failure::Because("cannot set the type of", path, strerror_status(status));
    std::string signature = preferredApp != nullptr ? preferredApp : "";
    if (preferredApp == nullptr) {
        if (be_app != nullptr && be_app->Signature() != nullptr)
            signature = be_app->Signature();
        if (signature.empty()) {
            BFile self("/proc/self/exe", B_READ_ONLY);
            BAppFileInfo appInfo(&self);
            char own[B_MIME_TYPE_LENGTH] = "";
            if (appInfo.GetSignature(own) == B_OK)
                signature = own;
        }
    }
    if (signature.empty())
        return Done();
    if (status_t status = info.SetPreferredApp(signature.c_str(), B_OPEN); status != B_OK)
        return Failure::Because("cannot set the preferred application of", path,
                                strerror_status(status));
    return Done();
}

void LibSetFileType(const char* path, const char* type, const char* preferredApp) {
    (void)LibSetEntryTypeAndApp(path, type, preferredApp);
}

int64 LibEntrySize(const char* path, bool withAttributes) {
    if (path == nullptr || path[0] == '\0')
        return 0;
    return SizeOf(path, withAttributes, true);
}

LibDateTime LibCreationDate(const char* path, const bool& local) {
    time_t seconds = 0;
    if (path == nullptr || !CreationTime(path, seconds)) {
        fprintf(stderr, "LibCreationDate: Unable to set entry <%s>\n", path ? path : "");
        return LibDateTime(1, 1, 1970);
    }
    return DateFrom(seconds, local);
}

LibDateTime LibCreationDate(const entry_ref& ref, const bool& local) {
    BPath path(&ref);
    time_t seconds = 0;
    if (path.Path() == nullptr || !CreationTime(path.Path(), seconds)) {
        fprintf(stderr, "LibCreationDate: Unable to set entry\n");
        return LibDateTime(1, 1, 1970);
    }
    return DateFrom(seconds, local);
}

LibDateTime LibLastModifiedDate(const BEntry& entry, const bool& local) {
    struct stat st;
    if (entry.InitCheck() != B_OK || lstat(entry.Path(), &st) != 0)
        return LibDateTime(1, 1, 1970);
    return DateFrom(st.st_mtime, local);
}

LibDateTime LibLastModifiedDate(const char* path, const bool& local) {
    struct stat st;
    if (path == nullptr || lstat(path, &st) != 0)
        return LibDateTime(1, 1, 1970);
    return DateFrom(st.st_mtime, local);
}

LibDateTime LibAccessedDate(const BEntry& entry, const bool& local) {
    struct stat st;
    if (entry.InitCheck() != B_OK || lstat(entry.Path(), &st) != 0)
        return LibDateTime(1, 1, 1970);
    return DateFrom(st.st_atime, local);
}

bool LibOpenEntry(const char* path) {
    if (!EntryExists(path))
        return false;
    return OpenWithDesktop(AbsolutePath(path).c_str());
}

bool LibInfoEntry(const char* path) {
    if (!EntryExists(path))
        return false;
    return OpenWithDesktop(Parent(AbsolutePath(path)).c_str());
}

int LibAnonymousTempFile(const char* prefix) {
    BPath temp;
    if (find_directory(B_COMMON_TEMP_DIRECTORY, &temp, true) != B_OK || temp.Path() == nullptr)
        return -1;
    int fd = open(temp.Path(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    std::string path =
        std::string(temp.Path()) + "/" + (prefix != nullptr ? prefix : "tmp") + "XXXXXX";
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        unlink(name.data());
    return fd;
}
