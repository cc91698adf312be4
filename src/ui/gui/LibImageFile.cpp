#include "ui/gui/LibImageFile.h"

#include <FL/Fl_BMP_Image.H>
#include <FL/Fl_GIF_Image.H>
#include <FL/Fl_JPEG_Image.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/Fl_PNM_Image.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_XPM_Image.H>

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/TranslationUtils.h"

namespace {

enum class Format { Unknown, Png, Jpeg, Bmp, Gif, Xpm, Pnm };

Format Sniff(const char* path) {
    unsigned char head[16] = {0};
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return Format::Unknown;
    size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    if (got >= 8 && std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0)
        return Format::Png;
    if (got >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff)
        return Format::Jpeg;
    if (got >= 2 && head[0] == 'B' && head[1] == 'M')
        return Format::Bmp;
    if (got >= 6 && (std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0))
        return Format::Gif;
    if (got >= 9 && std::memcmp(head, "/* XPM */", 9) == 0)
        return Format::Xpm;
    if (got >= 2 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6')
        return Format::Pnm;
    return Format::Unknown;
}

// Decoders that yield pixels directly, and those (GIF, XPM) that yield a pixmap.
std::unique_ptr<Fl_RGB_Image> Decode(const char* path, Format format) {
    switch (format) {
    case Format::Png:
        return std::make_unique<Fl_PNG_Image>(path);
    case Format::Jpeg:
        return std::make_unique<Fl_JPEG_Image>(path);
    case Format::Bmp:
        return std::make_unique<Fl_BMP_Image>(path);
    case Format::Pnm:
        return std::make_unique<Fl_PNM_Image>(path);
    case Format::Gif: {
        Fl_GIF_Image pixmap(path);
        if (pixmap.fail() || pixmap.w() <= 0 || pixmap.h() <= 0)
            return nullptr;
        return std::make_unique<Fl_RGB_Image>(&pixmap, FL_WHITE);
    }
    case Format::Xpm: {
        Fl_XPM_Image pixmap(path);
        if (pixmap.fail() || pixmap.w() <= 0 || pixmap.h() <= 0)
            return nullptr;
        return std::make_unique<Fl_RGB_Image>(&pixmap, FL_WHITE);
    }
    default:
        return nullptr;
    }
}

} // namespace

BBitmap* LibReadImageFile(const char* path) {
    if (path == nullptr || *path == '\0')
        return nullptr;
    // The platform's own readers first; the toolkit's decoders add BMP, GIF, XPM and PNM.
    if (BBitmap* bitmap = BTranslationUtils::GetBitmap(path))
        return bitmap;
    std::unique_ptr<Fl_RGB_Image> image = Decode(path, Sniff(path));
    if (!image || image->fail() || image->count() != 1 || image->data() == nullptr)
        return nullptr;
    int w = image->w(), h = image->h(), depth = image->d();
    if (w <= 0 || h <= 0 || w > B_MAX_BITMAP_SIDE || h > B_MAX_BITMAP_SIDE || depth < 1 ||
        depth > 4)
        return nullptr;
    int lineBytes = image->ld() != 0 ? image->ld() : w * depth;
    const unsigned char* pixels = (const unsigned char*)image->data()[0];

    auto* bitmap = new BBitmap(BRect(0, 0, w - 1, h - 1), B_RGBA32);
    if (!bitmap->IsValid()) {
        delete bitmap;
        return nullptr;
    }
    uint8* bits = (uint8*)bitmap->Bits();
    int32 rowBytes = bitmap->BytesPerRow();
    for (int y = 0; y < h; y++) {
        const unsigned char* in = pixels + (size_t)y * lineBytes;
        uint8* out = bits + (size_t)y * rowBytes;
        for (int x = 0; x < w; x++, in += depth, out += 4) {
            uint8 r, g, b, a = 255;
            if (depth <= 2) {
                r = g = b = in[0];
                if (depth == 2)
                    a = in[1];
            } else {
                r = in[0];
                g = in[1];
                b = in[2];
                if (depth == 4)
                    a = in[3];
            }
            out[0] = b;
            out[1] = g;
            out[2] = r;
            out[3] = a;
        }
    }
    return bitmap;
}
