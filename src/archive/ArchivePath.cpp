#include "archive/ArchivePath.h"

bool ArchivePath::Split(const std::string& name, std::vector<std::string>& parts, bool& isFolder,
                        std::string& reason) {
    parts.clear();
    isFolder = false;
    if (name.empty()) {
        reason = "an entry has an empty name";
        return false;
    }
    if (name[0] == '/') {
        reason = "entry \"" + name + "\" has an absolute path";
        return false;
    }
    if (name.find('\0') != std::string::npos) {
        reason = "an entry name holds a NUL byte";
        return false;
    }
    size_t start = 0;
    while (start <= name.size()) {
        size_t slash = name.find('/', start);
        if (slash == std::string::npos)
            slash = name.size();
        std::string part = name.substr(start, slash - start);
        if (part == "..") {
            reason = "entry \"" + name + "\" climbs out with \"..\"";
            return false;
        }
        if (!part.empty() && part != ".")
            parts.push_back(std::move(part));
        start = slash + 1;
    }
    if (parts.empty()) {
        reason = "entry \"" + name + "\" names no file";
        return false;
    }
    if (parts.size() > kMaxDepth) {
        reason = "entry \"" + name.substr(0, 200) + "...\" is nested too deeply";
        return false;
    }
    isFolder = name.back() == '/';
    return true;
}

bool ArchivePath::LinkStaysInside(const std::vector<std::string>& linkFolder,
                                  const std::string& target) {
    if (target.empty() || target[0] == '/' || target.find('\0') != std::string::npos)
        return false;
    size_t depth = linkFolder.size();
    size_t start = 0;
    while (start <= target.size()) {
        size_t slash = target.find('/', start);
        if (slash == std::string::npos)
            slash = target.size();
        size_t length = slash - start;
        if (length == 2 && target.compare(start, 2, "..") == 0) {
            if (depth == 0)
                return false;
            --depth;
        } else if (length > 0 && !(length == 1 && target[start] == '.')) {
            ++depth;
        }
        start = slash + 1;
    }
    return true;
}
