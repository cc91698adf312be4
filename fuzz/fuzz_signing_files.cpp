// Hostile text as a secret key file and as a minisign signature file: both are parsed with
// every length checked. No passphrase is given, so an encrypted key is refused before any
// key derivation (whose limits the file names).
#include <cstdint>
#include <string>

#include "InstallerSigning.h"
#include "SecretKey.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    tarnw::pack::SecretKey key;
    std::string error;
    tarnw::pack::ParseSecretKey(
        text, [](std::string&) { return false; }, key, error);
    tarnw::pack::DetachedSignature signature;
    tarnw::pack::ParseDetachedSignature(text, signature, error);
    return 0;
}
