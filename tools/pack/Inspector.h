#pragma once

// Looks inside a built installer: its resources, its configuration, raw resource bytes,
// and whether everything in it is intact.

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

namespace tarnw::pack {

// One resource a line: type, id, size, name. Returns false (with a reason in error) when
// the file carries no readable resources.
bool ListResources(const std::filesystem::path& installer, std::ostream& out, std::string& error);

// The configuration, printed readably; large raw fields are summarised.
bool PrintConfiguration(const std::filesystem::path& installer, std::ostream& out,
                        std::string& error);

// Copies the raw bytes of resource (type, id) to outFile, in pieces.
bool ExtractResource(const std::filesystem::path& installer, uint32_t type, int32_t id,
                     const std::filesystem::path& outFile, std::string& error);

// Checks every resource's checksum, that the configuration loads, and that every payload
// the configuration names is present and is an intact archive.
bool VerifyInstaller(const std::filesystem::path& installer, std::string& error);

// "CSTR" -> 'CSTR'; also accepts a decimal or 0x number. False when it is neither.
bool ParseTypeCode(const std::string& text, uint32_t& type);
std::string TypeCodeText(uint32_t type);

} // namespace tarnw::pack
