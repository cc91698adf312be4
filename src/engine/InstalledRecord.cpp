#include "engine/InstalledRecord.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/InstallConfig.h"
#include "engine/InstallPaths.h"
#include "files/LibAppResource.h"
#include "files/OwnFile.h"
#include "lib/PosixFs.h"

namespace {

// A list larger than this is not one of ours.
constexpr off_t kMaxRecordSize = 64 * 1024 * 1024;

std::string Reason(const std::string& path) {
    return path + ": " + std::strerror(errno);
}

bool ReadFromResource(const std::string& deinstaller, BMessage& list) {
    ownfile::Verdict verdict = ownfile::Verdict::Missing;
    int fd = ownfile::Open(deinstaller, O_RDONLY, verdict);
    if (fd < 0)
        return false;
    close(fd);
    LibAppResource resources(deinstaller.c_str(), uint32(B_READ_ONLY));
    if (!resources.IsAttached())
        return false;
    size_t size = 0;
    const void* bytes = resources.LoadResource(B_STRING_TYPE, kInstalledResourceId, &size);
    return bytes != nullptr && list.Unflatten(static_cast<const char*>(bytes), size) == B_OK;
}

} // namespace

namespace InstalledRecord {

std::string PathFor(const std::string& deinstaller) {
    return InstallPaths::Join(InstallPaths::Parent(deinstaller),
                              "." + InstallPaths::Leaf(deinstaller) + ".tarnw-record");
}

bool Write(const std::string& deinstaller, const BMessage& list, std::string& error) {
    std::string path = PathFor(deinstaller);
    std::string folder = InstallPaths::Parent(path);
    std::string temporary = InstallPaths::Join(folder, posixfs::TemporaryLeaf("record"));
    std::string bytes = list.Flatten();
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = Reason(temporary);
        return false;
    }
    bool written = posixfs::WriteAll(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
    if (!written)
        error = Reason(temporary);
    if (close(fd) != 0 && written) {
        error = Reason(temporary);
        written = false;
    }
    if (written && rename(temporary.c_str(), path.c_str()) != 0) {
        error = Reason(path);
        written = false;
    }
    if (!written) {
        unlink(temporary.c_str());
        return false;
    }
    posixfs::SyncFolder(folder);
    return true;
}

bool Read(const std::string& deinstaller, BMessage& list, std::string& error, bool* notOwn) {
    std::string path = PathFor(deinstaller);
    std::string bytes;
    ownfile::Verdict verdict = ownfile::Verdict::Missing;
    if (notOwn != nullptr)
        *notOwn = false;
    if (!ownfile::ReadAll(path, size_t(kMaxRecordSize), bytes, verdict, error)) {
        if (verdict == ownfile::Verdict::Missing && ReadFromResource(deinstaller, list))
            return true;
        if (notOwn != nullptr)
            *notOwn = verdict == ownfile::Verdict::NotAFile ||
                      verdict == ownfile::Verdict::Foreign || verdict == ownfile::Verdict::Shared;
        return false;
    }
    if (list.Unflatten(bytes.data(), bytes.size()) != B_OK) {
        error = path + ": damaged";
        return false;
    }
    return true;
}

std::string FolderIdentity(const std::string& folder, uint64_t device, uint64_t inode) {
    return std::to_string(device) + ":" + std::to_string(inode) + ":" + folder;
}

bool ParseFolderIdentity(const std::string& text, std::string& folder, uint64_t& device,
                         uint64_t& inode) {
    size_t first = text.find(':');
    size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos)
        return false;
    std::string numbers[2] = {text.substr(0, first), text.substr(first + 1, second - first - 1)};
    for (const std::string& number : numbers) {
        if (number.empty() || number.size() > 19 ||
            number.find_first_not_of("0123456789") != std::string::npos)
            return false;
    }
    device = std::stoull(numbers[0]);
    inode = std::stoull(numbers[1]);
    folder = text.substr(second + 1);
    return true;
}

} // namespace InstalledRecord
