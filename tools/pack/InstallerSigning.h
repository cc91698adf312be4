#pragma once

// Signing installers. The signature block (storage/InstallerSignature.h) goes right before
// the container's index; signing an installer that is signed already replaces its block,
// so a file carries at most one. Detached signatures are minisign's ".minisig" files over
// the whole file, so that `minisign -V` checks a download without this tool.

#include <string>

#include "SecretKey.h"
#include "files/SigningKey.h"

namespace tarnw::pack {

// Signs the installer at `path` in place (a new file renamed over it) with `key`; the
// signer's name is `signer`, else the key's comment. Throws std::runtime_error.
void SignInstaller(const std::string& path, const SecretKey& key, const std::string& signer);

// Writes `signaturePath` (minisign's format, prehashed with BLAKE2b-512) for the file at
// `path`, with `trustedComment` signed along. Throws std::runtime_error.
void WriteDetachedSignature(const std::string& path, const std::string& signaturePath,
                            const SecretKey& key, const std::string& trustedComment);

// Checks a minisign signature file's text against the file at `path` and `key`. False
// with `error` when it does not hold; `trustedComment` is set when it does.
bool VerifyDetachedSignature(const std::string& path, const std::string& signatureText,
                             const SigningKey& key, std::string& trustedComment,
                             std::string& error);

// Decodes a minisign signature file's text: the algorithm ("Ed" or "ED"), key id, the
// signature, the trusted comment and the global signature. Bounds-checked (the fuzzer's
// entry point too).
struct DetachedSignature {
    bool prehashed = true;
    std::array<uint8_t, 8> keyId{};
    std::array<uint8_t, 64> signature{};
    std::string trustedComment;
    std::array<uint8_t, 64> globalSignature{};
};
bool ParseDetachedSignature(const std::string& text, DetachedSignature& signature,
                            std::string& error);

} // namespace tarnw::pack
