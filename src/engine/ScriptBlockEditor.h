#pragma once

// Tagged blocks in the user's shell start-up files. A block is the line "#BEGIN_<tag>", the
// contents, and the line "#END_<tag>". Editing a file removes every block with the tag and,
// when contents are given, appends a new one; the file as it was is kept beside it with
// ".orig" appended, and a missing file starts from "<name>.sample" when there is one.

#include <string>

class ScriptBlockEditor {
public:
    // Edits the file at `path`. `contents` null removes the block without adding one.
    // Returns true when a new block was written.
    static bool Edit(const std::string& path, const char* tag, const char* contents);

    // Whether the file at `path` holds both tag lines of `tag`.
    static bool HasBlock(const std::string& path, const char* tag);
};
