#pragma once

// Turns a PNG or JPEG file into the archived 150 x 200 RGB32 bitmap that the installer
// shows in its about area.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class BMessage;

namespace tarnw::pack {

struct RgbaImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels; // width * height * 4, R G B A
};

// Decodes a PNG or JPEG file (told apart by content); throws std::runtime_error with a
// clear reason when the file is neither or is damaged.
RgbaImage DecodeImage(const std::filesystem::path& file);

// Fits the image into width x height keeping its proportions, centred on a background of
// the window's grey.
RgbaImage FitImage(const RgbaImage& image, uint32_t width, uint32_t height);

// Archives an image as the platform's bitmap archive: "class", "_frame", "_cspace"
// (B_RGB32), "_bmflags", "_rowbytes", "_data" (blue, green, red, alpha per pixel).
void ArchiveBitmap(const RgbaImage& image, BMessage& archive);

constexpr uint32_t kAboutImageWidth = 150;
constexpr uint32_t kAboutImageHeight = 200;

} // namespace tarnw::pack
