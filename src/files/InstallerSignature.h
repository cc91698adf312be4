#pragma once

// Who made an installer. A signed installer carries one signature block of 1,024 bytes
// right before its container's index, where no resource lies (docs/formats.md). The
// block holds the signer's Ed25519 public key and name, two digests and a signature
// over the block's other bytes:
//   - the installer digest covers every byte of the file but the block's own: the
//     program image, the container's head, every resource, the index and the trailer;
//   - the image digest covers the program image alone, so that the deinstaller, which is
//     the same image with other resources, can carry the block and check itself with it.
// Digests are SHA-512 trees over pieces of 8 MiB, so that every core hashes at once.
// (SHA-512 rather than BLAKE2b: Ed25519 needs it anyway, and the installer stays small.)
//
// The block's bytes are hostile until its signature has been checked, and the digests
// are compared only after that: a block is parsed with every field and padding checked.

#include <array>
#include <string>
#include <vector>

#include "files/SigningKey.h"
#include "platform/support/SupportDefs.h"

namespace signature_block {

inline constexpr size_t kSize = 1024;
inline constexpr size_t kSignedSize = 952; // the bytes the signature covers
inline constexpr size_t kMaxSignerLength = 255;
inline constexpr uint32 kPieceSize = 8u << 20;
inline constexpr size_t kDigestSize = 64;

using Digest = std::array<uint8, kDigestSize>;

struct Block {
    SigningKey key;
    uint64 signedSize = 0; // the file's size without the block
    uint64 imageSize = 0;  // the program image: the container's start
    uint32 pieceSize = kPieceSize;
    Digest installerDigest{};
    Digest imageDigest{};
    std::string signer; // the key's comment, such as the company
    std::array<uint8, 64> signature{};
};

// The block's bytes; the signature field holds whatever `block` holds.
std::vector<uint8> Encode(const Block& block);
// B_OK, or B_BAD_DATA with `reason` when the bytes are no well-formed block. The
// signature is not checked here.
status_t Parse(const uint8* bytes, size_t size, Block& block, std::string& reason);
// Whether the block's signature was made by the key it names.
bool SignatureHolds(const uint8* bytes, size_t size, const SigningKey& key);

// A file's bytes as a list of ranges (offset, length), hashed as one stream.
struct Range {
    uint64 offset;
    uint64 length;
};
// The tree digest of the ranges of the open file `fd`, hashing pieces of `pieceSize` on
// up to `threads` threads. False with `error` when the file cannot be read.
bool DigestOf(int fd, const std::vector<Range>& ranges, uint32 pieceSize, int threads,
              Digest& digest, std::string& error);

} // namespace signature_block

// What the check of an installer's signature found.
struct SignatureReport {
    enum class Status {
        kUnsigned, // no signature block: nothing is known about who made the file
        kSigned,   // the block's key signed every other byte of the file
        kMismatch, // a block whose signature or digests do not match: a damaged file
    };
    Status status = Status::kUnsigned;
    SigningKey key;           // kSigned: the signer's key
    std::string signer;       // kSigned: the signer's name
    std::string reason;       // kMismatch: what did not match, in English
    std::vector<uint8> block; // kSigned: the block's bytes, for the deinstaller to carry
    uint64 blockOffset = 0;

    bool Signed() const { return status == Status::kSigned; }
    bool Mismatch() const { return status == Status::kMismatch; }
    // "Example Corp (key 0123456789ABCDEF)".
    std::string SignerText() const;
};

// Checks the signature of the installer at `path`. The answer for one file (by device,
// inode, size and times) is kept for the life of the process, so the several checks of a
// run hash the file once.
SignatureReport CheckInstallerSignature(const char* path);

// The deinstaller's check of itself: `block` is the signature block it carries, `path`
// its own file, whose program image (the bytes before `imageSize`) the block must
// cover.
SignatureReport CheckProgramSignature(const char* path, const std::string& block);

// Where a file's signature block lies. A signed container leaves exactly the block's
// bytes free before its index (a container we write leaves no other gap); `reserved` tells
// whether it does, so that a block whose magic was damaged is damage, not "not signed".
struct BlockPlace {
    uint64 containerStart = 0;
    uint64 indexOffset = 0;
    uint64 resourcesEnd = 0; // the end of the head and the last resource
    uint64 blockOffset = 0;  // where the block lies, when `reserved`
    bool reserved = false;
};
// False when the file has no readable container (trailer and index).
bool LocateSignatureBlock(int fd, uint64 fileSize, BlockPlace& place);
