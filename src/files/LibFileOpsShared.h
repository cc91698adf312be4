#pragma once

// What the file operations share: an entry's existence and kind, and the parts of a path.
// For the LibFile*.cpp files only.

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "lib/PosixFs.h"

namespace fileops {

inline bool EntryExists(const char* path) {
    struct stat st;
    return path != nullptr && path[0] != '\0' && lstat(path, &st) == 0;
}

inline bool IsFolder(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

inline std::string Leaf(const std::string& path) {
    std::string parent, leaf;
    posixfs::SplitParentLeaf(path, parent, leaf);
    return leaf;
}

inline std::string Parent(const std::string& path) {
    std::string parent, leaf;
    posixfs::SplitParentLeaf(path, parent, leaf);
    return parent;
}

// path made absolute against the working directory.
inline std::string AbsolutePath(const char* path) {
    if (path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof(cwd)) == nullptr)
        return path;
    return std::string(cwd) + "/" + path;
}

} // namespace fileops
