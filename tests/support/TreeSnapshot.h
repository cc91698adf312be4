#pragma once

// Everything below a few folders, to compare before and after a run that must leave no
// trace: every entry's kind, mode, contents (files) or target (links), and user
// attributes. Folders named "Trash" are left out: a run may move things there on purpose.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tarnw::test {

class TreeSnapshot {
public:
    static TreeSnapshot Take(const std::vector<std::filesystem::path>& roots);

    // Lines "path: before -> after" for every entry that differs; empty when equal.
    std::string DifferencesFrom(const TreeSnapshot& before) const;
    bool operator==(const TreeSnapshot& other) const { return fEntries == other.fEntries; }

private:
    std::map<std::string, std::string> fEntries;
};

} // namespace tarnw::test
