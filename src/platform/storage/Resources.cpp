#include "platform/storage/Resources.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

#include "platform/storage/Crc32.h"
#include "platform/storage/File.h"
#include "platform/storage/ResourceFormat.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;
namespace rf = resource_format;

namespace {
constexpr size_t kCopyBlock = 1 << 20;
// Resources at least this large are checked in two halves at once.
constexpr uint64 kParallelCheckSize = 16 << 20;
// An index larger than this is not believed (a million small resources still fit).
constexpr uint64 kMaxIndexSize = 64u << 20;

bool AllZero(const uint8* data, size_t length) {
    return length == 0 || (data[0] == 0 && memcmp(data, data + 1, length - 1) == 0);
}

// Copies `length` bytes from src at srcOffset to dst at dstOffset, leaving holes where
// the source is zero (payloads made of zeros stay sparse), and continues a CRC.
status_t CopyRange(int src, uint64 srcOffset, uint64 length, int dst, uint64 dstOffset,
                   uint32* crc) {
    // A source that shrank since it was added must not turn into zeros.
    struct stat st;
    if (fstat(src, &st) != 0)
        return ErrnoStatus();
    if (static_cast<uint64>(st.st_size) < srcOffset ||
        static_cast<uint64>(st.st_size) - srcOffset < length)
        return B_IO_ERROR;
    std::vector<uint8> buffer(static_cast<size_t>(std::min<uint64>(length, kCopyBlock)));
    uint64 done = 0;
    while (done < length) {
        uint64 remaining = length - done;
        off_t at = static_cast<off_t>(srcOffset + done);
        // Holes of a sparse source are neither read nor written, only counted.
        off_t data = lseek(src, at, SEEK_DATA);
        uint64 hole = 0;
        if (data > at)
            hole = std::min<uint64>(static_cast<uint64>(data - at), remaining);
        else if (data < 0 && errno == ENXIO)
            hole = remaining;
        if (hole > 0) {
            if (crc != nullptr) {
                std::fill(buffer.begin(), buffer.end(), 0);
                for (uint64 left = hole; left > 0;) {
                    size_t piece = static_cast<size_t>(std::min<uint64>(left, buffer.size()));
                    *crc = crc32_update(*crc, buffer.data(), piece);
                    left -= piece;
                }
            }
            done += hole;
            continue;
        }
        size_t chunk = static_cast<size_t>(std::min<uint64>(remaining, buffer.size()));
        ssize_t got = PreadFully(src, buffer.data(), chunk, at);
        if (got < 0)
            return static_cast<status_t>(got);
        if (static_cast<size_t>(got) != chunk)
            return B_IO_ERROR; // the source shrank
        if (crc != nullptr)
            *crc = crc32_update(*crc, buffer.data(), chunk);
        if (!AllZero(buffer.data(), chunk)) {
            status_t status =
                PwriteFully(dst, buffer.data(), chunk, static_cast<off_t>(dstOffset + done));
            if (status != B_OK)
                return status;
        }
        done += chunk;
    }
    return B_OK;
}

// The CRC-32 of size bytes of fd from offset.
status_t RangeCrc(int fd, uint64 offset, uint64 size, uint32* crc) {
    std::vector<uint8> buffer(static_cast<size_t>(std::min<uint64>(size, kCopyBlock)));
    *crc = 0;
    for (uint64 done = 0; done < size;) {
        size_t chunk = static_cast<size_t>(std::min<uint64>(size - done, buffer.size()));
        ssize_t got = PreadFully(fd, buffer.data(), chunk, static_cast<off_t>(offset + done));
        if (got != static_cast<ssize_t>(chunk))
            return got < 0 ? static_cast<status_t>(got) : B_IO_ERROR;
        *crc = crc32_update(*crc, buffer.data(), chunk);
        done += chunk;
    }
    return B_OK;
}

int ReopenReadOnly(int fd) {
    std::string self = "/proc/self/fd/" + std::to_string(fd);
    int copy = open(self.c_str(), O_RDONLY | O_CLOEXEC);
    if (copy < 0)
        copy = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    return copy;
}

void CopyAttributes(int from, int to) {
    std::vector<std::string> names;
    if (ListXattr(from, "", &names) != B_OK)
        return;
    for (const std::string& name : names) {
        std::vector<uint8> value;
        if (GetXattr(from, "", name, &value) == B_OK)
            SetXattr(to, "", name, value.data(), value.size());
    }
}
// Appends the index and the trailer at *position (the end of the last resource) and
// moves *position to the end of the container.
status_t WriteIndexAndTrailer(int out, uint64 containerStart,
                              const std::vector<rf::IndexEntry>& index, uint64* position) {
    std::vector<uint8> indexBytes = rf::EncodeIndex(index);
    rf::Trailer trailer;
    trailer.count = static_cast<uint32>(index.size());
    trailer.containerStart = containerStart;
    trailer.indexOffset = *position;
    trailer.indexSize = static_cast<uint32>(indexBytes.size());
    trailer.indexCrc = crc32_update(0, indexBytes.data(), indexBytes.size());
    std::vector<uint8> trailerBytes = rf::EncodeTrailer(trailer);
    status_t status =
        PwriteFully(out, indexBytes.data(), indexBytes.size(), static_cast<off_t>(*position));
    *position += indexBytes.size();
    if (status == B_OK)
        status = PwriteFully(out, trailerBytes.data(), trailerBytes.size(),
                             static_cast<off_t>(*position));
    *position += trailerBytes.size();
    return status;
}

// The head at the container's start records the size of the whole file and the program
// image's checksum.
status_t WriteHead(int out, uint64 containerStart, uint64 end, uint32 imageCrc) {
    std::vector<uint8> head = rf::EncodeHead(rf::Head{imageCrc, end});
    return PwriteFully(out, head.data(), head.size(), static_cast<off_t>(containerStart));
}

void SyncFolder(const std::string& folder) {
    int dirFd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
}

// Creates the file a new container is written to, in `folder`, under a hidden name that
// carries the writing process's id (".tarnw-<kind>-<pid>-XXXXXX"): an installer that finds
// one of a process that is gone knows it for a leftover and removes it.
int CreateTemporary(const std::string& folder, const char* kind, std::string* path) {
    std::string pattern = JoinPath(folder, std::string(".tarnw-") + kind + "-" +
                                               std::to_string(getpid()) + "-XXXXXX");
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        *path = name.data();
    return fd;
}
} // namespace

struct BResources::Item {
    enum Kind { kStored, kMemory, kDescriptor };

    ~Item() {
        if (fd >= 0)
            close(fd);
    }

    type_code type = 0;
    int32 id = 0;
    std::string name;
    Kind kind = kStored;
    uint64 offset = 0; // in the container file, or in fd
    uint64 size = 0;
    uint32 crc = 0;
    std::vector<uint8> data;  // kMemory
    int fd = -1;              // kDescriptor
    std::vector<uint8> cache; // LoadResource
    bool cached = false;
};

struct BResources::State {
    ~State() {
        if (fd >= 0)
            close(fd);
    }

    status_t status = B_NO_INIT;
    const BFile* file = nullptr;
    int fd = -1;
    std::string path;
    uint64 containerStart = 0;
    bool writable = false;
    bool dirty = false;
    std::vector<std::unique_ptr<Item>> items;
    // The first item of each (type, id) and (type, name), built when first asked for and
    // dropped whenever the items change: an installer holds thousands of resources, and
    // each of its items looks several of them up.
    bool indexed = false;
    std::unordered_map<uint64, Item*> byId;
    std::unordered_map<std::string, Item*> byName;

    static uint64 IdKey(type_code type, int32 id) { return uint64(type) << 32 | uint32(id); }
    static std::string NameKey(type_code type, const char* name) {
        return std::string(reinterpret_cast<const char*>(&type), sizeof type) + name;
    }
    void Index() {
        if (indexed)
            return;
        byId.clear();
        byName.clear();
        for (auto& item : items) {
            byId.emplace(IdKey(item->type, item->id), item.get());
            byName.emplace(NameKey(item->type, item->name.c_str()), item.get());
        }
        indexed = true;
    }
};

BResources::BResources() : fState(new State) {}

BResources::BResources(const BFile* file, bool clobber) : fState(new State) {
    SetTo(file, clobber);
}

BResources::~BResources() {
    Unset();
}

status_t BResources::InitCheck() const {
    return fState->status;
}

const char* BResources::FilePath() const {
    return fState->status == B_OK ? fState->path.c_str() : nullptr;
}

void BResources::Unset() {
    if (fState->status == B_OK && fState->dirty)
        WriteContainer();
    fState.reset(new State);
}

status_t BResources::SetTo(const BFile* file, bool clobber) {
    Unset();
    State& s = *fState;
    if (file == nullptr || file->InitCheck() != B_OK || file->Descriptor() < 0)
        return s.status = B_BAD_VALUE;
    int fd = ReopenReadOnly(file->Descriptor());
    if (fd < 0)
        return s.status = ErrnoStatus();
    s.fd = fd;
    s.path = file->Path();
    s.file = file;
    s.writable = file->IsWritable();

    struct stat st;
    if (fstat(fd, &st) != 0)
        return s.status = ErrnoStatus();
    uint64 fileSize = static_cast<uint64>(st.st_size);
    s.containerStart = fileSize;
    if (fileSize < rf::kTrailerSize)
        return s.status = B_OK;

    uint8 tail[rf::kTrailerSize];
    ssize_t got = PreadFully(fd, tail, sizeof tail, static_cast<off_t>(fileSize - sizeof tail));
    if (got != static_cast<ssize_t>(sizeof tail))
        return s.status = got < 0 ? static_cast<status_t>(got) : B_IO_ERROR;
    if (!rf::HasMagic(tail, sizeof tail))
        return s.status = B_OK; // a plain program without resources

    rf::Trailer trailer;
    status_t status = rf::ParseTrailer(tail, sizeof tail, fileSize, &trailer);
    if (clobber) {
        // Whatever the old container held is dropped; the program image stays.
        if (status == B_OK)
            s.containerStart = trailer.containerStart;
        if (s.writable && s.containerStart != fileSize)
            s.dirty = true;
        return s.status = B_OK;
    }
    if (status != B_OK || trailer.indexSize > kMaxIndexSize)
        return s.status = B_BAD_DATA;
    std::vector<uint8> index(trailer.indexSize);
    got = PreadFully(fd, index.data(), index.size(), static_cast<off_t>(trailer.indexOffset));
    if (got != static_cast<ssize_t>(index.size()))
        return s.status = got < 0 ? static_cast<status_t>(got) : B_IO_ERROR;
    std::vector<rf::IndexEntry> entries;
    status = rf::ParseIndex(index.data(), index.size(), trailer, &entries);
    if (status != B_OK)
        return s.status = status;
    s.containerStart = trailer.containerStart;
    for (rf::IndexEntry& entry : entries) {
        auto item = std::make_unique<Item>();
        item->type = entry.type;
        item->id = entry.id;
        item->name = std::move(entry.name);
        item->offset = entry.offset;
        item->size = entry.size;
        item->crc = entry.crc;
        s.items.push_back(std::move(item));
    }
    return s.status = B_OK;
}

BResources::Item* BResources::Find(type_code type, int32 id) {
    fState->Index();
    auto found = fState->byId.find(State::IdKey(type, id));
    return found == fState->byId.end() ? nullptr : found->second;
}

BResources::Item* BResources::Find(type_code type, const char* name) {
    if (name == nullptr)
        return nullptr;
    fState->Index();
    auto found = fState->byName.find(State::NameKey(type, name));
    return found == fState->byName.end() ? nullptr : found->second;
}

status_t BResources::ReadWhole(Item& item, std::vector<uint8>* out) {
    if (item.size > SIZE_MAX / 2)
        return B_NO_MEMORY;
    try {
        out->resize(static_cast<size_t>(item.size));
    } catch (const std::bad_alloc&) {
        return B_NO_MEMORY;
    }
    switch (item.kind) {
    case Item::kMemory:
        std::copy(item.data.begin(), item.data.end(), out->begin());
        return B_OK;
    case Item::kDescriptor:
    case Item::kStored: {
        int fd = item.kind == Item::kStored ? fState->fd : item.fd;
        ssize_t got = PreadFully(fd, out->data(), out->size(), static_cast<off_t>(item.offset));
        if (got < 0)
            return static_cast<status_t>(got);
        if (static_cast<uint64>(got) != item.size)
            return B_IO_ERROR;
        if (item.kind == Item::kStored && crc32_update(0, out->data(), out->size()) != item.crc)
            return B_BAD_DATA;
        return B_OK;
    }
    }
    return B_ERROR;
}

const void* BResources::LoadResource(type_code type, int32 id, size_t* size) {
    if (fState->status != B_OK)
        return nullptr;
    Item* item = Find(type, id);
    if (item == nullptr)
        return nullptr;
    if (!item->cached) {
        std::vector<uint8> bytes;
        bytes.reserve(1); // a pointer even for an empty resource
        if (ReadWhole(*item, &bytes) != B_OK)
            return nullptr;
        item->cache = std::move(bytes);
        item->cached = true;
    }
    if (size != nullptr)
        *size = item->cache.size();
    return item->cache.data();
}

const void* BResources::LoadResource(type_code type, const char* name, size_t* size) {
    if (fState->status != B_OK)
        return nullptr;
    Item* item = Find(type, name);
    return item != nullptr ? LoadResource(type, item->id, size) : nullptr;
}

status_t BResources::PreloadResourceType(type_code) {
    return fState->status;
}

status_t BResources::Sync() {
    if (fState->status != B_OK)
        return fState->status;
    if (!fState->dirty)
        return B_OK;
    status_t status = WriteContainer();
    if (status == B_OK && fState->file != nullptr) {
        // The old file was replaced: the caller's BFile follows to the new one.
        BFile* file = const_cast<BFile*>(fState->file);
        uint32 mode = file->OpenMode() &
                      ~static_cast<uint32>(B_CREATE_FILE | B_ERASE_FILE | B_FAIL_IF_EXISTS);
        file->OpenFile(fState->path, mode);
    }
    return status;
}

namespace {
status_t CheckNew(const char* name) {
    if (name != nullptr && strlen(name) > rf::kMaxNameLength)
        return B_NAME_TOO_LONG;
    return B_OK;
}
} // namespace

status_t BResources::AddResource(type_code type, int32 id, const void* data, size_t length,
                                 const char* name) {
    if (fState->status != B_OK)
        return fState->status;
    if (!fState->writable)
        return B_NOT_ALLOWED;
    if (data == nullptr && length > 0)
        return B_BAD_VALUE;
    status_t status = CheckNew(name);
    if (status != B_OK)
        return status;
    auto item = std::make_unique<Item>();
    item->type = type;
    item->id = id;
    item->name = name != nullptr ? name : "";
    item->kind = Item::kMemory;
    const uint8* bytes = static_cast<const uint8*>(data);
    item->data.assign(bytes, bytes + length);
    item->size = length;
    for (auto& existing : fState->items) {
        if (existing->type == type && existing->id == id) {
            existing = std::move(item);
            fState->dirty = true;
            fState->indexed = false;
            return B_OK;
        }
    }
    fState->items.push_back(std::move(item));
    fState->dirty = true;
    fState->indexed = false;
    return B_OK;
}

status_t BResources::AddResourceFromDescriptor(type_code type, int32 id, int fd, off_t offset,
                                               off_t length, const char* name) {
    if (fState->status != B_OK)
        return fState->status;
    if (!fState->writable)
        return B_NOT_ALLOWED;
    if (fd < 0 || offset < 0 || length < 0)
        return B_BAD_VALUE;
    status_t status = CheckNew(name);
    if (status != B_OK)
        return status;
    auto item = std::make_unique<Item>();
    item->fd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (item->fd < 0)
        return ErrnoStatus();
    item->type = type;
    item->id = id;
    item->name = name != nullptr ? name : "";
    item->kind = Item::kDescriptor;
    item->offset = static_cast<uint64>(offset);
    item->size = static_cast<uint64>(length);
    for (auto& existing : fState->items) {
        if (existing->type == type && existing->id == id) {
            existing = std::move(item);
            fState->dirty = true;
            fState->indexed = false;
            return B_OK;
        }
    }
    fState->items.push_back(std::move(item));
    fState->dirty = true;
    fState->indexed = false;
    return B_OK;
}

status_t BResources::AddResourceFromFile(type_code type, int32 id, const char* path,
                                         const char* name) {
    if (fState->status != B_OK)
        return fState->status;
    if (path == nullptr)
        return B_BAD_VALUE;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return ErrnoStatus();
    struct stat st;
    status_t status = fstat(fd, &st) == 0 ? B_OK : ErrnoStatus();
    if (status == B_OK && !S_ISREG(st.st_mode))
        status = B_BAD_VALUE;
    if (status == B_OK)
        status = AddResourceFromDescriptor(type, id, fd, 0, st.st_size, name);
    close(fd);
    return status;
}

status_t BResources::AddResourceFromStream(type_code type, int32 id, int fd, const char* name) {
    if (fState->status != B_OK)
        return fState->status;
    if (!fState->writable)
        return B_NOT_ALLOWED;
    if (fd < 0)
        return B_BAD_VALUE;
    // Spooled beside the target (same file system, no extra copy across devices).
    int spool = open(ParentOf(fState->path).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (spool < 0)
        spool = open(Env("TMPDIR", "/tmp").c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (spool < 0)
        return ErrnoStatus();
    std::vector<uint8> buffer(kCopyBlock);
    off_t total = 0;
    status_t status = B_OK;
    for (;;) {
        ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            status = ErrnoStatus();
            break;
        }
        if (got == 0)
            break;
        status = WriteFully(spool, buffer.data(), static_cast<size_t>(got));
        if (status != B_OK)
            break;
        total += got;
    }
    if (status == B_OK)
        status = AddResourceFromDescriptor(type, id, spool, 0, total, name);
    close(spool);
    return status;
}

bool BResources::HasResource(type_code type, int32 id) {
    return fState->status == B_OK && Find(type, id) != nullptr;
}

bool BResources::HasResource(type_code type, const char* name) {
    return fState->status == B_OK && Find(type, name) != nullptr;
}

bool BResources::GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
                                 const char** nameFound, size_t* lengthFound) {
    if (fState->status != B_OK || byIndex < 0 ||
        static_cast<size_t>(byIndex) >= fState->items.size())
        return false;
    Item& item = *fState->items[static_cast<size_t>(byIndex)];
    if (typeFound)
        *typeFound = item.type;
    if (idFound)
        *idFound = item.id;
    if (nameFound)
        *nameFound = item.name.c_str();
    if (lengthFound)
        *lengthFound = static_cast<size_t>(item.size);
    return true;
}

bool BResources::GetResourceInfo(type_code byType, int32 andIndex, int32* idFound,
                                 const char** nameFound, size_t* lengthFound) {
    if (fState->status != B_OK || andIndex < 0)
        return false;
    int32 seen = 0;
    for (auto& item : fState->items) {
        if (item->type != byType)
            continue;
        if (seen++ == andIndex) {
            if (idFound)
                *idFound = item->id;
            if (nameFound)
                *nameFound = item->name.c_str();
            if (lengthFound)
                *lengthFound = static_cast<size_t>(item->size);
            return true;
        }
    }
    return false;
}

bool BResources::GetResourceInfo(type_code byType, int32 andId, const char** nameFound,
                                 size_t* lengthFound) {
    Item* item = fState->status == B_OK ? Find(byType, andId) : nullptr;
    if (item == nullptr)
        return false;
    if (nameFound)
        *nameFound = item->name.c_str();
    if (lengthFound)
        *lengthFound = static_cast<size_t>(item->size);
    return true;
}

bool BResources::GetResourceInfo(type_code byType, const char* andName, int32* idFound,
                                 size_t* lengthFound) {
    Item* item = fState->status == B_OK ? Find(byType, andName) : nullptr;
    if (item == nullptr)
        return false;
    if (idFound)
        *idFound = item->id;
    if (lengthFound)
        *lengthFound = static_cast<size_t>(item->size);
    return true;
}

bool BResources::GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
                                 size_t* lengthFound, const char** nameFound) {
    if (fState->status != B_OK || byPointer == nullptr)
        return false;
    for (auto& item : fState->items) {
        if (item->cached && item->cache.data() == byPointer) {
            if (typeFound)
                *typeFound = item->type;
            if (idFound)
                *idFound = item->id;
            if (lengthFound)
                *lengthFound = static_cast<size_t>(item->size);
            if (nameFound)
                *nameFound = item->name.c_str();
            return true;
        }
    }
    return false;
}

status_t BResources::RemoveResource(const void* resource) {
    type_code type;
    int32 id;
    if (!GetResourceInfo(resource, &type, &id, nullptr, nullptr))
        return B_BAD_VALUE;
    return RemoveResource(type, id);
}

status_t BResources::RemoveResource(type_code type, int32 id) {
    if (fState->status != B_OK)
        return fState->status;
    if (!fState->writable)
        return B_NOT_ALLOWED;
    auto& items = fState->items;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i]->type == type && items[i]->id == id) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            fState->dirty = true;
            fState->indexed = false;
            return B_OK;
        }
    }
    return B_BAD_VALUE;
}

status_t BResources::WriteResource(type_code type, int32 id, const void* data, off_t offset,
                                   size_t length) {
    if (fState->status != B_OK)
        return fState->status;
    if (!fState->writable)
        return B_NOT_ALLOWED;
    if (offset < 0 || (data == nullptr && length > 0))
        return B_BAD_VALUE;
    Item* item = Find(type, id);
    if (item == nullptr)
        return B_BAD_VALUE;
    if (item->kind != Item::kMemory) {
        std::vector<uint8> bytes;
        status_t status = ReadWhole(*item, &bytes);
        if (status != B_OK)
            return status;
        item->data = std::move(bytes);
        item->kind = Item::kMemory;
        if (item->fd >= 0)
            close(item->fd);
        item->fd = -1;
    }
    size_t end = static_cast<size_t>(offset) + length;
    if (end < length)
        return B_BAD_VALUE;
    if (item->data.size() < end)
        item->data.resize(end, 0);
    if (length > 0)
        memcpy(item->data.data() + offset, data, length);
    item->size = item->data.size();
    item->cached = false;
    item->cache.clear();
    fState->dirty = true;
    return B_OK;
}

status_t BResources::ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length,
                                  size_t* bytesRead) {
    if (bytesRead != nullptr)
        *bytesRead = 0;
    if (fState->status != B_OK)
        return fState->status;
    if (offset < 0 || (data == nullptr && length > 0))
        return B_BAD_VALUE;
    Item* item = Find(type, id);
    if (item == nullptr)
        return B_BAD_VALUE;
    uint64 start = static_cast<uint64>(offset);
    if (start >= item->size)
        return B_OK;
    size_t count = static_cast<size_t>(std::min<uint64>(length, item->size - start));
    if (item->kind == Item::kMemory) {
        memcpy(data, item->data.data() + start, count);
    } else {
        int fd = item->kind == Item::kStored ? fState->fd : item->fd;
        ssize_t got = PreadFully(fd, data, count, static_cast<off_t>(item->offset + start));
        if (got < 0)
            return static_cast<status_t>(got);
        if (static_cast<size_t>(got) != count)
            return B_IO_ERROR;
    }
    if (bytesRead != nullptr)
        *bytesRead = count;
    return B_OK;
}

void* BResources::FindResource(type_code type, int32 id, size_t* lengthFound) {
    if (fState->status != B_OK)
        return nullptr;
    Item* item = Find(type, id);
    if (item == nullptr)
        return nullptr;
    std::vector<uint8> bytes;
    if (item->cached)
        bytes = item->cache;
    else if (ReadWhole(*item, &bytes) != B_OK)
        return nullptr;
    void* copy = malloc(std::max<size_t>(bytes.size(), 1));
    if (copy == nullptr)
        return nullptr;
    if (!bytes.empty())
        memcpy(copy, bytes.data(), bytes.size());
    if (lengthFound != nullptr)
        *lengthFound = bytes.size();
    return copy;
}

void* BResources::FindResource(type_code type, const char* name, size_t* lengthFound) {
    if (fState->status != B_OK)
        return nullptr;
    Item* item = Find(type, name);
    return item != nullptr ? FindResource(type, item->id, lengthFound) : nullptr;
}

status_t BResources::GetResourceLocation(type_code type, int32 id, off_t* offset, off_t* length) {
    if (fState->status != B_OK)
        return fState->status;
    Item* item = Find(type, id);
    if (item == nullptr)
        return B_ENTRY_NOT_FOUND;
    if (item->kind != Item::kStored)
        return B_BUSY;
    if (offset != nullptr)
        *offset = static_cast<off_t>(item->offset);
    if (length != nullptr)
        *length = static_cast<off_t>(item->size);
    return B_OK;
}

off_t BResources::ResourceSize(type_code type, int32 id) {
    if (fState->status != B_OK)
        return fState->status;
    Item* item = Find(type, id);
    return item != nullptr ? static_cast<off_t>(item->size) : static_cast<off_t>(B_ENTRY_NOT_FOUND);
}

status_t BResources::VerifyResource(type_code type, int32 id) {
    if (fState->status != B_OK)
        return fState->status;
    Item* item = Find(type, id);
    if (item == nullptr)
        return B_ENTRY_NOT_FOUND;
    if (item->kind != Item::kStored)
        return B_OK;
    // A large resource is read in two halves at once: the check that precedes a run then
    // costs half the time on two cores.
    uint32 crc = 0;
    status_t status = B_OK;
    if (item->size >= kParallelCheckSize && std::thread::hardware_concurrency() > 1) {
        uint64 half = item->size / 2;
        uint32 secondCrc = 0;
        status_t second = B_OK;
        std::thread helper([&] {
            second = RangeCrc(fState->fd, item->offset + half, item->size - half, &secondCrc);
        });
        status = RangeCrc(fState->fd, item->offset, half, &crc);
        helper.join();
        if (status == B_OK)
            status = second;
        crc = crc32_combine_lengths(crc, secondCrc, item->size - half);
    } else {
        status = RangeCrc(fState->fd, item->offset, item->size, &crc);
    }
    if (status != B_OK)
        return status;
    return crc == item->crc ? B_OK : B_BAD_DATA;
}

// Writes the program image, every resource, the index and the trailer into a new file
// beside the old one and renames it over the old one.
status_t BResources::WriteContainer() {
    State& s = *fState;
    if (!s.writable)
        return B_NOT_ALLOWED;
    std::string folder = ParentOf(s.path);
    std::string temporary;
    int out = CreateTemporary(folder, "rewrite", &temporary);
    if (out < 0)
        return ErrnoStatus();

    struct Placed {
        uint64 offset;
        uint32 crc;
    };
    std::vector<Placed> placed;
    uint32 imageCrc = 0;
    status_t status = CopyRange(s.fd, 0, s.containerStart, out, 0, &imageCrc);
    uint64 position = s.containerStart + (s.items.empty() ? 0 : rf::kHeadSize);
    std::vector<rf::IndexEntry> index;
    for (size_t i = 0; status == B_OK && i < s.items.size(); ++i) {
        Item& item = *s.items[i];
        rf::IndexEntry entry;
        entry.type = item.type;
        entry.id = item.id;
        entry.name = item.name;
        entry.offset = position;
        entry.size = item.size;
        switch (item.kind) {
        case Item::kStored:
            // The recorded CRC is kept, so damage in the old file stays detectable.
            entry.crc = item.crc;
            status = CopyRange(s.fd, item.offset, item.size, out, position, nullptr);
            break;
        case Item::kMemory:
            entry.crc = crc32_update(0, item.data.data(), item.data.size());
            status =
                PwriteFully(out, item.data.data(), item.data.size(), static_cast<off_t>(position));
            break;
        case Item::kDescriptor:
            entry.crc = 0;
            status = CopyRange(item.fd, item.offset, item.size, out, position, &entry.crc);
            break;
        }
        placed.push_back({entry.offset, entry.crc});
        position += item.size;
        index.push_back(std::move(entry));
    }
    if (status == B_OK && !index.empty())
        status = WriteIndexAndTrailer(out, s.containerStart, index, &position);
    if (status == B_OK && !index.empty())
        status = WriteHead(out, s.containerStart, position, imageCrc);
    if (status == B_OK && ftruncate(out, static_cast<off_t>(position)) != 0)
        status = ErrnoStatus();

    struct stat st;
    if (status == B_OK && fstat(s.fd, &st) == 0) {
        if (fchmod(out, st.st_mode & 07777) != 0)
            status = ErrnoStatus();
        if (fchown(out, st.st_uid, st.st_gid) != 0) {
            // Not the owner: the file becomes ours, as any rewrite by us would.
        }
        CopyAttributes(s.fd, out);
    }
    if (status == B_OK && fsync(out) != 0)
        status = ErrnoStatus();
    if (status == B_OK && rename(temporary.c_str(), s.path.c_str()) != 0)
        status = ErrnoStatus();
    if (status != B_OK) {
        close(out);
        unlink(temporary.c_str());
        return status;
    }
    SyncFolder(folder);

    // From now on the resources are read from the new file.
    int reader = ReopenReadOnly(out);
    close(out);
    if (reader < 0)
        return s.status = ErrnoStatus();
    close(s.fd);
    s.fd = reader;
    for (size_t i = 0; i < s.items.size(); ++i) {
        Item& item = *s.items[i];
        item.kind = Item::kStored;
        item.offset = placed[i].offset;
        item.crc = placed[i].crc;
        item.data.clear();
        item.data.shrink_to_fit();
        if (item.fd >= 0)
            close(item.fd);
        item.fd = -1;
    }
    s.dirty = false;
    return B_OK;
}

int BResources::FileDescriptor() const {
    return fState->status == B_OK ? fState->fd : -1;
}

off_t BResources::ContainerStart() const {
    return fState->status == B_OK ? static_cast<off_t>(fState->containerStart) : -1;
}

status_t write_program_file(const char* path, int imageFd, off_t imageSize,
                            const std::vector<NewResource>& resources, mode_t mode) {
    if (path == nullptr || imageFd < 0 || imageSize < 0)
        return B_BAD_VALUE;
    for (const NewResource& resource : resources) {
        status_t status = CheckNew(resource.name.c_str());
        if (status != B_OK)
            return status;
    }
    std::string target(path);
    std::string folder = ParentOf(target);
    std::string temporary;
    int out = CreateTemporary(folder, "program", &temporary);
    if (out < 0)
        return ErrnoStatus();

    uint64 position = static_cast<uint64>(imageSize) + (resources.empty() ? 0 : rf::kHeadSize);
    uint32 imageCrc = 0;
    status_t status = CopyRange(imageFd, 0, static_cast<uint64>(imageSize), out, 0, &imageCrc);
    std::vector<rf::IndexEntry> index;
    for (size_t i = 0; status == B_OK && i < resources.size(); ++i) {
        const NewResource& resource = resources[i];
        rf::IndexEntry entry;
        entry.type = resource.type;
        entry.id = resource.id;
        entry.name = resource.name;
        entry.offset = position;
        entry.size = resource.bytes.size();
        entry.crc = crc32_update(0, resource.bytes.data(), resource.bytes.size());
        status = PwriteFully(out, resource.bytes.data(), resource.bytes.size(),
                             static_cast<off_t>(position));
        position += resource.bytes.size();
        index.push_back(std::move(entry));
    }
    if (status == B_OK && !index.empty())
        status = WriteIndexAndTrailer(out, static_cast<uint64>(imageSize), index, &position);
    if (status == B_OK && !index.empty())
        status = WriteHead(out, static_cast<uint64>(imageSize), position, imageCrc);
    if (status == B_OK && ftruncate(out, static_cast<off_t>(position)) != 0)
        status = ErrnoStatus();
    if (status == B_OK && fchmod(out, mode & 07777) != 0)
        status = ErrnoStatus();
    if (status == B_OK && fsync(out) != 0)
        status = ErrnoStatus();
    if (status == B_OK && rename(temporary.c_str(), target.c_str()) != 0)
        status = ErrnoStatus();
    close(out);
    if (status != B_OK) {
        unlink(temporary.c_str());
        return status;
    }
    SyncFolder(folder);
    return B_OK;
}
