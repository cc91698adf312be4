#pragma once

// BBitmap: a rectangle of pixels in one colour space. Bitmaps that accept views can be
// drawn into off-screen: views added to them draw into the pixels while the bitmap is
// locked. Archive/Instantiate use the old platform's archive fields ("class",
// "_frame", "_cspace", "_bmflags", "_rowbytes", "_data"), and an archive from a file
// is checked before it is trusted.

#include <memory>
#include <mutex>
#include <vector>

#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/Rect.h"
#include "platform/support/SupportDefs.h"

class BMessage;
class BView;

enum {
    B_BITMAP_CLEAR_TO_WHITE = 0x00000001,
    B_BITMAP_ACCEPTS_VIEWS = 0x00000002,
    B_BITMAP_IS_AREA = 0x00000004,
    B_BITMAP_IS_LOCKED = 0x00000008 | B_BITMAP_IS_AREA,
    B_BITMAP_IS_CONTIGUOUS = 0x00000010 | B_BITMAP_IS_LOCKED,
    B_BITMAP_IS_OFFSCREEN = 0x00000020,
};

#define B_ANY_BYTES_PER_ROW -1

// Bitmaps larger than this many pixels on a side are refused.
inline constexpr int32 B_MAX_BITMAP_SIDE = 16384;

class BBitmap {
public:
    BBitmap(BRect bounds, color_space space, bool acceptsViews = false,
            bool needsContiguousMemory = false);
    BBitmap(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow = B_ANY_BYTES_PER_ROW);
    BBitmap(const BBitmap& source, bool acceptsViews = false);
    // Rebuilds an archived bitmap; InitCheck() tells whether the archive was sound.
    explicit BBitmap(BMessage* archive);
    virtual ~BBitmap();

    // A new bitmap from an archive, or nullptr when the archive is not a sound bitmap.
    static BBitmap* Instantiate(BMessage* archive);
    status_t Archive(BMessage* archive, bool deep = true) const;

    status_t InitCheck() const { return fStatus; }
    bool IsValid() const { return fStatus == B_OK; }

    void* Bits() const { return (void*)fBits.data(); }
    int32 BitsLength() const { return (int32)fBits.size(); }
    int32 BytesPerRow() const { return fBytesPerRow; }
    BRect Bounds() const { return fBounds; }
    color_space ColorSpace() const { return fSpace; }
    uint32 Flags() const { return fFlags; }
    int32 PixelWidth() const { return fWidth; }
    int32 PixelHeight() const { return fHeight; }

    // Copies `length` bytes of pixels given in `space` into the bitmap starting at byte
    // `offset`. When space differs from the bitmap's, the pixels are converted (rows as
    // wide as the bitmap, padded to 4 bytes). Never writes past the end.
    void SetBits(const void* data, int32 length, int32 offset, color_space space);

    // The colour of a pixel (pixel coordinates from the left-top, 0-based); transparent
    // for pixels outside the bitmap. Palette pixels give the system palette's colours,
    // index B_TRANSPARENT_MAGIC_CMAP8 the transparent colour.
    rgb_color ColorAt(int32 x, int32 y) const;
    // Sets one pixel to the colour (the nearest palette colour in B_CMAP8).
    void SetColorAt(int32 x, int32 y, rgb_color color);

    // Views drawing off-screen.
    void AddChild(BView* view);
    bool RemoveChild(BView* view);
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* FindView(const char* name) const;
    bool Lock();
    void Unlock();
    bool IsLocked() const;

    // A sharper rendition of the same picture: more pixels over the same bounds. A scaled
    // display draws from it rather than enlarging this bitmap. Copies share it; archives
    // leave it out.
    void SetDetail(std::shared_ptr<const BBitmap> detail) { fDetail = std::move(detail); }
    const BBitmap* Detail() const { return fDetail.get(); }

private:
    void Init(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow);
    status_t InitFromArchive(BMessage* archive);

    status_t fStatus = B_NO_INIT;
    BRect fBounds;
    color_space fSpace = B_NO_COLOR_SPACE;
    uint32 fFlags = 0;
    int32 fWidth = 0;
    int32 fHeight = 0;
    int32 fBytesPerRow = 0;
    std::vector<uint8> fBits;
    std::unique_ptr<BView> fRoot; // holds the views of a bitmap that accepts views
    std::recursive_mutex fLock;
    int32 fLockCount = 0;
    std::shared_ptr<const BBitmap> fDetail;
};
