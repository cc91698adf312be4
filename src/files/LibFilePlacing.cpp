// Placing and removing entries: copies, moves, removal, links, the Trash, duplicates, folders.

#include "files/LibFileOps.h"

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "files/LibFileOpsShared.h"
#include "files/TrashRecord.h"
#include "files/TreeCopier.h"
#include "lib/PosixFs.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Mime.h"

using fileops::AbsolutePath;
using fileops::EntryExists;
using fileops::IsFolder;
using fileops::Leaf;
using fileops::Parent;

namespace {

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
