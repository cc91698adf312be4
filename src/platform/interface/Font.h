#pragma once

// A font: family, face, size and rotation, and its measurements. Text is measured without
// a display, from the same font files the window system draws with (DejaVu Sans through
// fontconfig and FreeType), so that widths computed here match the drawn text. Without
// FreeType a deterministic fallback metric is used. Text is UTF-8.

#include <string>

#include "platform/support/SupportDefs.h"

#define B_FONT_FAMILY_LENGTH 63
#define B_FONT_STYLE_LENGTH 63
typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

// Faces.
enum {
    B_ITALIC_FACE = 0x0001,
    B_UNDERSCORE_FACE = 0x0002,
    B_NEGATIVE_FACE = 0x0004,
    B_OUTLINED_FACE = 0x0008,
    B_STRIKEOUT_FACE = 0x0010,
    B_BOLD_FACE = 0x0020,
    B_REGULAR_FACE = 0x0040,
};

// Truncation modes: where the text is shortened, with an ellipsis in place of the rest.
// B_TRUNCATE_SMART cuts in the middle at separators ('/' in paths, else spaces) so that
// whole names remain where they can.
enum {
    B_TRUNCATE_END = 0,
    B_TRUNCATE_BEGINNING = 1,
    B_TRUNCATE_MIDDLE = 2,
    B_TRUNCATE_SMART = 3,
};

enum { B_CHAR_SPACING = 0, B_STRING_SPACING = 1, B_BITMAP_SPACING = 2, B_FIXED_SPACING = 3 };

// Which aspects of a font SetFont copies into a view.
enum {
    B_FONT_FAMILY_AND_STYLE = 0x00000001,
    B_FONT_SIZE = 0x00000002,
    B_FONT_SHEAR = 0x00000004,
    B_FONT_ROTATION = 0x00000008,
    B_FONT_SPACING = 0x00000010,
    B_FONT_ENCODING = 0x00000020,
    B_FONT_FACE = 0x00000040,
    B_FONT_FLAGS = 0x00000080,
    B_FONT_ALL = 0x000000FF,
};

// The ellipsis that replaces the removed part ("…", three bytes in UTF-8). A truncated
// text may be up to this many bytes longer than the original, when very few characters
// fit.
#define B_UTF8_ELLIPSIS "\xE2\x80\xA6"
inline constexpr int32 B_TRUNCATION_EXTRA_BYTES = 3;

struct font_height {
    float ascent;
    float descent;
    float leading;
};

class BFont {
public:
    // A copy of the plain font.
    BFont();
    BFont(const BFont& font) = default;
    explicit BFont(const BFont* font);
    BFont& operator=(const BFont& font) = default;

    // Families known here: "DejaVu Sans" (the plain and bold fonts) and "DejaVu Sans Mono"
    // (the fixed font); styles "Book"/"Roman"/"Regular", "Bold", "Oblique", "Bold Oblique".
    // An unknown family gives B_NAME_NOT_FOUND and leaves the font unchanged.
    status_t SetFamilyAndStyle(const char* family, const char* style);
    void SetFamilyAndFace(const char* family, uint16 face);
    void GetFamilyAndStyle(font_family* family, font_style* style) const;

    // Sizes are in pixels (points at 72 dpi); they are clamped to 1..10000.
    void SetSize(float size);
    float Size() const { return fSize; }
    // Degrees counter-clockwise; 90 draws text running upwards. Measurements ignore it.
    void SetRotation(float degrees) { fRotation = degrees; }
    float Rotation() const { return fRotation; }
    void SetShear(float degrees) { fShear = degrees; }
    float Shear() const { return fShear; }
    void SetSpacing(uint8 spacing) { fSpacing = spacing; }
    uint8 Spacing() const { return fSpacing; }
    // B_BOLD_FACE selects the bold font, B_REGULAR_FACE (or 0) the plain one.
    void SetFace(uint16 face);
    uint16 Face() const { return fFace; }
    void SetFlags(uint32 flags) { fFlags = flags; }
    uint32 Flags() const { return fFlags; }
    bool IsFixed() const { return fFixed; }

    // Width in pixels of UTF-8 text as it is drawn (sum of the glyph advances).
    float StringWidth(const char* text) const;
    float StringWidth(const char* text, int32 length) const;
    void GetStringWidths(const char* strings[], const int32 lengths[], int32 count,
                         float widths[]) const;
    void GetHeight(font_height* height) const;

    // Shortens text so that its width is at most `width`, replacing what is cut with the
    // ellipsis, never cutting inside a UTF-8 character. A text that fits is unchanged.
    void TruncateString(std::string* inOut, uint32 mode, float width) const;
    std::string TruncatedString(const char* text, uint32 mode, float width) const;
    // Each result buffer must hold strlen(strings[i]) + B_TRUNCATION_EXTRA_BYTES + 1 bytes.
    void GetTruncatedStrings(const char* strings[], int32 count, uint32 mode, float width,
                             char* results[]) const;

    bool operator==(const BFont& other) const;
    bool operator!=(const BFont& other) const { return !(*this == other); }
    void PrintToStream() const;

    // True when text is measured with FreeType; false when the fallback metric is in use.
    static bool HasFontEngine();
    // The font file for this font's family and face, empty when none is found.
    std::string FontFile() const;

private:
    char fFamily[B_FONT_FAMILY_LENGTH + 1];
    float fSize;
    float fRotation = 0;
    float fShear = 90;
    uint8 fSpacing = B_CHAR_SPACING;
    uint16 fFace;
    uint32 fFlags = 0;
    bool fFixed = false;
};

// The system fonts: plain and bold at 10 pixels, fixed at 12.
extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;
