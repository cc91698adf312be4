#pragma once

// Ed25519 key pairs in minisign's formats, so that `minisign` signs with our keys and we
// sign with its keys. A secret key file is two lines: "untrusted comment: COMMENT" and the
// base64 of
//   "Ed", the key derivation ("Sc" scrypt, or two zero bytes without a passphrase), "B2",
//   32 bytes of salt, 8 + 8 bytes of scrypt limits (little-endian), then 104 bytes that
//   the passphrase's scrypt stream encrypts: the 8-byte key id, the 64-byte secret key
//   and a 32-byte BLAKE2b checksum of "Ed", the id and the key.
// The file's bytes are hostile: lengths, algorithms and limits are checked before use.

#include <array>
#include <functional>
#include <string>

#include "files/SigningKey.h"

namespace tarnw::pack {

struct SecretKey {
    std::array<uint8_t, 8> id{};
    std::array<uint8_t, 64> key{}; // libsodium's secret key: seed then public key
    std::string comment;           // the file's comment line, without its prefix

    SigningKey Public() const;
};

// Asked for the passphrase of an encrypted key; returns false when none can be had.
using PassphraseSource = std::function<bool(std::string& passphrase)>;

// Reads a secret key file. False with `error` (the path and what is wrong).
bool LoadSecretKey(const std::string& path, const PassphraseSource& passphrase, SecretKey& key,
                   std::string& error);
// Decodes a secret key file's text (the fuzzer's entry point too).
bool ParseSecretKey(const std::string& text, const PassphraseSource& passphrase, SecretKey& key,
                    std::string& error);

// Makes a new key pair with `comment` and writes both files: the secret key 0600 (made
// with that mode, never readable by others in between), encrypted when `passphrase` is
// not empty. Existing files are not replaced. Throws std::runtime_error.
// `lightKdf` takes scrypt's "interactive" limits (16 MiB, well under a second) instead of
// minisign's "sensitive" ones (1 GiB, seconds): for throwaway keys and tests.
SecretKey GenerateKeyPair(const std::string& publicPath, const std::string& secretPath,
                          const std::string& comment, const std::string& passphrase,
                          bool lightKdf = false);

// The text of a secret key file for `key`; encrypted with scrypt when `passphrase` is
// not empty (`opsLimit`/`memLimit` as minisign's: the defaults are its "sensitive" ones).
std::string SecretKeyFileText(const SecretKey& key, const std::string& passphrase,
                              uint64_t opsLimit = 0, uint64_t memLimit = 0);

} // namespace tarnw::pack
