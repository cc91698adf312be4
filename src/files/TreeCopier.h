#pragma once

// Copies a file, symbolic link or folder tree with system calls: data through
// copy_file_range (so the kernel copies, or clones where the file system can), modes,
// times and user extended attributes (the MIME type and every node attribute) kept,
// links copied as links and never followed. Each file is written under a temporary name
// and renamed into place; a new folder tree is built under a hidden name beside its
// destination and renamed into place when complete, so a failed copy leaves nothing.

#include <optional>
#include <string>

#include "lib/Result.h"

class TreeCopier {
public:
    // Copies source to exactly destination (its parent folder must exist). A file
    // replaces an existing file or link; a folder copied over an existing folder is
    // merged into it. A failure names the first entry that could not be copied.
    Result<void> Copy(const char* source, const char* destination);

private:
    bool CopyTree(const char* source, const char* destination);
    bool CopyEntry(int srcDirFd, const std::string& srcLeaf, int dstDirFd,
                   const std::string& dstLeaf, const std::string& shown, bool top);
    bool CopyFile(int srcFd, const struct stat& st, int dstDirFd, const std::string& dstLeaf,
                  const std::string& shown);
    bool CopyLink(int srcDirFd, const std::string& srcLeaf, const struct stat& st, int dstDirFd,
                  const std::string& dstLeaf, const std::string& shown);
    bool CopyChildren(int srcFd, int dstFd, const std::string& shown);
    // Keeps the first failure; always false.
    bool Fail(Failure failure);

    std::optional<Failure> fFailure;
};
