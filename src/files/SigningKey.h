#pragma once

// Ed25519 public keys in minisign's format, so that the key that signs an installer is
// the one a user checks a download with (`minisign -V -p KEY.pub`). A key file is two
// lines: "untrusted comment: ..." and the base64 of "Ed", the 8-byte key id and the
// 32-byte key. The text given may be a whole key file or the base64 line alone; it is
// hostile either way, and every length is checked before a byte is used.

#include <array>
#include <string>

#include "platform/support/SupportDefs.h"

struct SigningKey {
    std::array<uint8, 8> id{};
    std::array<uint8, 32> key{};

    bool operator==(const SigningKey& other) const = default;
    // The key id as minisign prints it: 16 upper-case hex digits of the id read as a
    // little-endian number.
    std::string IdText() const;
    // The base64 line of a key file ("RW...").
    std::string Base64() const;
};

// Decodes a key file's text or its base64 line. False with `error` set otherwise.
bool ParseSigningKey(const std::string& text, SigningKey& key, std::string& error);

// A key given on a command line: the path of a key file, or the base64 key itself.
bool LoadSigningKey(const std::string& fileOrKey, SigningKey& key, std::string& error);

// A public key file minisign reads, with `comment` on its first line.
std::string SigningKeyFileText(const SigningKey& key, const std::string& comment);

// Base64 (the standard alphabet, with padding) as minisign writes it. Decoding refuses
// anything but the alphabet and padding, and more than `maxBytes` bytes of output.
std::string Base64Encode(const uint8* bytes, size_t size);
bool Base64Decode(const std::string& text, std::string& bytes, size_t maxBytes);
