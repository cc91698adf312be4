#pragma once

// Packs a file or folder into a ZIP archive that Info-ZIP's unzip reads back exactly:
// Unix modes in the external attributes, symbolic links as link entries (never
// followed inside the item), modification and access times in the extended-timestamp
// field, the nodes' attributes in a field of our own (storage/ZipAttributes.h), Zip64
// for files of 4 GiB and more.
//
// Files are compressed on a pool of worker threads, one piece each (files up to 1 MiB)
// or in pieces of 1 MiB (larger files: each piece on its own, ended with a sync flush, so
// the pieces join into one deflate stream; a table of the pieces in the central
// directory lets the installer inflate them on several cores too). The archive is written
// in order on the calling thread while the workers run ahead by a bounded number of
// pieces: memory stays bounded whatever the size of the item, and the same tree always
// gives the same bytes whatever the number of threads.

#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class WorkPool;

class ZipPacker {
public:
    // `threads` 0 shares one pool of a thread per processor with every other packer.
    explicit ZipPacker(unsigned threads = 0);
    ~ZipPacker();
    ZipPacker(const ZipPacker&) = delete;
    ZipPacker& operator=(const ZipPacker&) = delete;

    // Writes the archive to fd (a new, empty, seekable file) holding the item at path
    // under storedName (the item's own leaf when null or empty). level 0 stores, 1 to 9
    // compress. A link given as the item itself is followed; links inside a folder are
    // kept as links and must point inside the item.
    bool Pack(const char* path, const char* storedName, int fd, int level);

    const std::string& Error() const { return fError; }

    struct Entry;
    struct Piece;

private:
    bool AddTree(int dirFd, const std::string& leaf, const std::string& stored,
                 const std::string& source, size_t depth, bool followLink);
    bool AddFile(int fd, const std::string& stored, const std::string& source,
                 const struct stat& st);
    // The central extra fields of an entry: its time and the node's attributes.
    bool CentralFields(int fd, const std::string& source, const struct stat& st,
                       std::vector<unsigned char>& fields);
    // Queues a piece (handing it to the workers when it needs work) and writes finished
    // pieces while too many wait.
    bool Emit(const std::shared_ptr<Piece>& piece, bool needsWork);
    // Waits for the oldest piece and writes it.
    bool WriteFront();
    bool Drain();
    // Fills in the compressed sizes of the piece tables, once the archive is written.
    bool WritePieceTables(int fd);
    bool WritePiece(Piece& piece);
    bool OpenEntry(const Entry& entry, int method, bool raw);
    bool Fail(const std::string& reason);

    WorkPool* fPool = nullptr;
    std::unique_ptr<WorkPool> fOwnPool;
    size_t fWindow = 4;
    std::deque<std::shared_ptr<Piece>> fPending;
    void* fZip = nullptr;
    int fLevel = 6;
    uint64_t fEntries = 0;
    // The piece tables of the archive's files compressed in pieces, in archive order.
    struct PieceTable {
        std::string name;
        std::vector<uint32_t> sizes;
    };
    std::vector<PieceTable> fPieceTables;
    std::string fError;
    // Folder parts of the entry being added below the item, to check link targets.
    std::vector<std::string> fFolder;
};
