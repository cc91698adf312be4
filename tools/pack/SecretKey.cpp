#include "SecretKey.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sodium.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnw::pack {

namespace {

constexpr const char* kCommentPrefix = "untrusted comment: ";
constexpr size_t kSaltSize = crypto_pwhash_scryptsalsa208sha256_SALTBYTES; // 32
constexpr size_t kSecretPartSize = 8 + 64 + 32;
constexpr size_t kFileBytes = 2 + 2 + 2 + kSaltSize + 8 + 8 + kSecretPartSize; // 158
// Scrypt limits beyond these would let a key file make us work or allocate for hours.
constexpr uint64_t kMaxOpsLimit = uint64_t(1) << 34;
constexpr uint64_t kMaxMemLimit = uint64_t(1) << 32;

void Put64(uint8_t* at, uint64_t value) {
    for (int i = 0; i < 8; i++)
        at[i] = uint8_t(value >> (8 * i));
}
uint64_t Get64(const uint8_t* at) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; i--)
        value = value << 8 | at[i];
    return value;
}

void Checksum(const uint8_t* id, const uint8_t* key, uint8_t* out) {
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, 32);
    crypto_generichash_update(&state, reinterpret_cast<const uint8_t*>("Ed"), 2);
    crypto_generichash_update(&state, id, 8);
    crypto_generichash_update(&state, key, 64);
    crypto_generichash_final(&state, out, 32);
}

bool Scrypt(uint8_t* stream, const std::string& passphrase, const uint8_t* salt, uint64_t ops,
            uint64_t mem) {
    return crypto_pwhash_scryptsalsa208sha256(stream, kSecretPartSize, passphrase.data(),
                                              passphrase.size(), salt, ops, size_t(mem)) == 0;
}

void WriteNewFile(const std::string& path, const std::string& text, mode_t mode) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd < 0)
        throw std::runtime_error(path + ": " + std::strerror(errno));
    bool ok = fchmod(fd, mode) == 0 &&
              write(fd, text.data(), text.size()) == ssize_t(text.size()) && fsync(fd) == 0;
    int error = errno;
    close(fd);
    if (!ok) {
        unlink(path.c_str());
        throw std::runtime_error(path + ": " + std::strerror(error));
    }
}

} // namespace

SigningKey SecretKey::Public() const {
    SigningKey pub;
    pub.id = id;
    std::memcpy(pub.key.data(), key.data() + 32, 32);
    return pub;
}

bool ParseSecretKey(const std::string& text, const PassphraseSource& passphrase, SecretKey& key,
                    std::string& error) {
    if (sodium_init() < 0) {
        error = "libsodium cannot be set up";
        return false;
    }
    if (text.size() > 4096 || text.rfind(kCommentPrefix, 0) != 0) {
        error = "not a secret key file (its first line must be an untrusted comment)";
        return false;
    }
    size_t lineEnd = text.find('\n');
    if (lineEnd == std::string::npos) {
        error = "the secret key file holds no key";
        return false;
    }
    key.comment = text.substr(std::strlen(kCommentPrefix), lineEnd - std::strlen(kCommentPrefix));
    if (!key.comment.empty() && key.comment.back() == '\r')
        key.comment.pop_back();
    std::string line = text.substr(lineEnd + 1);
    if (size_t end = line.find_first_of("\r\n"); end != std::string::npos)
        line.resize(end);
    std::string raw;
    if (!Base64Decode(line, raw, kFileBytes) || raw.size() != kFileBytes) {
        error = "the secret key is not base64 of " + std::to_string(kFileBytes) + " bytes";
        return false;
    }
    uint8_t* b = reinterpret_cast<uint8_t*>(raw.data());
    if (std::memcmp(b, "Ed", 2) != 0) {
        error = "not an Ed25519 secret key";
        return false;
    }
    if (std::memcmp(b + 4, "B2", 2) != 0) {
        error = "the secret key names an unknown checksum";
        return false;
    }
    const uint8_t* salt = b + 6;
    uint64_t ops = Get64(b + 6 + kSaltSize);
    uint64_t mem = Get64(b + 6 + kSaltSize + 8);
    uint8_t* secret = b + 6 + kSaltSize + 16;
    bool encrypted = std::memcmp(b + 2, "Sc", 2) == 0;
    if (encrypted) {
        if (ops > kMaxOpsLimit || mem > kMaxMemLimit) {
            error = "the secret key's scrypt limits are out of range";
            return false;
        }
        std::string words;
        if (!passphrase || !passphrase(words)) {
            error = "the secret key is protected by a passphrase, and none was given";
            return false;
        }
        uint8_t stream[kSecretPartSize];
        bool derived = Scrypt(stream, words, salt, ops, mem);
        sodium_memzero(words.data(), words.size());
        if (!derived) {
            error = "the passphrase could not be applied (scrypt failed)";
            return false;
        }
        for (size_t i = 0; i < kSecretPartSize; i++)
            secret[i] ^= stream[i];
        sodium_memzero(stream, sizeof stream);
    } else if (b[2] != 0 || b[3] != 0) {
        error = "the secret key names an unknown key derivation";
        return false;
    }
    // minisign leaves the checksum of a key without passphrase empty; the key's public half
    // must still be the one its seed makes.
    uint8_t check[32];
    Checksum(secret, secret + 8, check);
    bool sumMatches = sodium_memcmp(check, secret + 72, 32) == 0 ||
                      (!encrypted && sodium_is_zero(secret + 72, 32));
    uint8_t derived[32], derivedSecret[64];
    crypto_sign_seed_keypair(derived, derivedSecret, secret + 8);
    bool pairMatches = sodium_memcmp(derived, secret + 8 + 32, 32) == 0;
    sodium_memzero(derivedSecret, sizeof derivedSecret);
    bool matches = sumMatches && pairMatches;
    if (matches) {
        std::memcpy(key.id.data(), secret, 8);
        std::memcpy(key.key.data(), secret + 8, 64);
    }
    sodium_memzero(raw.data(), raw.size());
    if (!matches)
        error = encrypted ? "wrong passphrase for the secret key"
                          : "the secret key's checksum does not match";
    return matches;
}

bool LoadSecretKey(const std::string& path, const PassphraseSource& passphrase, SecretKey& key,
                   std::string& error) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        error = path + ": " + std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return false;
    }
    std::string text;
    if (!S_ISREG(st.st_mode) || st.st_size > 4096) {
        close(fd);
        error = path + ": not a secret key file";
        return false;
    }
    text.resize(size_t(st.st_size));
    bool read_ok = read(fd, text.data(), text.size()) == ssize_t(text.size());
    close(fd);
    if (!read_ok) {
        error = path + ": cannot be read";
        return false;
    }
    bool parsed = ParseSecretKey(text, passphrase, key, error);
    sodium_memzero(text.data(), text.size());
    if (!parsed)
        error = path + ": " + error;
    return parsed;
}

std::string SecretKeyFileText(const SecretKey& key, const std::string& passphrase,
                              uint64_t opsLimit, uint64_t memLimit) {
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be set up");
    uint8_t raw[kFileBytes] = {'E', 'd', 0, 0, 'B', '2'};
    uint8_t* salt = raw + 6;
    uint8_t* secret = raw + 6 + kSaltSize + 16;
    std::memcpy(secret, key.id.data(), 8);
    std::memcpy(secret + 8, key.key.data(), 64);
    Checksum(secret, secret + 8, secret + 72);
    if (!passphrase.empty()) {
        raw[2] = 'S';
        raw[3] = 'c';
        randombytes_buf(salt, kSaltSize);
        uint64_t ops =
            opsLimit != 0 ? opsLimit : crypto_pwhash_scryptsalsa208sha256_OPSLIMIT_SENSITIVE;
        uint64_t mem =
            memLimit != 0 ? memLimit : crypto_pwhash_scryptsalsa208sha256_MEMLIMIT_SENSITIVE;
        Put64(raw + 6 + kSaltSize, ops);
        Put64(raw + 6 + kSaltSize + 8, mem);
        uint8_t stream[kSecretPartSize];
        if (!Scrypt(stream, passphrase, salt, ops, mem))
            throw std::runtime_error("the passphrase could not be applied (scrypt failed)");
        for (size_t i = 0; i < kSecretPartSize; i++)
            secret[i] ^= stream[i];
        sodium_memzero(stream, sizeof stream);
    }
    std::string text = kCommentPrefix + key.comment + "\n" + Base64Encode(raw, sizeof raw) + "\n";
    sodium_memzero(raw, sizeof raw);
    return text;
}

SecretKey GenerateKeyPair(const std::string& publicPath, const std::string& secretPath,
                          const std::string& comment, const std::string& passphrase,
                          bool lightKdf) {
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be set up");
    if (comment.find_first_of("\r\n") != std::string::npos)
        throw std::runtime_error("the key's comment must be one line");
    SecretKey key;
    key.comment = comment;
    randombytes_buf(key.id.data(), key.id.size());
    uint8_t publicKey[32];
    crypto_sign_keypair(publicKey, key.key.data());
    for (const std::string& path : {publicPath, secretPath}) {
        if (access(path.c_str(), F_OK) == 0)
            throw std::runtime_error(path + " exists already; it is not replaced");
    }
    std::string secret =
        lightKdf ? SecretKeyFileText(key, passphrase,
                                     crypto_pwhash_scryptsalsa208sha256_OPSLIMIT_INTERACTIVE,
                                     crypto_pwhash_scryptsalsa208sha256_MEMLIMIT_INTERACTIVE)
                 : SecretKeyFileText(key, passphrase);
    WriteNewFile(secretPath, secret, 0600);
    sodium_memzero(secret.data(), secret.size());
    WriteNewFile(
        publicPath,
        SigningKeyFileText(key.Public(), "minisign public key " + key.Public().IdText() +
                                             (comment.empty() ? "" : " (" + comment + ")")),
        0644);
    return key;
}

} // namespace tarnw::pack
