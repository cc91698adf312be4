#pragma once

// BWindow: a top-level window and the looper its views run in. Every window is hosted on
// the toolkit's one thread (see platform/app/Looper.h): its messages, its views' hooks and
// its drawing all run there, with the window locked. Any thread may post to a window, and
// may Lock() it to change its views; what has to reach the screen (drawing, moving,
// showing) is done by the toolkit thread afterwards.
//
// The window's frame is its content area in screen coordinates, with inclusive edges.

#include <memory>
#include <string>
#include <vector>

#include "platform/app/Looper.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/Rect.h"

class BButton;
class BMessage;
class BView;
struct WindowState;

enum window_type {
    B_UNTYPED_WINDOW = 0,
    B_TITLED_WINDOW = 1,
    B_MODAL_WINDOW = 3,
    B_DOCUMENT_WINDOW = 11,
    B_BORDERED_WINDOW = 20,
    B_FLOATING_WINDOW = 21,
};

enum window_look {
    B_BORDERED_WINDOW_LOOK = 20,
    B_NO_BORDER_WINDOW_LOOK = 19,
    B_TITLED_WINDOW_LOOK = 1,
    B_DOCUMENT_WINDOW_LOOK = 11,
    B_MODAL_WINDOW_LOOK = 3,
    B_FLOATING_WINDOW_LOOK = 7,
};

enum window_feel {
    B_NORMAL_WINDOW_FEEL = 0,
    B_MODAL_SUBSET_WINDOW_FEEL = 2,
    B_MODAL_APP_WINDOW_FEEL = 1,
    B_MODAL_ALL_WINDOW_FEEL = 3,
    B_FLOATING_SUBSET_WINDOW_FEEL = 5,
    B_FLOATING_APP_WINDOW_FEEL = 4,
    B_FLOATING_ALL_WINDOW_FEEL = 6,
};

enum {
    B_NOT_MOVABLE = 0x00000001,
    B_NOT_CLOSABLE = 0x00000020,
    B_NOT_ZOOMABLE = 0x00000040,
    B_NOT_MINIMIZABLE = 0x00004000,
    B_NOT_RESIZABLE = 0x00000002,
    B_NOT_H_RESIZABLE = 0x00000004,
    B_NOT_V_RESIZABLE = 0x00000008,
    B_AVOID_FRONT = 0x00000080,
    B_AVOID_FOCUS = 0x00002000,
    B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
    B_OUTLINE_RESIZE = 0x00001000,
    B_NO_WORKSPACE_ACTIVATION = 0x00000100,
    B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
    B_ASYNCHRONOUS_CONTROLS = 0x00080000,
    B_QUIT_ON_WINDOW_CLOSE = 0x00100000,
};

#define B_CURRENT_WORKSPACE 0
#define B_ALL_WORKSPACES 0xffffffff

class BWindow : public BLooper {
public:
    BWindow(BRect frame, const char* title, window_type type, uint32 flags,
            uint32 workspaces = B_CURRENT_WORKSPACE);
    BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
            uint32 workspaces = B_CURRENT_WORKSPACE);
    // Windows are deleted by Quit(), not by the caller.
    ~BWindow() override;

    // Looper.
    void Quit() override;
    bool QuitRequested() override;
    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;
    thread_id Run() override;

    // Hooks.
    virtual void FrameMoved(BPoint newPosition);
    virtual void FrameResized(float newWidth, float newHeight);
    virtual void WindowActivated(bool active);
    virtual void ScreenChanged(BRect screenFrame, color_space depth);
    virtual void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces);
    virtual void Minimize(bool minimize);
    virtual void Zoom(BPoint origin, float width, float height);
    virtual void MenusBeginning();
    virtual void MenusEnded();

    // Showing. Show() and Hide() nest: a window hidden twice needs two Show() calls. The
    // first Show() starts the window's message loop.
    virtual void Show();
    virtual void Hide();
    bool IsHidden() const;
    bool IsActive() const;
    void Activate(bool active = true);
    bool IsFront() const { return IsActive(); }

    // Geometry.
    BRect Frame() const;
    BRect Bounds() const;
    void MoveBy(float dx, float dy);
    void MoveTo(BPoint where);
    void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
    void ResizeBy(float dw, float dh);
    void ResizeTo(float width, float height);
    void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
    void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight) const;
    void CenterOnScreen();

    // Looks.
    void SetTitle(const char* title);
    const char* Title() const;
    window_type Type() const;
    window_look Look() const;
    window_feel Feel() const;
    status_t SetLook(window_look look);
    status_t SetFeel(window_feel feel);
    uint32 Flags() const;
    status_t SetFlags(uint32 flags);
    uint32 Workspaces() const { return B_CURRENT_WORKSPACE; }
    void SetWorkspaces(uint32) {}
    bool IsModal() const;
    bool IsFloating() const;

    // Pulses: every view with B_PULSE_NEEDED gets Pulse() at this rate (0: none).
    void SetPulseRate(bigtime_t rate);
    bigtime_t PulseRate() const;

    // Shortcuts: the key with the Command key (Ctrl or Alt here) posts message to target
    // (nullptr: the window). The window owns message. Without modifiers a shortcut of the
    // focused view's window fires on the bare key too only for alerts.
    void AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target = nullptr);
    void RemoveShortcut(uint32 key, uint32 modifiers);
    bool HasShortcut(uint32 key, uint32 modifiers) const;

    // Views.
    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* FindView(const char* name) const;
    BView* FindView(BPoint point) const;
    BView* CurrentFocus() const;
    BView* LastMouseMovedView() const;
    // The button that Enter presses (nullptr: none).
    void SetDefaultButton(BButton* button);
    BButton* DefaultButton() const;
    void UpdateIfNeeded();
    void DisableUpdates() {}
    void EnableUpdates() {}
    bool NeedsUpdate() const;

    BPoint ConvertToScreen(BPoint point) const;
    BPoint ConvertFromScreen(BPoint point) const;
    BRect ConvertToScreen(BRect rect) const;
    BRect ConvertFromScreen(BRect rect) const;

    // For the toolkit layer and tests.
    BView* TopView() const;
    WindowState* State() const { return fState.get(); }
    // Delivers an event message to the view it is for, as if it came from the window
    // system (mouse messages carry "where" in window coordinates; the window converts).
    // Only on the toolkit thread, with the window locked.
    void DeliverEvent(BMessage* event);
    // Every window alive (for the host loop); lock the list with LockWindowList().
    static std::vector<BWindow*> AllWindows();

protected:
    friend class BView;
    void ViewInvalidated(BView* view, BRect rectInWindow);
    void ViewRemoved(BView* view);
    void SetFocusView(BView* view, bool focus);

private:
    void Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags);
    bool HandleShortcut(BMessage* keyMessage);
    void HandleKeyDown(BMessage* message);
    void HandleMouse(BMessage* message);
    void NavigateFocus(bool forward);

    std::unique_ptr<WindowState> fState;
};
