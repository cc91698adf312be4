#include "files/InstallerSignature.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sodium.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "lib/PosixFs.h"
#include "platform/storage/ResourceFormat.h"

namespace rf = resource_format;

namespace signature_block {

namespace {

constexpr char kMagic[8] = {'T', 'a', 'r', 'n', 'w', 'S', 'i', 'g'};
constexpr char kEndMagic[8] = {'T', 'w', 'S', 'i', 'g', 'E', 'n', 'd'};
constexpr uint32 kVersion = 1;
constexpr char kTreeLabel[12] = {'t', 'a', 'r', 'n', 'w', '-', 't', 'r', 'e', 'e', '-', '1'};

// Offsets of the fields.
constexpr size_t kVersionAt = 8, kSizeAt = 12, kAlgorithmAt = 16, kKeyIdAt = 20, kKeyAt = 28,
                 kSignedSizeAt = 60, kImageSizeAt = 68, kPieceSizeAt = 76, kInstallerDigestAt = 80,
                 kImageDigestAt = 144, kSignerLengthAt = 208, kSignerAt = 210,
                 kSignatureAt = kSignedSize, kEndMagicAt = 1016;

void Put32(uint8* at, uint32 value) {
    for (int i = 0; i < 4; i++)
        at[i] = uint8(value >> (8 * i));
}
void Put64(uint8* at, uint64 value) {
    for (int i = 0; i < 8; i++)
        at[i] = uint8(value >> (8 * i));
}
uint32 Get32(const uint8* at) {
    uint32 value = 0;
    for (int i = 3; i >= 0; i--)
        value = value << 8 | at[i];
    return value;
}
uint64 Get64(const uint8* at) {
    uint64 value = 0;
    for (int i = 7; i >= 0; i--)
        value = value << 8 | at[i];
    return value;
}

bool ReadAt(int fd, void* data, size_t size, uint64 offset) {
    return posixfs::ReadAllAt(fd, data, size, offset);
}

// The signer's name is shown to the user: printable text, no control characters.
bool PlainText(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f)
            return false;
    }
    return true;
}

bool Zero(const uint8* bytes, size_t size) {
    return std::all_of(bytes, bytes + size, [](uint8 b) { return b == 0; });
}

} // namespace

std::vector<uint8> Encode(const Block& block) {
    std::vector<uint8> bytes(kSize, 0);
    uint8* b = bytes.data();
    std::memcpy(b, kMagic, sizeof kMagic);
    Put32(b + kVersionAt, kVersion);
    Put32(b + kSizeAt, uint32(kSize));
    b[kAlgorithmAt] = 'E';
    b[kAlgorithmAt + 1] = 'd';
    std::memcpy(b + kKeyIdAt, block.key.id.data(), block.key.id.size());
    std::memcpy(b + kKeyAt, block.key.key.data(), block.key.key.size());
    Put64(b + kSignedSizeAt, block.signedSize);
    Put64(b + kImageSizeAt, block.imageSize);
    Put32(b + kPieceSizeAt, block.pieceSize);
    std::memcpy(b + kInstallerDigestAt, block.installerDigest.data(), kDigestSize);
    std::memcpy(b + kImageDigestAt, block.imageDigest.data(), kDigestSize);
    size_t length = std::min(block.signer.size(), kMaxSignerLength);
    b[kSignerLengthAt] = uint8(length);
    b[kSignerLengthAt + 1] = 0;
    std::memcpy(b + kSignerAt, block.signer.data(), length);
    std::memcpy(b + kSignatureAt, block.signature.data(), block.signature.size());
    std::memcpy(b + kEndMagicAt, kEndMagic, sizeof kEndMagic);
    return bytes;
}

status_t Parse(const uint8* bytes, size_t size, Block& block, std::string& reason) {
    auto refuse = [&reason](const char* why) {
        reason = why;
        return B_BAD_DATA;
    };
    if (bytes == nullptr || size != kSize)
        return refuse("the signature block has the wrong size");
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0 ||
        std::memcmp(bytes + kEndMagicAt, kEndMagic, sizeof kEndMagic) != 0)
        return refuse("the signature block's magic is wrong");
    if (Get32(bytes + kVersionAt) != kVersion || Get32(bytes + kSizeAt) != kSize)
        return refuse("the signature block has an unknown version");
    if (bytes[kAlgorithmAt] != 'E' || bytes[kAlgorithmAt + 1] != 'd' ||
        !Zero(bytes + kAlgorithmAt + 2, 2))
        return refuse("the signature block names an unknown algorithm");
    std::memcpy(block.key.id.data(), bytes + kKeyIdAt, block.key.id.size());
    std::memcpy(block.key.key.data(), bytes + kKeyAt, block.key.key.size());
    block.signedSize = Get64(bytes + kSignedSizeAt);
    block.imageSize = Get64(bytes + kImageSizeAt);
    block.pieceSize = Get32(bytes + kPieceSizeAt);
    if (block.pieceSize < (64u << 10) || block.pieceSize > (64u << 20))
        return refuse("the signature block's piece size is out of range");
    if (block.imageSize > block.signedSize)
        return refuse("the signature block's image is larger than the file");
    std::memcpy(block.installerDigest.data(), bytes + kInstallerDigestAt, kDigestSize);
    std::memcpy(block.imageDigest.data(), bytes + kImageDigestAt, kDigestSize);
    size_t length = bytes[kSignerLengthAt];
    if (bytes[kSignerLengthAt + 1] != 0)
        return refuse("the signature block's signer is too long");
    block.signer.assign(reinterpret_cast<const char*>(bytes + kSignerAt), length);
    if (!PlainText(block.signer))
        return refuse("the signature block's signer holds control characters");
    if (!Zero(bytes + kSignerAt + length, kSignatureAt - kSignerAt - length))
        return refuse("the signature block's padding is not empty");
    std::memcpy(block.signature.data(), bytes + kSignatureAt, block.signature.size());
    return B_OK;
}

bool SignatureHolds(const uint8* bytes, size_t size, const SigningKey& key) {
    if (bytes == nullptr || size != kSize)
        return false;
    return crypto_sign_ed25519_verify_detached(bytes + kSignatureAt, bytes, kSignedSize,
                                               key.key.data()) == 0;
}

bool DigestOf(int fd, const std::vector<Range>& ranges, uint32 pieceSize, int threads,
              Digest& digest, std::string& error) {
    if (pieceSize == 0) {
        error = "the piece size is 0";
        return false;
    }
    uint64 total = 0;
    for (const Range& range : ranges)
        total += range.length;
    uint64 pieces = (total + pieceSize - 1) / pieceSize;
    std::vector<Digest> leaves(static_cast<size_t>(pieces));
    std::atomic<uint64> next{0};
    std::atomic<bool> failed{false};

    // Piece p is the stream's bytes [p * pieceSize, ...), gathered from the ranges.
    auto work = [&]() {
        std::vector<uint8> buffer(std::min<uint64>(pieceSize, 1u << 20));
        for (uint64 p; !failed && (p = next.fetch_add(1)) < pieces;) {
            crypto_hash_sha512_state state;
            crypto_hash_sha512_init(&state);
            uint64 begin = p * pieceSize;
            uint64 end = std::min(total, begin + pieceSize);
            uint64 streamAt = 0;
            for (const Range& range : ranges) {
                uint64 from = std::max(begin, streamAt);
                uint64 to = std::min(end, streamAt + range.length);
                for (uint64 at = from; at < to;) {
                    size_t chunk = size_t(std::min<uint64>(buffer.size(), to - at));
                    if (!ReadAt(fd, buffer.data(), chunk, range.offset + (at - streamAt))) {
                        failed = true;
                        return;
                    }
                    crypto_hash_sha512_update(&state, buffer.data(), chunk);
                    at += chunk;
                }
                streamAt += range.length;
            }
            crypto_hash_sha512_final(&state, leaves[size_t(p)].data());
        }
    };
    int count = int(std::clamp<uint64>(pieces, 1, uint64(std::max(threads, 1))));
    std::vector<std::thread> helpers;
    for (int i = 1; i < count; i++)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (failed) {
        error = std::string("the file cannot be read: ") + std::strerror(errno ? errno : EIO);
        return false;
    }
    uint8 header[sizeof kTreeLabel + 12];
    std::memcpy(header, kTreeLabel, sizeof kTreeLabel);
    Put64(header + sizeof kTreeLabel, total);
    Put32(header + sizeof kTreeLabel + 8, pieceSize);
    crypto_hash_sha512_state state;
    crypto_hash_sha512_init(&state);
    crypto_hash_sha512_update(&state, header, sizeof header);
    for (const Digest& leaf : leaves)
        crypto_hash_sha512_update(&state, leaf.data(), leaf.size());
    crypto_hash_sha512_final(&state, digest.data());
    return true;
}

} // namespace signature_block

namespace sb = signature_block;

namespace {

int HashThreads() {
    unsigned cores = std::thread::hardware_concurrency();
    return int(std::clamp(cores, 1u, 4u));
}

SignatureReport Mismatch(std::string reason) {
    SignatureReport report;
    report.status = SignatureReport::Status::kMismatch;
    report.reason = std::move(reason);
    return report;
}

SignatureReport Check(int fd, uint64 fileSize) {
    SignatureReport report;
    BlockPlace place;
    if (!LocateSignatureBlock(fd, fileSize, place) || !place.reserved)
        return report;
    std::vector<uint8> bytes(sb::kSize);
    if (!sb::ReadAt(fd, bytes.data(), bytes.size(), place.blockOffset))
        return Mismatch("the signature block cannot be read");
    sb::Block block;
    std::string reason;
    if (sb::Parse(bytes.data(), bytes.size(), block, reason) != B_OK)
        return Mismatch(reason);
    if (!sb::SignatureHolds(bytes.data(), bytes.size(), block.key))
        return Mismatch("the signature block was not signed by the key it names");
    if (block.signedSize != fileSize - sb::kSize || block.imageSize != place.containerStart)
        return Mismatch("the file's size is not the size that was signed");
    sb::Digest digest;
    std::string error;
    uint64 after = place.blockOffset + sb::kSize;
    if (!sb::DigestOf(fd, {{0, place.blockOffset}, {after, fileSize - after}}, block.pieceSize,
                      HashThreads(), digest, error))
        return Mismatch(error);
    if (sodium_memcmp(digest.data(), block.installerDigest.data(), digest.size()) != 0)
        return Mismatch("the file's bytes are not the bytes that were signed");
    if (!sb::DigestOf(fd, {{0, place.containerStart}}, block.pieceSize, HashThreads(), digest,
                      error))
        return Mismatch(error);
    if (sodium_memcmp(digest.data(), block.imageDigest.data(), digest.size()) != 0)
        return Mismatch("the program image is not the one that was signed");
    report.status = SignatureReport::Status::kSigned;
    report.key = block.key;
    report.signer = block.signer;
    report.block = std::move(bytes);
    report.blockOffset = place.blockOffset;
    return report;
}

} // namespace

std::string SignatureReport::SignerText() const {
    return (signer.empty() ? std::string("?") : signer) + " (key " + key.IdText() + ")";
}

bool LocateSignatureBlock(int fd, uint64 fileSize, BlockPlace& place) {
    uint8 tail[rf::kTrailerSize];
    rf::Trailer trailer;
    if (fileSize < sizeof tail || !sb::ReadAt(fd, tail, sizeof tail, fileSize - sizeof tail) ||
        !rf::HasMagic(tail, sizeof tail) ||
        rf::ParseTrailer(tail, sizeof tail, fileSize, &trailer) != B_OK)
        return false;
    std::vector<uint8> index(trailer.indexSize);
    std::vector<rf::IndexEntry> entries;
    if (!sb::ReadAt(fd, index.data(), index.size(), trailer.indexOffset) ||
        rf::ParseIndex(index.data(), index.size(), trailer, &entries) != B_OK)
        return false;
    place.containerStart = trailer.containerStart;
    place.indexOffset = trailer.indexOffset;
    // What the container's head and resources take; the head is no resource.
    uint64 used = trailer.containerStart;
    uint8 head[rf::kHeadSize];
    rf::Head parsed;
    if (trailer.indexOffset - trailer.containerStart >= sizeof head &&
        sb::ReadAt(fd, head, sizeof head, trailer.containerStart) &&
        rf::ParseHead(head, sizeof head, &parsed) != B_BAD_VALUE)
        used += sizeof head;
    for (const rf::IndexEntry& entry : entries)
        used = std::max(used, entry.offset + entry.size);
    place.resourcesEnd = used;
    place.reserved = trailer.indexOffset - used == sb::kSize;
    place.blockOffset = place.reserved ? used : 0;
    return true;
}

SignatureReport CheckInstallerSignature(const char* path) {
    posixfs::OwnedFd file(open(path, O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (file.Get() < 0 || fstat(file.Get(), &st) != 0)
        return SignatureReport(); // the integrity check reports an unreadable file
    // Not the change time: the installer stamps attributes on itself as it starts.
    struct Known {
        dev_t device;
        ino_t inode;
        off_t size;
        timespec modified;
        SignatureReport report;
    };
    static std::mutex lock;
    static std::vector<Known> known;
    auto same = [&st](const Known& k) {
        return k.device == st.st_dev && k.inode == st.st_ino && k.size == st.st_size &&
               k.modified.tv_sec == st.st_mtim.tv_sec && k.modified.tv_nsec == st.st_mtim.tv_nsec;
    };
    {
        std::lock_guard<std::mutex> hold(lock);
        for (const Known& k : known)
            if (same(k))
                return k.report;
    }
    SignatureReport report = Check(file.Get(), uint64(st.st_size));
    std::lock_guard<std::mutex> hold(lock);
    known.push_back({st.st_dev, st.st_ino, st.st_size, st.st_mtim, report});
    return report;
}

SignatureReport CheckProgramSignature(const char* path, const std::string& blockBytes) {
    const uint8* bytes = reinterpret_cast<const uint8*>(blockBytes.data());
    sb::Block block;
    std::string reason;
    if (sb::Parse(bytes, blockBytes.size(), block, reason) != B_OK)
        return Mismatch(reason);
    if (!sb::SignatureHolds(bytes, blockBytes.size(), block.key))
        return Mismatch("the signature block was not signed by the key it names");
    posixfs::OwnedFd file(open(path, O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (file.Get() < 0 || fstat(file.Get(), &st) != 0)
        return Mismatch(std::string("the program cannot be read: ") + std::strerror(errno));
    BlockPlace place;
    if (!LocateSignatureBlock(file.Get(), uint64(st.st_size), place))
        return Mismatch("the program carries no readable container");
    uint64 containerStart = place.containerStart;
    if (containerStart != block.imageSize)
        return Mismatch("the program image is not the size that was signed");
    sb::Digest digest;
    std::string error;
    if (!sb::DigestOf(file.Get(), {{0, containerStart}}, block.pieceSize, HashThreads(), digest,
                      error))
        return Mismatch(error);
    if (sodium_memcmp(digest.data(), block.imageDigest.data(), digest.size()) != 0)
        return Mismatch("the program image is not the one that was signed");
    SignatureReport report;
    report.status = SignatureReport::Status::kSigned;
    report.key = block.key;
    report.signer = block.signer;
    report.block.assign(bytes, bytes + blockBytes.size());
    return report;
}
