#pragma once

// BView: a rectangle of a window (or of an off-screen bitmap) that draws itself and gets
// the mouse and keyboard events inside it. Views form a tree; a view's frame is in its
// parent's coordinates, its bounds in its own (scrolling moves the bounds' origin).
//
// Files dropped on a window from a file manager reach the view under the drop point as a
// B_SIMPLE_DATA message with "refs" (see FindRefInMessage in FilePanel.h), bool
// "be:dropped" = true, "be:drop_point" (window coordinates) and "where" (the view's).
//
// Hooks run on the window's thread with the window locked. Drawing calls are only
// meaningful inside Draw() (or into an off-screen bitmap, or while recording a picture);
// elsewhere they are ignored.

#include <string>
#include <vector>

#include "platform/app/Handler.h"
#include "platform/interface/Font.h"
#include "platform/interface/GraphicsDefs.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/Rect.h"

class BBitmap;
class BCursor;
class BMessage;
class BPicture;
class BWindow;
class Painter;

// Mouse event messages, as the window dispatches them to views.
enum {
    B_MOUSE_DOWN = '_MDN',
    B_MOUSE_UP = '_MUP',
    B_MOUSE_MOVED = '_MMV',
    B_KEY_DOWN = '_KYD',
    B_KEY_UP = '_KYU',
    B_MOUSE_WHEEL_CHANGED = '_MWC',
    B_VIEW_RESIZED = '_VRS',
    B_VIEW_MOVED = '_VMV',
    B_WINDOW_ACTIVATED = '_ACT',
    B_WINDOW_RESIZED = '_WRS',
    B_WINDOW_MOVED = '_WMV',
    B_SCREEN_CHANGED = '_SCH',
    B_WORKSPACES_CHANGED = '_WCG',
    B_MINIMIZE = '_WMZ',
    B_ZOOM = '_WZM',
    B_INVALIDATE = '_IVL',
};

// Event masks of SetMouseEventMask/SetEventMask. A view that got a mouse press receives
// the moves and the release until the buttons are let go, with or without a mask.
enum { B_POINTER_EVENTS = 0x00000001, B_KEYBOARD_EVENTS = 0x00000002 };
enum { B_TRACK_WHOLE_RECT = 0, B_TRACK_RECT_CORNER = 1 };
enum {
    B_LOCK_WINDOW_FOCUS = 0x00000001,
    B_SUSPEND_VIEW_FOCUS = 0x00000002,
    B_NO_POINTER_HISTORY = 0x00000004,
};

class BView : public BHandler {
public:
    BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
    // Deletes the children; a view still in a tree must be removed first.
    ~BView() override;

    // Hooks.
    virtual void AttachedToWindow();
    virtual void AllAttached();
    virtual void DetachedFromWindow();
    virtual void AllDetached();
    virtual void Draw(BRect updateRect);
    virtual void DrawAfterChildren(BRect updateRect);
    virtual void MouseDown(BPoint where);
    virtual void MouseUp(BPoint where);
    virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
    virtual void KeyDown(const char* bytes, int32 numBytes);
    virtual void KeyUp(const char* bytes, int32 numBytes);
    virtual void FrameMoved(BPoint newPosition);
    virtual void FrameResized(float newWidth, float newHeight);
    virtual void Pulse();
    virtual void WindowActivated(bool active);
    virtual void MakeFocus(bool focus = true);
    virtual void MessageReceived(BMessage* message) override;
    virtual void GetPreferredSize(float* width, float* height);
    virtual void ResizeToPreferred();
    // Scrolling by `delta` lines (mouse wheel); the default scrolls the view's scroll bar.
    virtual void ScrollWheel(float deltaY);

    // Tree.
    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    bool RemoveSelf();
    int32 CountChildren() const { return (int32)fChildren.size(); }
    BView* ChildAt(int32 index) const;
    BView* NextSibling() const;
    BView* PreviousSibling() const;
    BView* Parent() const { return fParent; }
    // This view or a descendant with the name, depth first.
    BView* FindView(const char* name) const;
    BWindow* Window() const { return fWindow; }
    // The scroll bar among the siblings that scrolls this view, or nullptr.
    class BScrollBar* ScrollBar(orientation which) const;

    // Geometry.
    BRect Bounds() const;
    BRect Frame() const { return fFrame; }
    void MoveBy(float dx, float dy);
    void MoveTo(BPoint where);
    void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
    void ResizeBy(float dw, float dh);
    void ResizeTo(float width, float height);
    // Moves the bounds' origin: what is drawn at `where` appears at the view's left-top.
    virtual void ScrollTo(BPoint where);
    void ScrollTo(float x, float y) { ScrollTo(BPoint(x, y)); }
    void ScrollBy(float dx, float dy);
    void ConvertToParent(BPoint* point) const;
    BPoint ConvertToParent(BPoint point) const;
    void ConvertFromParent(BPoint* point) const;
    BPoint ConvertFromParent(BPoint point) const;
    BRect ConvertToParent(BRect rect) const;
    BRect ConvertFromParent(BRect rect) const;
    // Window coordinates (the window's content area, origin at its left-top).
    BPoint ConvertToWindow(BPoint point) const;
    BPoint ConvertFromWindow(BPoint point) const;
    BRect ConvertToWindow(BRect rect) const;
    BRect ConvertFromWindow(BRect rect) const;
    void ConvertToScreen(BPoint* point) const;
    BPoint ConvertToScreen(BPoint point) const;
    void ConvertFromScreen(BPoint* point) const;
    BPoint ConvertFromScreen(BPoint point) const;
    BRect ConvertToScreen(BRect rect) const;
    BRect ConvertFromScreen(BRect rect) const;

    uint32 ResizingMode() const { return fResizingMode; }
    void SetResizingMode(uint32 mode) { fResizingMode = mode; }
    uint32 Flags() const { return fFlags; }
    virtual void SetFlags(uint32 flags);

    virtual void Show();
    virtual void Hide();
    // True when this view or one of its parents (or its window) is hidden.
    bool IsHidden() const;
    bool IsHiddenSelf() const { return fHidden > 0; }

    bool IsFocus() const;

    // Drawing state.
    void SetHighColor(rgb_color color) { fHighColor = color; }
    void SetHighColor(uint8 r, uint8 g, uint8 b, uint8 a = 255) { fHighColor = {r, g, b, a}; }
    rgb_color HighColor() const { return fHighColor; }
    void SetLowColor(rgb_color color) { fLowColor = color; }
    void SetLowColor(uint8 r, uint8 g, uint8 b, uint8 a = 255) { fLowColor = {r, g, b, a}; }
    rgb_color LowColor() const { return fLowColor; }
    // The colour the view's background is erased with before Draw(); B_TRANSPARENT_COLOR
    // leaves the parent's drawing visible.
    void SetViewColor(rgb_color color);
    void SetViewColor(uint8 r, uint8 g, uint8 b, uint8 a = 255) { SetViewColor({r, g, b, a}); }
    rgb_color ViewColor() const { return fViewColor; }
    void SetDrawingMode(drawing_mode mode) { fDrawingMode = mode; }
    drawing_mode DrawingMode() const { return fDrawingMode; }
    void SetPenSize(float size) { fPenSize = size < 0 ? 0 : size; }
    float PenSize() const { return fPenSize; }
    void MovePenTo(BPoint where) { fPen = where; }
    void MovePenTo(float x, float y) { fPen = BPoint(x, y); }
    void MovePenBy(float dx, float dy) { fPen += BPoint(dx, dy); }
    BPoint PenLocation() const { return fPen; }

    virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
    void GetFont(BFont* font) const;
    void SetFontSize(float size);
    void GetFontHeight(font_height* height) const;
    float StringWidth(const char* text) const;
    float StringWidth(const char* text, int32 length) const;

    // Drawing; coordinates are the view's own.
    void StrokeLine(BPoint start, BPoint end, pattern p = B_SOLID_HIGH);
    // From the pen location to `end`; the pen moves to `end`.
    void StrokeLine(BPoint end, pattern p = B_SOLID_HIGH);
    void StrokeRect(BRect rect, pattern p = B_SOLID_HIGH);
    void FillRect(BRect rect, pattern p = B_SOLID_HIGH);
    void StrokeEllipse(BRect rect, pattern p = B_SOLID_HIGH);
    void FillEllipse(BRect rect, pattern p = B_SOLID_HIGH);
    void StrokeTriangle(BPoint a, BPoint b, BPoint c, pattern p = B_SOLID_HIGH);
    void FillTriangle(BPoint a, BPoint b, BPoint c, pattern p = B_SOLID_HIGH);
    // Draws at the pen location (the baseline's left end, or its start for rotated
    // fonts); the pen moves to the end of the text.
    void DrawString(const char* text);
    void DrawString(const char* text, BPoint where);
    void DrawString(const char* text, int32 length, BPoint where);
    void DrawChar(char c, BPoint where);
    void DrawBitmap(const BBitmap* bitmap, BPoint where);
    void DrawBitmap(const BBitmap* bitmap);
    void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination);
    void DrawBitmapAsync(const BBitmap* bitmap, BPoint where) { DrawBitmap(bitmap, where); }
    void DrawPicture(const BPicture* picture, BPoint where = B_ORIGIN);
    // Records the drawing calls made until EndPicture() into picture instead of drawing.
    void BeginPicture(BPicture* picture);
    BPicture* EndPicture();

    void Invalidate();
    void Invalidate(BRect rect);
    void Flush() const;
    void Sync() const;

    // Where the mouse is, in view coordinates, and which buttons are down. Called inside
    // MouseDown on the window's thread, the window's events are processed meanwhile, so a
    // loop `do GetMouse(...) while (buttons)` ends when the user lets go.
    void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);

    status_t SetMouseEventMask(uint32 mask, uint32 options = 0) {
        (void)mask, (void)options;
        return B_OK;
    }
    status_t SetEventMask(uint32 mask, uint32 options = 0) {
        (void)mask, (void)options;
        return B_OK;
    }

    // The outline a drag shows: a rectangle in this view's coordinates, drawn over the view
    // until EndRectTracking(). With B_TRACK_WHOLE_RECT it moves with the mouse (as GetMouse
    // sees it), with B_TRACK_RECT_CORNER its right bottom corner follows the mouse.
    void BeginRectTracking(BRect rect, uint32 how = B_TRACK_WHOLE_RECT);
    void EndRectTracking();
    bool IsTrackingRect() const { return fTracking; }
    // Where the outline is now.
    BRect TrackedRect() const;
    // The cursor shown while the mouse is over this view's window (B_CURSOR_SYSTEM_DEFAULT:
    // the system's arrow).
    void SetViewCursor(const BCursor* cursor, bool sync = true);

    // For the window and the gallery: draws this view and its children with painter.
    void DrawTree(Painter& painter, BRect dirtyInWindow);
    // The deepest visible view at a point in this view's parent's coordinates.
    BView* ViewAt(BPoint pointInParent);

protected:
    // Called when the view joins or leaves a window (or bitmap).
    void SetOwner(BWindow* window, BBitmap* bitmap);
    // Controls take their parent's background when they are attached, unless a colour
    // was set for them.
    void AdoptParentViewColor();

private:
    friend class BWindow;
    friend class BBitmap;

    void AttachTree(BWindow* window, BBitmap* bitmap);
    void DetachTree();
    void CallAllAttached();
    void ParentResized(float dw, float dh);
    Painter* CurrentPainter() const;
    // Offset that turns view coordinates into the coordinates of the window or bitmap.
    BPoint OriginInOwner() const;
    rgb_color PatternColor(const pattern& p) const;
    void NoteDirty(BRect rectInView);
    void PulseTree();

    BRect fFrame;
    BPoint fScroll;
    uint32 fResizingMode;
    uint32 fFlags;
    int32 fHidden = 0;
    BView* fParent = nullptr;
    BWindow* fWindow = nullptr;
    BBitmap* fBitmap = nullptr;
    std::vector<BView*> fChildren;

    rgb_color fHighColor = {0, 0, 0, 255};
    rgb_color fLowColor = {255, 255, 255, 255};
    rgb_color fViewColor = {255, 255, 255, 255};
    bool fViewColorSet = false;
    drawing_mode fDrawingMode = B_OP_COPY;
    float fPenSize = 1;
    BPoint fPen;
    BFont fFont;

    bool fTracking = false;
    uint32 fTrackHow = 0;
    BRect fTrackRect;
    BPoint fTrackAnchor, fTrackMouse;

    Painter* fPainter = nullptr;    // set while Draw() runs
    BPicture* fRecording = nullptr; // set between BeginPicture and EndPicture
    Painter* fRecordingPainter = nullptr;
};
