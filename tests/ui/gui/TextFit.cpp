#include "TextFit.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "platform/interface/Font.h"
#include "platform/interface/gui/ListView.h"
#include "platform/interface/gui/Painter.h"
#include "platform/interface/gui/TextView.h"
#include "platform/interface/gui/View.h"
#include "platform/interface/gui/Window.h"

namespace text_fit {

namespace {

// Allowance for the blank part of the last character's advance and for anti-aliasing.
constexpr float kSlack = 1;

struct DrawnText {
    std::string text;
    BRect box;    // where the characters' advances and the font's height reach
    BRect clip;   // what the view drawing it shows
    size_t order; // how many areas were opened before it
};

// A view's area, in the order the views are drawn, and whether the view paints all of it.
struct Area {
    BRect rect;
    bool opaque = false;
};

std::string Describe(const BRect& r) {
    std::ostringstream out;
    out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return out.str();
}

bool Overlap(const BRect& a, const BRect& b) {
    return a.left + kSlack < b.right && b.left + kSlack < a.right && a.top + kSlack < b.bottom &&
           b.top + kSlack < a.bottom;
}

class Recorder : public Painter {
public:
    explicit Recorder(BRect bounds) { fClips.push_back(bounds); }

    void FillRect(BRect rect, rgb_color color, drawing_mode) override {
        // A view's own background: the first fill of the area just opened, covering it.
        if (!fAreas.empty() && fJustOpened && color.alpha != 0 && rect == fAreas.back().rect)
            fAreas.back().opaque = true;
        fJustOpened = false;
    }
    void StrokeLine(BPoint, BPoint, rgb_color, float, drawing_mode) override {
        fJustOpened = false;
    }
    void FillEllipse(BRect, rgb_color, drawing_mode) override { fJustOpened = false; }
    void StrokeEllipse(BRect, rgb_color, float, drawing_mode) override { fJustOpened = false; }
    void FillTriangle(BPoint, BPoint, BPoint, rgb_color, drawing_mode) override {
        fJustOpened = false;
    }
    void DrawBitmap(const BBitmap&, BRect, BRect, drawing_mode) override { fJustOpened = false; }

    void DrawString(const char* text, int32 length, BPoint where, const BFont& font, rgb_color,
                    rgb_color, drawing_mode) override {
        fJustOpened = false;
        std::string string(text, (size_t)std::max<int32>(0, length));
        if (string.find_first_not_of(' ') == std::string::npos)
            return;
        float width = font.StringWidth(string.c_str());
        font_height height;
        font.GetHeight(&height);
        // The height of capitals and accents above the baseline, the descent below it.
        float above = std::ceil(height.ascent * 0.85f), below = std::ceil(height.descent * 0.5f);
        BRect box(where.x, where.y - above, where.x + width - 1, where.y + below - 1);
        int angle = ((int)std::lround(font.Rotation()) % 360 + 360) % 360;
        if (angle == 90) // upwards from the baseline's start
            box = BRect(where.x - above, where.y - width + 1, where.x + below - 1, where.y);
        else if (angle == 270)
            box = BRect(where.x - below + 1, where.y, where.x + above, where.y + width - 1);
        fTexts.push_back(DrawnText{string, box, fClips.back(), fAreas.size()});
    }

    void PushClip(BRect rect) override {
        BRect clip = fClips.back() & rect;
        fClips.push_back(clip);
        fAreas.push_back(Area{clip, false});
        fJustOpened = true;
    }
    void PopClip() override {
        if (fClips.size() > 1)
            fClips.pop_back();
        fJustOpened = false;
    }
    BRect Clip() const override { return fClips.back(); }

    const std::vector<DrawnText>& Texts() const { return fTexts; }
    const std::vector<Area>& Areas() const { return fAreas; }

private:
    std::vector<BRect> fClips;
    std::vector<Area> fAreas;
    std::vector<DrawnText> fTexts;
    bool fJustOpened = false;
};

// Views without a view of their own below them: hidden views and everything under them
// are not drawn.
void DrawWindow(BWindow* window, Recorder& recorder) {
    window->Lock();
    window->TopView()->DrawTree(recorder, window->Bounds());
    window->Unlock();
}

// Where lists and text views lie in the window: their rows and lines scroll, so one may be
// cut at the top or bottom edge.
void CollectScrolling(BView* view, std::vector<BRect>& out) {
    if (dynamic_cast<BListView*>(view) != nullptr || dynamic_cast<BTextView*>(view) != nullptr)
        out.push_back(view->ConvertToWindow(view->Bounds()));
    for (int32 i = 0; i < view->CountChildren(); i++)
        CollectScrolling(view->ChildAt(i), out);
}

} // namespace

std::vector<std::string> Faults(BWindow* window) {
    Recorder recorder(window->Bounds());
    DrawWindow(window, recorder);
    std::vector<BRect> scrolling;
    window->Lock();
    CollectScrolling(window->TopView(), scrolling);
    window->Unlock();
    auto scrolls = [&](const BRect& clip) {
        for (const BRect& rect : scrolling)
            if (rect.Contains(clip))
                return true;
        return false;
    };
    std::string name = window->Title();
    std::vector<std::string> faults;
    const auto& texts = recorder.Texts();
    const auto& areas = recorder.Areas();
    for (size_t i = 0; i < texts.size(); i++) {
        const DrawnText& text = texts[i];
        const BRect& box = text.box;
        const BRect& clip = text.clip;
        // A text in a view that shows nothing (scrolled out of a list) is not on screen.
        if (!clip.IsValid() || !Overlap(box, clip))
            continue;
        bool cutAcross = box.left < clip.left - kSlack || box.right > clip.right + kSlack;
        bool cutAlong = box.top < clip.top - kSlack || box.bottom > clip.bottom + kSlack;
        if (cutAcross || (cutAlong && !scrolls(clip))) {
            faults.push_back(name + ": \"" + text.text + "\" at " + Describe(box) +
                             " is cut by its view " + Describe(clip));
            continue;
        }
        for (size_t j = 0; j < texts.size(); j++) {
            if (j != i && j > i && Overlap(box, texts[j].box) &&
                Overlap(texts[j].box, texts[j].clip))
                faults.push_back(name + ": \"" + text.text + "\" at " + Describe(box) + " and \"" +
                                 texts[j].text + "\" at " + Describe(texts[j].box) + " overlap");
        }
        for (size_t a = text.order; a < areas.size(); a++) {
            if (areas[a].opaque && Overlap(box, areas[a].rect)) {
                faults.push_back(name + ": \"" + text.text + "\" at " + Describe(box) +
                                 " is covered by a view at " + Describe(areas[a].rect));
                break;
            }
        }
    }
    return faults;
}

} // namespace text_fit
