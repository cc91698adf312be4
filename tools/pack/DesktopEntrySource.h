#pragma once

// The "desktop_entries" of a manifest: menu entries the installer writes for the desktop,
// each starting a program of the package, with an icon carried in the configuration.
// Everything is checked here, so that what fails would fail on the packager's machine.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tarnw::pack {

struct Manifest;

struct ManifestDesktopEntry {
    std::string id; // the file name without ".desktop", also the icon's name
    std::string name;
    std::string comment;
    int32_t item = 0;       // index in "files" of the item that holds the program
    std::string pathInItem; // the program inside a folder item; empty for the item itself
    std::vector<std::string> args;
    std::vector<std::string> categories;
    bool terminal = false;
    std::string iconType; // "png", "svg", or empty without an icon
    int32_t iconSize = 0; // a PNG icon's side in pixels
    std::string iconData;
    // An SVG icon drawn as a PNG of kIconPictureSide pixels, for the installer window;
    // empty for a PNG icon (the window takes that one as it is) or when it cannot be drawn.
    std::string iconPicture;
};

// The side of the picture an SVG icon is drawn into for the installer window: large
// enough for a window manager's largest icon, at twice the scale.
constexpr int kIconPictureSide = 128;

// Icons are carried inside the configuration; a larger file is refused.
constexpr size_t kLargestIconBytes = 1024 * 1024;

// Parses "desktop_entries" (an array) against the manifest's parsed files.
std::vector<ManifestDesktopEntry> ParseDesktopEntries(const nlohmann::json& entries,
                                                      const Manifest& manifest);

// The file name (without ".desktop") of an entry, unique per package: letters, digits,
// '-' and '_' only, as desktop file names should be.
std::string DesktopEntryId(const std::string& installFolderName, const std::string& entryName);

// The side of a square PNG image in pixels from its header; -1 when the bytes are not a
// PNG, 0 when it is not square.
int32_t PngSide(const std::string& bytes);

} // namespace tarnw::pack
