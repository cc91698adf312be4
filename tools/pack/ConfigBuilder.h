#pragma once

// Builds the package configuration message from a manifest, keys in the order the
// installer documents them.

#include <cstdint>

#include "Manifest.h"

class BMessage;

namespace tarnw::pack {

// Fills config (emptied first). deinstallerSize is the size of the deinstaller program
// the installer carries, 0 when it carries none.
void BuildConfiguration(const Manifest& manifest, int32_t deinstallerSize, BMessage& config);

// One "install_file" record for a manifest file: the file fields read from the real
// file (size with attributes, dates, icon), its groups, and "install_meta".
void BuildInstallFileRecord(const ManifestFile& file, BMessage& record);

} // namespace tarnw::pack
