#include "platform/interface/gui/TranslationUtils.h"

#include <FL/Fl_Image.H>
#include <FL/Fl_JPEG_Image.H>
#include <FL/Fl_PNG_Image.H>

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/interface/gui/Bitmap.h"

namespace {

enum class Format { Unknown, Png, Jpeg };

Format Sniff(const char* path) {
    unsigned char head[8] = {};
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return Format::Unknown;
    size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (got == 8 && std::memcmp(head, kPng, 8) == 0)
        return Format::Png;
    if (got >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff)
        return Format::Jpeg;
    return Format::Unknown;
}

} // namespace

BBitmap* BTranslationUtils::GetBitmap(const char* path) {
    if (!path)
        return nullptr;
    std::unique_ptr<Fl_RGB_Image> image;
    switch (Sniff(path)) {
    case Format::Png:
        image = std::make_unique<Fl_PNG_Image>(path);
        break;
    case Format::Jpeg:
        image = std::make_unique<Fl_JPEG_Image>(path);
        break;
    case Format::Unknown:
        return nullptr;
    }
    int w = image->w(), h = image->h(), depth = image->d();
    if (image->fail() || w <= 0 || h <= 0 || w > B_MAX_BITMAP_SIDE || h > B_MAX_BITMAP_SIDE ||
        !image->data() || !image->data()[0] || depth < 1 || depth > 4)
        return nullptr;
    bool alpha = depth == 2 || depth == 4;
    auto* bitmap = new BBitmap(BRect(0, 0, w - 1, h - 1), alpha ? B_RGBA32 : B_RGB32);
    if (bitmap->InitCheck() != B_OK) {
        delete bitmap;
        return nullptr;
    }
    const unsigned char* data = (const unsigned char*)image->data()[0];
    int lineBytes = image->ld() ? image->ld() : w * depth;
    for (int y = 0; y < h; y++) {
        const unsigned char* row = data + (size_t)y * lineBytes;
        for (int x = 0; x < w; x++) {
            const unsigned char* p = row + (size_t)x * depth;
            rgb_color c;
            if (depth <= 2)
                c = rgb_color{p[0], p[0], p[0], depth == 2 ? p[1] : (uint8)255};
            else
                c = rgb_color{p[0], p[1], p[2], depth == 4 ? p[3] : (uint8)255};
            bitmap->SetColorAt(x, y, c);
        }
    }
    return bitmap;
}
