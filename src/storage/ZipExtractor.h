#pragma once

// Unpacks a ZIP archive read through a ZipSource straight into the file system: no
// temporary archive, no external tool, no whole-entry buffer. The archive is hostile
// input: names that are absolute or climb out with "..", links that point outside what
// is unpacked, unknown compression, encryption and CRC or size mismatches are refused
// with a reason in Error(). Folders are never entered through a symbolic link, every
// file is written under a temporary name and renamed into place when complete, and
// modes (without set-id bits), symbolic links and times are restored.

#include <cstdint>
#include <string>
#include <vector>

#include "storage/ZipDirectory.h"
#include "storage/ZipSource.h"

class ZipExtractor {
public:
    explicit ZipExtractor(ZipSource& source);
    ~ZipExtractor();
    ZipExtractor(const ZipExtractor&) = delete;
    ZipExtractor& operator=(const ZipExtractor&) = delete;

    // Unpacks the archive's one top-level item so that it becomes destination (a full
    // path; its folder must exist). expectedName, when not null or empty, is the name
    // the item must bear inside the archive. A folder item is unpacked beside the
    // destination and renamed into place only when complete, so a refused archive
    // leaves nothing behind; over an existing folder the contents are merged.
    bool ExtractItem(const char* destination, const char* expectedName);
    // Unpacks every entry into folder (which must exist), overwriting files.
    bool ExtractAll(const char* folder);

    // Copies the source's bytes unchanged to destination (temporary name, then rename).
    static bool CopyRaw(ZipSource& source, const char* destination, std::string& error);

    const std::string& Error() const { return fError; }

    struct Entry;

private:
    bool Open();
    void Close() {}
    bool NextEntry(Entry& entry, bool& done);
    bool ReadEntry(Entry& entry);
    bool Validate(bool itemMode, const char* expectedName, std::string& top, bool& topIsFolder);
    bool Unpack(int baseFd, bool itemMode, const std::string& leaf);
    bool WriteFile(int dirFd, const std::string& leaf, const Entry& entry);
    bool WriteLink(int dirFd, const std::string& leaf, const Entry& entry);
    bool ReadLinkTarget(const Entry& entry, std::string& target);
    // Streams the current entry's data through the decoder into sink; checks size and CRC.
    bool Decode(const Entry& entry, bool (*sink)(void*, const void*, size_t), void* context);
    bool CheckLinks(int rootFd, const std::vector<std::vector<std::string>>& links);
    bool Fail(const std::string& reason);

    ZipSource& fSource;
    ZipDirectory fDirectory;
    ZipDirectory::Entry fRecord;
    std::string fError;
    std::vector<unsigned char> fIn;
    std::vector<unsigned char> fOut;
    std::vector<unsigned char> fLocalExtra;
    // Access time from the entry's local header, -1 when it has none.
    int64_t fLocalAccessTime = -1;
    void* fInflater = nullptr; // the whole-buffer inflater, made when first needed
};
