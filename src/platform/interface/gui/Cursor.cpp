#include "platform/interface/gui/Cursor.h"

namespace {

constexpr int kSide = 16;

} // namespace

BCursor::BCursor(const void* cursorData) {
    const uint8* data = static_cast<const uint8*>(cursorData);
    if (data == nullptr || data[0] != kSide || data[1] != 1)
        return;
    fHotSpot = BPoint(data[3] < kSide ? data[3] : 0, data[2] < kSide ? data[2] : 0);
    const uint8* image = data + 4;
    const uint8* mask = image + 2 * kSide;
    fPixels.assign(kSide * kSide, 0);
    for (int y = 0; y < kSide; y++) {
        uint16 imageRow = uint16(image[2 * y] << 8 | image[2 * y + 1]);
        uint16 maskRow = uint16(mask[2 * y] << 8 | mask[2 * y + 1]);
        for (int x = 0; x < kSide; x++) {
            uint16 bit = uint16(0x8000 >> x);
            if (maskRow & bit)
                fPixels[y * kSide + x] = (imageRow & bit) ? 0xff000000u : 0xffffffffu;
        }
    }
}
