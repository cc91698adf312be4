#pragma once

// Regular files.

#include "platform/storage/Node.h"

class BResources;

class BFile : public BNode {
public:
    BFile();
    BFile(const entry_ref* ref, uint32 openMode);
    BFile(const BEntry* entry, uint32 openMode);
    BFile(const char* path, uint32 openMode);
    BFile(const BDirectory* dir, const char* path, uint32 openMode);
    BFile(const BFile& other);
    ~BFile() override;

    BFile& operator=(const BFile& other);

    // Open modes: B_READ_ONLY, B_WRITE_ONLY or B_READ_WRITE, combined with
    // B_CREATE_FILE, B_ERASE_FILE, B_FAIL_IF_EXISTS and B_OPEN_AT_END. Links are
    // followed. A running program's file cannot be opened for writing on Linux: it is
    // then opened read-only, InitCheck() is B_OK so attributes can still be written,
    // and data writes answer B_BUSY.
    status_t SetTo(const entry_ref* ref, uint32 openMode);
    status_t SetTo(const BEntry* entry, uint32 openMode);
    status_t SetTo(const char* path, uint32 openMode);
    status_t SetTo(const BDirectory* dir, const char* path, uint32 openMode);

    bool IsReadable() const;
    bool IsWritable() const;

    ssize_t Read(void* buffer, size_t size);
    ssize_t ReadAt(off_t position, void* buffer, size_t size);
    ssize_t Write(const void* buffer, size_t size);
    ssize_t WriteAt(off_t position, const void* buffer, size_t size);
    off_t Seek(off_t position, uint32 seekMode);
    off_t Position() const;
    status_t GetSize(off_t* size) const;
    status_t SetSize(off_t size);

    uint32 OpenMode() const { return fMode; }

private:
    friend class BResources;
    status_t OpenFile(const std::string& path, uint32 openMode);

    uint32 fMode;
    bool fWriteRefused; // opened read-only because the file is a running program
};
