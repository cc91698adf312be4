#pragma once

// Packs a file or folder into a ZIP archive that Info-ZIP's unzip reads back exactly:
// Unix modes in the external attributes, symbolic links as link entries (never
// followed inside the item), modification and access times in the extended-timestamp
// field, Zip64 for files of 4 GiB and more. Files are streamed: memory stays bounded
// whatever the size of the item.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class ZipPacker {
public:
    ZipPacker();
    ~ZipPacker();
    ZipPacker(const ZipPacker&) = delete;
    ZipPacker& operator=(const ZipPacker&) = delete;

    // Writes the archive to fd (a new, empty, seekable file) holding the item at path
    // under storedName (the item's own leaf when null or empty). level 0 stores, 1 to 9
    // compress. A link given as the item itself is followed; links inside a folder are
    // kept as links and must point inside the item.
    bool Pack(const char* path, const char* storedName, int fd, int level);

    const std::string& Error() const { return fError; }

private:
    bool AddTree(int dirFd, const std::string& leaf, const std::string& stored, size_t depth,
                 bool followLink);
    bool AddFolder(const std::string& stored, const struct stat& st);
    bool AddFile(int fd, const std::string& stored, const struct stat& st);
    bool AddLink(const std::string& stored, const std::string& target, const struct stat& st);
    bool OpenEntry(const std::string& name, const struct stat& st, uint32_t externalAttributes,
                   int method, int level, bool raw, bool zip64);
    bool Fail(const std::string& reason);

    void* fZip = nullptr;
    int fLevel = 6;
    uint64_t fEntries = 0;
    std::string fError;
    std::vector<unsigned char> fIn;
    std::vector<unsigned char> fOut;
    void* fCompressor = nullptr;
    int fCompressorLevel = 0;
    // Folder parts of the entry being added below the item, to check link targets.
    std::vector<std::string> fFolder;
};
