#include "files/InstallerIntegrity.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "lib/PosixFs.h"
#include "platform/storage/Crc32.h"
#include "platform/storage/File.h"
#include "platform/storage/ResourceFormat.h"
#include "platform/storage/Resources.h"

namespace rf = resource_format;

// Read from memory, never spelled out elsewhere, so that the image holds these bytes once.
extern const char kImageState[];
const char kImageState[] = "\x7ftarnw-image-state:U";

namespace {

constexpr size_t kImageStatePrefix = sizeof kImageState - 2; // without the state and the NUL

// Calls `found` with the file offset of each copy of the mark's prefix in the image.
template <typename Found> bool ForEachImageMark(int fd, uint64 imageSize, Found found) {
    std::vector<char> buffer(1 << 20);
    for (uint64 start = 0; start < imageSize;) {
        size_t want = size_t(std::min<uint64>(buffer.size(), imageSize - start));
        size_t got = 0;
        while (got < want) {
            ssize_t n = pread(fd, buffer.data() + got, want - got, off_t(start + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            got += size_t(n);
        }
        for (const char* at = buffer.data(); at + kImageStatePrefix < buffer.data() + got;) {
            const char* hit = static_cast<const char*>(
                memmem(at, size_t(buffer.data() + got - at), kImageState, kImageStatePrefix));
            if (hit == nullptr || hit + kImageStatePrefix >= buffer.data() + got)
                break;
            found(start + uint64(hit - buffer.data()) + kImageStatePrefix, hit[kImageStatePrefix]);
            at = hit + 1;
        }
        if (start + got >= imageSize)
            break;
        start += got - kImageStatePrefix; // a mark across two reads is found in the next
    }
    return true;
}

bool ImageMarkedPacked(int fd, uint64 imageSize) {
    bool packed = false;
    ForEachImageMark(fd, imageSize, [&packed](uint64, char state) { packed |= state == 'P'; });
    return packed;
}

std::string TypeText(type_code type) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((type >> shift) & 0xff);
        text += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return text;
}

IntegrityReport Verdict(Integrity verdict, uint64 actual, std::string reason, uint64 expected = 0) {
    IntegrityReport report;
    report.verdict = verdict;
    report.actualSize = actual;
    report.expectedSize = expected;
    report.reason = std::move(reason);
    return report;
}

// Where the ELF image of the file ends: the furthest of its headers, segments and section
// headers; 0 when the file is no 64-bit ELF file or its headers are unreadable.
uint64 ElfImageEnd(const posixfs::OwnedFd& file, uint64 fileSize) {
    Elf64_Ehdr header;
    if (fileSize < sizeof header || !posixfs::ReadAllAt(file.Get(), &header, sizeof header, 0) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        return 0;
    uint64 end = sizeof header;
    auto grow = [&end](uint64 offset, uint64 size) {
        if (offset + size >= offset && offset + size > end)
            end = offset + size;
    };
    if (header.e_shentsize == sizeof(Elf64_Shdr))
        grow(header.e_shoff, uint64(header.e_shnum) * sizeof(Elf64_Shdr));
    if (header.e_phentsize == sizeof(Elf64_Phdr)) {
        grow(header.e_phoff, uint64(header.e_phnum) * sizeof(Elf64_Phdr));
        for (uint16 i = 0; i < header.e_phnum; i++) {
            Elf64_Phdr segment;
            if (!posixfs::ReadAllAt(file.Get(), &segment, sizeof segment,
                                    header.e_phoff + i * sizeof segment))
                break; // the program headers themselves were cut off: the end is further
            grow(segment.p_offset, segment.p_filesz);
        }
    }
    return end;
}

// The file has no trailer: either it never had a container, or it was cut short (the
// trailer is the first thing lost), or its end was changed.
IntegrityReport WithoutTrailer(const posixfs::OwnedFd& file, uint64 size) {
    uint64 image = ElfImageEnd(file, size);
    if (image != 0 && size == image && ImageMarkedPacked(file.Get(), image))
        return Verdict(Integrity::kIncomplete, size,
                       "the file ends where its program image ends, at byte " +
                           std::to_string(size) + ": its resources are missing");
    if (image == 0 || size == image)
        return Verdict(Integrity::kNoContainer, size, "the file carries no resources");
    if (size < image)
        return Verdict(Integrity::kIncomplete, size,
                       "the file ends inside its program image, at byte " + std::to_string(size));
    if (size - image < rf::kHeadSize)
        return Verdict(Integrity::kIncomplete, size,
                       "the file ends " + std::to_string(size - image) +
                           " bytes after its program image");
    uint8 bytes[rf::kHeadSize];
    rf::Head head;
    if (!posixfs::ReadAllAt(file.Get(), bytes, sizeof bytes, image) ||
        rf::ParseHead(bytes, sizeof bytes, &head) != B_OK)
        return Verdict(Integrity::kDamaged, size,
                       "the resources after the program image have neither head nor trailer");
    uint64 total = head.totalSize;
    if (size < total)
        return Verdict(Integrity::kIncomplete, size,
                       "the file holds " + std::to_string(size) + " of its " +
                           std::to_string(total) + " bytes",
                       total);
    return Verdict(Integrity::kDamaged, size,
                   "the file should end with its container's trailer at byte " +
                       std::to_string(total) + " but is " + std::to_string(size) + " bytes long");
}

// The head at the container's start: B_OK, B_BAD_VALUE when there is none, B_BAD_DATA when
// damaged.
status_t ReadHead(const posixfs::OwnedFd& file, const rf::Trailer& trailer, rf::Head* head) {
    uint8 bytes[rf::kHeadSize];
    if (trailer.indexOffset - trailer.containerStart < sizeof bytes ||
        !posixfs::ReadAllAt(file.Get(), bytes, sizeof bytes, trailer.containerStart))
        return B_BAD_VALUE;
    return rf::ParseHead(bytes, sizeof bytes, head);
}

// The program image before the container, against the checksum its head records.
bool ImageMatches(const posixfs::OwnedFd& file, uint64 imageSize, uint32 expected) {
    std::vector<uint8> buffer(1 << 20);
    uint32 crc = 0;
    for (uint64 done = 0; done < imageSize;) {
        size_t chunk = size_t(std::min<uint64>(buffer.size(), imageSize - done));
        if (!posixfs::ReadAllAt(file.Get(), buffer.data(), chunk, done))
            return false;
        crc = crc32_update(crc, buffer.data(), chunk);
        done += chunk;
    }
    return crc == expected;
}

} // namespace

IntegrityReport ExamineInstallerFile(const char* path) {
    posixfs::OwnedFd file(open(path, O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (file.Get() < 0 || fstat(file.Get(), &st) != 0)
        return Verdict(Integrity::kDamaged, 0,
                       std::string("cannot read ") + path + ": " + std::strerror(errno));
    uint64 size = uint64(st.st_size);
    uint8 tail[rf::kTrailerSize];
    if (size < sizeof tail ||
        !posixfs::ReadAllAt(file.Get(), tail, sizeof tail, size - sizeof tail) ||
        !rf::HasMagic(tail, sizeof tail))
        return WithoutTrailer(file, size);

    rf::Trailer trailer;
    if (rf::ParseTrailer(tail, sizeof tail, size, &trailer) != B_OK)
        return Verdict(Integrity::kDamaged, size, "the container's trailer is damaged");
    BFile whole(path, B_READ_ONLY);
    BResources resources(&whole);
    if (resources.InitCheck() != B_OK)
        return Verdict(Integrity::kDamaged, size, "the container's index is damaged");
    // Every container with resources is written with a head; without one (a changed magic
    // included) its checks of the program image would be off.
    rf::Head head;
    if (ReadHead(file, trailer, &head) != B_OK || head.totalSize != size)
        return Verdict(Integrity::kDamaged, size, "the container's head is damaged");
    return Verdict(Integrity::kSound, size, "");
}

bool MarkImagePacked(int fd, uint64 imageSize) {
    std::vector<uint64> states;
    if (!ForEachImageMark(fd, imageSize, [&states](uint64 at, char) { states.push_back(at); }) ||
        states.empty())
        return false;
    for (uint64 at : states)
        if (pwrite(fd, "P", 1, off_t(at)) != 1)
            return false;
    return true;
}

IntegrityReport CheckInstallerFile(const char* path,
                                   const std::function<bool(type_code, int32)>& wanted,
                                   const std::vector<RequiredResource>& required,
                                   ImageCheck image) {
    IntegrityReport report = ExamineInstallerFile(path);
    if (!report.Sound())
        return report;
    report.signature = CheckInstallerSignature(path);
    if (report.signature.Mismatch()) {
        IntegrityReport damaged =
            Verdict(Integrity::kDamaged, report.actualSize,
                    "the signature does not match: " + report.signature.reason);
        damaged.signature = report.signature;
        return damaged;
    }
    // The signature covers every byte, checksums and image included.
    bool vouched = report.signature.Signed();
    if (image == ImageCheck::kChecked && !vouched) {
        posixfs::OwnedFd descriptor(open(path, O_RDONLY | O_CLOEXEC));
        uint8 tail[rf::kTrailerSize];
        rf::Trailer trailer;
        rf::Head head;
        if (posixfs::ReadAllAt(descriptor.Get(), tail, sizeof tail,
                               report.actualSize - sizeof tail) &&
            rf::ParseTrailer(tail, sizeof tail, report.actualSize, &trailer) == B_OK &&
            ReadHead(descriptor, trailer, &head) == B_OK &&
            !ImageMatches(descriptor, trailer.containerStart, head.imageCrc))
            return Verdict(Integrity::kDamaged, report.actualSize,
                           "the program image does not match its checksum");
    }
    BFile file(path, B_READ_ONLY);
    BResources resources(&file);
    for (const RequiredResource& resource : required) {
        if (!resources.HasResource(resource.type, resource.id))
            return Verdict(Integrity::kDamaged, report.actualSize,
                           std::string(resource.what) + " (resource " + TypeText(resource.type) +
                               " " + std::to_string(resource.id) + ") is missing");
    }
    type_code type = 0;
    int32 id = 0;
    const char* name = nullptr;
    size_t length = 0;
    for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &length); i++) {
        if (vouched || !wanted(type, id))
            continue;
        status_t status = resources.VerifyResource(type, id);
        if (status != B_OK)
            return Verdict(
                Integrity::kDamaged, report.actualSize,
                "resource " + TypeText(type) + " " + std::to_string(id) + " (" +
                    (name != nullptr ? name : "") + ") " +
                    (status == B_BAD_DATA ? "does not match its checksum" : "cannot be read"));
    }
    return report;
}
