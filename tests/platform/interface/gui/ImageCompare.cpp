#include "ImageCompare.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

Image Image::Crop(int32 left, int32 top, int32 w, int32 h) const {
    Image out;
    left = std::max(0, left);
    top = std::max(0, top);
    w = std::max(0, std::min(w, width - left));
    h = std::max(0, std::min(h, height - top));
    out.width = w;
    out.height = h;
    out.pixels.resize((size_t)w * h);
    for (int32 y = 0; y < h; y++)
        for (int32 x = 0; x < w; x++)
            out.pixels[(size_t)y * w + x] = At(left + x, top + y);
    return out;
}

bool ReadPng(const std::string& path, Image* image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return false;
    png.format = PNG_FORMAT_BGRA;
    std::vector<uint8> buffer(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, buffer.data(), 0, nullptr)) {
        png_image_free(&png);
        return false;
    }
    image->width = (int32)png.width;
    image->height = (int32)png.height;
    image->pixels.resize((size_t)png.width * png.height);
    for (size_t i = 0; i < image->pixels.size(); i++) {
        const uint8* p = &buffer[i * 4];
        image->pixels[i] = ((uint32)p[3] << 24) | ((uint32)p[2] << 16) | ((uint32)p[1] << 8) | p[0];
    }
    return true;
}

bool WritePng(const std::string& path, const Image& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = (png_uint_32)image.width;
    png.height = (png_uint_32)image.height;
    png.format = PNG_FORMAT_BGRA;
    std::vector<uint8> buffer(image.pixels.size() * 4);
    for (size_t i = 0; i < image.pixels.size(); i++) {
        uint32 v = image.pixels[i];
        buffer[i * 4] = v & 0xff;
        buffer[i * 4 + 1] = (v >> 8) & 0xff;
        buffer[i * 4 + 2] = (v >> 16) & 0xff;
        buffer[i * 4 + 3] = 0xff;
    }
    return png_image_write_to_file(&png, path.c_str(), 0, buffer.data(), 0, nullptr) != 0;
}

ImageDifference CompareImages(const Image& a, const Image& b, int32 tolerance) {
    ImageDifference result;
    result.sameSize = a.width == b.width && a.height == b.height;
    if (!result.sameSize)
        return result;
    for (size_t i = 0; i < a.pixels.size(); i++) {
        uint32 p = a.pixels[i], q = b.pixels[i];
        int32 worst = 0;
        for (int shift = 0; shift < 24; shift += 8)
            worst = std::max(worst,
                             std::abs((int32)((p >> shift) & 0xff) - (int32)((q >> shift) & 0xff)));
        result.largest = std::max(result.largest, worst);
        if (worst > tolerance)
            result.differing++;
    }
    return result;
}
