#pragma once

// A program's resources: typed, numbered, named blobs kept in a container appended to
// the file (after the ELF image, which stays untouched so the program still runs). The
// layout is in docs/formats.md.
//
// Reading never loads more than asked for: the index is read when the file is set,
// resource bytes are read in place with positioned reads. Changes are collected and
// written by Sync(), by Unset()/SetTo() and by the destructor: the container is rewritten
// into a temporary file in the same folder that then replaces the original atomically,
// keeping its mode, owner and attributes. Sync() reports errors and re-points the BFile
// given to SetTo at the new file; call it when the result matters.

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/storage/StorageDefs.h"

class BFile;

// A resource given by its bytes, for write_program_file.
struct NewResource {
    type_code type = 0;
    int32 id = 0;
    std::string name;
    std::string bytes;
};

// Linux extension: writes a new program file at `path` in one pass: the first `imageSize`
// bytes of `imageFd` (a program image) followed by a container of `resources`. The file is
// written under a temporary name in the same folder, given `mode`, synced and renamed into
// place, so it needs its own size once and a failure leaves nothing at path or beside it.
status_t write_program_file(const char* path, int imageFd, off_t imageSize,
                            const std::vector<NewResource>& resources, mode_t mode);

class BResources {
public:
    BResources();
    BResources(const BFile* file, bool clobber = false);
    virtual ~BResources();

    // Reads the container of `file`. With clobber, an existing container is ignored and
    // will be replaced by the next write. A damaged container answers B_BAD_DATA and
    // leaves the object unset (nothing is overwritten).
    status_t SetTo(const BFile* file, bool clobber = false);
    void Unset();
    status_t InitCheck() const;

    // The whole resource, read and checked against its CRC-32; the pointer belongs to
    // the object and stays valid until the resource changes or the object is unset.
    const void* LoadResource(type_code type, int32 id, size_t* size);
    const void* LoadResource(type_code type, const char* name, size_t* size);
    status_t PreloadResourceType(type_code type = 0);

    status_t Sync();

    // Adds or replaces the resource (type, id) with a copy of the bytes.
    status_t AddResource(type_code type, int32 id, const void* data, size_t length,
                         const char* name = nullptr);
    // Adds or replaces the resource with the contents of a file, streamed at the next
    // write; nothing is held in memory. The file must stay unchanged until then.
    status_t AddResourceFromFile(type_code type, int32 id, const char* path,
                                 const char* name = nullptr);
    // The same for `length` bytes at `offset` of an open descriptor (duplicated).
    status_t AddResourceFromDescriptor(type_code type, int32 id, int fd, off_t offset, off_t length,
                                       const char* name = nullptr);
    // Reads a stream (a pipe, say) to its end into a spool file beside the target and
    // adds that; memory stays bounded.
    status_t AddResourceFromStream(type_code type, int32 id, int fd, const char* name = nullptr);

    bool HasResource(type_code type, int32 id);
    bool HasResource(type_code type, const char* name);

    bool GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
                         const char** nameFound, size_t* lengthFound);
    bool GetResourceInfo(type_code byType, int32 andIndex, int32* idFound, const char** nameFound,
                         size_t* lengthFound);
    bool GetResourceInfo(type_code byType, int32 andId, const char** nameFound,
                         size_t* lengthFound);
    bool GetResourceInfo(type_code byType, const char* andName, int32* idFound,
                         size_t* lengthFound);
    bool GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
                         size_t* lengthFound, const char** nameFound);

    status_t RemoveResource(const void* resource);
    status_t RemoveResource(type_code type, int32 id);

    // Writes into a resource at an offset, growing it when needed. The resource is held
    // in memory until the next write of the container: meant for small resources.
    status_t WriteResource(type_code type, int32 id, const void* data, off_t offset, size_t length);
    // Reads part of a resource in place (no CRC check: the whole is not read). Returns
    // B_OK with fewer bytes only at the resource's end: `*bytesRead` tells how many.
    status_t ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length,
                          size_t* bytesRead = nullptr);

    // A malloc'd copy of the whole resource (checked against its CRC-32) that the caller
    // releases with free(); null when absent, unreadable or damaged.
    void* FindResource(type_code type, int32 id, size_t* lengthFound);
    void* FindResource(type_code type, const char* name, size_t* lengthFound);

    // Where the bytes of a resource lie in the file, for reading them straight from it.
    // B_BUSY while the resource has unwritten changes.
    status_t GetResourceLocation(type_code type, int32 id, off_t* offset, off_t* length);
    // Streams the resource once and compares its CRC-32.
    status_t VerifyResource(type_code type, int32 id);
    // Linux extension: the path of the file, and its size as a 64-bit value.
    const char* FilePath() const;
    off_t ResourceSize(type_code type, int32 id);
    // Linux extension: the descriptor that the offsets of GetResourceLocation refer to,
    // for positioned reads only (-1 when unset). It changes when the container is written.
    int FileDescriptor() const;
    // Linux extension: where the container begins, which is the size of the program image
    // before it (the file's size when it has no container); -1 when unset.
    off_t ContainerStart() const;

private:
    struct Item;
    struct State;

    Item* Find(type_code type, int32 id);
    Item* Find(type_code type, const char* name);
    status_t ReadWhole(Item& item, std::vector<uint8>* out);
    status_t WriteContainer();

    std::unique_ptr<State> fState;
};
