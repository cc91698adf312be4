#pragma once

// Who signed an installation, kept for the next installer into the same place. The
// deinstaller's record keeps the signer's key ("signer_key", the base64 line of a minisign
// public key) and name ("signer"); a deinstaller placed by a signed installer also carries
// the installer's signature block ('TWsg' 1 "TWC:signature"), which serves when the record
// cannot say. An installation without either was made by an unsigned installer.
//
// A later installer of the same product into the same place that is signed by another key,
// or not signed at all, may come from someone else: the run asks before it writes anything
// (SignerChangeRequest), and goes on only when the user allows it.

#include <optional>
#include <string>

#include "files/InstallerSignature.h"
#include "platform/app/Message.h"
#include "platform/support/SupportDefs.h"

class xLocalize;

constexpr type_code kSignatureResourceType = 'TWsg';
constexpr int32 kSignatureResourceId = 1;
constexpr const char* kSignatureResourceName = "TWC:signature";

struct RecordedSigner {
    bool isSigned = false;
    SigningKey key;
    std::string name;

    // "Example Corp (key 0123456789ABCDEF)".
    std::string Text() const;
};

namespace SignerRecord {

// Adds the signer of `signature`, when it is signed, to a deinstaller's record.
void Add(BMessage& installed, const SignatureReport& signature);

// The signer of the installation of `product` whose deinstaller is at `deinstaller`;
// nothing when there is none of that product there (or nothing can be read of it).
std::optional<RecordedSigner> Earlier(const std::string& deinstaller, const char* product);

// Whether installing what `current` signed over what `earlier` signed needs the user's
// consent: a signed installation changes hands only with it.
bool ChangeNeedsConsent(const RecordedSigner& earlier, const SignatureReport& current);

// What the user is told before the licence: "Signed by Example Corp (key ...)", or that
// nothing tells who made the installer, in the language of `localize`.
std::string Notice(xLocalize& localize, const SignatureReport& signature);

} // namespace SignerRecord
