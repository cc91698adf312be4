#include "platform/interface/gui/Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/app/Message.h"
#include "platform/interface/gui/View.h"

namespace {

class BitmapRootView : public BView {
public:
    explicit BitmapRootView(BRect frame) : BView(frame, "bitmap_root", B_FOLLOW_NONE, 0) {
        SetViewColor(B_TRANSPARENT_COLOR);
    }
};

bool KnownSpace(color_space space) {
    return space == B_GRAY1 || bytes_per_pixel(space) > 0;
}

rgb_color ReadPixel(const uint8* row, int32 x, color_space space) {
    switch (space) {
    case B_RGB32:
    case B_RGBA32: {
        const uint8* p = row + x * 4;
        uint8 alpha = space == B_RGBA32 ? p[3] : 255;
        rgb_color c = {p[2], p[1], p[0], alpha};
        if (space == B_RGB32 && c.red == B_TRANSPARENT_32_BIT.red &&
            c.green == B_TRANSPARENT_32_BIT.green && c.blue == B_TRANSPARENT_32_BIT.blue)
            c.alpha = 0;
        return c;
    }
    case B_RGB32_BIG:
    case B_RGBA32_BIG: {
        const uint8* p = row + x * 4;
        return {p[1], p[2], p[3], space == B_RGBA32_BIG ? p[0] : (uint8)255};
    }
    case B_RGB24: {
        const uint8* p = row + x * 3;
        return {p[2], p[1], p[0], 255};
    }
    case B_RGB24_BIG: {
        const uint8* p = row + x * 3;
        return {p[0], p[1], p[2], 255};
    }
    case B_RGB16: {
        uint16 v = (uint16)(row[x * 2] | (row[x * 2 + 1] << 8));
        uint8 r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
        return {(uint8)((r << 3) | (r >> 2)), (uint8)((g << 2) | (g >> 4)),
                (uint8)((b << 3) | (b >> 2)), 255};
    }
    case B_RGB15:
    case B_RGBA15: {
        uint16 v = (uint16)(row[x * 2] | (row[x * 2 + 1] << 8));
        uint8 r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        uint8 a = space == B_RGBA15 ? ((v & 0x8000) ? 255 : 0) : 255;
        return {(uint8)((r << 3) | (r >> 2)), (uint8)((g << 3) | (g >> 2)),
                (uint8)((b << 3) | (b >> 2)), a};
    }
    case B_CMAP8: {
        uint8 index = row[x];
        if (index == B_TRANSPARENT_MAGIC_CMAP8)
            return B_TRANSPARENT_COLOR;
        return system_colors()->color_list[index];
    }
    case B_GRAY8:
        return {row[x], row[x], row[x], 255};
    case B_GRAY1: {
        bool set = row[x / 8] & (0x80 >> (x % 8));
        uint8 v = set ? 0 : 255;
        return {v, v, v, 255};
    }
    default:
        return B_TRANSPARENT_COLOR;
    }
}

void WritePixel(uint8* row, int32 x, color_space space, rgb_color c) {
    switch (space) {
    case B_RGB32:
    case B_RGBA32: {
        uint8* p = row + x * 4;
        if (space == B_RGB32 && c.alpha == 0) {
            c = B_TRANSPARENT_32_BIT;
        }
        p[0] = c.blue;
        p[1] = c.green;
        p[2] = c.red;
        p[3] = space == B_RGBA32 ? c.alpha : 255;
        break;
    }
    case B_RGB32_BIG:
    case B_RGBA32_BIG: {
        uint8* p = row + x * 4;
        p[0] = space == B_RGBA32_BIG ? c.alpha : 255;
        p[1] = c.red;
        p[2] = c.green;
        p[3] = c.blue;
        break;
    }
    case B_RGB24:
        row[x * 3] = c.blue;
        row[x * 3 + 1] = c.green;
        row[x * 3 + 2] = c.red;
        break;
    case B_RGB24_BIG:
        row[x * 3] = c.red;
        row[x * 3 + 1] = c.green;
        row[x * 3 + 2] = c.blue;
        break;
    case B_RGB16: {
        uint16 v = (uint16)(((c.red >> 3) << 11) | ((c.green >> 2) << 5) | (c.blue >> 3));
        row[x * 2] = v & 0xff;
        row[x * 2 + 1] = v >> 8;
        break;
    }
    case B_RGB15:
    case B_RGBA15: {
        uint16 v = (uint16)(((c.red >> 3) << 10) | ((c.green >> 3) << 5) | (c.blue >> 3));
        if (space == B_RGB15 || c.alpha >= 128)
            v |= 0x8000;
        row[x * 2] = v & 0xff;
        row[x * 2 + 1] = v >> 8;
        break;
    }
    case B_CMAP8:
        row[x] = c.alpha == 0 ? B_TRANSPARENT_MAGIC_CMAP8 : index_for_color(c.red, c.green, c.blue);
        break;
    case B_GRAY8:
        row[x] = (uint8)((c.red * 77 + c.green * 151 + c.blue * 28) >> 8);
        break;
    case B_GRAY1: {
        uint8 mask = 0x80 >> (x % 8);
        bool dark = (c.red * 77 + c.green * 151 + c.blue * 28) >> 8 < 128;
        if (dark)
            row[x / 8] |= mask;
        else
            row[x / 8] &= ~mask;
        break;
    }
    default:
        break;
    }
}

} // namespace

BBitmap::BBitmap(BRect bounds, color_space space, bool acceptsViews, bool needsContiguousMemory) {
    uint32 flags = acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0;
    if (needsContiguousMemory)
        flags |= B_BITMAP_IS_CONTIGUOUS;
    Init(bounds, flags, space, B_ANY_BYTES_PER_ROW);
}

BBitmap::BBitmap(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow) {
    Init(bounds, flags, space, bytesPerRow);
}

BBitmap::BBitmap(const BBitmap& source, bool acceptsViews) {
    Init(source.fBounds, acceptsViews ? B_BITMAP_ACCEPTS_VIEWS : 0, source.fSpace,
         source.fBytesPerRow);
    if (fStatus == B_OK && fBits.size() == source.fBits.size())
        fBits = source.fBits;
    fDetail = source.fDetail;
}

BBitmap::BBitmap(BMessage* archive) {
    fStatus = InitFromArchive(archive);
}

BBitmap::~BBitmap() {
    if (fRoot) {
        Lock();
        fRoot->SetOwner(nullptr, nullptr);
        fRoot.reset();
        Unlock();
    }
}

void BBitmap::Init(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow) {
    fFlags = flags;
    fSpace = space;
    bounds.Set(std::round(bounds.left), std::round(bounds.top), std::round(bounds.right),
               std::round(bounds.bottom));
    fBounds = bounds;
    if (!std::isfinite(bounds.left) || !std::isfinite(bounds.top) || !std::isfinite(bounds.right) ||
        !std::isfinite(bounds.bottom) || !bounds.IsValid() || !KnownSpace(space)) {
        fStatus = B_BAD_VALUE;
        return;
    }
    double width = (double)bounds.right - bounds.left + 1;
    double height = (double)bounds.bottom - bounds.top + 1;
    if (width > B_MAX_BITMAP_SIDE || height > B_MAX_BITMAP_SIDE) {
        fStatus = B_BAD_VALUE;
        return;
    }
    fWidth = (int32)width;
    fHeight = (int32)height;
    int32 minRow = bytes_per_row_for(space, fWidth);
    fBytesPerRow = bytesPerRow >= minRow ? bytesPerRow : minRow;
    fBits.assign((size_t)fBytesPerRow * fHeight,
                 (flags & B_BITMAP_CLEAR_TO_WHITE) && space != B_CMAP8 ? 0xff : 0);
    if (flags & B_BITMAP_CLEAR_TO_WHITE) {
        for (int32 y = 0; y < fHeight; y++)
            for (int32 x = 0; x < fWidth; x++)
                SetColorAt(x, y, rgb_color{255, 255, 255, 255});
    }
    if (flags & B_BITMAP_ACCEPTS_VIEWS) {
        fRoot = std::make_unique<BitmapRootView>(BRect(0, 0, fWidth - 1, fHeight - 1));
        fRoot->SetOwner(nullptr, this);
    }
    fStatus = B_OK;
}

status_t BBitmap::InitFromArchive(BMessage* archive) {
    if (!archive)
        return B_BAD_VALUE;
    const char* className = nullptr;
    if (archive->FindString("class", &className) == B_OK && std::strcmp(className, "BBitmap") != 0)
        return B_BAD_TYPE;
    BRect frame;
    int32 space = 0;
    if (archive->FindRect("_frame", &frame) != B_OK ||
        archive->FindInt32("_cspace", &space) != B_OK)
        return B_BAD_DATA;
    int32 flags = archive->GetInt32("_bmflags", 0) & B_BITMAP_ACCEPTS_VIEWS;
    Init(frame, (uint32)flags, (color_space)space, B_ANY_BYTES_PER_ROW);
    if (fStatus != B_OK)
        return B_BAD_DATA;
    int32 minRow = bytes_per_row_for(fSpace, fWidth);
    int32 rowBytes = archive->GetInt32("_rowbytes", fBytesPerRow);
    if (rowBytes < minRow || rowBytes > minRow + 4096) {
        fBits.clear();
        return B_BAD_DATA;
    }
    const void* data = nullptr;
    ssize_t size = 0;
    if (archive->FindData("_data", B_RAW_TYPE, &data, &size) != B_OK) {
        fBits.clear();
        return B_BAD_DATA;
    }
    // The last row needs only its pixels, not the padding.
    int64 needed = (int64)rowBytes * (fHeight - 1) + minRow;
    if (size < needed) {
        fBits.clear();
        return B_BAD_DATA;
    }
    const uint8* bytes = (const uint8*)data;
    for (int32 y = 0; y < fHeight; y++)
        std::memcpy(&fBits[(size_t)y * fBytesPerRow], bytes + (size_t)y * rowBytes, minRow);
    return B_OK;
}

BBitmap* BBitmap::Instantiate(BMessage* archive) {
    auto* bitmap = new BBitmap(archive);
    if (bitmap->InitCheck() != B_OK) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

status_t BBitmap::Archive(BMessage* archive, bool) const {
    if (!archive)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return fStatus;
    archive->AddString("class", "BBitmap");
    archive->AddRect("_frame", fBounds);
    archive->AddInt32("_cspace", (int32)fSpace);
    archive->AddInt32("_bmflags", (int32)(fFlags & B_BITMAP_ACCEPTS_VIEWS));
    archive->AddInt32("_rowbytes", fBytesPerRow);
    return archive->AddData("_data", B_RAW_TYPE, fBits.data(), (ssize_t)fBits.size());
}

void BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space space) {
    if (!data || length <= 0 || offset < 0 || fStatus != B_OK)
        return;
    if (space == fSpace) {
        if ((size_t)offset >= fBits.size())
            return;
        size_t n = std::min((size_t)length, fBits.size() - offset);
        std::memcpy(fBits.data() + offset, data, n);
        return;
    }
    // Converting: the source has rows as wide as the bitmap in its own colour space.
    int32 sourceRow = bytes_per_row_for(space, fWidth);
    if (sourceRow <= 0 || offset != 0)
        return;
    const uint8* bytes = (const uint8*)data;
    int32 bpp = bytes_per_pixel(space);
    for (int32 y = 0; y < fHeight; y++) {
        int64 rowStart = (int64)y * sourceRow;
        for (int32 x = 0; x < fWidth; x++) {
            int64 end = space == B_GRAY1 ? rowStart + x / 8 + 1 : rowStart + (int64)(x + 1) * bpp;
            if (end > length)
                return;
            SetColorAt(x, y, ReadPixel(bytes + rowStart, x, space));
        }
    }
}

rgb_color BBitmap::ColorAt(int32 x, int32 y) const {
    if (fStatus != B_OK || x < 0 || y < 0 || x >= fWidth || y >= fHeight)
        return B_TRANSPARENT_COLOR;
    return ReadPixel(&fBits[(size_t)y * fBytesPerRow], x, fSpace);
}

void BBitmap::SetColorAt(int32 x, int32 y, rgb_color color) {
    if (fStatus != B_OK || x < 0 || y < 0 || x >= fWidth || y >= fHeight)
        return;
    WritePixel(&fBits[(size_t)y * fBytesPerRow], x, fSpace, color);
}

void BBitmap::AddChild(BView* view) {
    if (fRoot)
        fRoot->AddChild(view);
}

bool BBitmap::RemoveChild(BView* view) {
    return fRoot && fRoot->RemoveChild(view);
}

int32 BBitmap::CountChildren() const {
    return fRoot ? fRoot->CountChildren() : 0;
}

BView* BBitmap::ChildAt(int32 index) const {
    return fRoot ? fRoot->ChildAt(index) : nullptr;
}

BView* BBitmap::FindView(const char* name) const {
    return fRoot ? fRoot->FindView(name) : nullptr;
}

bool BBitmap::Lock() {
    fLock.lock();
    fLockCount++;
    return true;
}

void BBitmap::Unlock() {
    if (fLockCount > 0) {
        fLockCount--;
        fLock.unlock();
    }
}

bool BBitmap::IsLocked() const {
    return fLockCount > 0;
}
