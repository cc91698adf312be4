#pragma once

// What a payload archive unpacks to, read from its central directory alone: the kind,
// unpacked size and name length of every entry, without inflating anything. The sizes
// are the archive's word for them; the extractor holds the archive to it when it unpacks.
// The directory is hostile bytes: ZipDirectory checks every length and offset.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ZipSource.h"

class ZipContents {
public:
    enum class Kind { File, Folder, Link };
    struct Entry {
        Kind kind = Kind::File;
        uint64_t size = 0; // unpacked bytes; a link's are its target
        size_t nameLength = 0;
    };

    // Lists the archive's entries in order; false with a reason when it has no readable
    // central directory.
    static bool List(ZipSource& source, std::vector<Entry>& entries, std::string& error);
};
