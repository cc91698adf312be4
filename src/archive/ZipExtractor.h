#pragma once

// Unpacks a ZIP archive read through a ZipSource straight into the file system: no
// temporary archive, no external tool, no whole-entry buffer. The archive is hostile
// input: names that are absolute, climb out with ".." or appear twice, links that point
// outside what is unpacked, unknown compression, encryption, malformed attribute fields
// and CRC or size mismatches are refused with a reason in Error(). Folders are never
// entered through a symbolic link. Each file is written in one pass: its data, its
// attributes (those the archive carries and those given with SetAttributes; no MIME type
// unless carried, since a file without one has the type its content shows), mode and
// times all go through the open descriptor before the file gets its place. Modes
// (without set-id bits; folders keep the sticky bit), symbolic links and times are
// restored. Files, and the pieces of a large file that lists them, are unpacked on the
// machine's cores at once, each thread with bounded buffers.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "archive/InflatePool.h"
#include "archive/ZipDirectory.h"
#include "archive/ZipInflater.h"
#include "archive/ZipSource.h"

class ZipExtractor {
public:
    // An attribute in the node layer's terms: its name without "user.", its type code
    // and its bytes.
    struct Attribute {
        std::string name;
        uint32_t type = 0;
        std::string value;
    };

    explicit ZipExtractor(ZipSource& source);
    ~ZipExtractor();
    ZipExtractor(const ZipExtractor&) = delete;
    ZipExtractor& operator=(const ZipExtractor&) = delete;

    // Attributes to set on every file and folder the extraction creates, after those the
    // archive carries (so these win). Symbolic links get none.
    void SetAttributes(std::vector<Attribute> attributes) { fAttributes = std::move(attributes); }
    // The file creation mask to create with, when the caller knows it (ProcessUmask()
    // once for many extractions); otherwise each extraction reads it.
    void SetUmask(unsigned mask) {
        fUmask = mask & 0777;
        fUmaskKnown = true;
    }
    // The process's file creation mask, read without changing it.
    static unsigned ProcessUmask();
    // Lets ExtractItem write a new item where it belongs instead of beside it: a file
    // under its own name, a folder unpacked in place. For a caller that records the
    // item's name before the extraction and removes it if the run is stopped (a journal),
    // so that nobody sees a partial item for long; it saves a rename per file item and a
    // staging folder per folder item. An item whose name is taken is still written
    // beside it and renamed over it.
    void SetWriteInPlace(bool inPlace) { fWriteInPlace = inPlace; }
    // An open descriptor of path, the folder that ExtractItem's destinations lie in, for
    // a caller that extracts many items there (not owned; it must stay open).
    void SetDestinationFolder(int fd, std::string path) {
        fFolderFd = fd;
        fFolderPath = std::move(path);
    }
    // Where ExtractItem may hand the writing of an item that is one small file (with
    // SetWriteInPlace): the call then checks the archive, returns true, and the file is
    // written on another thread, which tells `finished` (true, or false with the
    // reason; the file is then gone again). This extractor and its source must live until
    // the queue has run the task.
    void SetFileItemQueue(InflatePool::Batch* queue,
                          std::function<void(bool ok, const std::string& error)> finished) {
        fQueue = queue;
        fQueueFinished = std::move(finished);
    }
    // Whether the last ExtractItem handed its file to the queue.
    bool Queued() const { return fQueued; }
    // Times for the item itself (seconds; none keeps the archive's), set on it as it is
    // placed rather than by a later call that resolves its path again.
    void SetItemTimes(std::optional<int64_t> accessed, std::optional<int64_t> modified) {
        fItemAccessed = accessed;
        fItemModified = modified;
    }

    // Unpacks the archive's one top-level item so that it becomes destination (a full
    // path; its folder must exist). expectedName, when not null, is the name the item
    // must bear inside the archive (an empty one matches nothing). A folder item is
    // unpacked into a fresh hidden folder beside the destination, its files created
    // under their own names, and renamed into place only when complete, so a refused
    // archive leaves nothing behind; over an existing folder the contents are merged,
    // each file written under a temporary name and renamed into place.
    bool ExtractItem(const char* destination, const char* expectedName);
    // Unpacks every entry into folder (which must exist), overwriting files.
    bool ExtractAll(const char* folder);

    // What the last extraction made or tagged, in archive order: paths relative to the
    // item ("" is the item itself), or to the folder for ExtractAll.
    const std::vector<std::string>& Created() const { return fCreated; }

    // Copies the source's bytes unchanged to destination (temporary name, then rename).
    static bool CopyRaw(ZipSource& source, const char* destination, std::string& error);

    const std::string& Error() const { return fError; }

    struct Entry;
    struct Job;
    struct PiecedFile;

private:
    bool Open();
    bool NextEntry(Entry& entry, bool& done);
    bool ReadEntry(Entry& entry);
    bool Validate(bool itemMode, const char* expectedName, std::string& top, bool& topIsFolder);
    bool Unpack(int baseFd, bool itemMode, const std::string& leaf, bool fresh);
    bool WriteFile(ZipInflater& inflater, const Job& job, std::string& error) const;
    // The new file's descriptor, and in name what it was created under.
    int CreateFile(const Job& job, bool exact, std::string& name) const;
    // The rest of a file once its data is written: attributes, mode, times, its place.
    bool PlaceFile(int fd, const Job& job, const std::string& name, bool exact, int64_t accessed,
                   bool ok, std::string& error) const;
    // A file compressed in independent pieces, inflated on several threads: opened on the
    // walking thread, each piece written at its place, finished by whichever thread
    // writes the last piece.
    bool OpenPieces(PiecedFile& file, std::string& error) const;
    bool WritePiece(PiecedFile& file, size_t piece, std::string& error) const;
    bool FinishPieces(PiecedFile& file, std::string& error) const;
    bool WriteLink(int dirFd, const std::string& leaf, const Entry& entry, bool fresh);
    bool ReadLinkTarget(const Entry& entry, std::string& target);
    bool CheckLinks(int rootFd, const std::vector<std::vector<std::string>>& links);
    bool Fail(const std::string& reason);

    ZipSource& fSource;
    ZipDirectory fDirectory;
    ZipDirectory::Entry fRecord;
    ZipInflater fInflater; // for link targets, read on the calling thread
    std::vector<Attribute> fAttributes;
    std::vector<std::string> fCreated;
    std::string fError;
    // From the last validation: how many files, and their bytes.
    uint64_t fFiles = 0;
    uint64_t fBytes = 0;
    unsigned fUmask = 022;
    bool fUmaskKnown = false;
    bool fWriteInPlace = false;
    int fFolderFd = -1;
    std::string fFolderPath;
    InflatePool::Batch* fQueue = nullptr;
    std::function<void(bool, const std::string&)> fQueueFinished;
    bool fQueued = false;
    std::optional<int64_t> fItemAccessed;
    std::optional<int64_t> fItemModified;
};
