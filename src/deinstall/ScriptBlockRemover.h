#pragma once

// Takes the blocks an installation added out of the user's start-up files. A block is the
// line "#BEGIN_<tag>", its contents and the line "#END_<tag>". Only lines that are exactly
// these tag lines count (trailing blanks and a carriage return aside): the block of a
// product tagged "Demo" is removed, one tagged "DemoTools" stays. The file as it was is
// kept beside it with ".orig" appended, and the new text replaces it atomically, with the
// file's mode kept.

#include <string>

class ScriptBlockRemover {
public:
    // Whether the file holds a whole block with this tag.
    static bool HasBlock(const std::string& path, const std::string& tag);
    // Whether the file holds a whole block with any tag.
    static bool HasAnyBlock(const std::string& path);
    // Removes every whole block with this tag. True when none is left afterwards (also
    // when the file does not exist or never held one, in which case nothing is written).
    // With writeOrig false the ".orig" copy of an earlier removal is kept as it is.
    static bool Remove(const std::string& path, const std::string& tag, bool writeOrig = true);
    // Whether the file exists and holds nothing but blank lines.
    static bool IsBlank(const std::string& path);
    // The text without the blocks of `tag`; exposed for tests.
    static std::string Without(const std::string& text, const std::string& tag, bool* removed);
};
