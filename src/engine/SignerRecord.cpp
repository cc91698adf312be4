#include "engine/SignerRecord.h"

#include <cstring>

#include "engine/EngineTexts.h"
#include "engine/InstalledRecord.h"
#include "files/LibAppResource.h"
#include "package/PackageConfig.h"

std::string RecordedSigner::Text() const {
    return (name.empty() ? std::string("?") : name) + " (key " + key.IdText() + ")";
}

namespace SignerRecord {

void Add(BMessage& installed, const SignatureReport& signature) {
    if (!signature.Signed())
        return;
    installed.AddString("signer_key", signature.key.Base64().c_str());
    installed.AddString("signer", signature.signer.c_str());
}

std::optional<RecordedSigner> Earlier(const std::string& deinstaller, const char* product) {
    LibAppResource earlier(deinstaller.c_str(), uint32(B_READ_ONLY));
    if (!earlier.IsAttached())
        return std::nullopt;
    size_t size = 0;
    const void* bytes =
        earlier.LoadResource(kConfigurationResourceType, kConfigurationResourceId, &size);
    BMessage configuration;
    const char* name = nullptr;
    if (bytes == nullptr ||
        configuration.Unflatten(static_cast<const char*>(bytes), size) != B_OK ||
        configuration.FindString("app_name", &name) != B_OK || name == nullptr ||
        std::strcmp(name, product) != 0)
        return std::nullopt;

    RecordedSigner signer;
    BMessage installed;
    std::string error;
    const char* key = nullptr;
    if (InstalledRecord::Read(deinstaller, installed, error) &&
        installed.FindString("signer_key", &key) == B_OK && key != nullptr &&
        ParseSigningKey(key, signer.key, error)) {
        signer.isSigned = true;
        const char* signerName = nullptr;
        if (installed.FindString("signer", &signerName) == B_OK && signerName != nullptr)
            signer.name = signerName;
        return signer;
    }
    // The block the deinstaller carries names the key too; its signature must hold.
    const void* block = earlier.LoadResource(kSignatureResourceType, kSignatureResourceId, &size);
    signature_block::Block parsed;
    if (block != nullptr &&
        signature_block::Parse(static_cast<const uint8*>(block), size, parsed, error) == B_OK &&
        signature_block::SignatureHolds(static_cast<const uint8*>(block), size, parsed.key)) {
        signer.isSigned = true;
        signer.key = parsed.key;
        signer.name = parsed.signer;
    }
    return signer;
}

bool ChangeNeedsConsent(const RecordedSigner& earlier, const SignatureReport& current) {
    if (!earlier.isSigned)
        return false;
    return !current.Signed() || !(current.key == earlier.key);
}

std::string Notice(xLocalize& localize, const SignatureReport& signature) {
    EngineTexts texts(localize);
    return signature.Signed() ? texts.Format(1305, signature.SignerText().c_str())
                              : texts.Get(1306);
}

} // namespace SignerRecord
