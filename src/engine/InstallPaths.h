#pragma once

// Small path and file-system queries of the installation run. Entries are looked at
// without following symbolic links unless a name says otherwise.

#include <string>
#include <vector>

#include "platform/support/SupportDefs.h"

class InstallPaths {
public:
    static std::string Join(const std::string& folder, const std::string& leaf);
    static std::string Leaf(const std::string& path);
    static std::string Parent(const std::string& path);
    // A name that stays inside its folder: not empty, not "." or "..", without "/".
    static bool IsPlainName(const char* name);
    // `name` with every "/" replaced, so that it is one file name.
    static std::string SafeLeaf(const std::string& name);
    // `sub` as a path below a folder: leading "/" and "." parts dropped; false when a ".."
    // part would climb out.
    static bool CleanRelative(const std::string& sub, std::string& relative);

    static bool EntryExists(const std::string& path);
    static bool IsFolder(const std::string& path);
    // Whether the folder at `path` is a mount point or holds one below it: removing it
    // would reach into another file system.
    static bool HoldsMountPoint(const std::string& path);
    // Why the entry at `path` could not be deleted with all its contents by this process
    // (an entry marked immutable or append-only, a folder it may not change), naming the
    // entry that stands in the way; "" when nothing does.
    static std::string RemovalBlocker(const std::string& path);
    static bool IsLink(const std::string& path);
    // Whether the two paths name the same entry (the same path after resolving the
    // folders that hold them).
    static bool SameEntry(const std::string& a, const std::string& b);
    // The entries of a folder, in directory order, as full paths.
    static std::vector<std::string> ListFolder(const std::string& folder);
    // First of leaf, "leaf copy", "leaf copy 1", ... that does not exist in folder.
    static std::string FreeName(const std::string& folder, const std::string& leaf);

    // Free bytes for an unprivileged user on the volume holding path (or its nearest
    // existing parent); -1 when unknown.
    static int64 FreeBytes(const std::string& path);
    // Name of the volume holding path.
    static std::string VolumeName(const std::string& path);

    // Whether a shared library of that file name can be found: along LIBRARY_PATH first,
    // then LD_LIBRARY_PATH and the system's library folders.
    static bool LibraryPresent(const char* name);
    // The text between the first "(" and the following ")"; empty without them.
    static std::string SignatureOf(const char* entry);
    static bool ApplicationPresent(const char* signature);
};
