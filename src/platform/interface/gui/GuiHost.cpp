#include "platform/interface/gui/GuiHost.h"

// The toolkit's loop and the GuiHost interface. The toolkit window of each BWindow is a
// WindowWidget; what the window manager is told lives in WindowManagerHints.

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Image_Surface.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <X11/Xlib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/DisplayScale.h"
#include "platform/interface/Font.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/Cursor.h"
#include "platform/interface/gui/FltkPainter.h"
#include "platform/interface/gui/GuiHostPrivate.h"
#include "platform/interface/gui/View.h"
#include "platform/interface/gui/Window.h"
#include "platform/interface/gui/WindowHints.h"
#include "platform/interface/gui/WindowManagerHints.h"
#include "platform/interface/gui/WindowState.h"
#include "platform/interface/gui/WindowWidget.h"
#include "platform/kernel/OS.h"

using gui_host::DeviceFrame;
using gui_host::Grid;
using gui_host::ToDevice;

namespace {

std::once_flag gInstallOnce;
std::mutex gThreadLock;
std::thread::id gGuiThread;
bool gGuiThreadKnown = false;
std::atomic<bool> gToolkitReady{false};
std::atomic<int> gDisplayState{-1}; // -1 unknown, 0 none, 1 available
Display* gDisplay = nullptr;

std::mutex gDeleteLock;
std::vector<Fl_Window*> gWidgetsToDelete;

// The screen in device pixels.
int gScreenX = 0, gScreenY = 0, gScreenWidth = 1024, gScreenHeight = 768;
bool gScreenKnown = false;

void MarkGuiThread() {
    std::lock_guard<std::mutex> lock(gThreadLock);
    if (!gGuiThreadKnown) {
        gGuiThread = std::this_thread::get_id();
        gGuiThreadKnown = true;
    }
}

bool StartToolkit() {
    if (gToolkitReady)
        return true;
    if (!GuiHost::HasDisplay())
        return false;
    MarkGuiThread();
    // Enables waking the loop from other threads.
    Fl::lock();
    // The connection HasDisplay() made; the toolkit would end the program if it could
    // not open one itself.
    fl_open_display(gDisplay);
    FltkPainter::RegisterFonts();
    gToolkitReady = true;
    int x, y, w, h;
    Fl::screen_xywh(x, y, w, h, 0);
    if (w > 0 && h > 0) {
        gScreenX = x;
        gScreenY = y;
        gScreenWidth = w;
        gScreenHeight = h;
        gScreenKnown = true;
    }
    return true;
}

void DeletePendingWidgets() {
    std::vector<Fl_Window*> widgets;
    {
        std::lock_guard<std::mutex> lock(gDeleteLock);
        widgets.swap(gWidgetsToDelete);
    }
    for (Fl_Window* widget : widgets) {
        widget->hide();
        Fl::delete_widget(widget);
    }
}

// Brings the toolkit window in line with the BWindow; toolkit thread only.
void ApplySync(BWindow* window) {
    if (!window->Lock())
        return;
    WindowState* state = window->State();
    if (!state->needsSync) {
        window->Unlock();
        return;
    }
    state->needsSync = false;
    bool visible = state->hidden <= 0 && state->running;
    WindowWidget* widget = state->widget;
    if (visible && !widget) {
        WindowHints hints = WindowHints::For(state->look, state->feel, state->flags, state->dialog);
        widget = new WindowWidget(window, ToDevice(state->frame));
        widget->copy_label(state->title.c_str());
        window_manager_hints::ApplyLooks(widget, state, hints);
        window_manager_hints::ApplySizeLimits(widget, state);
        state->widget = widget;
        state->frameChanged = false;
        state->titleChanged = false;
        Window owner = 0;
        if (hints.transient)
            if (BWindow* main = GuiHost::MainWindow(window); main && main->State()->widget)
                owner = fl_xid(main->State()->widget);
        // The toolkit maps the window as it makes it; holding the server meanwhile lets a
        // window manager see our hints together with the map request, not after it.
        XGrabServer(fl_display);
        widget->show();
        window_manager_hints::ApplyToShownWindow(widget, hints, owner);
        XUngrabServer(fl_display);
        XFlush(fl_display);
        state->dirty = false;
        // A window that appears gets the focus, as window managers give it; the toolkit's
        // focus events correct this later.
        if (hints.takesFocus && !window->IsFloating()) {
            for (BWindow* other : BWindow::AllWindows()) {
                if (other == window || !other->State() || !other->State()->active)
                    continue;
                BMessage inactive(B_WINDOW_ACTIVATED);
                inactive.AddBool("active", false);
                other->PostMessage(&inactive, other);
            }
            BMessage active(B_WINDOW_ACTIVATED);
            active.AddBool("active", true);
            window->PostMessage(&active, window);
        }
    }
    if (widget) {
        if (state->frameChanged) {
            state->frameChanged = false;
            widget->applying = true;
            window_manager_hints::ApplySizeLimits(widget, state);
            DeviceFrame frame = ToDevice(state->frame);
            widget->resize(frame.x, frame.y, frame.width, frame.height);
            widget->applying = false;
        }
        if (state->titleChanged) {
            state->titleChanged = false;
            widget->copy_label(state->title.c_str());
        }
        if (state->cursorChanged && widget->shown()) {
            state->cursorChanged = false;
            widget->ShowCursor(state->cursorPixels, state->cursorHotSpot);
        }
        if (visible && !widget->shown())
            widget->show();
        if (!visible && widget->shown())
            widget->hide();
        if (state->activateRequested) {
            state->activateRequested = false;
            if (visible)
                widget->show();
        }
        if (state->dirty)
            widget->redraw();
    }
    window->Unlock();
}

// Pulses every visible window that is due; answers the time until the next one.
bigtime_t SendPulses() {
    bigtime_t now = system_time();
    bigtime_t next = B_INFINITE_TIMEOUT;
    for (BWindow* window : BWindow::AllWindows()) {
        // A window held by another thread gets its pulse in a later round.
        if (window->LockWithTimeout(0) != B_OK) {
            next = std::min(next, (bigtime_t)10000);
            continue;
        }
        WindowState* state = window->State();
        if (state && state->pulseRate > 0 && state->hidden <= 0 && state->running) {
            if (state->nextPulse == 0)
                state->nextPulse = now + state->pulseRate;
            if (now >= state->nextPulse) {
                window->PostMessage(B_PULSE);
                state->nextPulse = now + state->pulseRate;
            }
            next = std::min(next, state->nextPulse - now);
        }
        window->Unlock();
    }
    return next;
}

void SyncAll() {
    DeletePendingWidgets();
    if (!gToolkitReady)
        return;
    for (BWindow* window : BWindow::AllWindows())
        if (window->State() && window->State()->needsSync)
            ApplySync(window);
}

void WaitForEvents(bigtime_t timeout) {
    if (timeout < 0)
        timeout = 0;
    if (gToolkitReady) {
        Fl::wait(std::min(timeout, (bigtime_t)1000000) / 1e6);
    } else {
        BLooper::WaitForHostedWork(std::min(timeout, (bigtime_t)1000000));
    }
}

void HostLoop(BApplication* app) {
    MarkGuiThread();
    StartToolkit();
    while (!app->IsQuitting()) {
        BLooper::DispatchHosted();
        if (app->IsQuitting())
            break;
        SyncAll();
        bigtime_t delay = std::min(app->PulseIfDue(), SendPulses());
        // More messages waiting: still look at the window system's events, without
        // waiting, so that a looper that keeps posting cannot starve the user.
        if (BLooper::HostedWorkPending())
            delay = 0;
        if (gToolkitReady)
            Fl::flush();
        WaitForEvents(delay);
    }
    SyncAll();
}

} // namespace

void GuiHost::Install() {
    std::call_once(gInstallOnce, [] {
        BApplication::SetHostLoop(HostLoop);
        BLooper::SetHostWakeup(&GuiHost::Wake);
    });
}

bool GuiHost::HasDisplay() {
    int state = gDisplayState.load();
    if (state >= 0)
        return state == 1;
    static std::mutex openLock;
    std::lock_guard<std::mutex> lock(openLock);
    if (gDisplayState >= 0)
        return gDisplayState == 1;
    const char* name = std::getenv("DISPLAY");
    if (name && *name) {
        // A server that is resetting (its last client just left) refuses connections for
        // a moment: try again briefly before giving up.
        for (int attempt = 0; attempt < 20 && !gDisplay; attempt++) {
            gDisplay = XOpenDisplay(name);
            if (!gDisplay)
                snooze(50000);
        }
    }
    if (gDisplay && !DisplayScale::IsSet())
        DisplayScale::SetFactor(DisplayScale::FromSettings(std::getenv("TARNW_SCALE"),
                                                           std::getenv("GDK_SCALE"),
                                                           XResourceManagerString(gDisplay)));
    gDisplayState = gDisplay ? 1 : 0;
    return gDisplay != nullptr;
}

bool GuiHost::IsGuiThread() {
    std::lock_guard<std::mutex> lock(gThreadLock);
    return !gGuiThreadKnown || gGuiThread == std::this_thread::get_id();
}

void GuiHost::Wake() {
    if (gToolkitReady)
        Fl::awake();
}

void GuiHost::RunOnce(bigtime_t timeout) {
    MarkGuiThread();
    StartToolkit();
    BLooper::DispatchHosted();
    SyncAll();
    SendPulses();
    if (gToolkitReady)
        Fl::flush();
    WaitForEvents(BLooper::HostedWorkPending() ? 0 : timeout);
    BLooper::DispatchHosted();
    SyncAll();
    if (gToolkitReady)
        Fl::flush();
}

bool GuiHost::RunUntil(const std::function<bool()>& done, bigtime_t timeout) {
    bigtime_t end = system_time() + timeout;
    while (!done()) {
        bigtime_t left = end - system_time();
        if (left <= 0)
            return done();
        RunOnce(std::min(left, (bigtime_t)20000));
    }
    return true;
}

void GuiHost::RunNested(BLooper* looper, bigtime_t timeout) {
    looper->DispatchPending();
    SyncAll();
    if (gToolkitReady)
        Fl::flush();
    WaitForEvents(timeout);
    looper->DispatchPending();
    SyncAll();
}

void GuiHost::SyncWindow(BWindow* window) {
    if (gToolkitReady && IsGuiThread())
        ApplySync(window);
    else
        Wake();
}

void GuiHost::WindowGone(BWindow* window) {
    WindowState* state = window->State();
    if (!state || !state->widget)
        return;
    WindowWidget* widget = state->widget;
    state->widget = nullptr;
    widget->Forget();
    {
        std::lock_guard<std::mutex> lock(gDeleteLock);
        gWidgetsToDelete.push_back(widget);
    }
    if (IsGuiThread())
        DeletePendingWidgets();
    else
        Wake();
}

void GuiHost::SetCursor(BWindow* window, const BCursor* cursor) {
    WindowState* state = window->State();
    std::vector<uint32> pixels;
    if (cursor != nullptr && cursor->InitCheck() == B_OK)
        pixels = cursor->Pixels();
    if (pixels == state->cursorPixels &&
        (cursor == nullptr || cursor->HotSpot() == state->cursorHotSpot))
        return;
    state->cursorPixels = pixels;
    state->cursorHotSpot = cursor != nullptr ? cursor->HotSpot() : BPoint();
    state->cursorChanged = true;
    state->needsSync = true;
    SyncWindow(window);
}

std::vector<uint32> GuiHost::CursorOf(BWindow* window) {
    return window->State()->cursorPixels;
}

void GuiHost::TrackMouse(BWindow* window, BPoint* where, uint32* buttons, bool processEvents) {
    WindowState* state = window->State();
    WindowWidget* widget = state ? state->widget : nullptr;
    if (!widget) {
        *where = state ? state->mouseWhere : BPoint();
        *buttons = state ? state->mouseButtons : 0;
        return;
    }
    if (processEvents && gToolkitReady && IsGuiThread()) {
        widget->tracking = true;
        Fl::wait(0.01);
        // The widget may have gone while events were handled.
        widget = window->State()->widget;
        if (widget)
            widget->tracking = false;
    }
    if (!widget) {
        *where = BPoint();
        *buttons = 0;
        return;
    }
    PixelGrid grid = Grid();
    *where = BPoint(grid.Cell(widget->mouseX.load()), grid.Cell(widget->mouseY.load()));
    *buttons = widget->buttons.load();
}

float GuiHost::ToolkitStringWidth(const BFont& font, const char* text) {
    if (!StartToolkit() || !text)
        return -1;
    float scale = DisplayScale::Factor();
    fl_font(FltkPainter::FontIndex(font), (Fl_Fontsize)FltkPainter::FontSize(font, scale));
    return (float)fl_width(text) / scale;
}

BWindow* GuiHost::MainWindow(const BWindow* except) {
    for (BWindow* window : BWindow::AllWindows()) {
        WindowState* state = window->State();
        if (window == except || state == nullptr || state->dialog || state->hidden > 0 ||
            !state->running || state->feel != B_NORMAL_WINDOW_FEEL)
            continue;
        if (state->look == B_TITLED_WINDOW_LOOK || state->look == B_DOCUMENT_WINDOW_LOOK)
            return window;
    }
    return nullptr;
}

unsigned long GuiHost::NativeWindow(BWindow* window) {
    WindowState* state = window != nullptr ? window->State() : nullptr;
    if (!gToolkitReady || state == nullptr || state->widget == nullptr || !state->widget->shown())
        return 0;
    return fl_xid(state->widget);
}

BRect GuiHost::ScreenFrame() {
    if (!gScreenKnown && gToolkitReady && IsGuiThread()) {
        int x, y, w, h;
        Fl::screen_xywh(x, y, w, h, 0);
        if (w > 0 && h > 0) {
            gScreenX = x;
            gScreenY = y;
            gScreenWidth = w;
            gScreenHeight = h;
            gScreenKnown = true;
        }
    }
    // In layout units: the part of the screen whole cells cover.
    float scale = DisplayScale::Factor();
    float left = std::ceil(gScreenX / scale), top = std::ceil(gScreenY / scale);
    return BRect(left, top, std::floor((gScreenX + gScreenWidth) / scale) - 1,
                 std::floor((gScreenY + gScreenHeight) / scale) - 1);
}

bool GuiHost::CaptureWindow(BWindow* window, std::vector<uint32>* pixels, int32* width,
                            int32* height) {
    if (!gToolkitReady || !IsGuiThread() || !window->Lock())
        return false;
    BRect bounds = window->Bounds();
    float scale = DisplayScale::Factor();
    DeviceFrame size = ToDevice(bounds);
    int w = size.width, h = size.height;
    {
        Fl_Image_Surface surface(w, h);
        surface.set_current();
        {
            FltkPainter painter((int)bounds.Width() + 1, (int)bounds.Height() + 1, scale);
            window->TopView()->DrawTree(painter, bounds);
        }
        Fl_RGB_Image* image = surface.image();
        Fl_Display_Device::display_device()->set_current();
        window->Unlock();
        if (!image)
            return false;
        const uchar* data = (const uchar*)image->data()[0];
        int depth = image->d();
        pixels->resize((size_t)w * h);
        for (int i = 0; i < w * h; i++) {
            const uchar* p = data + (size_t)i * depth;
            (*pixels)[i] = 0xff000000u | ((uint32)p[0] << 16) | ((uint32)p[1] << 8) | p[2];
        }
        delete image;
    }
    *width = w;
    *height = h;
    return true;
}

void GuiHost::SetApplicationName(const std::string& name) {
    window_manager_hints::SetApplicationName(name);
}

bool GuiHost::SetApplicationIcon(const void* png, size_t size) {
    return window_manager_hints::SetApplicationIcon(png, size);
}
