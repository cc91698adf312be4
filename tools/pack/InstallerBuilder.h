#pragma once

// Writes an installer: a copy of the installer stub with the package's resources appended
// (the configuration, one payload per item, the deinstaller record, the string catalogue).
// The installer program is also the deinstaller: when the package includes one, the run
// places a copy of its own program image with the deinstaller's resources.

#include <filesystem>
#include <string>

#include "Manifest.h"
#include "SecretKey.h"

namespace tarnw::pack {

struct BuildOptions {
    std::filesystem::path output;
    std::filesystem::path stub;            // the installer program; empty: found beside us
    const SecretKey* signingKey = nullptr; // signs the installer when set
    std::string signer;                    // the signer's name; empty: the key's comment
};

// The program tarnw-pack carries, found beside its own executable unless named by
// $TARNW_STUB.
std::filesystem::path DefaultStub();

// Throws std::runtime_error with the reason; the output is only created when everything
// succeeded (it is written under a temporary name and renamed at the end).
void BuildInstaller(const Manifest& manifest, const BuildOptions& options);

// Resource ids.
constexpr int32_t kDeinstallerId = 2001;
constexpr int32_t kFirstPayloadId = 2100;

// Room for the placed deinstaller's own resources (role, configuration, records), counted
// into its size beside the program image.
constexpr uintmax_t kDeinstallerResourceAllowance = 64 * 1024;

} // namespace tarnw::pack
