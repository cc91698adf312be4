// Hostile bytes as a signature block, as a public key and as base64: the parsers must
// answer without reading out of bounds, and what they accept must encode back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/InstallerSignature.h"
#include "files/SigningKey.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    signature_block::Block block;
    std::string reason;
    if (signature_block::Parse(data, size, block, reason) == B_OK) {
        // Everything but the reserved zeros is a field: the block encodes back as it was.
        if (signature_block::Encode(block) != std::vector<uint8_t>(data, data + size))
            abort();
        signature_block::SignatureHolds(data, size, block.key);
    }
    std::string text(reinterpret_cast<const char*>(data), size);
    SigningKey key;
    std::string error;
    if (ParseSigningKey(text, key, error)) {
        SigningKey again;
        if (!ParseSigningKey(key.Base64(), again, error) || !(again == key))
            abort();
    }
    std::string bytes;
    if (Base64Decode(text, bytes, 4096) &&
        Base64Encode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).size() !=
            text.size())
        abort();
    return 0;
}
