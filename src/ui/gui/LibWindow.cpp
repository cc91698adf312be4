#include "ui/gui/LibWindow.h"

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/Screen.h"
#include "platform/interface/gui/View.h"

namespace {

// The F1 key: the old platform's key code, and the X keysym the toolkit reports.
constexpr int32 kF1KeyCode = 2;
constexpr int32 kF1KeySym = 0xffbe;

constexpr float kTitleTab = 30;
constexpr float kMargin = 10;
constexpr float kReferenceGap = 20;

} // namespace

LibWindow::LibWindow(BRect frame, const char* title, window_look look, window_feel feel,
                     uint32 flags, uint32 workspaces)
    : BWindow(frame, title, look, feel, flags, workspaces), fScreenFrame(0, 0, -1, -1) {
    fScreenFrame = BScreen(B_MAIN_SCREEN_ID).Frame();
}

LibWindow::~LibWindow() {}

bool LibWindow::PlacementFor(int32 position, BRect bounds, BRect screen, float tab,
                             const BRect* reference, BPoint* leftTop) {
    if (position < kTopLeft || position > kBottomRight || leftTop == nullptr)
        return false;
    float w = bounds.right - bounds.left;
    float h = bounds.bottom - bounds.top;
    int32 column = position % 3;
    int32 row = position / 3;
    float x, y;
    if (reference == nullptr) {
        float cx = screen.right * 0.5f, cy = screen.bottom * 0.5f;
        float xs[3] = {kMargin, cx - w / 2, screen.right - w - kMargin};
        float ys[3] = {tab, cy - h / 2, screen.bottom - h - kMargin};
        x = xs[column];
        y = ys[row];
    } else {
        const BRect& r = *reference;
        float cx = (r.left + r.right) * 0.5f, cy = (r.top + r.bottom) * 0.5f;
        float xs[3] = {r.left - w - kReferenceGap, cx - w / 2, r.right + kReferenceGap};
        float ys[3] = {r.top - h - tab, cy - h / 2, r.bottom + tab + kMargin};
        x = xs[column];
        y = ys[row];
        // Keep the window on the screen.
        if (y < 0)
            y = 25;
        else if (y > screen.bottom - h)
            y = screen.bottom - h - 5;
        if (x < 0)
            x = 2;
        else if (x > screen.right - w)
            x = screen.right - w - 5;
    }
    *leftTop = BPoint(x, y);
    return true;
}

BPoint LibWindow::ScaledForScreen(BPoint leftTop, BRect oldScreen, BRect newScreen) {
    float oldWidth = oldScreen.right - oldScreen.left;
    float oldHeight = oldScreen.bottom - oldScreen.top;
    float newWidth = newScreen.right - newScreen.left;
    float newHeight = newScreen.bottom - newScreen.top;
    // A screen that was never known cannot be scaled from.
    if (oldWidth <= 0 || oldHeight <= 0)
        return leftTop;
    return BPoint(leftTop.x * newWidth / oldWidth, leftTop.y * newHeight / oldHeight);
}

void LibWindow::SetPosition(const ScreenPosition& position, BWindow* reference) {
    BRect screen = BScreen(this).Frame();
    window_look look = Look();
    float tab = (look == B_TITLED_WINDOW_LOOK || look == B_DOCUMENT_WINDOW_LOOK) ? kTitleTab : 0;
    BRect referenceFrame;
    if (reference != nullptr)
        referenceFrame = reference->Frame();
    BPoint where;
    if (!PlacementFor(position, Bounds(), screen, tab,
                      reference != nullptr ? &referenceFrame : nullptr, &where))
        return;
    MoveTo(where);
}

void LibWindow::ScreenChanged(BRect screenFrame, color_space depth) {
    if (screenFrame != fScreenFrame) {
        MoveTo(ScaledForScreen(Frame().LeftTop(), fScreenFrame, screenFrame));
        fScreenFrame = screenFrame;
    }
    BWindow::ScreenChanged(screenFrame, depth);
}

void LibWindow::Show() {
    if (!Lock())
        return;
    if (IsHidden())
        BWindow::Show();
    Unlock();
}

void LibWindow::Hide() {
    if (!Lock())
        return;
    if (!IsHidden())
        BWindow::Hide();
    Unlock();
}

void LibWindow::Pop() {
    if (!Lock())
        return;
    SetWorkspaces(B_CURRENT_WORKSPACE);
    if (IsHidden())
        BWindow::Show();
    // A window that must never take the focus (a tip) is only brought up; activating it
    // would take the focus from the window the user works in.
    if (!IsFront() && (Flags() & B_AVOID_FOCUS) == 0)
        Activate();
    Unlock();
}

bool LibWindow::InsertHelpRequest(BView*, BMessage&) {
    return false;
}

bool LibWindow::IsHelpKey(const BMessage& keyDown) {
    if (keyDown.what != B_KEY_DOWN)
        return false;
    int32 modifiers = 0, key = 0;
    if (keyDown.FindInt32("modifiers", &modifiers) != B_OK || (modifiers & B_SHIFT_KEY) == 0)
        return false;
    if (keyDown.FindInt32("key", &key) != B_OK)
        return false;
    return key == kF1KeyCode || key == kF1KeySym;
}

void LibWindow::BuildHelpRequest(BView* view, BMessage& request) {
    request.what = kHelpRequest;
    request.AddString("window", Name() != nullptr ? Name() : "");
    for (BView* v = view; v != nullptr; v = v->Parent()) {
        // The window's own top view has no name of the application's.
        if (v == TopView())
            break;
        request.AddString("view", v->Name() != nullptr ? v->Name() : "");
    }
    BMessage inserts;
    if (InsertHelpRequest(view, inserts))
        request.AddMessage("inserts", &inserts);
}

void LibWindow::PostHelpRequest() {
    BView* view = LastMouseMovedView();
    if (view == nullptr || be_app == nullptr)
        return;
    BMessage request(kHelpRequest);
    BuildHelpRequest(view, request);
    be_app->PostMessage(&request);
}

void LibWindow::DispatchMessage(BMessage* message, BHandler* handler) {
    if (message != nullptr && message->what == B_KEY_DOWN && IsHelpKey(*message))
        PostHelpRequest();
    BWindow::DispatchMessage(message, handler);
}

void LibWindow::MessageReceived(BMessage* message) {
    // Key presses are seen in DispatchMessage; one that is delivered here directly (not
    // through the window's dispatch) asks for help too.
    if (message != nullptr && message->what == B_KEY_DOWN && IsHelpKey(*message) &&
        CurrentMessage() != message)
        PostHelpRequest();
    BWindow::MessageReceived(message);
}
