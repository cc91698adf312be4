#include "support/TreeSnapshot.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "support/Sandbox.h"

namespace fs = std::filesystem;

namespace tarnw::test {

namespace {

std::string Attributes(const fs::path& path) {
    std::string names(65536, '\0');
    ssize_t size = llistxattr(path.c_str(), names.data(), names.size());
    if (size <= 0)
        return "";
    names.resize(size_t(size));
    std::map<std::string, std::string> values;
    for (size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        std::string name = names.c_str() + at;
        if (name.rfind("user.", 0) != 0)
            continue;
        std::string value(65536, '\0');
        ssize_t length = lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
        value.resize(length > 0 ? size_t(length) : 0);
        values[name] = value;
    }
    std::string text;
    for (const auto& [name, value] : values)
        text += " " + name + "=" + value;
    return text;
}

std::string Describe(const fs::path& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return "?";
    char mode[16];
    std::snprintf(mode, sizeof(mode), "%04o", unsigned(info.st_mode & 07777));
    std::string text;
    if (S_ISLNK(info.st_mode))
        text = "link -> " + fs::read_symlink(path).string();
    else if (S_ISDIR(info.st_mode))
        text = std::string("folder ") + mode;
    else
        text = std::string("file ") + mode + " " + std::to_string(info.st_size) + " bytes \"" +
               ReadFile(path) + "\"";
    return text + Attributes(path);
}

} // namespace

TreeSnapshot TreeSnapshot::Take(const std::vector<fs::path>& roots) {
    TreeSnapshot snapshot;
    for (const fs::path& root : roots) {
        std::error_code error;
        if (!fs::exists(fs::symlink_status(root, error)))
            continue;
        snapshot.fEntries[root.string()] = Describe(root);
        for (auto it = fs::recursive_directory_iterator(root, error);
             it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->path().filename() == "Trash") {
                it.disable_recursion_pending();
                continue;
            }
            snapshot.fEntries[it->path().string()] = Describe(it->path());
        }
    }
    return snapshot;
}

std::string TreeSnapshot::DifferencesFrom(const TreeSnapshot& before) const {
    std::string text;
    auto shorten = [](const std::string& value) {
        return value.size() > 120 ? value.substr(0, 120) + "..." : value;
    };
    for (const auto& [path, was] : before.fEntries) {
        auto now = fEntries.find(path);
        if (now == fEntries.end())
            text += path + ": " + shorten(was) + " -> (gone)\n";
        else if (now->second != was)
            text += path + ": " + shorten(was) + " -> " + shorten(now->second) + "\n";
    }
    for (const auto& [path, is] : fEntries) {
        if (before.fEntries.count(path) == 0)
            text += path + ": (new) " + shorten(is) + "\n";
    }
    return text;
}

} // namespace tarnw::test
