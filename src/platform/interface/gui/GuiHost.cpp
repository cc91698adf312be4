#include "platform/interface/gui/GuiHost.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_Image_Surface.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <unistd.h>

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/DisplayScale.h"
#include "platform/interface/Font.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/Cursor.h"
#include "platform/interface/gui/FilePanel.h"
#include "platform/interface/gui/FltkPainter.h"
#include "platform/interface/gui/PixelGrid.h"
#include "platform/interface/gui/View.h"
#include "platform/interface/gui/Window.h"
#include "platform/interface/gui/WindowHints.h"
#include "platform/interface/gui/WindowState.h"
#include "platform/kernel/OS.h"
#include "platform/support/PercentCoding.h"

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

std::mutex gNamesLock;
std::string gApplicationName;

bool gScreenKnown = false;

PixelGrid Grid() {
    return PixelGrid{DisplayScale::Factor()};
}

// A window's content area on the screen, in device pixels.
struct DeviceFrame {
    int x, y, width, height;
};

DeviceFrame ToDevice(BRect frame) {
    PixelGrid grid = Grid();
    return DeviceFrame{grid.First(frame.left), grid.First(frame.top),
                       grid.Length(frame.Width() + 1), grid.Length(frame.Height() + 1)};
}

// A size limit in device pixels; limits are at most 32768 units.
int LimitToDevice(float units) {
    return Grid().Length(std::min(units, 32768.0f));
}

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

uint32 Modifiers() {
    int state = Fl::event_state();
    uint32 modifiers = 0;
    if (state & FL_SHIFT)
        modifiers |= B_SHIFT_KEY;
    if (state & FL_CTRL)
        modifiers |= B_CONTROL_KEY | B_COMMAND_KEY;
    if (state & FL_ALT)
        modifiers |= B_OPTION_KEY | B_COMMAND_KEY;
    if (state & FL_CAPS_LOCK)
        modifiers |= B_CAPS_LOCK;
    if (state & FL_NUM_LOCK)
        modifiers |= B_NUM_LOCK;
    return modifiers;
}

uint32 Buttons() {
    int state = Fl::event_state();
    uint32 buttons = 0;
    if (state & FL_BUTTON1)
        buttons |= B_PRIMARY_MOUSE_BUTTON;
    if (state & FL_BUTTON3)
        buttons |= B_SECONDARY_MOUSE_BUTTON;
    if (state & FL_BUTTON2)
        buttons |= B_TERTIARY_MOUSE_BUTTON;
    return buttons;
}

// The bytes a key press stands for, in the old platform's key codes.
std::string KeyBytes(int key) {
    switch (key) {
    case FL_Enter:
    case FL_KP_Enter:
        return std::string(1, (char)B_ENTER);
    case FL_Tab:
        return std::string(1, (char)B_TAB);
    case FL_Escape:
        return std::string(1, (char)B_ESCAPE);
    case FL_BackSpace:
        return std::string(1, (char)B_BACKSPACE);
    case FL_Delete:
        return std::string(1, (char)B_DELETE);
    case FL_Left:
        return std::string(1, (char)B_LEFT_ARROW);
    case FL_Right:
        return std::string(1, (char)B_RIGHT_ARROW);
    case FL_Up:
        return std::string(1, (char)B_UP_ARROW);
    case FL_Down:
        return std::string(1, (char)B_DOWN_ARROW);
    case FL_Home:
        return std::string(1, (char)B_HOME);
    case FL_End:
        return std::string(1, (char)B_END);
    case FL_Page_Up:
        return std::string(1, (char)B_PAGE_UP);
    case FL_Page_Down:
        return std::string(1, (char)B_PAGE_DOWN);
    case FL_Insert:
        return std::string(1, (char)B_INSERT);
    default:
        break;
    }
    // Function keys arrive as B_FUNCTION_KEY; the "key" field tells which one.
    if (key >= FL_F + 1 && key <= FL_F + 12)
        return std::string(1, (char)B_FUNCTION_KEY);
    if (Fl::event_state() & (FL_CTRL | FL_ALT)) {
        if (key > 0 && key < 128)
            return std::string(1, (char)key);
        return std::string();
    }
    const char* text = Fl::event_text();
    if (text && *text)
        return std::string(text, std::min(Fl::event_length(), 8));
    return std::string();
}

// Adds a "refs" entry for every local file named in a text/uri-list; answers how many.
int32 AddDroppedRefs(BMessage* message, const char* text, int length) {
    if (!text || length <= 0)
        return 0;
    int32 added = 0;
    std::string list(text, (size_t)length);
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = list.size();
        std::string line = list.substr(start, end - start);
        start = end + 1;
        if (line.rfind("file://", 0) == 0)
            line = line.substr(7);
        // A host part ("file://host/path") is skipped up to the path.
        if (!line.empty() && line[0] != '/') {
            size_t slash = line.find('/');
            if (slash == std::string::npos)
                continue;
            line = line.substr(slash);
        }
        std::string path;
        PercentDecode(line, path, false);
        if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos)
            continue;
        entry_ref ref;
        if (get_ref_for_path(path.c_str(), &ref) == B_OK &&
            AddRefToMessage(message, "refs", ref) == B_OK)
            added++;
    }
    return added;
}

} // namespace

// The toolkit window of a BWindow: one canvas on which the whole view tree draws.
class WindowWidget : public Fl_Double_Window {
public:
    WindowWidget(BWindow* window, DeviceFrame frame)
        : Fl_Double_Window(frame.x, frame.y, frame.width, frame.height), fWindow(window) {
        end();
        callback(CloseCallback, this);
    }

    ~WindowWidget() override { Fl::remove_timeout(RedrawLater, this); }

    void Forget() { fWindow = nullptr; }

    int handle(int event) override;
    void draw() override;
    void resize(int x, int y, int w, int h) override;

    bool applying = false;
    std::atomic<int> mouseX{0}, mouseY{0};
    std::atomic<uint32> buttons{0};
    std::atomic<bool> tracking{false};

private:
    static void CloseCallback(Fl_Widget*, void* data) {
        auto* self = (WindowWidget*)data;
        if (self->fWindow && !(self->fWindow->Flags() & B_NOT_CLOSABLE))
            self->fWindow->PostMessage(B_QUIT_REQUESTED);
    }
    static void RedrawLater(void* data) { ((WindowWidget*)data)->redraw(); }

    void Post(BMessage& message) {
        if (fWindow)
            fWindow->PostMessage(&message, fWindow);
    }
    // Where the event happened, in the window's layout units.
    static BPoint EventPoint() {
        PixelGrid grid = Grid();
        return BPoint(grid.Cell(Fl::event_x()), grid.Cell(Fl::event_y()));
    }
    BMessage MouseMessage(uint32 what) {
        BMessage message(what);
        PixelGrid grid = Grid();
        mouseX = Fl::event_x();
        mouseY = Fl::event_y();
        message.AddInt64("when", system_time());
        message.AddPoint("where", EventPoint());
        message.AddPoint("screen_where",
                         BPoint(grid.Cell(Fl::event_x_root()), grid.Cell(Fl::event_y_root())));
        message.AddInt32("modifiers", (int32)Modifiers());
        message.AddInt32("buttons", (int32)buttons.load());
        return message;
    }

    BWindow* fWindow;
    BPoint fDropPoint;
};

int WindowWidget::handle(int event) {
    if (!fWindow)
        return Fl_Double_Window::handle(event);
    switch (event) {
    case FL_PUSH: {
        int button = Fl::event_button();
        uint32 pressed = button == FL_LEFT_MOUSE    ? B_PRIMARY_MOUSE_BUTTON
                         : button == FL_RIGHT_MOUSE ? B_SECONDARY_MOUSE_BUTTON
                                                    : B_TERTIARY_MOUSE_BUTTON;
        buttons = buttons | pressed;
        if (tracking) {
            mouseX = Fl::event_x();
            mouseY = Fl::event_y();
            return 1;
        }
        BMessage message = MouseMessage(B_MOUSE_DOWN);
        message.ReplaceInt32("buttons", (int32)pressed);
        message.AddInt32("clicks", Fl::event_clicks() + 1);
        Post(message);
        return 1;
    }
    case FL_RELEASE: {
        buttons = Buttons();
        BMessage message = MouseMessage(B_MOUSE_UP);
        Post(message);
        return 1;
    }
    case FL_DRAG:
    case FL_MOVE: {
        if (event == FL_MOVE)
            buttons = 0;
        if (tracking) {
            mouseX = Fl::event_x();
            mouseY = Fl::event_y();
            return 1;
        }
        BMessage message = MouseMessage(B_MOUSE_MOVED);
        Post(message);
        return 1;
    }
    case FL_ENTER:
        return 1;
    case FL_LEAVE: {
        BMessage message = MouseMessage(B_MOUSE_MOVED);
        message.AddBool("be:exited", true);
        Post(message);
        return 1;
    }
    case FL_MOUSEWHEEL: {
        BMessage message = MouseMessage(B_MOUSE_WHEEL_CHANGED);
        message.AddFloat("be:wheel_delta_x", (float)Fl::event_dx());
        message.AddFloat("be:wheel_delta_y", (float)Fl::event_dy());
        Post(message);
        return 1;
    }
    case FL_KEYDOWN:
    case FL_KEYUP: {
        std::string bytes = KeyBytes(Fl::event_key());
        if (bytes.empty())
            return 0;
        BMessage message(event == FL_KEYDOWN ? B_KEY_DOWN : B_KEY_UP);
        message.AddInt64("when", system_time());
        message.AddString("bytes", bytes.c_str());
        message.AddInt32("modifiers", (int32)Modifiers());
        message.AddInt32("key", Fl::event_key());
        message.AddInt32("raw_char", (int32)(unsigned char)bytes[0]);
        Post(message);
        return 1;
    }
    case FL_FOCUS:
    case FL_UNFOCUS: {
        BMessage message(B_WINDOW_ACTIVATED);
        message.AddBool("active", event == FL_FOCUS);
        Post(message);
        return 1;
    }
    case FL_SHORTCUT:
        return 0;
    case FL_DND_ENTER:
    case FL_DND_DRAG:
    case FL_DND_LEAVE:
        return 1;
    case FL_DND_RELEASE:
        fDropPoint = EventPoint();
        return 1;
    case FL_PASTE: {
        // Files dropped from a file manager arrive as a list of file:// addresses.
        BMessage message(B_SIMPLE_DATA);
        if (AddDroppedRefs(&message, Fl::event_text(), Fl::event_length()) == 0)
            return 1;
        message.AddBool("be:dropped", true);
        message.AddPoint("be:drop_point", fDropPoint);
        message.AddPoint("where", fDropPoint);
        Post(message);
        return 1;
    }
    default:
        return Fl_Double_Window::handle(event);
    }
}

void WindowWidget::draw() {
    if (!fWindow) {
        Fl_Double_Window::draw();
        return;
    }
    if (fWindow->LockWithTimeout(100000) != B_OK) {
        // Someone holds the window for long; draw when it is free again.
        Fl::add_timeout(0.05, RedrawLater, this);
        return;
    }
    WindowState* state = fWindow->State();
    if (BView* top = fWindow->TopView()) {
        BRect bounds = fWindow->Bounds();
        int width = (int)bounds.Width() + 1, height = (int)bounds.Height() + 1;
        FltkPainter painter(width, height, DisplayScale::Factor());
        top->DrawTree(painter, bounds);
        // A bordered window's thin border: no window manager draws it (there may be
        // none), so it lies along the window's own edges, outside its views' text.
        if (state->look == B_BORDERED_WINDOW_LOOK) {
            BRect edge = bounds;
            rgb_color black{0, 0, 0, 255};
            painter.StrokeLine(edge.LeftTop(), edge.RightTop(), black, 1, B_OP_COPY);
            painter.StrokeLine(edge.RightTop(), edge.RightBottom(), black, 1, B_OP_COPY);
            painter.StrokeLine(edge.RightBottom(), edge.LeftBottom(), black, 1, B_OP_COPY);
            painter.StrokeLine(edge.LeftBottom(), edge.LeftTop(), black, 1, B_OP_COPY);
        }
    }
    state->dirty = false;
    fWindow->Unlock();
}

void WindowWidget::resize(int x, int y, int w, int h) {
    bool moved = x != this->x() || y != this->y();
    bool sized = w != this->w() || h != this->h();
    Fl_Double_Window::resize(x, y, w, h);
    if (applying || !fWindow || (!moved && !sized))
        return;
    // The user or the window manager moved or resized the window.
    if (fWindow->LockWithTimeout(100000) != B_OK)
        return;
    WindowState* state = fWindow->State();
    PixelGrid grid = Grid();
    float left = grid.Units(x), top = grid.Units(y);
    BRect frame(left, top, left + grid.Units(w) - 1, top + grid.Units(h) - 1);
    float dw = frame.Width() - state->frame.Width(), dh = frame.Height() - state->frame.Height();
    state->frame = frame;
    if (sized && state->topView)
        state->topView->ResizeBy(dw, dh);
    fWindow->Unlock();
    if (moved) {
        BMessage message(B_WINDOW_MOVED);
        message.AddPoint("where", frame.LeftTop());
        Post(message);
    }
    if (sized) {
        BMessage message(B_WINDOW_RESIZED);
        message.AddFloat("width", frame.Width());
        message.AddFloat("height", frame.Height());
        Post(message);
    }
}

namespace {

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

void ApplyLooks(WindowWidget* widget, const WindowState* state, const WindowHints& hints) {
    if (!hints.decorated)
        widget->clear_border();
    if (hints.overrideRedirect)
        widget->set_override();
    if (state->feel == B_MODAL_APP_WINDOW_FEEL || state->feel == B_MODAL_ALL_WINDOW_FEEL ||
        state->feel == B_MODAL_SUBSET_WINDOW_FEEL)
        widget->set_modal();
    else if (state->feel == B_FLOATING_APP_WINDOW_FEEL ||
             state->feel == B_FLOATING_ALL_WINDOW_FEEL ||
             state->feel == B_FLOATING_SUBSET_WINDOW_FEEL)
        widget->set_non_modal();
}

// The name WM_CLASS gives: the one set, else the program's file name.
std::string ApplicationName() {
    {
        std::lock_guard<std::mutex> lock(gNamesLock);
        if (!gApplicationName.empty())
            return gApplicationName;
    }
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string self = length > 0 ? std::string(path, size_t(length)) : std::string();
    std::string leaf = self.substr(self.rfind('/') + 1);
    return leaf.empty() ? std::string("Tarnwhistle") : leaf;
}

Atom AtomNamed(const char* name) {
    return XInternAtom(fl_display, name, False);
}

// Tells the window manager what the window is. Runs while the server is grabbed, right
// after the window was mapped, so that a window manager reads these with the map request.
void ApplyWindowManagerHints(WindowWidget* widget, const WindowHints& hints, Window owner) {
    Window xid = fl_xid(widget);
    if (xid == 0)
        return;
    Atom type = AtomNamed(hints.TypeAtomName());
    XChangeProperty(fl_display, xid, AtomNamed("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    (unsigned char*)&type, 1);
    // Whose window it is: the program (its process on this machine) and its name, which
    // a desktop shows in its task bar and groups the program's windows by.
    long pid = long(getpid());
    XChangeProperty(fl_display, xid, AtomNamed("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                    (unsigned char*)&pid, 1);
    char host[256] = "";
    if (gethostname(host, sizeof host - 1) == 0 && host[0] != '\0') {
        XTextProperty machine;
        char* hostName = host;
        if (XStringListToTextProperty(&hostName, 1, &machine) != 0) {
            XSetWMClientMachine(fl_display, xid, &machine);
            XFree(machine.value);
        }
    }
    std::string name = ApplicationName();
    XClassHint classHint;
    classHint.res_name = name.data();
    classHint.res_class = name.data();
    XSetClassHint(fl_display, xid, &classHint);
    if (hints.overrideRedirect)
        return;
    // The toolkit makes a floating or modal window transient for whichever window it made
    // last; a dialog belongs to the main window, any other window to none.
    if (hints.transient && owner != 0)
        XSetTransientForHint(fl_display, xid, owner);
    else
        XDeleteProperty(fl_display, xid, XA_WM_TRANSIENT_FOR);
    long motif[5] = {(long)hints.motifFlags, (long)hints.motifFunctions,
                     (long)hints.motifDecorations, 0, 0};
    Atom motifAtom = AtomNamed("_MOTIF_WM_HINTS");
    XChangeProperty(fl_display, xid, motifAtom, motifAtom, 32, PropModeReplace,
                    (unsigned char*)motif, 5);
    if (!hints.takesFocus) {
        XWMHints* wmHints = XGetWMHints(fl_display, xid);
        if (wmHints == nullptr)
            wmHints = XAllocWMHints();
        if (wmHints != nullptr) {
            wmHints->flags |= InputHint;
            wmHints->input = False;
            XSetWMHints(fl_display, xid, wmHints);
            XFree(wmHints);
        }
    }
}

void ApplySizeLimits(WindowWidget* widget, WindowState* state) {
    DeviceFrame frame = ToDevice(state->frame);
    int w = frame.width, h = frame.height;
    if (state->flags & B_NOT_RESIZABLE) {
        widget->size_range(w, h, w, h);
        return;
    }
    int minW = LimitToDevice(state->minWidth + 1), maxW = LimitToDevice(state->maxWidth + 1);
    int minH = LimitToDevice(state->minHeight + 1), maxH = LimitToDevice(state->maxHeight + 1);
    if (state->flags & B_NOT_H_RESIZABLE)
        minW = maxW = w;
    if (state->flags & B_NOT_V_RESIZABLE)
        minH = maxH = h;
    widget->size_range(std::max(1, minW), std::max(1, minH), maxW, maxH);
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
        ApplyLooks(widget, state, hints);
        ApplySizeLimits(widget, state);
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
        ApplyWindowManagerHints(widget, hints, owner);
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
            ApplySizeLimits(widget, state);
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
            if (state->cursorPixels.empty()) {
                widget->cursor(FL_CURSOR_DEFAULT);
            } else {
                // The 16 x 16 cursor grows with the display, each pixel a cell.
                PixelGrid grid = Grid();
                int side = grid.Length(16);
                std::vector<uchar> rgba((size_t)side * side * 4);
                for (int y = 0; y < side; y++) {
                    for (int x = 0; x < side; x++) {
                        int source = (int)grid.Cell(y) * 16 + (int)grid.Cell(x);
                        uint32 p = (size_t)source < state->cursorPixels.size()
                                       ? state->cursorPixels[(size_t)source]
                                       : 0;
                        uchar* out = &rgba[((size_t)y * side + x) * 4];
                        out[0] = uchar(p >> 16);
                        out[1] = uchar(p >> 8);
                        out[2] = uchar(p);
                        out[3] = uchar(p >> 24);
                    }
                }
                Fl_RGB_Image image(rgba.data(), side, side, 4);
                widget->cursor(&image, grid.First(state->cursorHotSpot.x),
                               grid.First(state->cursorHotSpot.y));
            }
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
    std::lock_guard<std::mutex> lock(gNamesLock);
    gApplicationName = name;
}

bool GuiHost::SetApplicationIcon(const void* png, size_t size) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (png == nullptr || size < sizeof kSignature || size > 16 * 1024 * 1024 ||
        std::memcmp(png, kSignature, sizeof kSignature) != 0) {
        Fl_Window::default_icon(static_cast<const Fl_RGB_Image*>(nullptr));
        return false;
    }
    Fl_PNG_Image image(nullptr, static_cast<const unsigned char*>(png), int(size));
    bool read = image.fail() == 0 && image.w() > 0 && image.h() > 0;
    // The toolkit keeps its own copy for every window it shows from now on.
    Fl_Window::default_icon(read ? &image : nullptr);
    return read;
}
