#include "deinstall/ScriptBlockRemover.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

// Start-up files are small; anything larger is not one and is left alone.
constexpr off_t kMaxScriptSize = 16 * 1024 * 1024;

bool ReadWhole(const std::string& path, std::string& text) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxScriptSize) {
        close(fd);
        return false;
    }
    text.clear();
    char buffer[8192];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(got));
    close(fd);
    return got == 0;
}

// The user's attributes of `from` (its MIME type, tags, what the user put there) on fd,
// and its owner when the deinstaller may give it: a start-up file keeps all it had.
bool CopyOwnerAndAttributes(const std::string& from, const struct stat& info, int fd) {
    if (geteuid() == 0 && fchown(fd, info.st_uid, info.st_gid) != 0)
        return false;
    ssize_t length = listxattr(from.c_str(), nullptr, 0);
    if (length <= 0)
        return true;
    std::vector<char> names(size_t(length) + 1, '\0');
    length = listxattr(from.c_str(), names.data(), names.size() - 1);
    for (ssize_t at = 0; length > 0 && at < length;
         at += ssize_t(std::strlen(&names[size_t(at)])) + 1) {
        const char* name = &names[size_t(at)];
        if (std::strncmp(name, "user.", 5) != 0)
            continue;
        ssize_t size = getxattr(from.c_str(), name, nullptr, 0);
        if (size < 0)
            return false;
        std::vector<char> value(size_t(size) + 1);
        size = getxattr(from.c_str(), name, value.data(), value.size());
        if (size < 0 || fsetxattr(fd, name, value.data(), size_t(size), 0) != 0)
            return false;
    }
    return true;
}

bool WriteWhole(const std::string& path, const std::string& text, const std::string& like,
                const struct stat& info) {
    mode_t mode = info.st_mode;
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode & 07777);
    if (fd < 0)
        return false;
    if (!CopyOwnerAndAttributes(like, info, fd)) {
        close(fd);
        return false;
    }
    fchmod(fd, mode & 07777);
    size_t done = 0;
    while (done < text.size()) {
        ssize_t put = write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            close(fd);
            return false;
        }
        done += size_t(put);
    }
    return fsync(fd) == 0 && close(fd) == 0;
}

// The line without its line feed, trailing carriage return, blanks and tabs.
std::string Trimmed(const std::string& line) {
    size_t end = line.size();
    while (end > 0 && (line[end - 1] == '\n' || line[end - 1] == '\r' || line[end - 1] == ' ' ||
                       line[end - 1] == '\t'))
        end--;
    return line.substr(0, end);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

// Index of the first whole block's begin line with this tag (any tag when `tag` is null)
// and its end line; false when there is none.
bool FindBlock(const std::vector<std::string>& lines, size_t from, const std::string* tag,
               size_t& begin, size_t& end) {
    for (size_t i = from; i < lines.size(); i++) {
        std::string line = Trimmed(lines[i]);
        if (line.rfind("#BEGIN_", 0) != 0 || line.size() == 7)
            continue;
        std::string name = line.substr(7);
        if (tag != nullptr && name != *tag)
            continue;
        for (size_t j = i + 1; j < lines.size(); j++) {
            if (Trimmed(lines[j]) == "#END_" + name) {
                begin = i;
                end = j;
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::string ScriptBlockRemover::Without(const std::string& text, const std::string& tag,
                                        bool* removed) {
    std::vector<std::string> lines = Lines(text);
    bool any = false;
    size_t begin = 0, end = 0, from = 0;
    while (FindBlock(lines, from, &tag, begin, end)) {
        lines.erase(lines.begin() + long(begin), lines.begin() + long(end) + 1);
        from = begin;
        any = true;
    }
    if (removed != nullptr)
        *removed = any;
    std::string result;
    for (const std::string& line : lines)
        result += line;
    return result;
}

bool ScriptBlockRemover::HasBlock(const std::string& path, const std::string& tag) {
    std::string text;
    size_t begin, end;
    return ReadWhole(path, text) && FindBlock(Lines(text), 0, &tag, begin, end);
}

bool ScriptBlockRemover::HasAnyBlock(const std::string& path) {
    std::string text;
    size_t begin, end;
    return ReadWhole(path, text) && FindBlock(Lines(text), 0, nullptr, begin, end);
}

bool ScriptBlockRemover::Remove(const std::string& path, const std::string& tag, bool writeOrig) {
    if (tag.empty())
        return false;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return errno == ENOENT;
    // A start-up file that is a link to the user's own copy is edited where it lies, and
    // stays a link.
    std::string file = path;
    if (S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) == nullptr || stat(resolved, &info) != 0)
            return false;
        file = resolved;
    }
    std::string text;
    if (!ReadWhole(file, text))
        return false;
    bool removed = false;
    std::string rest = Without(text, tag, &removed);
    if (!removed)
        return true;
    // The file as it was, so that the user can take back what the deinstaller did.
    if (writeOrig && !WriteWhole(path + ".orig", text, file, info))
        return false;
    std::string temporary = file + ".tmp";
    if (!WriteWhole(temporary, rest, file, info)) {
        unlink(temporary.c_str());
        return false;
    }
    if (rename(temporary.c_str(), file.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool ScriptBlockRemover::IsBlank(const std::string& path) {
    std::string text;
    if (!ReadWhole(path, text))
        return false;
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}
