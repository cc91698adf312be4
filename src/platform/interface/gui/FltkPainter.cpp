#include "platform/interface/gui/FltkPainter.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cmath>
#include <vector>

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

FltkPainter::FltkPainter(int32 width, int32 height) {
    fClips.push_back(BRect(0, 0, width - 1, height - 1));
    fl_push_clip(0, 0, width, height);
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

void FltkPainter::PushClip(BRect rect) {
    BRect clip = fClips.back() & rect;
    fClips.push_back(clip);
    if (clip.IsValid()) {
        int l = (int)std::ceil(clip.left), t = (int)std::ceil(clip.top);
        int r = (int)std::floor(clip.right), b = (int)std::floor(clip.bottom);
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
    int l = Round(rect.left), t = Round(rect.top), r = Round(rect.right), b = Round(rect.bottom);
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
            fl_rectf(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0) + 1,
                     std::abs(y1 - y0) + 1);
            return;
        }
        fl_line(x0, y0, x1, y1);
        fl_point(x1, y1);
        return;
    }
    fl_line_style(FL_SOLID | FL_CAP_SQUARE, Round(penSize));
    fl_line(x0, y0, x1, y1);
    fl_line_style(0);
}

void FltkPainter::FillEllipse(BRect rect, rgb_color color, drawing_mode mode) {
    if (Skip(color, mode))
        return;
    SetColor(color);
    fl_pie(Round(rect.left), Round(rect.top), Round(rect.Width()) + 1, Round(rect.Height()) + 1, 0,
           360);
}

void FltkPainter::StrokeEllipse(BRect rect, rgb_color color, float penSize, drawing_mode mode) {
    if (Skip(color, mode))
        return;
    SetColor(color);
    if (penSize > 1)
        fl_line_style(FL_SOLID, Round(penSize));
    fl_arc(Round(rect.left), Round(rect.top), Round(rect.Width()) + 1, Round(rect.Height()) + 1, 0,
           360);
    if (penSize > 1)
        fl_line_style(0);
}

void FltkPainter::FillTriangle(BPoint a, BPoint b, BPoint c, rgb_color color, drawing_mode mode) {
    if (Skip(color, mode))
        return;
    SetColor(color);
    fl_polygon(Round(a.x), Round(a.y), Round(b.x), Round(b.y), Round(c.x), Round(c.y));
}

void FltkPainter::DrawString(const char* text, int32 length, BPoint where, const BFont& font,
                             rgb_color high, rgb_color, drawing_mode mode) {
    if (Skip(high, mode) || length <= 0)
        return;
    SetColor(high);
    fl_font(FontIndex(font), (Fl_Fontsize)std::max(1L, std::lround(font.Size())));
    int angle = Round(font.Rotation());
    if (angle % 360 == 0)
        fl_draw(text, length, Round(where.x), Round(where.y));
    else
        fl_draw(angle, text, length, Round(where.x), Round(where.y));
}

void FltkPainter::DrawBitmap(const BBitmap& bitmap, BRect source, BRect destination,
                             drawing_mode mode) {
    BRect clip = fClips.back();
    BRect visible = destination & clip;
    if (!visible.IsValid())
        return;
    int dl = Round(destination.left), dt = Round(destination.top);
    int dw = Round(destination.Width()) + 1, dh = Round(destination.Height()) + 1;
    int sw = Round(source.Width()) + 1, sh = Round(source.Height()) + 1;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    int sl = Round(source.left - bitmap.Bounds().left),
        st = Round(source.top - bitmap.Bounds().top);
    // Only the visible part is converted.
    int vl = Round(visible.left), vt = Round(visible.top);
    int vw = Round(visible.right) - vl + 1, vh = Round(visible.bottom) - vt + 1;
    if (vw <= 0 || vh <= 0)
        return;
    std::vector<uchar> pixels((size_t)vw * vh * 4);
    bool anyTransparent = false;
    bool honourAlpha = mode == B_OP_OVER || mode == B_OP_ALPHA || mode == B_OP_ERASE;
    for (int y = 0; y < vh; y++) {
        int sy = st + (int)((int64)(vt + y - dt) * sh / dh);
        for (int x = 0; x < vw; x++) {
            int sx = sl + (int)((int64)(vl + x - dl) * sw / dw);
            rgb_color c = bitmap.ColorAt(sx, sy);
            uchar* p = &pixels[((size_t)y * vw + x) * 4];
            p[0] = c.red;
            p[1] = c.green;
            p[2] = c.blue;
            uchar alpha = 255;
            if (honourAlpha) {
                alpha = mode == B_OP_ALPHA ? c.alpha : (c.alpha == 0 ? 0 : 255);
            } else if (c.alpha == 0 && c == B_TRANSPARENT_COLOR) {
                // Copy mode draws the transparent colour itself.
                alpha = 255;
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
