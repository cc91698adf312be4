#pragma once

// An entry's place in the Trash as the freedesktop Trash keeps it: FILES/NAME holds the
// entry and INFO/NAME.trashinfo says where it came from and when. The record is made
// first and exclusively, so that it reserves the name against anyone trashing at the
// same time.

#include <string>

#include "lib/Result.h"

class TrashRecord {
public:
    // Reserves the first free name for `leaf`: "a", "a copy", "a copy 1", ... With
    // `overwrite`, an entry already in the Trash under `leaf` and its record are removed
    // first. A failure says why no record could be made.
    static Result<TrashRecord> Reserve(const std::string& files, const std::string& info,
                                       const std::string& leaf, bool overwrite = false);

    TrashRecord(TrashRecord&& other) noexcept;
    TrashRecord& operator=(TrashRecord&&) = delete;
    ~TrashRecord(); // an unwritten record is taken back

    // Where the entry goes, and its record.
    const std::string& Target() const { return fTarget; }
    const std::string& InfoPath() const { return fInfoPath; }

    // Writes where the entry came from (an absolute path) and the time now. A failure
    // takes the record back.
    Result<void> Write(const std::string& originalPath);
    // Takes the record back: the entry did not go into the Trash after all.
    void Discard();

private:
    TrashRecord(std::string target, std::string infoPath, int fd)
        : fTarget(std::move(target)), fInfoPath(std::move(infoPath)), fFd(fd) {}

    std::string fTarget;
    std::string fInfoPath;
    int fFd = -1;
    bool fWritten = false;
};
