#pragma once

// BTextView: a block of text in one font and colour, laid out in the text rectangle and
// wrapped at word boundaries when word wrap is on. Lines end at '\n'. The text can be
// scrolled (by its scroll bar, the wheel or the arrow and page keys); it is shown, not
// edited. Other views may be added into a text view.

#include <string>
#include <vector>

#include "platform/interface/gui/View.h"

struct text_run_array;

class BTextView : public BView {
public:
    BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
    BTextView(BRect frame, const char* name, BRect textRect, const BFont* font,
              const rgb_color* color, uint32 resizingMode, uint32 flags);

    void SetText(const char* text, const text_run_array* runs = nullptr);
    void SetText(const char* text, int32 length, const text_run_array* runs = nullptr);
    // Appends (or inserts at offset) text.
    void Insert(const char* text, const text_run_array* runs = nullptr);
    void Insert(int32 offset, const char* text, int32 length);
    void Delete(int32 start, int32 end);
    const char* Text() const { return fText.c_str(); }
    int32 TextLength() const { return (int32)fText.size(); }

    void SetTextRect(BRect rect);
    BRect TextRect() const { return fTextRect; }
    void MakeEditable(bool editable = true) { fEditable = editable; }
    bool IsEditable() const { return fEditable; }
    void MakeSelectable(bool selectable = true) { fSelectable = selectable; }
    bool IsSelectable() const { return fSelectable; }
    void SetStylable(bool) {}
    void SetWordWrap(bool wrap);
    bool DoesWordWrap() const { return fWordWrap; }
    void SetAlignment(alignment flag);
    alignment Alignment() const { return fAlignment; }

    // One font and colour for all of the text.
    void SetFontAndColor(const BFont* font, uint32 mode = B_FONT_ALL,
                         const rgb_color* color = nullptr);
    void GetFontAndColor(int32 offset, BFont* font, rgb_color* color = nullptr) const;
    void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;

    int32 CountLines() const { return (int32)fLines.size(); }
    // Every line has the same height; the index only has to exist.
    float LineHeight(int32 line = 0) const;
    // Height of lines startLine..endLine (inclusive, clamped to the lines there are).
    float TextHeight(int32 startLine, int32 endLine) const;
    // The line that holds a byte offset.
    int32 LineAt(int32 offset) const;
    int32 OffsetAt(int32 line) const;
    BPoint PointAt(int32 offset, float* height = nullptr) const;
    void ScrollToOffset(int32 offset);
    void Select(int32 start, int32 end);
    void GetSelection(int32* start, int32* end) const;

    void Draw(BRect updateRect) override;
    void FrameResized(float width, float height) override;
    void AttachedToWindow() override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MakeFocus(bool focus = true) override;
    void GetPreferredSize(float* width, float* height) override;

private:
    struct Line {
        int32 offset; // first byte
        int32 length; // bytes shown (without the line break)
    };

    void Relayout();
    void UpdateScrollBars();

    std::string fText;
    BRect fTextRect;
    rgb_color fTextColor = {0, 0, 0, 255};
    bool fEditable = true;
    bool fSelectable = true;
    bool fWordWrap = true;
    alignment fAlignment = B_ALIGN_LEFT;
    std::vector<Line> fLines;
    int32 fSelectionStart = 0, fSelectionEnd = 0;
};
