// Rebuilds a bitmap from an archived bitmap message (the package's about image) from
// arbitrary bytes. An accepted bitmap must have every pixel readable and archive again.
#include <cstdint>
#include <cstdlib>

#include "platform/app/Message.h"
#include "platform/interface/gui/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BMessage archive;
    if (archive.Unflatten(reinterpret_cast<const char*>(data), size) != B_OK)
        return 0;
    BBitmap* bitmap = BBitmap::Instantiate(&archive);
    if (!bitmap)
        return 0;
    if (bitmap->BitsLength() != bitmap->BytesPerRow() * bitmap->PixelHeight())
        std::abort();
    uint32 sum = 0;
    for (int32 y = 0; y < bitmap->PixelHeight(); y += 7)
        for (int32 x = 0; x < bitmap->PixelWidth(); x += 7)
            sum += bitmap->ColorAt(x, y).red;
    BMessage again;
    if (bitmap->Archive(&again) != B_OK)
        std::abort();
    delete bitmap;
    return (int)(sum & 0);
}
