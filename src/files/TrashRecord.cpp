#include "files/TrashRecord.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/PosixFs.h"
#include "platform/support/PercentCoding.h"

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

} // namespace

Result<TrashRecord> TrashRecord::Reserve(const std::string& files, const std::string& info,
                                         const std::string& leaf, bool overwrite) {
    for (int counter = -1; counter < 100000; counter++) {
        std::string name =
            counter < 0 ? leaf
                        : leaf + " copy" + (counter > 0 ? " " + std::to_string(counter) : "");
        std::string target = files + "/" + name;
        std::string record = info + "/" + name + ".trashinfo";
        if (overwrite && counter < 0) {
            posixfs::RemoveTree(target.c_str());
            unlink(record.c_str());
        }
        if (Exists(target))
            continue;
        int fd = open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            return TrashRecord(target, record, fd);
        if (errno != EEXIST)
            return Failure::System("cannot make the Trash record", record);
    }
    return Failure::Because("cannot make the Trash record", info + "/" + leaf + ".trashinfo",
                            "every name it could have is taken");
}

TrashRecord::TrashRecord(TrashRecord&& other) noexcept
    : fTarget(std::move(other.fTarget)), fInfoPath(std::move(other.fInfoPath)), fFd(other.fFd),
      fWritten(other.fWritten) {
    other.fFd = -1;
    other.fWritten = true;
}

TrashRecord::~TrashRecord() {
    if (!fWritten)
        Discard();
}

Result<void> TrashRecord::Write(const std::string& originalPath) {
    if (fFd < 0)
        return Failure::Because("cannot write the Trash record", fInfoPath,
                                "it was already written or taken back");
    char when[32];
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    strftime(when, sizeof(when), "%Y-%m-%dT%H:%M:%S", &local);
    std::string text =
        "[Trash Info]\nPath=" + PercentEncodePath(originalPath) + "\nDeletionDate=" + when + "\n";
    bool written = posixfs::WriteAll(fFd, text.data(), text.size());
    int error = errno;
    close(fFd);
    fFd = -1;
    if (!written) {
        unlink(fInfoPath.c_str());
        fWritten = true;
        return Failure::System("cannot write the Trash record", fInfoPath, error);
    }
    fWritten = true;
    return Done();
}

void TrashRecord::Discard() {
    if (fFd >= 0)
        close(fFd);
    fFd = -1;
    if (!fInfoPath.empty())
        unlink(fInfoPath.c_str());
    fWritten = true;
}
