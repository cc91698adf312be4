#include "platform/interface/gui/FltkPainter.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/interface/DisplayScale.h"
#include "platform/interface/gui/Bitmap.h"

namespace {

const Fl_Font kSans = FL_FREE_FONT;
const Fl_Font kSansBold = FL_FREE_FONT + 1;
const Fl_Font kMono = FL_FREE_FONT + 2;
const Fl_Font kSansOblique = FL_FREE_FONT + 3;
const Fl_Font kSansBoldOblique = FL_FREE_FONT + 4;

int Round(float v) {
    return (int)std::lround(v);
}

} // namespace

void FltkPainter::RegisterFonts() {
    static bool done = false;
    if (done)
        return;
    done = true;
    // The first character is the toolkit's style mark: ' ' plain, 'B' bold, 'I' italic,
    // 'P' bold italic.
    Fl::set_font(kSans, " DejaVu Sans");
    Fl::set_font(kSansBold, "BDejaVu Sans");
    Fl::set_font(kMono, " DejaVu Sans Mono");
    Fl::set_font(kSansOblique, "IDejaVu Sans");
    Fl::set_font(kSansBoldOblique, "PDejaVu Sans");
    Fl::set_font(FL_HELVETICA, " DejaVu Sans");
    Fl::set_font(FL_HELVETICA_BOLD, "BDejaVu Sans");
}

int FltkPainter::FontIndex(const BFont& font) {
    if (font.IsFixed())
        return kMono;
    bool bold = font.Face() & B_BOLD_FACE, italic = font.Face() & B_ITALIC_FACE;
    if (bold && italic)
        return kSansBoldOblique;
    if (bold)
        return kSansBold;
    if (italic)
        return kSansOblique;
    return kSans;
}

int FltkPainter::FontSize(const BFont& font, float scale) {
    return (int)std::max(1L, std::lround(DisplayScale::FontSize(font.Size(), scale)));
}

FltkPainter::FltkPainter(int32 width, int32 height, float scale) {
    fGrid.scale = scale;
    fClips.push_back(BRect(0, 0, width - 1, height - 1));
    fl_push_clip(0, 0, fGrid.Length(width), fGrid.Length(height));
}

FltkPainter::~FltkPainter() {
    while (fClips.size() > 1)
        PopClip();
    fl_pop_clip();
}

bool FltkPainter::Skip(rgb_color color, drawing_mode mode) const {
    if (!fClips.back().IsValid())
        return true;
    switch (mode) {
    case B_OP_OVER:
    case B_OP_ERASE:
        return color.alpha == 0 || color == B_TRANSPARENT_COLOR;
    case B_OP_ALPHA:
        return color.alpha < 128;
    default:
        return false;
    }
}

void FltkPainter::SetColor(rgb_color color) const {
    fl_color(fl_rgb_color(color.red, color.green, color.blue));
}

FltkPainter::Span FltkPainter::SpanOf(float low, float high) const {
    if (fGrid.scale == 1)
        return Span{Round(low), Round(high - low) + 1};
    int first = fGrid.First(low);
    return Span{first, fGrid.Last(high) - first + 1};
}

void FltkPainter::PushClip(BRect rect) {
    BRect clip = fClips.back() & rect;
    fClips.push_back(clip);
    if (clip.IsValid()) {
        int l = fGrid.First(std::ceil(clip.left)), t = fGrid.First(std::ceil(clip.top));
        int r = fGrid.Last(std::floor(clip.right)), b = fGrid.Last(std::floor(clip.bottom));
        fl_push_clip(l, t, r - l + 1, b - t + 1);
    } else {
        fl_push_clip(0, 0, 0, 0);
    }
}

void FltkPainter::PopClip() {
    if (fClips.size() <= 1)
        return;
    fClips.pop_back();
    fl_pop_clip();
}

void FltkPainter::FillRect(BRect rect, rgb_color color, drawing_mode mode) {
    if (Skip(color, mode))
        return;
    int l = fGrid.First(rect.left), t = fGrid.First(rect.top);
    int r = fGrid.Last(rect.right), b = fGrid.Last(rect.bottom);
    if (r < l || b < t)
        return;
    SetColor(color);
    fl_rectf(l, t, r - l + 1, b - t + 1);
}

void FltkPainter::StrokeLine(BPoint a, BPoint b, rgb_color color, float penSize,
                             drawing_mode mode) {
    if (Skip(color, mode))
        return;
    SetColor(color);
    int x0 = Round(a.x), y0 = Round(a.y), x1 = Round(b.x), y1 = Round(b.y);
    if (penSize <= 1) {
        // Axis-parallel lines as rectangles, so that both end pixels are always set.
        if (x0 == x1 || y0 == y1) {
            int l = fGrid.First(std::min(x0, x1)), t = fGrid.First(std::min(y0, y1));
            fl_rectf(l, t, fGrid.Last(std::max(x0, x1)) - l + 1,
                     fGrid.Last(std::max(y0, y1)) - t + 1);
            return;
        }
        if (fGrid.scale == 1) {
            fl_line(x0, y0, x1, y1);
            fl_point(x1, y1);
            return;
        }
    }
    int width = fGrid.scale == 1 ? Round(penSize) : fGrid.Width(std::max(1.0f, penSize));
    fl_line_style(FL_SOLID | FL_CAP_SQUARE, width);
    fl_line(fGrid.Centre(x0), fGrid.Centre(y0), fGrid.Centre(x1), fGrid.Centre(y1));
    fl_line_style(0);
}

void FltkPainter::FillEllipse(BRect rect, rgb_color color, drawing_mode mode) {
    if (Skip(color, mode))
        return;
    SetColor(color);
    Span x = SpanOf(rect.left, rect.right), y = SpanOf(rect.top, rect.bottom);
    fl_pie(x.first, y.first, x.count, y.count, 0, 360);
}

void FltkPainter::StrokeEllipse(BRect rect, rgb_color color, float penSize, drawing_mode mode) {
    if (Skip(color, mode))
        return;
    SetColor(color);
    Span x = SpanOf(rect.left, rect.right), y = SpanOf(rect.top, rect.bottom);
    if (fGrid.scale == 1) {
        if (penSize > 1)
            fl_line_style(FL_SOLID, Round(penSize));
        fl_arc(x.first, y.first, x.count, y.count, 0, 360);
        if (penSize > 1)
            fl_line_style(0);
        return;
    }
    // A wide outline runs inside the ellipse's cells, as a thin one does at 1x.
    int width = fGrid.Width(std::max(1.0f, penSize));
    int inset = width / 2;
    fl_line_style(FL_SOLID, width);
    fl_arc(x.first + inset, y.first + inset, std::max(1, x.count - 2 * inset),
           std::max(1, y.count - 2 * inset), 0, 360);
    fl_line_style(0);
}

void FltkPainter::FillTriangle(BPoint a, BPoint b, BPoint c, rgb_color color, drawing_mode mode) {
    if (Skip(color, mode))
        return;
    SetColor(color);
    if (fGrid.scale == 1) {
        fl_polygon(Round(a.x), Round(a.y), Round(b.x), Round(b.y), Round(c.x), Round(c.y));
        return;
    }
    fl_polygon(fGrid.Centre(Round(a.x)), fGrid.Centre(Round(a.y)), fGrid.Centre(Round(b.x)),
               fGrid.Centre(Round(b.y)), fGrid.Centre(Round(c.x)), fGrid.Centre(Round(c.y)));
}

void FltkPainter::DrawString(const char* text, int32 length, BPoint where, const BFont& font,
                             rgb_color high, rgb_color, drawing_mode mode) {
    if (Skip(high, mode) || length <= 0)
        return;
    SetColor(high);
    fl_font(FontIndex(font), (Fl_Fontsize)FontSize(font, fGrid.scale));
    int angle = Round(font.Rotation());
    // The baseline lies between two rows of pixels: its place scales as a cell edge does.
    int x = fGrid.First(where.x), y = fGrid.First(where.y);
    if (angle % 360 == 0)
        fl_draw(text, length, x, y);
    else
        fl_draw(angle, text, length, x, y);
}

namespace {

// A bitmap's pixel with its colour multiplied by its alpha, so that averaging does not
// darken the edges of transparent parts.
struct Sample {
    float red = 0, green = 0, blue = 0, alpha = 0;

    void Add(rgb_color c, float weight, bool opaque) {
        float a = opaque ? 1.0f : c.alpha / 255.0f;
        red += c.red * a * weight;
        green += c.green * a * weight;
        blue += c.blue * a * weight;
        alpha += a * weight;
    }
};

uchar Channel(float premultiplied, float alpha) {
    if (alpha <= 0)
        return 0;
    return (uchar)std::clamp(std::lround(premultiplied / alpha), 0L, 255L);
}

// The colour of a device pixel of a resampled image: bilinear between the nearest source
// pixels when the image grows, the mean of the covered source pixels when it shrinks.
// (u, v) is the pixel's centre in source pixels; `step` how many source pixels one device
// pixel covers along each axis. Bounds are the source rectangle, inclusive.
Sample Resample(const BBitmap& bitmap, float u, float v, float stepX, float stepY, int left,
                int top, int right, int bottom, bool opaque) {
    Sample sample;
    auto clampX = [&](int x) { return std::clamp(x, left, right); };
    auto clampY = [&](int y) { return std::clamp(y, top, bottom); };
    if (stepX <= 1 && stepY <= 1) {
        float fx = u - 0.5f, fy = v - 0.5f;
        int x0 = (int)std::floor(fx), y0 = (int)std::floor(fy);
        float wx = fx - x0, wy = fy - y0;
        sample.Add(bitmap.ColorAt(clampX(x0), clampY(y0)), (1 - wx) * (1 - wy), opaque);
        sample.Add(bitmap.ColorAt(clampX(x0 + 1), clampY(y0)), wx * (1 - wy), opaque);
        sample.Add(bitmap.ColorAt(clampX(x0), clampY(y0 + 1)), (1 - wx) * wy, opaque);
        sample.Add(bitmap.ColorAt(clampX(x0 + 1), clampY(y0 + 1)), wx * wy, opaque);
        return sample;
    }
    int x0 = clampX((int)std::floor(u - stepX / 2)), x1 = clampX((int)std::ceil(u + stepX / 2) - 1);
    int y0 = clampY((int)std::floor(v - stepY / 2)), y1 = clampY((int)std::ceil(v + stepY / 2) - 1);
    x1 = std::max(x0, x1);
    y1 = std::max(y0, y1);
    float weight = 1.0f / ((x1 - x0 + 1) * (y1 - y0 + 1));
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            sample.Add(bitmap.ColorAt(x, y), weight, opaque);
    return sample;
}

} // namespace

void FltkPainter::DrawBitmap(const BBitmap& picture, BRect source, BRect destination,
                             drawing_mode mode) {
    // On a scaled display a sharper rendition is drawn in the picture's place.
    const BBitmap* detail = fGrid.scale != 1 ? picture.Detail() : nullptr;
    if (detail != nullptr && detail->PixelWidth() > picture.PixelWidth() &&
        picture.PixelWidth() > 0 && picture.PixelHeight() > 0) {
        float fx = (float)detail->PixelWidth() / picture.PixelWidth();
        float fy = (float)detail->PixelHeight() / picture.PixelHeight();
        BRect bounds = picture.Bounds();
        BRect sharper((source.left - bounds.left) * fx, (source.top - bounds.top) * fy,
                      (source.right - bounds.left + 1) * fx - 1,
                      (source.bottom - bounds.top + 1) * fy - 1);
        DrawBitmap(*detail, sharper.OffsetByCopy(detail->Bounds().LeftTop()), destination, mode);
        return;
    }
    const BBitmap& bitmap = picture;
    BRect clip = fClips.back();
    BRect visible = destination & clip;
    if (!visible.IsValid())
        return;
    Span dx = SpanOf(destination.left, destination.right);
    Span dy = SpanOf(destination.top, destination.bottom);
    int dl = dx.first, dt = dy.first, dw = dx.count, dh = dy.count;
    int sw = Round(source.Width()) + 1, sh = Round(source.Height()) + 1;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    int sl = Round(source.left - bitmap.Bounds().left),
        st = Round(source.top - bitmap.Bounds().top);
    // Only the visible part is converted.
    int vl = fGrid.First(visible.left), vt = fGrid.First(visible.top);
    int vw = fGrid.Last(visible.right) - vl + 1, vh = fGrid.Last(visible.bottom) - vt + 1;
    if (vw <= 0 || vh <= 0)
        return;
    std::vector<uchar> pixels((size_t)vw * vh * 4);
    bool anyTransparent = false;
    bool honourAlpha = mode == B_OP_OVER || mode == B_OP_ALPHA || mode == B_OP_ERASE;
    // At 1x, and wherever an image is drawn at its own size, each device pixel is one
    // pixel of the image; a scaled display resamples it smoothly.
    bool smooth = fGrid.scale != 1 && (dw != sw || dh != sh);
    float stepX = (float)sw / dw, stepY = (float)sh / dh;
    for (int y = 0; y < vh; y++) {
        int sy = st + (int)((int64)(vt + y - dt) * sh / dh);
        for (int x = 0; x < vw; x++) {
            uchar* p = &pixels[((size_t)y * vw + x) * 4];
            uchar alpha = 255;
            if (smooth) {
                float u = sl + (vl + x - dl + 0.5f) * stepX, v = st + (vt + y - dt + 0.5f) * stepY;
                Sample s = Resample(bitmap, u, v, stepX, stepY, sl, st, sl + sw - 1, st + sh - 1,
                                    !honourAlpha);
                p[0] = Channel(s.red, s.alpha);
                p[1] = Channel(s.green, s.alpha);
                p[2] = Channel(s.blue, s.alpha);
                if (honourAlpha)
                    alpha = (uchar)std::clamp(std::lround(s.alpha * 255), 0L, 255L);
            } else {
                int sx = sl + (int)((int64)(vl + x - dl) * sw / dw);
                rgb_color c = bitmap.ColorAt(sx, sy);
                p[0] = c.red;
                p[1] = c.green;
                p[2] = c.blue;
                if (honourAlpha) {
                    alpha = mode == B_OP_ALPHA ? c.alpha : (c.alpha == 0 ? 0 : 255);
                } else if (c.alpha == 0 && c == B_TRANSPARENT_COLOR) {
                    // Copy mode draws the transparent colour itself.
                    alpha = 255;
                }
            }
            p[3] = alpha;
            if (alpha != 255)
                anyTransparent = true;
        }
    }
    if (!anyTransparent) {
        fl_draw_image(pixels.data(), vl, vt, vw, vh, 4, vw * 4);
        return;
    }
    // Transparent pixels are left out: each row is drawn as its runs of opaque pixels.
    // (The toolkit's own alpha drawing changes the drawing target on some surfaces.)
    for (int y = 0; y < vh; y++) {
        const uchar* row = &pixels[(size_t)y * vw * 4];
        int x = 0;
        while (x < vw) {
            while (x < vw && row[x * 4 + 3] < 128)
                x++;
            int start = x;
            while (x < vw && row[x * 4 + 3] >= 128)
                x++;
            if (x > start)
                fl_draw_image(row + start * 4, vl + start, vt + y, x - start, 1, 4, 0);
        }
    }
}
