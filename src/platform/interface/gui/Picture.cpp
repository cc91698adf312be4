#include "platform/interface/gui/Picture.h"

#include <algorithm>
#include <string>

#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/PictureRecorder.h"

struct PictureOp {
    enum Kind { kFillRect, kLine, kFillEllipse, kStrokeEllipse, kTriangle, kString, kBitmap };
    Kind kind;
    BRect rect;
    BPoint a, b, c;
    rgb_color color;
    rgb_color low;
    float penSize = 1;
    drawing_mode mode;
    std::string text;
    BFont font;
    std::shared_ptr<BBitmap> bitmap;
    BRect source;
};

BPicture::BPicture() = default;
BPicture::BPicture(const BPicture& other) = default;
BPicture& BPicture::operator=(const BPicture& other) = default;
BPicture::~BPicture() = default;

BRect BPicture::Bounds() const {
    BRect bounds;
    bool first = true;
    auto add = [&](BRect r) {
        bounds = first ? r : (bounds | r);
        first = false;
    };
    for (const auto& op : fOps) {
        switch (op->kind) {
        case PictureOp::kLine:
            add(BRect(std::min(op->a.x, op->b.x), std::min(op->a.y, op->b.y),
                      std::max(op->a.x, op->b.x), std::max(op->a.y, op->b.y)));
            break;
        case PictureOp::kTriangle:
            add(BRect(std::min({op->a.x, op->b.x, op->c.x}), std::min({op->a.y, op->b.y, op->c.y}),
                      std::max({op->a.x, op->b.x, op->c.x}),
                      std::max({op->a.y, op->b.y, op->c.y})));
            break;
        case PictureOp::kString: {
            font_height fh;
            op->font.GetHeight(&fh);
            float w = op->font.StringWidth(op->text.c_str());
            add(BRect(op->a.x, op->a.y - fh.ascent, op->a.x + w, op->a.y + fh.descent));
            break;
        }
        default:
            add(op->rect);
            break;
        }
    }
    return bounds;
}

void BPicture::Play(Painter& painter, BPoint offset) const {
    for (const auto& op : fOps) {
        switch (op->kind) {
        case PictureOp::kFillRect:
            painter.FillRect(op->rect.OffsetByCopy(offset.x, offset.y), op->color, op->mode);
            break;
        case PictureOp::kLine:
            painter.StrokeLine(op->a + offset, op->b + offset, op->color, op->penSize, op->mode);
            break;
        case PictureOp::kFillEllipse:
            painter.FillEllipse(op->rect.OffsetByCopy(offset.x, offset.y), op->color, op->mode);
            break;
        case PictureOp::kStrokeEllipse:
            painter.StrokeEllipse(op->rect.OffsetByCopy(offset.x, offset.y), op->color, op->penSize,
                                  op->mode);
            break;
        case PictureOp::kTriangle:
            painter.FillTriangle(op->a + offset, op->b + offset, op->c + offset, op->color,
                                 op->mode);
            break;
        case PictureOp::kString:
            painter.DrawString(op->text.c_str(), (int32)op->text.size(), op->a + offset, op->font,
                               op->color, op->low, op->mode);
            break;
        case PictureOp::kBitmap:
            painter.DrawBitmap(*op->bitmap, op->source, op->rect.OffsetByCopy(offset.x, offset.y),
                               op->mode);
            break;
        }
    }
}

PictureRecorder::PictureRecorder(BPicture* picture) : fPicture(picture) {
    fPicture->fOps.clear();
}

void PictureRecorder::Add(PictureOp&& op) {
    fPicture->fOps.push_back(std::make_shared<const PictureOp>(std::move(op)));
}

void PictureRecorder::FillRect(BRect rect, rgb_color color, drawing_mode mode) {
    PictureOp op{};
    op.kind = PictureOp::kFillRect;
    op.rect = rect;
    op.color = color;
    op.mode = mode;
    Add(std::move(op));
}

void PictureRecorder::StrokeLine(BPoint a, BPoint b, rgb_color color, float penSize,
                                 drawing_mode mode) {
    PictureOp op{};
    op.kind = PictureOp::kLine;
    op.a = a;
    op.b = b;
    op.color = color;
    op.penSize = penSize;
    op.mode = mode;
    Add(std::move(op));
}

void PictureRecorder::FillEllipse(BRect rect, rgb_color color, drawing_mode mode) {
    PictureOp op{};
    op.kind = PictureOp::kFillEllipse;
    op.rect = rect;
    op.color = color;
    op.mode = mode;
    Add(std::move(op));
}

void PictureRecorder::StrokeEllipse(BRect rect, rgb_color color, float penSize, drawing_mode mode) {
    PictureOp op{};
    op.kind = PictureOp::kStrokeEllipse;
    op.rect = rect;
    op.color = color;
    op.penSize = penSize;
    op.mode = mode;
    Add(std::move(op));
}

void PictureRecorder::FillTriangle(BPoint a, BPoint b, BPoint c, rgb_color color,
                                   drawing_mode mode) {
    PictureOp op{};
    op.kind = PictureOp::kTriangle;
    op.a = a;
    op.b = b;
    op.c = c;
    op.color = color;
    op.mode = mode;
    Add(std::move(op));
}

void PictureRecorder::DrawString(const char* text, int32 length, BPoint where, const BFont& font,
                                 rgb_color high, rgb_color low, drawing_mode mode) {
    PictureOp op{};
    op.kind = PictureOp::kString;
    op.text.assign(text, length);
    op.a = where;
    op.font = font;
    op.color = high;
    op.low = low;
    op.mode = mode;
    Add(std::move(op));
}

void PictureRecorder::DrawBitmap(const BBitmap& bitmap, BRect source, BRect destination,
                                 drawing_mode mode) {
    PictureOp op{};
    op.kind = PictureOp::kBitmap;
    // The picture keeps its own copy: the bitmap may be deleted after recording.
    op.bitmap = std::make_shared<BBitmap>(bitmap);
    op.source = source;
    op.rect = destination;
    op.mode = mode;
    Add(std::move(op));
}
