#pragma once

// Screenshots as 32-bit pixels (0xAARRGGBB), PNG files, and comparison within a tolerance.

#include <string>
#include <vector>

#include "platform/support/SupportDefs.h"

struct Image {
    int32 width = 0;
    int32 height = 0;
    std::vector<uint32> pixels;

    uint32 At(int32 x, int32 y) const { return pixels[(size_t)y * width + x]; }
    Image Crop(int32 left, int32 top, int32 width, int32 height) const;
};

bool ReadPng(const std::string& path, Image* image);
bool WritePng(const std::string& path, const Image& image);

struct ImageDifference {
    bool sameSize = false;
    // Pixels whose channels differ by more than the per-channel tolerance.
    int64 differing = 0;
    int32 largest = 0;
};

ImageDifference CompareImages(const Image& a, const Image& b, int32 channelTolerance);
