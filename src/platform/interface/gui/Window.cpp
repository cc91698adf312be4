#include "platform/interface/gui/Window.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/DisplayScale.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/GuiHost.h"
#include "platform/interface/gui/Screen.h"
#include "platform/interface/gui/View.h"
#include "platform/interface/gui/WindowState.h"

namespace {

std::mutex gWindowListLock;
std::vector<BWindow*> gWindows;

window_look LookForType(window_type type) {
    switch (type) {
    case B_MODAL_WINDOW:
        return B_MODAL_WINDOW_LOOK;
    case B_DOCUMENT_WINDOW:
        return B_DOCUMENT_WINDOW_LOOK;
    case B_BORDERED_WINDOW:
        return B_BORDERED_WINDOW_LOOK;
    case B_FLOATING_WINDOW:
        return B_FLOATING_WINDOW_LOOK;
    default:
        return B_TITLED_WINDOW_LOOK;
    }
}

window_feel FeelForType(window_type type) {
    switch (type) {
    case B_MODAL_WINDOW:
        return B_MODAL_APP_WINDOW_FEEL;
    case B_FLOATING_WINDOW:
        return B_FLOATING_APP_WINDOW_FEEL;
    default:
        return B_NORMAL_WINDOW_FEEL;
    }
}

// The window's root: covers the content area and carries the panel background.
class WindowRootView : public BView {
public:
    explicit WindowRootView(BRect frame)
        : BView(frame, "top_view", B_FOLLOW_ALL_SIDES, B_WILL_DRAW) {
        SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    }
};

bool IsNavigable(BView* view) {
    return (view->Flags() & (B_NAVIGABLE | B_NAVIGABLE_JUMP)) != 0 && !view->IsHidden();
}

void CollectNavigable(BView* view, std::vector<BView*>& out) {
    if (view->IsHiddenSelf())
        return;
    if (view->Flags() & B_NAVIGABLE)
        out.push_back(view);
    for (int32 i = 0; i < view->CountChildren(); i++)
        CollectNavigable(view->ChildAt(i), out);
}

} // namespace

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspaces)
    : BLooper(title) {
    (void)workspaces;
    Init(frame, title, LookForType(type), FeelForType(type), flags);
    fState->type = type;
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
                 uint32 workspaces)
    : BLooper(title) {
    (void)workspaces;
    Init(frame, title, look, feel, flags);
}

void BWindow::Init(BRect frame, const char* title, window_look look, window_feel feel,
                   uint32 flags) {
    GuiHost::Install();
    // The display's scale is known before the window's views are laid out: text is
    // measured at the size it will be drawn with.
    if (!DisplayScale::IsSet())
        GuiHost::HasDisplay();
    SetHosted(true);
    fState = std::make_unique<WindowState>();
    fState->title = title ? title : "";
    fState->look = look;
    fState->feel = feel;
    fState->flags = flags;
    fState->frame.Set(std::round(frame.left), std::round(frame.top), std::round(frame.right),
                      std::round(frame.bottom));
    if (fState->frame.Width() < 0)
        fState->frame.right = fState->frame.left;
    if (fState->frame.Height() < 0)
        fState->frame.bottom = fState->frame.top;
    fState->topView = new WindowRootView(fState->frame.OffsetToCopy(0, 0));
    Lock();
    fState->topView->SetOwner(this, nullptr);
    Unlock();
    if (!(flags & B_NOT_CLOSABLE))
        AddShortcut('w', B_COMMAND_KEY, new BMessage(B_QUIT_REQUESTED));
    std::lock_guard<std::mutex> lock(gWindowListLock);
    gWindows.push_back(this);
}

BWindow::~BWindow() {
    {
        std::lock_guard<std::mutex> lock(gWindowListLock);
        gWindows.erase(std::remove(gWindows.begin(), gWindows.end(), this), gWindows.end());
    }
    GuiHost::WindowGone(this);
    Lock();
    BView* top = fState->topView;
    fState->focus = nullptr;
    fState->mouseDownView = nullptr;
    fState->lastMouseView = nullptr;
    top->SetOwner(nullptr, nullptr);
    fState->topView = nullptr;
    delete top;
    Unlock();
}

std::vector<BWindow*> BWindow::AllWindows() {
    std::lock_guard<std::mutex> lock(gWindowListLock);
    return gWindows;
}

thread_id BWindow::Run() {
    fState->running = true;
    return BLooper::Run();
}

void BWindow::Quit() {
    // The window disappears at once; the looper goes when its dispatch returns.
    if (!IsLocked())
        Lock();
    fState->hidden = 1;
    fState->needsSync = true;
    GuiHost::SyncWindow(this);
    if (!fState->running) {
        // A window that never ran has no loop to end it.
        Unlock();
        delete this;
        return;
    }
    BLooper::Quit();
}

bool BWindow::QuitRequested() {
    return true;
}

void BWindow::MessageReceived(BMessage* message) {
    BLooper::MessageReceived(message);
}

void BWindow::DispatchMessage(BMessage* message, BHandler* handler) {
    switch (message->what) {
    case B_MOUSE_DOWN:
    case B_MOUSE_UP:
    case B_MOUSE_MOVED:
    case B_MOUSE_WHEEL_CHANGED:
        if (handler == this || handler == nullptr) {
            HandleMouse(message);
            return;
        }
        break;
    case B_KEY_DOWN:
        if (handler == this || handler == nullptr) {
            HandleKeyDown(message);
            return;
        }
        break;
    case B_SIMPLE_DATA:
        if (message->GetBool("be:dropped") && (handler == this || handler == nullptr)) {
            // A drop goes to the view under the drop point.
            BPoint where;
            message->FindPoint("be:drop_point", &where);
            BView* view = fState->topView->ViewAt(where);
            BPoint local = view ? view->ConvertFromWindow(where) : where;
            message->ReplacePoint("where", local);
            if (view && view != fState->topView) {
                BLooper::DispatchMessage(message, view);
                return;
            }
        }
        break;
    case B_KEY_UP:
        if (fState->focus) {
            const char* bytes = nullptr;
            if (message->FindString("bytes", &bytes) == B_OK)
                fState->focus->KeyUp(bytes, (int32)std::strlen(bytes));
        }
        return;
    case B_PULSE:
        fState->topView->PulseTree();
        return;
    case B_WINDOW_ACTIVATED: {
        bool active = message->GetBool("active");
        if (active == fState->active)
            return;
        fState->active = active;
        WindowActivated(active);
        std::function<void(BView*)> tell = [&](BView* view) {
            view->WindowActivated(active);
            for (int32 i = 0; i < view->CountChildren(); i++)
                tell(view->ChildAt(i));
        };
        tell(fState->topView);
        return;
    }
    case B_WINDOW_MOVED: {
        BPoint where;
        if (message->FindPoint("where", &where) == B_OK)
            FrameMoved(where);
        return;
    }
    case B_WINDOW_RESIZED: {
        float w = message->GetFloat("width"), h = message->GetFloat("height");
        FrameResized(w, h);
        return;
    }
    case B_SCREEN_CHANGED: {
        BRect frame;
        message->FindRect("frame", &frame);
        ScreenChanged(frame, (color_space)message->GetInt32("mode", B_RGB32));
        return;
    }
    default:
        break;
    }
    BLooper::DispatchMessage(message, handler);
}

void BWindow::FrameMoved(BPoint) {}
void BWindow::FrameResized(float, float) {}
void BWindow::WindowActivated(bool) {}
void BWindow::ScreenChanged(BRect, color_space) {}
void BWindow::WorkspacesChanged(uint32, uint32) {}
void BWindow::Minimize(bool) {}
void BWindow::Zoom(BPoint, float, float) {}
void BWindow::MenusBeginning() {}
void BWindow::MenusEnded() {}

void BWindow::Show() {
    Lock();
    bool first = !fState->running;
    if (--fState->hidden < 0)
        fState->hidden = 0;
    fState->needsSync = true;
    Unlock();
    if (first)
        Run();
    GuiHost::SyncWindow(this);
}

void BWindow::Hide() {
    Lock();
    fState->hidden++;
    fState->needsSync = true;
    Unlock();
    GuiHost::SyncWindow(this);
}

bool BWindow::IsHidden() const {
    return fState->hidden > 0;
}

bool BWindow::IsActive() const {
    return fState->active;
}

void BWindow::Activate(bool active) {
    if (!active)
        return;
    fState->activateRequested = true;
    fState->needsSync = true;
    GuiHost::SyncWindow(this);
}

BRect BWindow::Frame() const {
    return fState->frame;
}

BRect BWindow::Bounds() const {
    return fState->frame.OffsetToCopy(0, 0);
}

void BWindow::MoveBy(float dx, float dy) {
    MoveTo(BPoint(fState->frame.left + dx, fState->frame.top + dy));
}

void BWindow::MoveTo(BPoint where) {
    where.Set(std::round(where.x), std::round(where.y));
    if (where == fState->frame.LeftTop())
        return;
    fState->frame.OffsetTo(where);
    fState->frameChanged = true;
    fState->needsSync = true;
    GuiHost::SyncWindow(this);
}

void BWindow::ResizeBy(float dw, float dh) {
    ResizeTo(fState->frame.Width() + dw, fState->frame.Height() + dh);
}

void BWindow::ResizeTo(float width, float height) {
    width = std::round(std::clamp(width, fState->minWidth, fState->maxWidth));
    height = std::round(std::clamp(height, fState->minHeight, fState->maxHeight));
    float dw = width - fState->frame.Width(), dh = height - fState->frame.Height();
    if (dw == 0 && dh == 0)
        return;
    fState->frame.right = fState->frame.left + width;
    fState->frame.bottom = fState->frame.top + height;
    fState->topView->ResizeBy(dw, dh);
    fState->frameChanged = true;
    fState->needsSync = true;
    GuiHost::SyncWindow(this);
    BMessage resized(B_WINDOW_RESIZED);
    resized.AddFloat("width", width);
    resized.AddFloat("height", height);
    PostMessage(&resized, this);
}

void BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight) {
    fState->minWidth = minWidth;
    fState->maxWidth = std::max(minWidth, maxWidth);
    fState->minHeight = minHeight;
    fState->maxHeight = std::max(minHeight, maxHeight);
    fState->needsSync = true;
    GuiHost::SyncWindow(this);
}

void BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight,
                            float* maxHeight) const {
    if (minWidth)
        *minWidth = fState->minWidth;
    if (maxWidth)
        *maxWidth = fState->maxWidth;
    if (minHeight)
        *minHeight = fState->minHeight;
    if (maxHeight)
        *maxHeight = fState->maxHeight;
}

void BWindow::CenterOnScreen() {
    BRect screen = BScreen().Frame();
    BRect frame = Frame();
    MoveTo(std::round(screen.left + (screen.Width() - frame.Width()) / 2),
           std::round(screen.top + (screen.Height() - frame.Height()) / 2));
}

void BWindow::SetTitle(const char* title) {
    fState->title = title ? title : "";
    fState->titleChanged = true;
    fState->needsSync = true;
    SetName(title);
    GuiHost::SyncWindow(this);
}

const char* BWindow::Title() const {
    return fState->title.c_str();
}

window_type BWindow::Type() const {
    return fState->type;
}

window_look BWindow::Look() const {
    return fState->look;
}

window_feel BWindow::Feel() const {
    return fState->feel;
}

status_t BWindow::SetLook(window_look look) {
    fState->look = look;
    fState->needsSync = true;
    return B_OK;
}

status_t BWindow::SetFeel(window_feel feel) {
    fState->feel = feel;
    fState->needsSync = true;
    return B_OK;
}

uint32 BWindow::Flags() const {
    return fState->flags;
}

status_t BWindow::SetFlags(uint32 flags) {
    fState->flags = flags;
    fState->needsSync = true;
    GuiHost::SyncWindow(this);
    return B_OK;
}

bool BWindow::IsModal() const {
    return fState->feel == B_MODAL_APP_WINDOW_FEEL || fState->feel == B_MODAL_ALL_WINDOW_FEEL ||
           fState->feel == B_MODAL_SUBSET_WINDOW_FEEL;
}

bool BWindow::IsFloating() const {
    return fState->feel == B_FLOATING_APP_WINDOW_FEEL ||
           fState->feel == B_FLOATING_ALL_WINDOW_FEEL ||
           fState->feel == B_FLOATING_SUBSET_WINDOW_FEEL;
}

void BWindow::SetPulseRate(bigtime_t rate) {
    fState->pulseRate = rate < 0 ? 0 : rate;
    fState->nextPulse = 0;
}

bigtime_t BWindow::PulseRate() const {
    return fState->pulseRate;
}

void BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target) {
    key = (uint32)std::tolower((int)key);
    RemoveShortcut(key, modifiers);
    modifiers |= B_COMMAND_KEY;
    fState->shortcuts.push_back(
        WindowShortcut{key, modifiers, std::unique_ptr<BMessage>(message), target});
}

void BWindow::RemoveShortcut(uint32 key, uint32 modifiers) {
    key = (uint32)std::tolower((int)key);
    modifiers |= B_COMMAND_KEY;
    auto& list = fState->shortcuts;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const WindowShortcut& s) {
                                  return s.key == key && s.modifiers == modifiers;
                              }),
               list.end());
}

bool BWindow::HasShortcut(uint32 key, uint32 modifiers) const {
    key = (uint32)std::tolower((int)key);
    modifiers |= B_COMMAND_KEY;
    for (const WindowShortcut& s : fState->shortcuts)
        if (s.key == key && s.modifiers == modifiers)
            return true;
    return false;
}

void BWindow::AddChild(BView* child, BView* before) {
    fState->topView->AddChild(child, before);
}

bool BWindow::RemoveChild(BView* child) {
    return fState->topView->RemoveChild(child);
}

int32 BWindow::CountChildren() const {
    return fState->topView->CountChildren();
}

BView* BWindow::ChildAt(int32 index) const {
    return fState->topView->ChildAt(index);
}

BView* BWindow::FindView(const char* name) const {
    return fState->topView->FindView(name);
}

BView* BWindow::FindView(BPoint point) const {
    return fState->topView->ViewAt(point);
}

BView* BWindow::CurrentFocus() const {
    return fState->focus;
}

BView* BWindow::LastMouseMovedView() const {
    return fState->lastMouseView;
}

void BWindow::SetDefaultButton(BButton* button) {
    BButton* old = fState->defaultButton;
    if (old == button)
        return;
    fState->defaultButton = button;
    if (old)
        old->MakeDefault(false);
    if (button)
        button->MakeDefault(true);
}

BButton* BWindow::DefaultButton() const {
    return fState->defaultButton;
}

void BWindow::UpdateIfNeeded() {
    GuiHost::SyncWindow(this);
}

bool BWindow::NeedsUpdate() const {
    return fState->dirty;
}

BPoint BWindow::ConvertToScreen(BPoint point) const {
    return point + fState->frame.LeftTop();
}

BPoint BWindow::ConvertFromScreen(BPoint point) const {
    return point - fState->frame.LeftTop();
}

BRect BWindow::ConvertToScreen(BRect rect) const {
    return rect.OffsetByCopy(fState->frame.left, fState->frame.top);
}

BRect BWindow::ConvertFromScreen(BRect rect) const {
    return rect.OffsetByCopy(-fState->frame.left, -fState->frame.top);
}

BView* BWindow::TopView() const {
    return fState->topView;
}

void BWindow::DeliverEvent(BMessage* event) {
    PostMessage(event, this);
}

void BWindow::ViewInvalidated(BView*, BRect) {
    if (fState->dirty)
        return;
    fState->dirty = true;
    fState->needsSync = true;
    GuiHost::SyncWindow(this);
}

void BWindow::ViewRemoved(BView* view) {
    if (fState->focus == view)
        fState->focus = nullptr;
    if (fState->mouseDownView == view)
        fState->mouseDownView = nullptr;
    if (fState->lastMouseView == view)
        fState->lastMouseView = nullptr;
    if ((BView*)fState->defaultButton == view)
        fState->defaultButton = nullptr;
}

void BWindow::SetFocusView(BView* view, bool focus) {
    if (focus) {
        if (fState->focus == view)
            return;
        BView* old = fState->focus;
        fState->focus = nullptr;
        if (old) {
            old->MakeFocus(false);
            old->Invalidate();
        }
        fState->focus = view;
        if (view)
            view->Invalidate();
    } else if (fState->focus == view) {
        fState->focus = nullptr;
        if (view)
            view->Invalidate();
    }
}

void BWindow::NavigateFocus(bool forward) {
    std::vector<BView*> views;
    CollectNavigable(fState->topView, views);
    views.erase(
        std::remove_if(views.begin(), views.end(), [](BView* v) { return !IsNavigable(v); }),
        views.end());
    if (views.empty())
        return;
    auto at = std::find(views.begin(), views.end(), fState->focus);
    BView* next;
    if (at == views.end())
        next = forward ? views.front() : views.back();
    else if (forward)
        next = (at + 1 == views.end()) ? views.front() : *(at + 1);
    else
        next = (at == views.begin()) ? views.back() : *(at - 1);
    next->MakeFocus(true);
}

bool BWindow::HandleShortcut(BMessage* message) {
    int32 modifiers = message->GetInt32("modifiers");
    if (!(modifiers & B_COMMAND_KEY))
        return false;
    int32 raw = message->GetInt32("raw_char");
    uint32 key = (uint32)std::tolower(raw);
    for (const WindowShortcut& s : fState->shortcuts) {
        if (s.key != key)
            continue;
        // Shift must match; the command key is given.
        if ((s.modifiers & B_SHIFT_KEY) != ((uint32)modifiers & B_SHIFT_KEY))
            continue;
        BMessage copy(*s.message);
        PostMessage(&copy, s.target ? s.target : this);
        return true;
    }
    return false;
}

void BWindow::HandleKeyDown(BMessage* message) {
    if (HandleShortcut(message))
        return;
    const char* bytes = nullptr;
    if (message->FindString("bytes", &bytes) != B_OK || !bytes || !*bytes)
        return;
    int32 length = (int32)std::strlen(bytes);
    int32 modifiers = message->GetInt32("modifiers");
    BView* focus = fState->focus;
    // Tab goes to the focus view first; the view's default KeyDown moves the focus on.
    if (bytes[0] == B_TAB && !focus) {
        if (!(modifiers & (B_COMMAND_KEY | B_CONTROL_KEY)))
            NavigateFocus(!(modifiers & B_SHIFT_KEY));
        return;
    }
    if (bytes[0] == B_ENTER && fState->defaultButton && fState->defaultButton->IsEnabled() &&
        !fState->defaultButton->IsHidden()) {
        fState->defaultButton->KeyDown(bytes, length);
        return;
    }
    if (focus)
        focus->KeyDown(bytes, length);
}

void BWindow::HandleMouse(BMessage* message) {
    BPoint where;
    if (message->FindPoint("where", &where) != B_OK)
        return;
    uint32 buttons = (uint32)message->GetInt32("buttons");
    fState->mouseWhere = where;
    BView* top = fState->topView;
    BView* under = top->ViewAt(where);
    auto deliver = [&](BView* view, auto&& call) {
        if (!view)
            return;
        BPoint local = view->ConvertFromWindow(where);
        message->RemoveName("be:window_where");
        message->AddPoint("be:window_where", where);
        message->ReplacePoint("where", local);
        call(view, local);
        message->ReplacePoint("where", where);
    };

    switch (message->what) {
    case B_MOUSE_DOWN:
        fState->mouseButtons = buttons;
        fState->mouseDownView = under;
        deliver(under, [](BView* v, BPoint p) { v->MouseDown(p); });
        break;
    case B_MOUSE_UP: {
        fState->mouseButtons = buttons;
        BView* target = fState->mouseDownView ? fState->mouseDownView : under;
        fState->mouseDownView = nullptr;
        deliver(target, [](BView* v, BPoint p) { v->MouseUp(p); });
        break;
    }
    case B_MOUSE_MOVED: {
        fState->mouseButtons = buttons;
        if (message->GetBool("be:exited"))
            under = nullptr;
        BView* last = fState->lastMouseView;
        if (BView* captured = fState->mouseDownView) {
            bool inside = captured->ConvertToWindow(captured->Bounds()).Contains(where);
            uint32 transit = inside ? B_INSIDE_VIEW : B_OUTSIDE_VIEW;
            deliver(captured, [&](BView* v, BPoint p) { v->MouseMoved(p, transit, nullptr); });
            fState->lastMouseView = under;
            break;
        }
        if (last != under) {
            fState->lastMouseView = under;
            deliver(last, [](BView* v, BPoint p) { v->MouseMoved(p, B_EXITED_VIEW, nullptr); });
            // The view may have removed itself meanwhile.
            if (fState->lastMouseView == under)
                deliver(under,
                        [](BView* v, BPoint p) { v->MouseMoved(p, B_ENTERED_VIEW, nullptr); });
        } else {
            deliver(under, [](BView* v, BPoint p) { v->MouseMoved(p, B_INSIDE_VIEW, nullptr); });
        }
        break;
    }
    case B_MOUSE_WHEEL_CHANGED:
        if (under)
            under->MessageReceived(message);
        break;
    }
}
