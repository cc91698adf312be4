#pragma once

// The names inside an archive are hostile input. ArchivePath turns one into the list of
// its folder names and leaf, refusing anything that could land outside the folder the
// archive is unpacked into.

#include <string>
#include <vector>

class ArchivePath {
public:
    // Deepest nesting accepted; deeper trees are refused rather than exhausting
    // descriptors while they are walked.
    static constexpr size_t kMaxDepth = 128;

    // Splits name at '/'. Empty and "." parts are dropped; an absolute name, a ".." part,
    // a backslash-only name or a name with no parts left is refused with a reason.
    // isFolder is set when the name ends in '/'.
    static bool Split(const std::string& name, std::vector<std::string>& parts, bool& isFolder,
                      std::string& reason);

    // True when a symbolic link in folder linkFolder (parts below the unpacking root) whose
    // text is target resolves, read as plain text, to something inside the root.
    static bool LinkStaysInside(const std::vector<std::string>& linkFolder,
                                const std::string& target);
};
