#include "engine/InstalledRecord.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/InstallConfig.h"
#include "engine/InstallPaths.h"
#include "storage/LibAppResource.h"
#include "storage/OwnFile.h"
#include "storage/PosixFs.h"

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

} // namespace InstalledRecord
