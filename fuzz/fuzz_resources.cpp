// Opens hostile bytes as a program file with resources: every index entry is looked up,
// read whole and in part; a container that opens is rewritten and must open again with
// the same resources.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/storage/Crc32.h"
#include "platform/storage/File.h"
#include "platform/storage/ResourceFormat.h"
#include "platform/storage/Resources.h"

namespace {

std::string TempPath(const char* leaf) {
    const char* tmp = getenv("TMPDIR");
    return std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/fuzz-res-" +
           std::to_string(getpid()) + "-" + leaf;
}

void WriteAll(const std::string& path, const uint8_t* data, size_t size) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        abort();
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            abort();
        done += static_cast<size_t>(n);
    }
    close(fd);
}

struct Snapshot {
    type_code type;
    int32 id;
    std::string name;
    std::string bytes;
    bool readable;
};

std::vector<Snapshot> Inspect(BResources& resources) {
    std::vector<Snapshot> seen;
    type_code type;
    int32 id;
    const char* name;
    size_t size;
    for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &size); ++i) {
        Snapshot snap{type, id, name, "", false};
        size_t loaded = 0;
        const void* data = resources.LoadResource(type, id, &loaded);
        if (data != nullptr) {
            if (loaded != size)
                abort();
            snap.bytes.assign(static_cast<const char*>(data), loaded);
            snap.readable = true;
            if (resources.VerifyResource(type, id) != B_OK)
                abort();
        }
        char part[16];
        size_t got = 0;
        if (resources.ReadResource(type, id, part, static_cast<off_t>(size / 2), sizeof part,
                                   &got) == B_OK &&
            got > sizeof part)
            abort();
        void* copy = resources.FindResource(type, name, &loaded);
        free(copy);
        off_t offset, length;
        if (resources.GetResourceLocation(type, id, &offset, &length) == B_OK &&
            static_cast<size_t>(length) != size)
            abort();
        seen.push_back(snap);
    }
    return seen;
}

uint32 Get32(const uint8_t* p) {
    return uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24;
}

void Put32(uint8_t* p, uint32 v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Random mutations almost never keep the checksums right; mending them lets the fuzzer
// reach the index checks behind them.
std::vector<uint8_t> WithMendedChecksums(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    const size_t kTrailer = resource_format::kTrailerSize;
    if (size < kTrailer)
        return bytes;
    uint8_t* trailer = bytes.data() + size - kTrailer;
    uint64 indexOffset = uint64(Get32(trailer + 24)) | uint64(Get32(trailer + 28)) << 32;
    uint32 indexSize = Get32(trailer + 32);
    if (indexOffset <= size - kTrailer && indexSize <= size - kTrailer - indexOffset)
        Put32(trailer + 36, crc32_update(0, bytes.data() + indexOffset, indexSize));
    Put32(trailer + 40, crc32_update(0, trailer, 40));
    return bytes;
}

int Check(const uint8_t* data, size_t size);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size);
    std::vector<uint8_t> mended = WithMendedChecksums(data, size);
    Check(mended.data(), mended.size());
    return 0;
}

namespace {

int Check(const uint8_t* data, size_t size) {
    static const std::string input = TempPath("input");
    static const std::string copy = TempPath("copy");
    static const bool cleanup = [] {
        atexit([] {
            unlink(input.c_str());
            unlink(copy.c_str());
        });
        return true;
    }();
    (void)cleanup;
    WriteAll(input, data, size);
    std::vector<Snapshot> before;
    {
        BFile file(input.c_str(), B_READ_ONLY);
        BResources resources(&file);
        if (resources.InitCheck() != B_OK)
            return 0;
        before = Inspect(resources);
    }
    // Rewrite a readable container with one more resource; everything must come back.
    for (const Snapshot& snap : before)
        if (!snap.readable)
            return 0;
    WriteAll(copy, data, size);
    {
        BFile file(copy.c_str(), B_READ_WRITE);
        BResources resources(&file);
        if (resources.InitCheck() != B_OK)
            abort();
        if (resources.AddResource('FUZZ', -7, "added", 5, "added") != B_OK)
            abort();
        if (resources.Sync() != B_OK)
            abort();
    }
    BFile file(copy.c_str(), B_READ_ONLY);
    BResources resources(&file);
    if (resources.InitCheck() != B_OK)
        abort();
    std::vector<Snapshot> after = Inspect(resources);
    size_t expected = before.size();
    bool replaced = false;
    for (const Snapshot& snap : before)
        replaced = replaced || (snap.type == 'FUZZ' && snap.id == -7);
    if (after.size() != expected + (replaced ? 0 : 1))
        abort();
    for (const Snapshot& snap : before) {
        if (snap.type == 'FUZZ' && snap.id == -7)
            continue;
        bool found = false;
        for (const Snapshot& other : after)
            found = found || (other.type == snap.type && other.id == snap.id &&
                              other.name == snap.name && other.bytes == snap.bytes);
        if (!found)
            abort();
    }
    return 0;
}

} // namespace
