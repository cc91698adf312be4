#include "archive/TarWriter.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "lib/PosixFs.h"

namespace {

constexpr size_t kBlock = 512;

// width - 1 octal digits and a NUL; a value that needs more goes in a pax record.
void Octal(char* field, size_t width, uint64_t value) {
    field[width - 1] = '\0';
    for (size_t i = width - 1; i-- > 0; value >>= 3)
        field[i] = static_cast<char>('0' + (value & 7));
}

// One pax record: "<length> key=value\n", where the length counts itself.
std::string PaxRecord(const std::string& key, const std::string& value) {
    size_t body = key.size() + value.size() + 3;
    size_t length = body + 1;
    while (std::to_string(length).size() + body != length)
        ++length;
    return std::to_string(length) + " " + key + "=" + value + "\n";
}

} // namespace

bool TarWriter::Fail(const std::string& reason) {
    if (fError.empty())
        fError = reason;
    return false;
}

bool TarWriter::Put(const void* data, size_t size) {
    return posixfs::WriteAll(fFd, data, size) ||
           Fail(std::string("cannot write the archive: ") + strerror(errno));
}

bool TarWriter::Pad(uint64_t size) {
    static const char zeros[kBlock] = {};
    size_t rest = static_cast<size_t>(size % kBlock);
    return rest == 0 || Put(zeros, kBlock - rest);
}

bool TarWriter::Header(const std::string& name, const struct stat& st, char type,
                       const std::string& link, uint64_t size) {
    std::string pax;
    if (name.size() > 100)
        pax += PaxRecord("path", name);
    if (link.size() > 100)
        pax += PaxRecord("linkpath", link);
    if (size > 077777777777ull)
        pax += PaxRecord("size", std::to_string(size));
    if (!pax.empty()) {
        struct stat paxStat = st;
        paxStat.st_mode = 0644;
        if (!Header("PaxHeader/" + name.substr(0, 80), paxStat, 'x', "", pax.size()) ||
            !Put(pax.data(), pax.size()) || !Pad(pax.size()))
            return false;
    }
    char block[kBlock] = {};
    memcpy(block, name.data(), std::min<size_t>(name.size(), 100));
    Octal(block + 100, 8, st.st_mode & 07777);
    Octal(block + 108, 8, 0);
    Octal(block + 116, 8, 0);
    Octal(block + 124, 12, std::min<uint64_t>(size, 077777777777ull));
    Octal(block + 136, 12, st.st_mtime < 0 ? 0 : static_cast<uint64_t>(st.st_mtime));
    memset(block + 148, ' ', 8);
    block[156] = type;
    memcpy(block + 157, link.data(), std::min<size_t>(link.size(), 100));
    memcpy(block + 257, "ustar", 6);
    memcpy(block + 263, "00", 2);
    unsigned sum = 0;
    for (unsigned char c : block)
        sum += c;
    snprintf(block + 148, 8, "%06o", sum);
    block[155] = ' ';
    return Put(block, kBlock);
}

bool TarWriter::Add(int dirFd, const std::string& leaf, const std::string& stored, bool top) {
    struct stat st;
    if (fstatat(dirFd, leaf.c_str(), &st, top ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
        return Fail("cannot read \"" + stored + "\": " + strerror(errno));
    if (S_ISLNK(st.st_mode)) {
        std::vector<char> target(4096);
        ssize_t n = readlinkat(dirFd, leaf.c_str(), target.data(), target.size());
        if (n < 0)
            return Fail("cannot read link \"" + stored + "\"");
        return Header(stored, st, '2', std::string(target.data(), static_cast<size_t>(n)), 0);
    }
    if (S_ISREG(st.st_mode)) {
        int fd = openat(dirFd, leaf.c_str(), O_RDONLY | O_CLOEXEC | (top ? 0 : O_NOFOLLOW));
        if (fd < 0)
            return Fail("cannot open \"" + stored + "\": " + strerror(errno));
        uint64_t size = static_cast<uint64_t>(st.st_size);
        bool ok = Header(stored, st, '0', "", size);
        std::vector<char> buffer(256 * 1024);
        uint64_t done = 0;
        while (ok && done < size) {
            ssize_t n = read(fd, buffer.data(),
                             static_cast<size_t>(std::min<uint64_t>(buffer.size(), size - done)));
            if (n <= 0) {
                ok = Fail("\"" + stored + "\" could not be read whole");
                break;
            }
            ok = Put(buffer.data(), static_cast<size_t>(n));
            done += static_cast<uint64_t>(n);
        }
        close(fd);
        return ok && Pad(size);
    }
    if (!S_ISDIR(st.st_mode))
        return true;
    if (!Header(stored + "/", st, '5', "", 0))
        return false;
    int fd =
        openat(dirFd, leaf.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (top ? 0 : O_NOFOLLOW));
    DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        if (fd >= 0)
            close(fd);
        return Fail("cannot read folder \"" + stored + "\"");
    }
    std::vector<std::string> names;
    while (struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        names.emplace_back(name);
    }
    std::sort(names.begin(), names.end());
    bool ok = true;
    for (const std::string& name : names)
        if (!(ok = Add(dirfd(dir), name, stored + "/" + name, false)))
            break;
    closedir(dir);
    return ok;
}

bool TarWriter::Write(const char* item, const char* archive) {
    fError.clear();
    std::string itemParent, itemLeaf, archiveParent, archiveLeaf;
    if (!posixfs::SplitParentLeaf(item, itemParent, itemLeaf) ||
        !posixfs::SplitParentLeaf(archive, archiveParent, archiveLeaf))
        return Fail("not a valid path");
    int dirFd = open(itemParent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0)
        return Fail("cannot open \"" + itemParent + "\": " + strerror(errno));
    std::string temporary = archiveParent + "/" + posixfs::TemporaryLeaf("tar");
    fFd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fFd < 0) {
        close(dirFd);
        return Fail("cannot create the archive: " + std::string(strerror(errno)));
    }
    static const char end[2 * kBlock] = {};
    bool ok = Add(dirFd, itemLeaf, itemLeaf, true) && Put(end, sizeof(end));
    if (close(fFd) != 0)
        ok = Fail(std::string("cannot write the archive: ") + strerror(errno));
    fFd = -1;
    close(dirFd);
    if (ok && rename(temporary.c_str(), archive) != 0)
        ok = Fail(std::string("cannot put the archive in place: ") + strerror(errno));
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}
