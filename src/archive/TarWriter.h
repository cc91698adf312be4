#pragma once

// Writes a POSIX tar archive (ustar, with pax records for long names, long link texts
// and sizes beyond the ustar limit) of one file, link or folder under its leaf name.
// The archive is written under a temporary name and renamed into place.

#include <sys/stat.h>

#include <cstdint>
#include <string>

class TarWriter {
public:
    bool Write(const char* item, const char* archive);
    const std::string& Error() const { return fError; }

private:
    bool Add(int dirFd, const std::string& leaf, const std::string& stored, bool top);
    bool Header(const std::string& name, const struct stat& st, char type, const std::string& link,
                uint64_t size);
    bool Put(const void* data, size_t size);
    bool Pad(uint64_t size);
    bool Fail(const std::string& reason);

    int fFd = -1;
    std::string fError;
};
