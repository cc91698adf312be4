#include "platform/interface/gui/TextView.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/interface/gui/ScrollBar.h"

namespace {

bool IsUtf8Continuation(char c) {
    return ((unsigned char)c & 0xC0) == 0x80;
}

} // namespace

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags | B_FRAME_EVENTS), fTextRect(textRect) {
    Relayout();
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* font,
                     const rgb_color* color, uint32 resizingMode, uint32 flags)
    : BTextView(frame, name, textRect, resizingMode, flags) {
    SetFontAndColor(font, B_FONT_ALL, color);
}

void BTextView::SetText(const char* text, const text_run_array*) {
    SetText(text, text ? (int32)std::strlen(text) : 0);
}

void BTextView::SetText(const char* text, int32 length, const text_run_array*) {
    fText.assign(text ? text : "", text ? (size_t)std::max<int32>(0, length) : 0);
    // A NUL inside ends the text, as for any C string.
    fText.resize(std::strlen(fText.c_str()));
    fSelectionStart = fSelectionEnd = 0;
    ScrollTo(BPoint(Bounds().left, 0));
    Relayout();
}

void BTextView::Insert(const char* text, const text_run_array*) {
    if (text)
        Insert((int32)fText.size(), text, (int32)std::strlen(text));
}

void BTextView::Insert(int32 offset, const char* text, int32 length) {
    if (!text || length <= 0)
        return;
    offset = std::clamp<int32>(offset, 0, (int32)fText.size());
    fText.insert((size_t)offset, text, strnlen(text, length));
    Relayout();
}

void BTextView::Delete(int32 start, int32 end) {
    start = std::clamp<int32>(start, 0, (int32)fText.size());
    end = std::clamp<int32>(end, start, (int32)fText.size());
    fText.erase((size_t)start, (size_t)(end - start));
    fSelectionStart = fSelectionEnd = start;
    Relayout();
}

void BTextView::SetTextRect(BRect rect) {
    fTextRect = rect;
    Relayout();
}

void BTextView::SetWordWrap(bool wrap) {
    fWordWrap = wrap;
    Relayout();
}

void BTextView::SetAlignment(alignment flag) {
    fAlignment = flag;
    Invalidate();
}

void BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color) {
    if (font)
        BView::SetFont(font, mode);
    if (color)
        fTextColor = *color;
    Relayout();
}

void BTextView::GetFontAndColor(int32, BFont* font, rgb_color* color) const {
    GetFont(font);
    if (color)
        *color = fTextColor;
}

void BTextView::SetFont(const BFont* font, uint32 mask) {
    BView::SetFont(font, mask);
    Relayout();
}

float BTextView::LineHeight(int32) const {
    font_height fh;
    GetFontHeight(&fh);
    return std::ceil(fh.ascent + fh.descent + fh.leading);
}

float BTextView::TextHeight(int32 startLine, int32 endLine) const {
    int32 count = std::max<int32>(1, CountLines());
    startLine = std::clamp<int32>(startLine, 0, count - 1);
    endLine = std::clamp<int32>(endLine, 0, count - 1);
    if (endLine < startLine)
        return 0;
    return LineHeight() * (endLine - startLine + 1);
}

int32 BTextView::LineAt(int32 offset) const {
    for (int32 i = (int32)fLines.size() - 1; i >= 0; i--)
        if (fLines[i].offset <= offset)
            return i;
    return 0;
}

int32 BTextView::OffsetAt(int32 line) const {
    if (fLines.empty() || line < 0)
        return 0;
    if (line >= (int32)fLines.size())
        return (int32)fText.size();
    return fLines[line].offset;
}

BPoint BTextView::PointAt(int32 offset, float* height) const {
    int32 line = LineAt(offset);
    float x = fTextRect.left;
    if (!fLines.empty()) {
        const Line& l = fLines[line];
        x += StringWidth(fText.c_str() + l.offset, std::clamp(offset - l.offset, 0, l.length));
    }
    if (height)
        *height = LineHeight();
    return BPoint(x, fTextRect.top + line * LineHeight());
}

void BTextView::ScrollToOffset(int32 offset) {
    BPoint point = PointAt(offset);
    float lineHeight = LineHeight();
    BRect bounds = Bounds();
    if (point.y < bounds.top)
        ScrollTo(BPoint(bounds.left, point.y - fTextRect.top));
    else if (point.y + lineHeight > bounds.bottom)
        ScrollTo(BPoint(bounds.left, point.y + lineHeight - bounds.Height() - 1));
}

void BTextView::Select(int32 start, int32 end) {
    fSelectionStart = std::clamp<int32>(start, 0, (int32)fText.size());
    fSelectionEnd = std::clamp<int32>(end, fSelectionStart, (int32)fText.size());
}

void BTextView::GetSelection(int32* start, int32* end) const {
    if (start)
        *start = fSelectionStart;
    if (end)
        *end = fSelectionEnd;
}

void BTextView::Relayout() {
    fLines.clear();
    float width = fTextRect.Width() + 1;
    const char* text = fText.c_str();
    int32 length = (int32)fText.size();
    int32 start = 0;
    BFont font;
    GetFont(&font);
    while (start <= length) {
        const char* newline = (const char*)std::memchr(text + start, '\n', length - start);
        int32 end = newline ? (int32)(newline - text) : length;
        // Break the paragraph [start, end) into lines that fit.
        int32 lineStart = start;
        while (true) {
            if (!fWordWrap || width <= 0 ||
                font.StringWidth(text + lineStart, end - lineStart) <= width) {
                fLines.push_back(Line{lineStart, end - lineStart});
                break;
            }
            // The longest prefix that fits, then back to the last space in it.
            int32 fit = lineStart;
            float used = 0;
            while (fit < end) {
                int32 next = fit + 1;
                while (next < end && IsUtf8Continuation(text[next]))
                    next++;
                float w = font.StringWidth(text + fit, next - fit);
                if (used + w > width)
                    break;
                used += w;
                fit = next;
            }
            int32 breakAt = fit;
            for (int32 i = fit; i > lineStart; i--) {
                if (text[i] == ' ' || text[i] == '\t') {
                    breakAt = i;
                    break;
                }
            }
            if (breakAt == lineStart) {
                // Not even one character fits, or a word is wider than the line: cut it.
                breakAt = fit > lineStart ? fit : lineStart + 1;
                while (breakAt < end && IsUtf8Continuation(text[breakAt]))
                    breakAt++;
            }
            fLines.push_back(Line{lineStart, breakAt - lineStart});
            lineStart = breakAt;
            // The spaces at a wrap belong to neither line.
            while (lineStart < end && (text[lineStart] == ' ' || text[lineStart] == '\t'))
                lineStart++;
            if (lineStart >= end)
                break;
        }
        if (!newline)
            break;
        start = end + 1;
    }
    UpdateScrollBars();
    Invalidate();
}

void BTextView::UpdateScrollBars() {
    BScrollBar* bar = ScrollBar(B_VERTICAL);
    if (!bar)
        return;
    float visible = Bounds().Height() + 1;
    float total = fTextRect.top + TextHeight(0, CountLines() - 1) + fTextRect.top;
    float max = std::max(0.0f, total - visible);
    bar->SetRange(0, max);
    bar->SetProportion(total > 0 ? std::min(1.0f, visible / total) : 1.0f);
    float line = LineHeight();
    bar->SetSteps(line, std::max(line, visible - line));
}

void BTextView::Draw(BRect updateRect) {
    if (fLines.empty())
        return;
    font_height fh;
    GetFontHeight(&fh);
    float lineHeight = LineHeight();
    SetHighColor(fTextColor);
    SetLowColor(ViewColor());
    int32 first = std::max<int32>(0, (int32)((updateRect.top - fTextRect.top) / lineHeight));
    for (int32 i = first; i < (int32)fLines.size(); i++) {
        float top = fTextRect.top + i * lineHeight;
        if (top > updateRect.bottom)
            break;
        const Line& line = fLines[i];
        if (line.length <= 0)
            continue;
        float x = fTextRect.left;
        if (fAlignment != B_ALIGN_LEFT) {
            float w = StringWidth(fText.c_str() + line.offset, line.length);
            float room = fTextRect.Width() + 1 - w;
            x += fAlignment == B_ALIGN_RIGHT ? room : std::floor(room / 2);
        }
        DrawString(fText.c_str() + line.offset, line.length, BPoint(x, top + fh.ascent));
    }
}

void BTextView::FrameResized(float, float) {
    UpdateScrollBars();
}

void BTextView::AttachedToWindow() {
    UpdateScrollBars();
}

void BTextView::MouseDown(BPoint) {
    if (fSelectable || fEditable)
        MakeFocus(true);
}

void BTextView::MakeFocus(bool focus) {
    BView::MakeFocus(focus);
}

void BTextView::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes != 1) {
        BView::KeyDown(bytes, numBytes);
        return;
    }
    float line = LineHeight();
    float page = std::max(line, Bounds().Height() + 1 - line);
    float maxTop = std::max(0.0f, fTextRect.top * 2 + TextHeight(0, CountLines() - 1) -
                                      (Bounds().Height() + 1));
    float top = Bounds().top;
    switch (bytes[0]) {
    case B_UP_ARROW:
        top -= line;
        break;
    case B_DOWN_ARROW:
        top += line;
        break;
    case B_PAGE_UP:
        top -= page;
        break;
    case B_PAGE_DOWN:
    case B_SPACE:
        top += page;
        break;
    case B_HOME:
        top = 0;
        break;
    case B_END:
        top = maxTop;
        break;
    default:
        BView::KeyDown(bytes, numBytes);
        return;
    }
    ScrollTo(BPoint(Bounds().left, std::clamp(top, 0.0f, maxTop)));
}

void BTextView::GetPreferredSize(float* width, float* height) {
    if (width)
        *width = Bounds().Width();
    if (height)
        *height = fTextRect.top * 2 + TextHeight(0, CountLines() - 1);
}
