#pragma once

// Folders noted with their device and inode when a run made or opened them. A folder below
// a noted one is reached from a descriptor of the noted folder, one name at a time and never
// through a link, and only while the noted folder is still the one noted: whoever swaps a
// folder of the installation for another folder, or for a link to one, gains nothing.
// Paths that lie below no noted folder are opened as they are.

#include <cstdint>
#include <sys/stat.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

class NotedFolders {
public:
    void Note(const std::string& path, uint64_t device, uint64_t inode);
    // Forgets the noted folders at or below `path` (what is there now is not the run's).
    void Forget(const std::string& path);
    bool Empty() const { return fFolders.empty(); }
    // Whether `path` is noted as another folder than the entry `info` describes.
    bool Replaced(const std::string& path, const struct stat& info) const;

    // Opens the folder at `path` with `flags` (O_RDONLY or O_PATH; O_DIRECTORY and
    // O_CLOEXEC are added). `make` makes missing levels. -1 with errno ENOENT when it is not
    // there; -1 with errno EXDEV when a noted folder on the way was replaced, or a level
    // below it is no folder any more, and `replaced` names it.
    int Open(const std::string& path, int flags, bool make, std::string& replaced) const;

    // The noted folders whose place now holds something else: another folder, a link or a
    // file. A folder that is simply gone is not among them.
    std::vector<std::string> ReplacedNow() const;

private:
    std::map<std::string, std::pair<uint64_t, uint64_t>> fFolders;
};
