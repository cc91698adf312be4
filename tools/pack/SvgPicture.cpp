#include "SvgPicture.h"

#include <dlfcn.h>
#include <png.h>

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace {

// The few parts of librsvg, cairo and GLib that drawing takes, as their headers declare
// them (librsvg 2.46 and newer; Debian 11 has 2.50).
struct GError {
    uint32_t domain;
    int code;
    char* message;
};
struct RsvgRectangle {
    double x, y, width, height;
};
constexpr int kCairoArgb32 = 0;

struct Rsvg {
    void* (*newFromData)(const uint8_t*, size_t, GError**) = nullptr;
    int (*renderDocument)(void*, void*, const RsvgRectangle*, GError**) = nullptr;
    void (*objectUnref)(void*) = nullptr;
    void (*errorFree)(GError*) = nullptr;
    void* (*surfaceCreate)(int, int, int) = nullptr;
    void (*surfaceDestroy)(void*) = nullptr;
    void (*surfaceFlush)(void*) = nullptr;
    int (*surfaceStatus)(void*) = nullptr;
    unsigned char* (*surfaceData)(void*) = nullptr;
    int (*surfaceStride)(void*) = nullptr;
    void* (*cairoCreate)(void*) = nullptr;
    void (*cairoDestroy)(void*) = nullptr;
    std::string missing;

    // Loads librsvg with what it links (cairo, GObject, GLib), once.
    static const Rsvg& Loaded() {
        static const Rsvg rsvg = Load();
        return rsvg;
    }

private:
    static Rsvg Load() {
        Rsvg rsvg;
        void* library = dlopen("librsvg-2.so.2", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            const char* why = dlerror();
            rsvg.missing = why != nullptr ? why : "librsvg-2.so.2 cannot be loaded";
            return rsvg;
        }
        auto find = [&](auto& function, const char* name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            if (function == nullptr && rsvg.missing.empty())
                rsvg.missing = std::string("librsvg-2.so.2 has no ") + name;
        };
        find(rsvg.newFromData, "rsvg_handle_new_from_data");
        find(rsvg.renderDocument, "rsvg_handle_render_document");
        find(rsvg.objectUnref, "g_object_unref");
        find(rsvg.errorFree, "g_error_free");
        find(rsvg.surfaceCreate, "cairo_image_surface_create");
        find(rsvg.surfaceDestroy, "cairo_surface_destroy");
        find(rsvg.surfaceFlush, "cairo_surface_flush");
        find(rsvg.surfaceStatus, "cairo_surface_status");
        find(rsvg.surfaceData, "cairo_image_surface_get_data");
        find(rsvg.surfaceStride, "cairo_image_surface_get_stride");
        find(rsvg.cairoCreate, "cairo_create");
        find(rsvg.cairoDestroy, "cairo_destroy");
        return rsvg;
    }
};

std::string ErrorText(const Rsvg& rsvg, GError* error, const char* otherwise) {
    if (error == nullptr)
        return otherwise;
    std::string text = error->message != nullptr ? error->message : otherwise;
    rsvg.errorFree(error);
    return text;
}

// Cairo's pixels are native-endian 32-bit words of premultiplied alpha, red, green, blue;
// PNG wants the colours whole, in byte order.
std::vector<uint8_t> StraightRgba(const unsigned char* data, int stride, int side) {
    std::vector<uint8_t> rgba(size_t(side) * size_t(side) * 4);
    for (int y = 0; y < side; y++) {
        for (int x = 0; x < side; x++) {
            uint32_t pixel;
            std::memcpy(&pixel, data + size_t(y) * size_t(stride) + size_t(x) * 4, 4);
            uint32_t alpha = pixel >> 24;
            uint8_t* out = &rgba[(size_t(y) * size_t(side) + size_t(x)) * 4];
            for (int channel = 0; channel < 3; channel++) {
                uint32_t value = (pixel >> (16 - 8 * channel)) & 0xff;
                out[channel] = alpha == 0 ? 0 : uint8_t((value * 255 + alpha / 2) / alpha);
            }
            out[3] = uint8_t(alpha);
        }
    }
    return rgba;
}

void AppendToString(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

bool EncodePng(const std::vector<uint8_t>& rgba, int side, std::string& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, AppendToString, nullptr);
    png_set_IHDR(png, info, png_uint_32(side), png_uint_32(side), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < side; y++)
        png_write_row(png, &rgba[size_t(y) * size_t(side) * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

namespace tarnw::pack {

SvgPicture DrawSvgAsPng(const std::string& svg, int side) {
    SvgPicture picture;
    const Rsvg& rsvg = Rsvg::Loaded();
    if (!rsvg.missing.empty()) {
        picture.reason = rsvg.missing;
        return picture;
    }
    GError* error = nullptr;
    void* handle =
        rsvg.newFromData(reinterpret_cast<const uint8_t*>(svg.data()), svg.size(), &error);
    if (handle == nullptr) {
        picture.reason = ErrorText(rsvg, error, "not an SVG image librsvg can read");
        return picture;
    }
    void* surface = rsvg.surfaceCreate(kCairoArgb32, side, side);
    void* cairo = rsvg.cairoCreate(surface);
    RsvgRectangle viewport{0, 0, double(side), double(side)};
    if (rsvg.surfaceStatus(surface) != 0) {
        picture.reason = "no room for a picture of " + std::to_string(side) + " pixels";
    } else if (!rsvg.renderDocument(handle, cairo, &viewport, &error)) {
        picture.reason = ErrorText(rsvg, error, "librsvg could not draw it");
    } else {
        rsvg.surfaceFlush(surface);
        std::vector<uint8_t> rgba =
            StraightRgba(rsvg.surfaceData(surface), rsvg.surfaceStride(surface), side);
        if (!EncodePng(rgba, side, picture.png)) {
            picture.png.clear();
            picture.reason = "libpng could not write the picture";
        }
    }
    rsvg.cairoDestroy(cairo);
    rsvg.surfaceDestroy(surface);
    rsvg.objectUnref(handle);
    return picture;
}

} // namespace tarnw::pack
