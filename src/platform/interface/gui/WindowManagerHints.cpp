#include "platform/interface/gui/WindowManagerHints.h"

#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/Fl_PNG_Image.H>
#include <FL/x.H>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unistd.h>

#include "platform/interface/gui/GuiHostPrivate.h"
#include "platform/interface/gui/WindowState.h"
#include "platform/interface/gui/WindowWidget.h"

namespace window_manager_hints {

using gui_host::DeviceFrame;
using gui_host::LimitToDevice;
using gui_host::ToDevice;

namespace {

std::mutex gNamesLock;
std::string gApplicationName;

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

} // namespace

void SetApplicationName(const std::string& name) {
    std::lock_guard<std::mutex> lock(gNamesLock);
    gApplicationName = name;
}

bool SetApplicationIcon(const void* png, size_t size) {
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

void ApplySizeLimits(WindowWidget* widget, const WindowState* state) {
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

void ApplyToShownWindow(WindowWidget* widget, const WindowHints& hints, unsigned long owner) {
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

} // namespace window_manager_hints
