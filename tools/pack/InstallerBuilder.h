#pragma once

// Writes an installer: a copy of the installer stub with the package's resources appended
// (the configuration, one payload per item, the deinstaller, the string catalogue).

#include <filesystem>
#include <string>

#include "Manifest.h"

namespace tarnw::pack {

struct BuildOptions {
    std::filesystem::path output;
    std::filesystem::path stub;        // the installer program; empty: found beside us
    std::filesystem::path deinstaller; // the deinstaller program; empty: found beside us
};

// The programs tarnw-pack carries, found beside its own executable unless named by
// $TARNW_STUB / $TARNW_DEINSTALLER.
std::filesystem::path DefaultStub();
std::filesystem::path DefaultDeinstaller();

// Throws std::runtime_error with the reason; the output is only created when everything
// succeeded (it is written under a temporary name and renamed at the end).
void BuildInstaller(const Manifest& manifest, const BuildOptions& options);

// Resource ids.
constexpr int32_t kDeinstallerId = 2001;
constexpr int32_t kFirstPayloadId = 2100;

} // namespace tarnw::pack
