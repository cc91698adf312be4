#include "ui/gui/FolderButtonArt.h"

#include <array>
#include <cmath>

#include "platform/interface/GraphicsDefs.h"

namespace {

using Image = std::array<uint8, FolderButtonArt::kBytes>;

uint8 Index(uint8 r, uint8 g, uint8 b) {
    return index_for_color(r, g, b);
}

struct Palette {
    uint8 face = Index(216, 216, 216);
    uint8 light = Index(255, 255, 255);
    uint8 shade = Index(152, 152, 152);
    uint8 dark = Index(96, 96, 96);
    uint8 outline = Index(96, 64, 0);
    uint8 back = Index(232, 176, 48);
    uint8 front = Index(255, 216, 96);
    uint8 disabled = Index(152, 152, 152);
};

void Set(Image& image, int x, int y, uint8 index) {
    if (x >= 0 && y >= 0 && x < FolderButtonArt::kSize && y < FolderButtonArt::kSize)
        image[(size_t)y * FolderButtonArt::kSize + x] = index;
}

// The square face with a two-pixel bevel: light above and left, dark below and right, or
// the other way round when pressed.
void DrawFace(Image& image, const Palette& p, bool pressed) {
    image.fill(p.face);
    const int last = FolderButtonArt::kSize - 1;
    uint8 outerLight = pressed ? p.dark : p.light;
    uint8 innerLight = pressed ? p.shade : p.face;
    uint8 outerDark = pressed ? p.light : p.dark;
    uint8 innerDark = pressed ? p.face : p.shade;
    for (int i = 0; i <= last; i++) {
        Set(image, i, 0, outerLight);
        Set(image, 0, i, outerLight);
        Set(image, i, last, outerDark);
        Set(image, last, i, outerDark);
    }
    for (int i = 1; i < last; i++) {
        Set(image, i, 1, innerLight);
        Set(image, 1, i, innerLight);
        Set(image, i, last - 1, innerDark);
        Set(image, last - 1, i, innerDark);
    }
}

// An open folder: the back with its tab, and the front flap tilted open towards the
// upper right. With `filled` false only the outlines are drawn.
void DrawFolder(Image& image, int dx, int dy, uint8 outline, uint8 back, uint8 front, bool filled) {
    // Tab: (5,5)-(10,6), open at the bottom onto the back.
    for (int x = 5; x <= 10; x++)
        Set(image, x + dx, 5 + dy, outline);
    Set(image, 5 + dx, 6 + dy, outline);
    Set(image, 10 + dx, 6 + dy, outline);
    if (filled)
        for (int x = 6; x <= 9; x++)
            Set(image, x + dx, 6 + dy, back);
    // Back: (5,7)-(16,17).
    for (int y = 7; y <= 17; y++) {
        for (int x = 5; x <= 16; x++) {
            bool edge = x == 5 || x == 16 || y == 17 || (y == 7 && x >= 10);
            if (edge)
                Set(image, x + dx, y + dy, outline);
            else if (filled)
                Set(image, x + dx, y + dy, back);
        }
    }
    // Front flap: its top edge runs from x 8 to 19 at row 10, its bottom from 5 to 16 at
    // row 17; each row shifts by half a pixel.
    for (int y = 10; y <= 17; y++) {
        int shift = (int)std::lround((17 - y) * 3 / 7.0);
        int left = 5 + shift, right = 16 + shift;
        for (int x = left; x <= right; x++) {
            bool edge = y == 10 || y == 17 || x == left || x == right;
            if (edge)
                Set(image, x + dx, y + dy, outline);
            else if (filled)
                Set(image, x + dx, y + dy, front);
        }
    }
}

struct Art {
    Image normal, pressed, disabled;
    Art() {
        Palette p;
        DrawFace(normal, p, false);
        DrawFolder(normal, 0, 0, p.outline, p.back, p.front, true);
        DrawFace(pressed, p, true);
        DrawFolder(pressed, 1, 1, p.outline, p.back, p.front, true);
        DrawFace(disabled, p, false);
        DrawFolder(disabled, 0, 0, p.disabled, p.face, p.face, false);
    }
};

const Art& TheArt() {
    static const Art art;
    return art;
}

} // namespace

const uint8* FolderButtonArt::Normal() {
    return TheArt().normal.data();
}

const uint8* FolderButtonArt::Pressed() {
    return TheArt().pressed.data();
}

const uint8* FolderButtonArt::Disabled() {
    return TheArt().disabled.data();
}
