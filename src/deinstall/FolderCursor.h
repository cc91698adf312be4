#pragma once

// Looks at entries folder by folder. The deinstaller's list names the contents of a folder
// together, so the folder is opened once and each of its entries is looked at and removed
// relative to it, without walking the whole path again for every call. A folder asked
// about many times is read once, and the kinds of its entries come from that listing.

#include <sys/types.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class NotedFolders;

class FolderCursor {
public:
    // With `noted`, entries are reached through those folders (storage/NotedFolders.h): an
    // entry in a noted folder that was replaced is not there for the cursor (errno EXDEV).
    explicit FolderCursor(const NotedFolders* noted) : fNoted(noted) {}

    FolderCursor() = default;
    FolderCursor(const FolderCursor&) = delete;
    FolderCursor& operator=(const FolderCursor&) = delete;
    ~FolderCursor() { Close(); }

    // The open folder holding path (-1 with errno when it cannot be opened); leaf is set to
    // path's last name (the end of path, so it ends with path's NUL).
    int FolderOf(const std::string& path, const char*& leaf);

    // The kind of the entry at path (S_IFREG, S_IFDIR, S_IFLNK...: st_mode & S_IFMT) without
    // following a link; false with errno when there is no such entry or it cannot be seen.
    bool KindOf(const std::string& path, mode_t& kind);

    // The value of the attribute `name` of the entry at path, not following a link: as
    // lgetxattr answers.
    ssize_t ReadAttribute(const std::string& path, const char* name, void* value, size_t size);

    // Removes path (a folder with AT_REMOVEDIR), relative to its folder.
    bool Remove(const std::string& path, int flags);

private:
    void Close();
    // Reads the open folder's names and kinds; false when it cannot be read.
    bool List();

    const NotedFolders* fNoted = nullptr;
    std::string fFolder;
    bool fOpened = false;
    int fFd = -1;
    int fError = 0;
    // Lookups in the open folder so far: a folder is read after a few.
    int fLookups = 0;
    bool fListed = false;
    // The open folder's entries by name, sorted, with their d_type.
    std::vector<std::pair<std::string, unsigned char>> fEntries;
};
