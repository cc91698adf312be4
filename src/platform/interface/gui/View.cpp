#include "platform/interface/gui/View.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/app/Message.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/BitmapPainter.h"
#include "platform/interface/gui/GuiHost.h"
#include "platform/interface/gui/Picture.h"
#include "platform/interface/gui/PictureRecorder.h"
#include "platform/interface/gui/ScrollBar.h"
#include "platform/interface/gui/Window.h"
#include "platform/interface/gui/WindowState.h"

namespace {

// How an edge follows its parent when the parent grows by `delta`.
float EdgeShift(uint32 rule, uint32 farRule, float delta) {
    if (rule == farRule)
        return delta;
    if (rule == _VIEW_CENTER_)
        return delta / 2;
    return 0;
}

} // namespace

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BHandler(name), fFrame(frame), fResizingMode(resizingMode), fFlags(flags),
      fFont(*be_plain_font) {
    // Frames are whole pixels.
    fFrame.Set(std::round(frame.left), std::round(frame.top), std::round(frame.right),
               std::round(frame.bottom));
}

BView::~BView() {
    // A view deleted while still in a tree leaves it first, so that nothing points to it.
    if (fParent)
        fParent->RemoveChild(this);
    else if (fWindow || fBitmap)
        DetachTree();
    if (fRecordingPainter)
        delete fRecordingPainter;
    while (!fChildren.empty()) {
        BView* child = fChildren.back();
        RemoveChild(child);
        delete child;
    }
}

void BView::AttachedToWindow() {}
void BView::AllAttached() {}
void BView::DetachedFromWindow() {}
void BView::AllDetached() {}
void BView::Draw(BRect) {}
void BView::DrawAfterChildren(BRect) {}
void BView::MouseDown(BPoint) {}
void BView::MouseUp(BPoint) {}
void BView::MouseMoved(BPoint, uint32, const BMessage*) {}
void BView::KeyDown(const char* bytes, int32 numBytes) {
    // Tab, which the view did not want, moves the keyboard focus on (back with Shift).
    if (numBytes == 1 && bytes[0] == B_TAB && fWindow) {
        BMessage* current = fWindow->CurrentMessage();
        int32 modifiers = current ? current->GetInt32("modifiers") : 0;
        if (!(modifiers & (B_COMMAND_KEY | B_CONTROL_KEY)))
            fWindow->NavigateFocus(!(modifiers & B_SHIFT_KEY));
    }
}
void BView::KeyUp(const char*, int32) {}
void BView::FrameMoved(BPoint) {}
void BView::FrameResized(float, float) {}
void BView::Pulse() {}
void BView::WindowActivated(bool) {}

void BView::MakeFocus(bool focus) {
    if (fWindow)
        fWindow->SetFocusView(this, focus);
}

void BView::MessageReceived(BMessage* message) {
    if (message->what == B_MOUSE_WHEEL_CHANGED) {
        float delta = 0;
        message->FindFloat("be:wheel_delta_y", &delta);
        ScrollWheel(delta);
        return;
    }
    BHandler::MessageReceived(message);
}

BScrollBar* BView::ScrollBar(orientation which) const {
    if (!fParent)
        return nullptr;
    for (BView* sibling : fParent->fChildren) {
        auto* bar = dynamic_cast<BScrollBar*>(sibling);
        if (bar && bar->Target() == this && bar->Orientation() == which)
            return bar;
    }
    return nullptr;
}

void BView::ScrollWheel(float deltaY) {
    // The vertical scroll bar that targets this view, if any, scrolls it.
    if (BScrollBar* bar = ScrollBar(B_VERTICAL)) {
        float small, big;
        bar->GetSteps(&small, &big);
        bar->SetValue(bar->Value() + deltaY * small * 3);
        return;
    }
    if (fParent)
        fParent->ScrollWheel(deltaY);
}

void BView::GetPreferredSize(float* width, float* height) {
    if (width)
        *width = fFrame.Width();
    if (height)
        *height = fFrame.Height();
}

void BView::ResizeToPreferred() {
    float w, h;
    GetPreferredSize(&w, &h);
    ResizeTo(w, h);
}

// Tree.

void BView::AddChild(BView* child, BView* before) {
    if (!child || child->fParent || child == this)
        return;
    auto at = std::find(fChildren.begin(), fChildren.end(), before);
    fChildren.insert(at, child);
    child->fParent = this;
    if (fWindow || fBitmap) {
        child->AttachTree(fWindow, fBitmap);
        child->CallAllAttached();
    }
    child->Invalidate();
}

bool BView::RemoveChild(BView* child) {
    auto at = std::find(fChildren.begin(), fChildren.end(), child);
    if (!child || at == fChildren.end())
        return false;
    child->Invalidate();
    if (child->fWindow || child->fBitmap)
        child->DetachTree();
    fChildren.erase(at);
    child->fParent = nullptr;
    return true;
}

bool BView::RemoveSelf() {
    if (fParent)
        return fParent->RemoveChild(this);
    return false;
}

BView* BView::ChildAt(int32 index) const {
    if (index < 0 || index >= (int32)fChildren.size())
        return nullptr;
    return fChildren[index];
}

BView* BView::NextSibling() const {
    if (!fParent)
        return nullptr;
    auto& siblings = fParent->fChildren;
    auto at = std::find(siblings.begin(), siblings.end(), this);
    return at != siblings.end() && at + 1 != siblings.end() ? *(at + 1) : nullptr;
}

BView* BView::PreviousSibling() const {
    if (!fParent)
        return nullptr;
    auto& siblings = fParent->fChildren;
    auto at = std::find(siblings.begin(), siblings.end(), this);
    return at != siblings.end() && at != siblings.begin() ? *(at - 1) : nullptr;
}

BView* BView::FindView(const char* name) const {
    if (!name)
        return nullptr;
    if (std::strcmp(Name(), name) == 0)
        return const_cast<BView*>(this);
    for (BView* child : fChildren)
        if (BView* found = child->FindView(name))
            return found;
    return nullptr;
}

void BView::AttachTree(BWindow* window, BBitmap* bitmap) {
    fWindow = window;
    fBitmap = bitmap;
    if (window)
        window->AddHandler(this);
    AttachedToWindow();
    for (BView* child : fChildren)
        child->AttachTree(window, bitmap);
}

void BView::CallAllAttached() {
    for (BView* child : fChildren)
        child->CallAllAttached();
    AllAttached();
}

void BView::DetachTree() {
    for (BView* child : fChildren)
        child->DetachTree();
    DetachedFromWindow();
    AllDetached();
    if (fWindow) {
        fWindow->ViewRemoved(this);
        fWindow->RemoveHandler(this);
    }
    fWindow = nullptr;
    fBitmap = nullptr;
}

void BView::SetOwner(BWindow* window, BBitmap* bitmap) {
    if (window || bitmap) {
        AttachTree(window, bitmap);
        CallAllAttached();
    } else {
        DetachTree();
    }
}

// Geometry.

BRect BView::Bounds() const {
    return BRect(fScroll.x, fScroll.y, fScroll.x + fFrame.Width(), fScroll.y + fFrame.Height());
}

void BView::MoveBy(float dx, float dy) {
    MoveTo(BPoint(fFrame.left + dx, fFrame.top + dy));
}

void BView::MoveTo(BPoint where) {
    where.Set(std::round(where.x), std::round(where.y));
    if (where == fFrame.LeftTop())
        return;
    if (fParent)
        fParent->Invalidate(fFrame);
    fFrame.OffsetTo(where);
    Invalidate();
    if (fFlags & B_FRAME_EVENTS)
        FrameMoved(where);
}

void BView::ResizeBy(float dw, float dh) {
    dw = std::round(dw);
    dh = std::round(dh);
    if (dw == 0 && dh == 0)
        return;
    if (fParent)
        fParent->Invalidate(fFrame);
    fFrame.right += dw;
    fFrame.bottom += dh;
    for (BView* child : fChildren)
        child->ParentResized(dw, dh);
    Invalidate();
    if (fFlags & B_FRAME_EVENTS)
        FrameResized(fFrame.Width(), fFrame.Height());
}

void BView::ResizeTo(float width, float height) {
    ResizeBy(width - fFrame.Width(), height - fFrame.Height());
}

void BView::ParentResized(float dw, float dh) {
    uint32 top = (fResizingMode >> 12) & 0xF, left = (fResizingMode >> 8) & 0xF;
    uint32 bottom = (fResizingMode >> 4) & 0xF, right = fResizingMode & 0xF;
    float dl = EdgeShift(left, _VIEW_RIGHT_, dw), dr = EdgeShift(right, _VIEW_RIGHT_, dw);
    float dt = EdgeShift(top, _VIEW_BOTTOM_, dh), db = EdgeShift(bottom, _VIEW_BOTTOM_, dh);
    if (dl != 0 || dt != 0)
        MoveBy(dl, dt);
    if (dr - dl != 0 || db - dt != 0)
        ResizeBy(dr - dl, db - dt);
}

void BView::ScrollTo(BPoint where) {
    where.Set(std::round(where.x), std::round(where.y));
    if (where == fScroll)
        return;
    fScroll = where;
    Invalidate();
    // Scroll bars that target this view follow.
    if (fParent) {
        for (BView* sibling : fParent->fChildren) {
            auto* bar = dynamic_cast<BScrollBar*>(sibling);
            if (bar && bar->Target() == this)
                bar->SetValueQuietly(bar->Orientation() == B_VERTICAL ? where.y : where.x);
        }
    }
}

void BView::ScrollBy(float dx, float dy) {
    ScrollTo(BPoint(fScroll.x + dx, fScroll.y + dy));
}

void BView::ConvertToParent(BPoint* point) const {
    *point = ConvertToParent(*point);
}

BPoint BView::ConvertToParent(BPoint point) const {
    return point - fScroll + fFrame.LeftTop();
}

void BView::ConvertFromParent(BPoint* point) const {
    *point = ConvertFromParent(*point);
}

BPoint BView::ConvertFromParent(BPoint point) const {
    return point - fFrame.LeftTop() + fScroll;
}

BRect BView::ConvertToParent(BRect rect) const {
    return BRect(ConvertToParent(rect.LeftTop()), ConvertToParent(rect.RightBottom()));
}

BRect BView::ConvertFromParent(BRect rect) const {
    return BRect(ConvertFromParent(rect.LeftTop()), ConvertFromParent(rect.RightBottom()));
}

BPoint BView::ConvertToWindow(BPoint point) const {
    for (const BView* view = this; view; view = view->fParent)
        point = view->ConvertToParent(point);
    return point;
}

BPoint BView::ConvertFromWindow(BPoint point) const {
    return point - ConvertToWindow(B_ORIGIN);
}

BRect BView::ConvertToWindow(BRect rect) const {
    return rect.OffsetByCopy(ConvertToWindow(B_ORIGIN));
}

BRect BView::ConvertFromWindow(BRect rect) const {
    BPoint origin = ConvertToWindow(B_ORIGIN);
    return rect.OffsetByCopy(-origin.x, -origin.y);
}

void BView::ConvertToScreen(BPoint* point) const {
    *point = ConvertToScreen(*point);
}

BPoint BView::ConvertToScreen(BPoint point) const {
    point = ConvertToWindow(point);
    return fWindow ? fWindow->ConvertToScreen(point) : point;
}

void BView::ConvertFromScreen(BPoint* point) const {
    *point = ConvertFromScreen(*point);
}

BPoint BView::ConvertFromScreen(BPoint point) const {
    if (fWindow)
        point = fWindow->ConvertFromScreen(point);
    return ConvertFromWindow(point);
}

BRect BView::ConvertToScreen(BRect rect) const {
    BPoint origin = ConvertToScreen(B_ORIGIN);
    return rect.OffsetByCopy(origin.x, origin.y);
}

BRect BView::ConvertFromScreen(BRect rect) const {
    BPoint origin = ConvertToScreen(B_ORIGIN);
    return rect.OffsetByCopy(-origin.x, -origin.y);
}

void BView::SetFlags(uint32 flags) {
    fFlags = flags;
}

void BView::Show() {
    if (fHidden > 0 && --fHidden == 0) {
        Invalidate();
    }
}

void BView::Hide() {
    if (fHidden++ == 0) {
        Invalidate();
        if (fWindow) {
            // A hidden view cannot keep the focus.
            BView* focus = fWindow->CurrentFocus();
            for (BView* v = focus; v; v = v->fParent)
                if (v == this)
                    focus->MakeFocus(false);
        }
    }
}

bool BView::IsHidden() const {
    for (const BView* view = this; view; view = view->fParent)
        if (view->fHidden > 0)
            return true;
    return fWindow && fWindow->IsHidden();
}

bool BView::IsFocus() const {
    return fWindow && fWindow->CurrentFocus() == this;
}

void BView::SetViewColor(rgb_color color) {
    fViewColor = color;
    fViewColorSet = true;
    Invalidate();
}

void BView::AdoptParentViewColor() {
    if (fViewColorSet || !fParent)
        return;
    rgb_color color = fParent->ViewColor();
    if (color == B_TRANSPARENT_COLOR)
        color = ui_color(B_PANEL_BACKGROUND_COLOR);
    fViewColor = color;
    fLowColor = color;
    Invalidate();
}

void BView::SetFont(const BFont* font, uint32 mask) {
    if (!font)
        return;
    if (mask == B_FONT_ALL) {
        fFont = *font;
    } else {
        if (mask & B_FONT_FAMILY_AND_STYLE) {
            font_family family;
            font_style style;
            font->GetFamilyAndStyle(&family, &style);
            fFont.SetFamilyAndStyle(family, style);
        }
        if (mask & B_FONT_SIZE)
            fFont.SetSize(font->Size());
        if (mask & B_FONT_SHEAR)
            fFont.SetShear(font->Shear());
        if (mask & B_FONT_ROTATION)
            fFont.SetRotation(font->Rotation());
        if (mask & B_FONT_SPACING)
            fFont.SetSpacing(font->Spacing());
        if (mask & B_FONT_FACE)
            fFont.SetFace(font->Face());
        if (mask & B_FONT_FLAGS)
            fFont.SetFlags(font->Flags());
    }
    Invalidate();
}

void BView::GetFont(BFont* font) const {
    if (font)
        *font = fFont;
}

void BView::SetFontSize(float size) {
    fFont.SetSize(size);
    Invalidate();
}

void BView::GetFontHeight(font_height* height) const {
    fFont.GetHeight(height);
}

float BView::StringWidth(const char* text) const {
    return fFont.StringWidth(text);
}

float BView::StringWidth(const char* text, int32 length) const {
    return fFont.StringWidth(text, length);
}

// Drawing.

Painter* BView::CurrentPainter() const {
    if (fRecordingPainter)
        return fRecordingPainter;
    return fPainter;
}

BPoint BView::OriginInOwner() const {
    if (fRecordingPainter)
        return B_ORIGIN;
    return ConvertToWindow(B_ORIGIN);
}

rgb_color BView::PatternColor(const pattern& p) const {
    int ones = 0;
    for (uint8 byte : p.data)
        ones += __builtin_popcount(byte);
    if (ones == 64)
        return fHighColor;
    if (ones == 0)
        return fLowColor;
    // Patterns in between are drawn as the mixture of the two colours.
    auto mix = [ones](uint8 high, uint8 low) {
        return (uint8)((high * ones + low * (64 - ones)) / 64);
    };
    return rgb_color{mix(fHighColor.red, fLowColor.red), mix(fHighColor.green, fLowColor.green),
                     mix(fHighColor.blue, fLowColor.blue), 255};
}

namespace {

// Runs draw with the painter a drawing call should use: the recorder, the painter of a
// running Draw(), or, for a view in a locked off-screen bitmap, one drawing into it.
template <typename F>
void WithPainter(const BView* view, Painter* current, BBitmap* bitmap, F&& draw) {
    if (current) {
        draw(*current);
        return;
    }
    if (bitmap && bitmap->IsLocked()) {
        BitmapPainter painter(bitmap);
        // Clip to the view and its parents.
        BRect clip = view->ConvertToWindow(view->Bounds());
        for (const BView* v = view->Parent(); v; v = v->Parent())
            clip = clip & v->ConvertToWindow(v->Bounds());
        painter.PushClip(clip);
        draw(painter);
    }
}

} // namespace

void BView::StrokeLine(BPoint start, BPoint end, pattern p) {
    rgb_color color = PatternColor(p);
    BPoint origin = OriginInOwner();
    WithPainter(this, CurrentPainter(), fBitmap, [&](Painter& painter) {
        painter.StrokeLine(start + origin, end + origin, color, fPenSize, fDrawingMode);
    });
    fPen = end;
}

void BView::StrokeLine(BPoint end, pattern p) {
    StrokeLine(fPen, end, p);
}

void BView::StrokeRect(BRect rect, pattern p) {
    if (!rect.IsValid())
        return;
    rgb_color color = PatternColor(p);
    BPoint o = OriginInOwner();
    rect.OffsetBy(o);
    WithPainter(this, CurrentPainter(), fBitmap, [&](Painter& painter) {
        painter.FillRect(BRect(rect.left, rect.top, rect.right, rect.top), color, fDrawingMode);
        painter.FillRect(BRect(rect.left, rect.bottom, rect.right, rect.bottom), color,
                         fDrawingMode);
        if (rect.bottom - rect.top > 1) {
            painter.FillRect(BRect(rect.left, rect.top + 1, rect.left, rect.bottom - 1), color,
                             fDrawingMode);
            painter.FillRect(BRect(rect.right, rect.top + 1, rect.right, rect.bottom - 1), color,
                             fDrawingMode);
        }
    });
}

void BView::FillRect(BRect rect, pattern p) {
    if (!rect.IsValid())
        return;
    rgb_color color = PatternColor(p);
    BPoint o = OriginInOwner();
    WithPainter(this, CurrentPainter(), fBitmap, [&](Painter& painter) {
        painter.FillRect(rect.OffsetByCopy(o.x, o.y), color, fDrawingMode);
    });
}

void BView::StrokeEllipse(BRect rect, pattern p) {
    rgb_color color = PatternColor(p);
    BPoint o = OriginInOwner();
    WithPainter(this, CurrentPainter(), fBitmap, [&](Painter& painter) {
        painter.StrokeEllipse(rect.OffsetByCopy(o.x, o.y), color, fPenSize, fDrawingMode);
    });
}

void BView::FillEllipse(BRect rect, pattern p) {
    rgb_color color = PatternColor(p);
    BPoint o = OriginInOwner();
    WithPainter(this, CurrentPainter(), fBitmap, [&](Painter& painter) {
        painter.FillEllipse(rect.OffsetByCopy(o.x, o.y), color, fDrawingMode);
    });
}

void BView::StrokeTriangle(BPoint a, BPoint b, BPoint c, pattern p) {
    StrokeLine(a, b, p);
    StrokeLine(b, c, p);
    StrokeLine(c, a, p);
}

void BView::FillTriangle(BPoint a, BPoint b, BPoint c, pattern p) {
    rgb_color color = PatternColor(p);
    BPoint o = OriginInOwner();
    WithPainter(this, CurrentPainter(), fBitmap, [&](Painter& painter) {
        painter.FillTriangle(a + o, b + o, c + o, color, fDrawingMode);
    });
}

void BView::DrawString(const char* text) {
    DrawString(text, fPen);
}

void BView::DrawString(const char* text, BPoint where) {
    DrawString(text, text ? (int32)std::strlen(text) : 0, where);
}

void BView::DrawString(const char* text, int32 length, BPoint where) {
    if (!text || length <= 0)
        return;
    length = (int32)strnlen(text, length);
    BPoint o = OriginInOwner();
    WithPainter(this, CurrentPainter(), fBitmap, [&](Painter& painter) {
        painter.DrawString(text, length, where + o, fFont, fHighColor, fLowColor, fDrawingMode);
    });
    float width = fFont.StringWidth(text, length);
    float angle = fFont.Rotation() * (float)M_PI / 180.0f;
    fPen = where + BPoint(width * std::cos(angle), -width * std::sin(angle));
}

void BView::DrawChar(char c, BPoint where) {
    char text[2] = {c, 0};
    DrawString(text, 1, where);
}

void BView::DrawBitmap(const BBitmap* bitmap, BPoint where) {
    if (!bitmap || !bitmap->IsValid())
        return;
    BRect source = bitmap->Bounds();
    DrawBitmap(bitmap, source, source.OffsetToCopy(where.x, where.y));
}

void BView::DrawBitmap(const BBitmap* bitmap) {
    DrawBitmap(bitmap, fPen);
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination) {
    if (!bitmap || !bitmap->IsValid())
        return;
    BPoint o = OriginInOwner();
    WithPainter(this, CurrentPainter(), fBitmap, [&](Painter& painter) {
        painter.DrawBitmap(*bitmap, source, destination.OffsetByCopy(o.x, o.y), fDrawingMode);
    });
}

void BView::DrawPicture(const BPicture* picture, BPoint where) {
    if (!picture)
        return;
    BPoint o = OriginInOwner();
    WithPainter(this, CurrentPainter(), fBitmap,
                [&](Painter& painter) { picture->Play(painter, where + o); });
}

void BView::BeginPicture(BPicture* picture) {
    if (!picture)
        return;
    delete fRecordingPainter;
    fRecording = picture;
    fRecordingPainter = new PictureRecorder(picture);
}

BPicture* BView::EndPicture() {
    BPicture* picture = fRecording;
    delete fRecordingPainter;
    fRecordingPainter = nullptr;
    fRecording = nullptr;
    return picture;
}

void BView::Invalidate() {
    Invalidate(Bounds());
}

void BView::Invalidate(BRect rect) {
    if (!fWindow)
        return;
    BRect visible = rect & Bounds();
    if (!visible.IsValid())
        return;
    fWindow->ViewInvalidated(this, ConvertToWindow(visible));
}

void BView::Flush() const {}
void BView::Sync() const {}

void BView::GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue) {
    BPoint where;
    uint32 down = 0;
    if (fWindow)
        GuiHost::TrackMouse(fWindow, &where, &down, checkMessageQueue);
    BPoint local = ConvertFromWindow(where);
    if (fTracking && local != fTrackMouse) {
        // The outline follows the mouse as its tracker sees it.
        fTrackMouse = local;
        Invalidate();
    }
    if (location)
        *location = local;
    if (buttons)
        *buttons = down;
}

void BView::BeginRectTracking(BRect rect, uint32 how) {
    fTracking = true;
    fTrackHow = how;
    fTrackRect = rect;
    BPoint where;
    uint32 down = 0;
    if (fWindow)
        GuiHost::TrackMouse(fWindow, &where, &down, false);
    fTrackAnchor = fTrackMouse = ConvertFromWindow(where);
    Invalidate();
}

void BView::EndRectTracking() {
    if (!fTracking)
        return;
    fTracking = false;
    Invalidate();
}

BRect BView::TrackedRect() const {
    BPoint moved = fTrackMouse - fTrackAnchor;
    if (fTrackHow == B_TRACK_RECT_CORNER)
        return BRect(fTrackRect.LeftTop(), fTrackRect.RightBottom() + moved);
    return fTrackRect.OffsetByCopy(moved.x, moved.y);
}

void BView::SetViewCursor(const BCursor* cursor, bool) {
    if (fWindow)
        GuiHost::SetCursor(fWindow, cursor);
}

void BView::DrawTree(Painter& painter, BRect dirtyInWindow) {
    if (fHidden > 0)
        return;
    BRect visible = ConvertToWindow(Bounds()) & painter.Clip() & dirtyInWindow;
    if (!visible.IsValid())
        return;
    painter.PushClip(visible);
    if (fViewColor != B_TRANSPARENT_COLOR)
        painter.FillRect(visible, fViewColor, B_OP_COPY);
    BRect update = ConvertFromWindow(visible);
    Painter* saved = fPainter;
    fPainter = &painter;
    // The pen and colours set during one Draw() do not leak into the next.
    Draw(update);
    fPainter = saved;
    for (size_t i = 0; i < fChildren.size(); i++)
        fChildren[i]->DrawTree(painter, visible);
    fPainter = &painter;
    DrawAfterChildren(update);
    fPainter = saved;
    if (fTracking) {
        BRect outline = ConvertToWindow(TrackedRect());
        rgb_color black{0, 0, 0, 255};
        painter.StrokeLine(outline.LeftTop(), outline.RightTop(), black, 1, B_OP_COPY);
        painter.StrokeLine(outline.RightTop(), outline.RightBottom(), black, 1, B_OP_COPY);
        painter.StrokeLine(outline.RightBottom(), outline.LeftBottom(), black, 1, B_OP_COPY);
        painter.StrokeLine(outline.LeftBottom(), outline.LeftTop(), black, 1, B_OP_COPY);
    }
    painter.PopClip();
}

BView* BView::ViewAt(BPoint pointInParent) {
    if (fHidden > 0 || !fFrame.Contains(pointInParent))
        return nullptr;
    BPoint local = ConvertFromParent(pointInParent);
    for (auto it = fChildren.rbegin(); it != fChildren.rend(); ++it)
        if (BView* found = (*it)->ViewAt(local))
            return found;
    return this;
}

void BView::PulseTree() {
    if (fHidden > 0)
        return;
    if (fFlags & B_PULSE_NEEDED)
        Pulse();
    for (size_t i = 0; i < fChildren.size(); i++)
        fChildren[i]->PulseTree();
}

void BView::NoteDirty(BRect rectInView) {
    Invalidate(rectInView);
}
