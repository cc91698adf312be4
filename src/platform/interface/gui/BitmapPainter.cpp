#include "platform/interface/gui/BitmapPainter.h"

#include <algorithm>
#include <cmath>

#include "platform/interface/gui/Bitmap.h"

BitmapPainter::BitmapPainter(BBitmap* bitmap) : fBitmap(bitmap) {
    fClips.push_back(BRect(0, 0, bitmap->PixelWidth() - 1, bitmap->PixelHeight() - 1));
}

void BitmapPainter::PushClip(BRect rect) {
    fClips.push_back(fClips.back() & rect);
}

void BitmapPainter::PopClip() {
    if (fClips.size() > 1)
        fClips.pop_back();
}

void BitmapPainter::Plot(int32 x, int32 y, rgb_color color, drawing_mode mode) {
    const BRect& clip = fClips.back();
    if (!clip.IsValid() || x < clip.left || x > clip.right || y < clip.top || y > clip.bottom)
        return;
    bool transparent = color.alpha == 0 || color == B_TRANSPARENT_COLOR;
    switch (mode) {
    case B_OP_OVER:
    case B_OP_ERASE:
        if (transparent)
            return;
        break;
    case B_OP_ALPHA:
    case B_OP_BLEND: {
        if (color.alpha == 0)
            return;
        rgb_color under = fBitmap->ColorAt(x, y);
        float a = mode == B_OP_BLEND ? 0.5f : color.alpha / 255.0f;
        color = rgb_color{(uint8)(color.red * a + under.red * (1 - a)),
                          (uint8)(color.green * a + under.green * (1 - a)),
                          (uint8)(color.blue * a + under.blue * (1 - a)), 255};
        break;
    }
    case B_OP_INVERT: {
        rgb_color under = fBitmap->ColorAt(x, y);
        color = rgb_color{(uint8)(255 - under.red), (uint8)(255 - under.green),
                          (uint8)(255 - under.blue), 255};
        break;
    }
    default:
        break;
    }
    fBitmap->SetColorAt(x, y, color);
}

void BitmapPainter::FillRect(BRect rect, rgb_color color, drawing_mode mode) {
    BRect r = rect & fClips.back();
    if (!r.IsValid())
        return;
    for (int32 y = (int32)std::ceil(r.top); y <= (int32)std::floor(r.bottom); y++)
        for (int32 x = (int32)std::ceil(r.left); x <= (int32)std::floor(r.right); x++)
            Plot(x, y, color, mode);
}

void BitmapPainter::StrokeLine(BPoint a, BPoint b, rgb_color color, float, drawing_mode mode) {
    int32 x0 = (int32)std::lround(a.x), y0 = (int32)std::lround(a.y);
    int32 x1 = (int32)std::lround(b.x), y1 = (int32)std::lround(b.y);
    int32 dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int32 sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int32 err = dx + dy;
    for (int32 guard = 0; guard < 100000; guard++) {
        Plot(x0, y0, color, mode);
        if (x0 == x1 && y0 == y1)
            break;
        int32 e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void BitmapPainter::FillEllipse(BRect rect, rgb_color color, drawing_mode mode) {
    float cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    float rx = (rect.Width() + 1) / 2, ry = (rect.Height() + 1) / 2;
    if (rx <= 0 || ry <= 0)
        return;
    BRect r = rect & fClips.back();
    for (int32 y = (int32)std::ceil(r.top); y <= (int32)std::floor(r.bottom); y++) {
        for (int32 x = (int32)std::ceil(r.left); x <= (int32)std::floor(r.right); x++) {
            float nx = (x - cx) / rx, ny = (y - cy) / ry;
            if (nx * nx + ny * ny <= 1.0f)
                Plot(x, y, color, mode);
        }
    }
}

void BitmapPainter::StrokeEllipse(BRect rect, rgb_color color, float, drawing_mode mode) {
    float cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    float rx = rect.Width() / 2, ry = rect.Height() / 2;
    int steps = (int)(4 * (rx + ry)) + 8;
    for (int i = 0; i < steps; i++) {
        float t = 2 * (float)M_PI * i / steps;
        Plot((int32)std::lround(cx + rx * std::cos(t)), (int32)std::lround(cy + ry * std::sin(t)),
             color, mode);
    }
}

void BitmapPainter::FillTriangle(BPoint a, BPoint b, BPoint c, rgb_color color, drawing_mode mode) {
    float minX = std::floor(std::min({a.x, b.x, c.x})), maxX = std::ceil(std::max({a.x, b.x, c.x}));
    float minY = std::floor(std::min({a.y, b.y, c.y})), maxY = std::ceil(std::max({a.y, b.y, c.y}));
    auto edge = [](BPoint p, BPoint q, float x, float y) {
        return (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x);
    };
    for (int32 y = (int32)minY; y <= (int32)maxY; y++) {
        for (int32 x = (int32)minX; x <= (int32)maxX; x++) {
            float e0 = edge(a, b, x, y), e1 = edge(b, c, x, y), e2 = edge(c, a, x, y);
            if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0))
                Plot(x, y, color, mode);
        }
    }
}

void BitmapPainter::DrawString(const char*, int32, BPoint, const BFont&, rgb_color, rgb_color,
                               drawing_mode) {}

void BitmapPainter::DrawBitmap(const BBitmap& bitmap, BRect source, BRect destination,
                               drawing_mode mode) {
    BRect srcBounds = bitmap.Bounds();
    float sw = source.Width() + 1, sh = source.Height() + 1;
    float dw = destination.Width() + 1, dh = destination.Height() + 1;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    BRect r = destination & fClips.back();
    if (!r.IsValid())
        return;
    bool copyIndexes = mode == B_OP_COPY && bitmap.ColorSpace() == B_CMAP8 &&
                       fBitmap->ColorSpace() == B_CMAP8 && sw == dw && sh == dh;
    for (int32 y = (int32)std::ceil(r.top); y <= (int32)std::floor(r.bottom); y++) {
        int32 sy = (int32)(source.top - srcBounds.top + (y - destination.top) * sh / dh);
        for (int32 x = (int32)std::ceil(r.left); x <= (int32)std::floor(r.right); x++) {
            int32 sx = (int32)(source.left - srcBounds.left + (x - destination.left) * sw / dw);
            if (sx < 0 || sy < 0 || sx >= bitmap.PixelWidth() || sy >= bitmap.PixelHeight())
                continue;
            rgb_color c = bitmap.ColorAt(sx, sy);
            if (copyIndexes) {
                // Palette pixels copy exactly, the transparent index included.
                uint8 index = ((const uint8*)bitmap.Bits())[(size_t)sy * bitmap.BytesPerRow() + sx];
                ((uint8*)fBitmap->Bits())[(size_t)y * fBitmap->BytesPerRow() + x] = index;
                continue;
            }
            Plot(x, y, c, mode);
        }
    }
}
