#include "InstallerSigning.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/InstallerSignature.h"
#include "lib/PosixFs.h"
#include "platform/storage/ResourceFormat.h"

namespace rf = resource_format;
namespace sb = signature_block;

namespace tarnw::pack {

namespace {

constexpr const char* kCommentPrefix = "untrusted comment: ";
constexpr const char* kTrustedPrefix = "trusted comment: ";
constexpr size_t kMaxSignatureFile = 16384;
constexpr size_t kMaxTrustedComment = 8000;

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void ReadAt(int fd, void* data, size_t size, uint64_t offset, const std::string& path) {
    errno = 0;
    if (!posixfs::ReadAllAt(fd, data, size, offset)) {
        if (errno == 0)
            errno = EIO; // the file ended early
        Fail("cannot read " + path);
    }
}

void WriteAt(int fd, const void* data, size_t size, uint64_t offset, const std::string& path) {
    size_t done = 0;
    while (done < size) {
        ssize_t put =
            pwrite(fd, static_cast<const char*>(data) + done, size - done, off_t(offset + done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            Fail("cannot write " + path);
        done += size_t(put);
    }
}

// Copies `length` bytes at `from` in `in` to `to` in `out`, in the kernel where it can.
void CopyRange(int in, uint64_t from, int out, uint64_t to, uint64_t length,
               const std::string& path) {
    loff_t inAt = loff_t(from), outAt = loff_t(to);
    while (length > 0) {
        ssize_t done = copy_file_range(in, &inAt, out, &outAt, length, 0);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            // Not between these file systems: by hand.
            std::vector<char> buffer(1 << 20);
            while (length > 0) {
                size_t chunk = size_t(std::min<uint64_t>(buffer.size(), length));
                ReadAt(in, buffer.data(), chunk, uint64_t(inAt), path);
                WriteAt(out, buffer.data(), chunk, uint64_t(outAt), path);
                inAt += loff_t(chunk);
                outAt += loff_t(chunk);
                length -= chunk;
            }
            return;
        }
        length -= uint64_t(done);
    }
}

sb::Digest FileHash(const std::string& path) {
    posixfs::OwnedFd in(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        Fail("cannot open " + path);
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    std::vector<uint8_t> buffer(1 << 20);
    for (;;) {
        ssize_t got = read(in.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Fail("cannot read " + path);
        if (got == 0)
            break;
        crypto_generichash_update(&state, buffer.data(), size_t(got));
    }
    sb::Digest digest;
    crypto_generichash_final(&state, digest.data(), digest.size());
    return digest;
}

std::string Line(const std::string& text, size_t& at) {
    size_t end = text.find('\n', at);
    std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

void SignInstaller(const std::string& path, const SecretKey& key, const std::string& signer) {
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be set up");
    std::string name = signer.empty() ? key.comment : signer;
    if (name.size() > sb::kMaxSignerLength)
        throw std::runtime_error("the signer's name is longer than 255 bytes: " + name);
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7f)
            throw std::runtime_error("the signer's name holds control characters");
    }

    posixfs::OwnedFd in(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (in.Get() < 0 || fstat(in.Get(), &st) != 0)
        Fail("cannot open " + path);
    uint64_t size = uint64_t(st.st_size);
    uint8_t tail[rf::kTrailerSize];
    rf::Trailer trailer;
    if (size < sizeof tail)
        throw std::runtime_error(path + " is no installer: it carries no resources");
    ReadAt(in.Get(), tail, sizeof tail, size - sizeof tail, path);
    if (!rf::HasMagic(tail, sizeof tail) ||
        rf::ParseTrailer(tail, sizeof tail, size, &trailer) != B_OK)
        throw std::runtime_error(path + " is no installer: its resources cannot be read");
    // An earlier signature is replaced, not kept beside the new one.
    BlockPlace place;
    if (!LocateSignatureBlock(in.Get(), size, place))
        throw std::runtime_error(path + " is no installer: its resources cannot be read");
    uint64_t resourcesEnd = place.resourcesEnd;

    std::string temporary = path + ".tarnw-sign-" + std::to_string(getpid());
    posixfs::OwnedFd out(
        open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777));
    if (out.Get() < 0)
        Fail("cannot create " + temporary);
    struct Cleanup {
        std::string path;
        bool keep = false;
        ~Cleanup() {
            if (!keep)
                unlink(path.c_str());
        }
    } cleanup{temporary};

    CopyRange(in.Get(), 0, out.Get(), 0, resourcesEnd, path);
    uint64_t blockOffset = resourcesEnd;
    std::vector<uint8_t> placeholder(sb::kSize, 0);
    WriteAt(out.Get(), placeholder.data(), placeholder.size(), blockOffset, temporary);
    CopyRange(in.Get(), trailer.indexOffset, out.Get(), blockOffset + sb::kSize, trailer.indexSize,
              path);
    trailer.indexOffset = blockOffset + sb::kSize;
    std::vector<uint8_t> newTrailer = rf::EncodeTrailer(trailer);
    uint64_t newSize = trailer.indexOffset + trailer.indexSize + newTrailer.size();
    WriteAt(out.Get(), newTrailer.data(), newTrailer.size(),
            trailer.indexOffset + trailer.indexSize, temporary);
    // The head records the whole file's size.
    uint8_t headBytes[rf::kHeadSize];
    rf::Head head;
    if (trailer.indexOffset - trailer.containerStart >= sizeof headBytes) {
        ReadAt(out.Get(), headBytes, sizeof headBytes, trailer.containerStart, temporary);
        if (rf::ParseHead(headBytes, sizeof headBytes, &head) == B_OK) {
            head.totalSize = newSize;
            std::vector<uint8_t> encoded = rf::EncodeHead(head);
            WriteAt(out.Get(), encoded.data(), encoded.size(), trailer.containerStart, temporary);
        }
    }

    sb::Block block;
    block.key = key.Public();
    block.signedSize = newSize - sb::kSize;
    block.imageSize = trailer.containerStart;
    block.signer = name;
    std::string error;
    if (!sb::DigestOf(
            out.Get(),
            {{0, blockOffset}, {blockOffset + sb::kSize, newSize - blockOffset - sb::kSize}},
            block.pieceSize, 2, block.installerDigest, error) ||
        !sb::DigestOf(out.Get(), {{0, trailer.containerStart}}, block.pieceSize, 2,
                      block.imageDigest, error))
        throw std::runtime_error(temporary + ": " + error);
    std::vector<uint8_t> bytes = sb::Encode(block);
    crypto_sign_detached(bytes.data() + sb::kSignedSize, nullptr, bytes.data(), sb::kSignedSize,
                         key.key.data());
    WriteAt(out.Get(), bytes.data(), bytes.size(), blockOffset, temporary);
    if (fsync(out.Get()) != 0)
        Fail("cannot write " + temporary);
    if (rename(temporary.c_str(), path.c_str()) != 0)
        Fail("cannot replace " + path);
    cleanup.keep = true;
}

void WriteDetachedSignature(const std::string& path, const std::string& signaturePath,
                            const SecretKey& key, const std::string& trustedComment) {
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be set up");
    if (trustedComment.find_first_of("\r\n") != std::string::npos ||
        trustedComment.size() > kMaxTrustedComment)
        throw std::runtime_error("the trusted comment must be one line of at most 8000 bytes");
    sb::Digest hash = FileHash(path);
    uint8_t signature[2 + 8 + 64] = {'E', 'D'};
    std::memcpy(signature + 2, key.id.data(), 8);
    crypto_sign_detached(signature + 10, nullptr, hash.data(), hash.size(), key.key.data());
    std::string signed_(reinterpret_cast<const char*>(signature + 10), 64);
    signed_ += trustedComment;
    uint8_t global[64];
    crypto_sign_detached(global, nullptr, reinterpret_cast<const uint8_t*>(signed_.data()),
                         signed_.size(), key.key.data());
    std::string text = std::string(kCommentPrefix) + "signature from tarnw-pack secret key\n" +
                       Base64Encode(signature, sizeof signature) + "\n" + kTrustedPrefix +
                       trustedComment + "\n" + Base64Encode(global, sizeof global) + "\n";
    std::string temporary = signaturePath + ".tarnw-sign-" + std::to_string(getpid());
    posixfs::OwnedFd out(open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.Get() < 0)
        Fail("cannot create " + temporary);
    WriteAt(out.Get(), text.data(), text.size(), 0, temporary);
    if (fsync(out.Get()) != 0 || rename(temporary.c_str(), signaturePath.c_str()) != 0) {
        int error = errno;
        unlink(temporary.c_str());
        errno = error;
        Fail("cannot write " + signaturePath);
    }
}

bool ParseDetachedSignature(const std::string& text, DetachedSignature& signature,
                            std::string& error) {
    if (text.size() > kMaxSignatureFile) {
        error = "too long to be a signature file";
        return false;
    }
    size_t at = 0;
    std::string comment = Line(text, at);
    std::string encoded = Line(text, at);
    std::string trusted = Line(text, at);
    std::string global = Line(text, at);
    if (comment.rfind(kCommentPrefix, 0) != 0) {
        error = "a signature file begins with an untrusted comment";
        return false;
    }
    std::string bytes;
    if (!Base64Decode(encoded, bytes, 74) || bytes.size() != 74) {
        error = "the signature is not base64 of 74 bytes";
        return false;
    }
    if (bytes.compare(0, 2, "ED") == 0)
        signature.prehashed = true;
    else if (bytes.compare(0, 2, "Ed") == 0)
        signature.prehashed = false;
    else {
        error = "the signature names an unknown algorithm";
        return false;
    }
    std::memcpy(signature.keyId.data(), bytes.data() + 2, 8);
    std::memcpy(signature.signature.data(), bytes.data() + 10, 64);
    if (trusted.rfind(kTrustedPrefix, 0) != 0) {
        error = "the signature file has no trusted comment";
        return false;
    }
    signature.trustedComment = trusted.substr(std::strlen(kTrustedPrefix));
    if (signature.trustedComment.size() > kMaxTrustedComment) {
        error = "the trusted comment is too long";
        return false;
    }
    if (!Base64Decode(global, bytes, 64) || bytes.size() != 64) {
        error = "the comment's signature is not base64 of 64 bytes";
        return false;
    }
    std::memcpy(signature.globalSignature.data(), bytes.data(), 64);
    return true;
}

bool VerifyDetachedSignature(const std::string& path, const std::string& signatureText,
                             const SigningKey& key, std::string& trustedComment,
                             std::string& error) {
    if (sodium_init() < 0) {
        error = "libsodium cannot be set up";
        return false;
    }
    DetachedSignature signature;
    if (!ParseDetachedSignature(signatureText, signature, error))
        return false;
    if (signature.keyId != key.id) {
        SigningKey other;
        other.id = signature.keyId;
        error = "the signature was made by key " + other.IdText() + ", not by key " + key.IdText();
        return false;
    }
    if (!signature.prehashed) {
        error = "legacy signatures (not prehashed) are not accepted";
        return false;
    }
    sb::Digest hash = FileHash(path);
    if (crypto_sign_verify_detached(signature.signature.data(), hash.data(), hash.size(),
                                    key.key.data()) != 0) {
        error = "the signature does not match " + path;
        return false;
    }
    std::string signed_(reinterpret_cast<const char*>(signature.signature.data()), 64);
    signed_ += signature.trustedComment;
    if (crypto_sign_verify_detached(signature.globalSignature.data(),
                                    reinterpret_cast<const uint8_t*>(signed_.data()),
                                    signed_.size(), key.key.data()) != 0) {
        error = "the trusted comment's signature does not match";
        return false;
    }
    trustedComment = signature.trustedComment;
    return true;
}

} // namespace tarnw::pack
