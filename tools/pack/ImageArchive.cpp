#include "ImageArchive.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>

#include <jpeglib.h>
#include <png.h>

#include "platform/app/Message.h"
#include "platform/interface/Rect.h"

namespace tarnw::pack {

namespace {

constexpr int32_t kColorSpaceRgb32 = 0x0008;
constexpr uint64_t kMaxPixels = 64ull * 1024 * 1024; // refuses absurd dimensions

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

RgbaImage DecodePng(FILE* file, const std::string& name) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        throw std::runtime_error("out of memory reading " + name);
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        throw std::runtime_error("out of memory reading " + name);
    }
    RgbaImage image;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw std::runtime_error(name + ": damaged PNG image");
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || uint64_t(width) * height > kMaxPixels) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw std::runtime_error(name + ": image dimensions out of range");
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    image.width = width;
    image.height = height;
    image.pixels.resize(size_t(width) * height * 4);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = image.pixels.data() + size_t(y) * width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return image;
}

struct JpegError {
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void JpegExit(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    longjmp(error->jump, 1);
}

RgbaImage DecodeJpeg(FILE* file, const std::string& name) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegExit;
    RgbaImage image;
    std::vector<uint8_t> row;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        throw std::runtime_error(name + ": damaged JPEG image");
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width == 0 || info.output_height == 0 ||
        uint64_t(info.output_width) * info.output_height > kMaxPixels ||
        info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        throw std::runtime_error(name + ": image dimensions out of range");
    }
    image.width = info.output_width;
    image.height = info.output_height;
    image.pixels.resize(size_t(image.width) * image.height * 4);
    row.resize(size_t(image.width) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rowPointer = row.data();
        uint32_t y = info.output_scanline;
        jpeg_read_scanlines(&info, &rowPointer, 1);
        uint8_t* out = image.pixels.data() + size_t(y) * image.width * 4;
        for (uint32_t x = 0; x < image.width; ++x) {
            out[x * 4 + 0] = row[x * 3 + 0];
            out[x * 4 + 1] = row[x * 3 + 1];
            out[x * 4 + 2] = row[x * 3 + 2];
            out[x * 4 + 3] = 0xff;
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

} // namespace

RgbaImage DecodeImage(const std::filesystem::path& path) {
    std::string name = path.string();
    FilePtr file(std::fopen(name.c_str(), "rb"));
    if (!file)
        throw std::runtime_error("cannot open " + name);
    unsigned char magic[8] = {};
    size_t got = std::fread(magic, 1, sizeof magic, file.get());
    std::rewind(file.get());
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (got == 8 && std::memcmp(magic, kPng, 8) == 0)
        return DecodePng(file.get(), name);
    if (got >= 3 && magic[0] == 0xff && magic[1] == 0xd8 && magic[2] == 0xff)
        return DecodeJpeg(file.get(), name);
    throw std::runtime_error(name + ": not a PNG or JPEG image");
}

RgbaImage FitImage(const RgbaImage& image, uint32_t width, uint32_t height) {
    RgbaImage fitted;
    fitted.width = width;
    fitted.height = height;
    fitted.pixels.assign(size_t(width) * height * 4, 0);
    for (size_t i = 0; i < fitted.pixels.size(); i += 4) {
        fitted.pixels[i] = fitted.pixels[i + 1] = fitted.pixels[i + 2] = 216;
        fitted.pixels[i + 3] = 0xff;
    }
    if (image.width == 0 || image.height == 0)
        return fitted;
    // Scale factor that fits the whole image; each target pixel averages the source
    // pixels it covers, so large pictures shrink without aliasing.
    double scale = std::min(double(width) / image.width, double(height) / image.height);
    uint32_t scaledWidth = std::max<uint32_t>(1, uint32_t(image.width * scale + 0.5));
    uint32_t scaledHeight = std::max<uint32_t>(1, uint32_t(image.height * scale + 0.5));
    scaledWidth = std::min(scaledWidth, width);
    scaledHeight = std::min(scaledHeight, height);
    uint32_t left = (width - scaledWidth) / 2;
    uint32_t top = (height - scaledHeight) / 2;
    for (uint32_t y = 0; y < scaledHeight; ++y) {
        uint32_t sy0 = uint32_t(uint64_t(y) * image.height / scaledHeight);
        uint32_t sy1 = std::max(sy0 + 1, uint32_t(uint64_t(y + 1) * image.height / scaledHeight));
        for (uint32_t x = 0; x < scaledWidth; ++x) {
            uint32_t sx0 = uint32_t(uint64_t(x) * image.width / scaledWidth);
            uint32_t sx1 = std::max(sx0 + 1, uint32_t(uint64_t(x + 1) * image.width / scaledWidth));
            uint64_t sum[4] = {0, 0, 0, 0};
            uint64_t count = 0;
            for (uint32_t sy = sy0; sy < sy1 && sy < image.height; ++sy)
                for (uint32_t sx = sx0; sx < sx1 && sx < image.width; ++sx) {
                    const uint8_t* p = &image.pixels[(size_t(sy) * image.width + sx) * 4];
                    // Transparent parts blend onto the grey background.
                    uint32_t alpha = p[3];
                    for (int c = 0; c < 3; ++c)
                        sum[c] += (p[c] * alpha + 216 * (255 - alpha)) / 255;
                    ++count;
                }
            uint8_t* out = &fitted.pixels[(size_t(top + y) * width + left + x) * 4];
            for (int c = 0; c < 3; ++c)
                out[c] = uint8_t(sum[c] / std::max<uint64_t>(count, 1));
            out[3] = 0xff;
        }
    }
    return fitted;
}

void ArchiveBitmap(const RgbaImage& image, BMessage& archive) {
    std::vector<uint8_t> bgra(image.pixels.size());
    for (size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
        bgra[i + 0] = image.pixels[i + 2];
        bgra[i + 1] = image.pixels[i + 1];
        bgra[i + 2] = image.pixels[i + 0];
        bgra[i + 3] = image.pixels[i + 3];
    }
    archive.AddString("class", "BBitmap");
    archive.AddRect("_frame", BRect(0, 0, float(image.width) - 1, float(image.height) - 1));
    archive.AddInt32("_cspace", kColorSpaceRgb32);
    archive.AddInt32("_bmflags", 0);
    archive.AddInt32("_rowbytes", int32_t(image.width * 4));
    archive.AddData("_data", B_RAW_TYPE, bgra.data(), ssize_t(bgra.size()));
}

} // namespace tarnw::pack
