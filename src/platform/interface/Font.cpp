#include "platform/interface/Font.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "platform/interface/DisplayScale.h"

#if TARNW_HAVE_FREETYPE
#include <dlfcn.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#endif

namespace {

#if TARNW_HAVE_FREETYPE
// FreeType and fontconfig, loaded when text is first measured: a program that never
// measures text, or runs where they are not installed, does without them.
struct FontLibraries {
    decltype(&FT_Init_FreeType) initFreeType = nullptr;
    decltype(&FT_New_Face) newFace = nullptr;
    decltype(&FT_Set_Char_Size) setCharSize = nullptr;
    decltype(&FT_Get_Char_Index) getCharIndex = nullptr;
    decltype(&FT_Load_Glyph) loadGlyph = nullptr;
    decltype(&FcInit) init = nullptr;
    decltype(&FcPatternCreate) patternCreate = nullptr;
    decltype(&FcPatternAddString) patternAddString = nullptr;
    decltype(&FcPatternAddInteger) patternAddInteger = nullptr;
    decltype(&FcConfigSubstitute) configSubstitute = nullptr;
    decltype(&FcDefaultSubstitute) defaultSubstitute = nullptr;
    decltype(&FcFontMatch) fontMatch = nullptr;
    decltype(&FcPatternGetString) patternGetString = nullptr;
    decltype(&FcPatternDestroy) patternDestroy = nullptr;

    // True when both libraries and every function were found; they stay loaded.
    bool Load() {
        void* freetype = dlopen("libfreetype.so.6", RTLD_NOW | RTLD_LOCAL);
        void* fontconfig = dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_LOCAL);
        if (freetype == nullptr || fontconfig == nullptr)
            return false;
        bool found = true;
        auto find = [&found](void* library, const char* name, auto& function) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            found = found && function != nullptr;
        };
        find(freetype, "FT_Init_FreeType", initFreeType);
        find(freetype, "FT_New_Face", newFace);
        find(freetype, "FT_Set_Char_Size", setCharSize);
        find(freetype, "FT_Get_Char_Index", getCharIndex);
        find(freetype, "FT_Load_Glyph", loadGlyph);
        find(fontconfig, "FcInit", init);
        find(fontconfig, "FcPatternCreate", patternCreate);
        find(fontconfig, "FcPatternAddString", patternAddString);
        find(fontconfig, "FcPatternAddInteger", patternAddInteger);
        find(fontconfig, "FcConfigSubstitute", configSubstitute);
        find(fontconfig, "FcDefaultSubstitute", defaultSubstitute);
        find(fontconfig, "FcFontMatch", fontMatch);
        find(fontconfig, "FcPatternGetString", patternGetString);
        find(fontconfig, "FcPatternDestroy", patternDestroy);
        return found;
    }
};
#endif

const char kSansFamily[] = "DejaVu Sans";
const char kMonoFamily[] = "DejaVu Sans Mono";

// Decodes one UTF-8 character at text[i] (i < length); a byte that does not start a valid
// sequence counts as one Latin-1 character, as the window system draws it.
uint32 DecodeUtf8(const unsigned char* text, int32 length, int32& i) {
    unsigned char c = text[i];
    int extra;
    uint32 code;
    if (c < 0x80) {
        i++;
        return c;
    } else if ((c & 0xE0) == 0xC0) {
        extra = 1;
        code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        code = c & 0x07;
    } else {
        i++;
        return c;
    }
    if (i + extra >= length) {
        i++;
        return c;
    }
    for (int k = 1; k <= extra; k++) {
        if ((text[i + k] & 0xC0) != 0x80) {
            i++;
            return c;
        }
        code = (code << 6) | (text[i + k] & 0x3F);
    }
    i += extra + 1;
    return code;
}

// Measures glyphs of the three font files; thread-safe, advances are cached.
class FontEngine {
public:
    static FontEngine& Get() {
        static FontEngine* engine = new FontEngine();
        return *engine;
    }

    bool Available() const { return fAvailable; }

    std::string File(int which) const { return which >= 0 && which < 3 ? fFiles[which] : ""; }

    // Advances in pixels of each character of text, appended to out; one entry per
    // character, with the byte offset where it starts.
    void Advances(int which, float size, const char* text, int32 length,
                  std::vector<std::pair<int32, float>>& out) {
        const unsigned char* bytes = (const unsigned char*)text;
        std::lock_guard<std::mutex> lock(fLock);
        int32 i = 0;
        while (i < length) {
            int32 start = i;
            uint32 code = DecodeUtf8(bytes, length, i);
            out.emplace_back(start, Advance(which, size, code));
        }
    }

    font_height Height(int which, float size) {
        std::lock_guard<std::mutex> lock(fLock);
#if TARNW_HAVE_FREETYPE
        if (FT_Face face = FaceAt(which, size)) {
            font_height h;
            h.ascent = std::ceil(face->size->metrics.ascender / 64.0f);
            h.descent = std::ceil(-face->size->metrics.descender / 64.0f);
            float line = std::ceil(face->size->metrics.height / 64.0f);
            h.leading = std::max(0.0f, line - h.ascent - h.descent);
            return h;
        }
#endif
        font_height h;
        h.ascent = std::ceil(size * 0.93f);
        h.descent = std::ceil(size * 0.24f);
        h.leading = 0;
        return h;
    }

private:
    FontEngine() {
#if TARNW_HAVE_FREETYPE
        // Where they are not installed (a server), the fixed metric is all there is.
        if (!fFonts.Load())
            return;
        if (fFonts.initFreeType(&fLibrary) != 0)
            return;
        if (!fFonts.init())
            return;
        fFiles[0] = Match(kSansFamily, FC_WEIGHT_REGULAR);
        fFiles[1] = Match(kSansFamily, FC_WEIGHT_BOLD);
        fFiles[2] = Match(kMonoFamily, FC_WEIGHT_REGULAR);
        for (int i = 0; i < 3; i++) {
            if (fFiles[i].empty() ||
                fFonts.newFace(fLibrary, fFiles[i].c_str(), 0, &fFaces[i]) != 0)
                fFaces[i] = nullptr;
        }
        fAvailable = fFaces[0] && fFaces[1] && fFaces[2];
        if (!fAvailable)
            std::fprintf(stderr, "fonts: DejaVu fonts not found, using fixed metrics\n");
#endif
    }

#if TARNW_HAVE_FREETYPE
    std::string Match(const char* family, int weight) {
        FcPattern* pattern = fFonts.patternCreate();
        fFonts.patternAddString(pattern, FC_FAMILY, (const FcChar8*)family);
        fFonts.patternAddInteger(pattern, FC_WEIGHT, weight);
        fFonts.patternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
        fFonts.configSubstitute(nullptr, pattern, FcMatchPattern);
        fFonts.defaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = fFonts.fontMatch(nullptr, pattern, &result);
        std::string file;
        FcChar8* path = nullptr;
        if (match && fFonts.patternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
            file = (const char*)path;
        if (match)
            fFonts.patternDestroy(match);
        fFonts.patternDestroy(pattern);
        return file;
    }

    FT_Face FaceAt(int which, float size) {
        if (!fAvailable)
            return nullptr;
        FT_Face face = fFaces[which];
        FT_F26Dot6 size26 = (FT_F26Dot6)std::lround(size * 64.0f);
        if (fFaceSize[which] != size26) {
            if (fFonts.setCharSize(face, 0, size26, 72, 72) != 0)
                return nullptr;
            fFaceSize[which] = size26;
        }
        return face;
    }
#endif

    float Advance(int which, float size, uint32 code) {
        int64 size26 = std::lround(size * 64.0f);
        uint64 key = ((uint64)which << 62) | ((uint64)(size26 & 0xFFFFFF) << 32) | code;
        auto found = fCache.find(key);
        if (found != fCache.end())
            return found->second;
        float advance = -1;
#if TARNW_HAVE_FREETYPE
        if (FT_Face face = FaceAt(which, size)) {
            FT_UInt glyph = fFonts.getCharIndex(face, code);
            // Light hinting and whole-pixel advances: what the X font renderer uses.
            if (fFonts.loadGlyph(face, glyph, FT_LOAD_TARGET_LIGHT) == 0)
                advance = (float)((face->glyph->advance.x + 32) >> 6);
        }
#endif
        if (advance < 0)
            advance = FallbackAdvance(which, size, code);
        if (fCache.size() > 100000)
            fCache.clear();
        fCache.emplace(key, advance);
        return advance;
    }

    // A fixed metric so that layout is deterministic where no font files exist.
    static float FallbackAdvance(int which, float size, uint32 code) {
        if (code < 0x20)
            return 0;
        float factor;
        if (which == 2)
            factor = 0.6f;
        else if (code == ' ')
            factor = 0.32f;
        else
            factor = which == 1 ? 0.66f : 0.6f;
        return std::round(size * factor);
    }

    std::mutex fLock;
    bool fAvailable = false;
    std::string fFiles[3];
    std::unordered_map<uint64, float> fCache;
#if TARNW_HAVE_FREETYPE
    FontLibraries fFonts;
    FT_Library fLibrary = nullptr;
    FT_Face fFaces[3] = {nullptr, nullptr, nullptr};
    FT_F26Dot6 fFaceSize[3] = {0, 0, 0};
#endif
};

// Text is measured at the size it is drawn with on the screen (a whole number of pixels,
// as the toolkit takes it, once the display is scaled) and given back in layout units.
struct Measure {
    float size;
    float scale;
};

Measure MeasureAt(float size) {
    float scale = DisplayScale::Factor();
    if (scale == 1)
        return {size, 1};
    return {DisplayScale::FontSize(size, scale), scale};
}

void ToLayoutUnits(std::vector<std::pair<int32, float>>& chars, float scale) {
    if (scale != 1)
        for (auto& c : chars)
            c.second /= scale;
}

int WhichFace(bool fixed, uint16 face) {
    if (fixed)
        return 2;
    return (face & B_BOLD_FACE) ? 1 : 0;
}

BFont MakeFont(const char* family, uint16 face, float size) {
    BFont font;
    font.SetFamilyAndFace(family, face);
    font.SetSize(size);
    return font;
}

const BFont kPlainFont = MakeFont(kSansFamily, B_REGULAR_FACE, 10);
const BFont kBoldFont = MakeFont(kSansFamily, B_BOLD_FACE, 10);
const BFont kFixedFont = MakeFont(kMonoFamily, B_REGULAR_FACE, 12);

// Truncation works on the characters' advances: the kept characters plus the ellipsis
// must not be wider than the width.
std::string Truncate(const std::vector<std::pair<int32, float>>& chars, const char* text,
                     int32 length, uint32 mode, float width, float ellipsisWidth) {
    float total = 0;
    for (const auto& c : chars)
        total += c.second;
    if (total <= width)
        return std::string(text, length);
    float available = width - ellipsisWidth;
    if (available < 0)
        return std::string();
    size_t count = chars.size();
    auto byteAt = [&](size_t index) { return index < count ? chars[index].first : length; };

    // Characters kept at the front [0, head) and at the back [tail, count).
    size_t head = 0, tail = count;
    float used = 0;
    switch (mode) {
    case B_TRUNCATE_BEGINNING:
        while (tail > 0 && used + chars[tail - 1].second <= available)
            used += chars[--tail].second;
        break;
    case B_TRUNCATE_MIDDLE:
    case B_TRUNCATE_SMART: {
        float front = 0, back = 0;
        for (;;) {
            bool frontFits = head < tail && used + chars[head].second <= available;
            bool backFits = head < tail && used + chars[tail - 1].second <= available;
            if (frontFits && (front <= back || !backFits)) {
                front += chars[head].second;
                used += chars[head++].second;
            } else if (backFits) {
                back += chars[tail - 1].second;
                used += chars[--tail].second;
            } else {
                break;
            }
        }
        break;
    }
    case B_TRUNCATE_END:
    default:
        while (head < count && used + chars[head].second <= available)
            used += chars[head++].second;
        break;
    }
    if (mode == B_TRUNCATE_SMART && head > 0 && tail < count) {
        // Cut at separators (path slashes, else spaces) so that whole names remain:
        // "/boot/home/…/Installed" rather than "/boot/ho…talled".
        char separator = std::memchr(text, '/', length) ? '/' : ' ';
        size_t snappedHead = head, snappedTail = tail;
        while (snappedHead > 0 && text[byteAt(snappedHead - 1)] != separator)
            snappedHead--;
        while (snappedTail < count && text[byteAt(snappedTail)] != separator)
            snappedTail++;
        // Only when something is left on both sides.
        if (snappedHead > 0 && snappedTail < count) {
            head = snappedHead;
            tail = snappedTail;
        }
    }
    std::string result(text, byteAt(head));
    result += B_UTF8_ELLIPSIS;
    result.append(text + byteAt(tail), length - byteAt(tail));
    return result;
}

} // namespace

const BFont* be_plain_font = &kPlainFont;
const BFont* be_bold_font = &kBoldFont;
const BFont* be_fixed_font = &kFixedFont;

BFont::BFont() : fSize(10), fFace(B_REGULAR_FACE) {
    std::strcpy(fFamily, kSansFamily);
}

BFont::BFont(const BFont* font) : BFont() {
    if (font)
        *this = *font;
}

status_t BFont::SetFamilyAndStyle(const char* family, const char* style) {
    if (family) {
        if (std::strcmp(family, kSansFamily) != 0 && std::strcmp(family, kMonoFamily) != 0)
            return B_NAME_NOT_FOUND;
        std::strcpy(fFamily, family);
        fFixed = std::strcmp(family, kMonoFamily) == 0;
    }
    if (style) {
        uint16 face = 0;
        if (std::strstr(style, "Bold"))
            face |= B_BOLD_FACE;
        if (std::strstr(style, "Oblique") || std::strstr(style, "Italic"))
            face |= B_ITALIC_FACE;
        fFace = face ? face : (uint16)B_REGULAR_FACE;
    }
    return B_OK;
}

void BFont::SetFamilyAndFace(const char* family, uint16 face) {
    if (family)
        SetFamilyAndStyle(family, nullptr);
    SetFace(face);
}

void BFont::GetFamilyAndStyle(font_family* family, font_style* style) const {
    if (family)
        std::strcpy(*family, fFamily);
    if (style) {
        bool bold = fFace & B_BOLD_FACE, italic = fFace & B_ITALIC_FACE;
        const char* name =
            bold ? (italic ? "Bold Oblique" : "Bold") : (italic ? "Oblique" : "Book");
        std::strcpy(*style, name);
    }
}

void BFont::SetSize(float size) {
    if (!(size >= 1))
        size = 1;
    if (size > 10000)
        size = 10000;
    fSize = size;
}

void BFont::SetFace(uint16 face) {
    fFace = face == 0 ? (uint16)B_REGULAR_FACE : face;
}

float BFont::StringWidth(const char* text) const {
    return text ? StringWidth(text, (int32)std::strlen(text)) : 0;
}

float BFont::StringWidth(const char* text, int32 length) const {
    if (!text || length <= 0)
        return 0;
    int32 real = (int32)strnlen(text, length);
    std::vector<std::pair<int32, float>> chars;
    chars.reserve(real);
    Measure measure = MeasureAt(fSize);
    FontEngine::Get().Advances(WhichFace(fFixed, fFace), measure.size, text, real, chars);
    float width = 0;
    for (const auto& c : chars)
        width += c.second;
    return width / measure.scale;
}

void BFont::GetStringWidths(const char* strings[], const int32 lengths[], int32 count,
                            float widths[]) const {
    for (int32 i = 0; i < count; i++)
        widths[i] = StringWidth(strings[i], lengths[i]);
}

void BFont::GetHeight(font_height* height) const {
    if (!height)
        return;
    Measure measure = MeasureAt(fSize);
    *height = FontEngine::Get().Height(WhichFace(fFixed, fFace), measure.size);
    height->ascent /= measure.scale;
    height->descent /= measure.scale;
    height->leading /= measure.scale;
}

std::string BFont::TruncatedString(const char* text, uint32 mode, float width) const {
    if (!text)
        return std::string();
    int32 length = (int32)std::strlen(text);
    std::vector<std::pair<int32, float>> chars;
    chars.reserve(length);
    Measure measure = MeasureAt(fSize);
    FontEngine::Get().Advances(WhichFace(fFixed, fFace), measure.size, text, length, chars);
    ToLayoutUnits(chars, measure.scale);
    float ellipsis = StringWidth(B_UTF8_ELLIPSIS);
    return Truncate(chars, text, length, mode, width, ellipsis);
}

void BFont::TruncateString(std::string* inOut, uint32 mode, float width) const {
    if (inOut)
        *inOut = TruncatedString(inOut->c_str(), mode, width);
}

void BFont::GetTruncatedStrings(const char* strings[], int32 count, uint32 mode, float width,
                                char* results[]) const {
    for (int32 i = 0; i < count; i++) {
        if (!strings[i] || !results[i])
            continue;
        size_t capacity = std::strlen(strings[i]) + B_TRUNCATION_EXTRA_BYTES + 1;
        std::string truncated = TruncatedString(strings[i], mode, width);
        size_t n = std::min(truncated.size(), capacity - 1);
        std::memcpy(results[i], truncated.data(), n);
        results[i][n] = '\0';
    }
}

bool BFont::operator==(const BFont& other) const {
    return std::strcmp(fFamily, other.fFamily) == 0 && fSize == other.fSize &&
           fRotation == other.fRotation && fShear == other.fShear && fSpacing == other.fSpacing &&
           fFace == other.fFace && fFlags == other.fFlags;
}

void BFont::PrintToStream() const {
    font_style style;
    GetFamilyAndStyle(nullptr, &style);
    std::printf("BFont(family: %s, style: %s, size: %.1f, rotation: %.1f)\n", fFamily, style, fSize,
                fRotation);
}

bool BFont::HasFontEngine() {
    return FontEngine::Get().Available();
}

std::string BFont::FontFile() const {
    return FontEngine::Get().File(WhichFace(fFixed, fFace));
}
