#include "platform/interface/gui/WindowWidget.h"

#include <FL/Fl.H>
#include <FL/Fl_Image.H>

#include <string>

#include "platform/app/Message.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/FltkPainter.h"
#include "platform/interface/gui/ToolkitInput.h"
#include "platform/interface/gui/View.h"
#include "platform/interface/gui/Window.h"
#include "platform/interface/gui/WindowState.h"
#include "platform/kernel/OS.h"

using gui_host::DeviceFrame;
using gui_host::Grid;
using toolkit_input::AddDroppedRefs;
using toolkit_input::Buttons;
using toolkit_input::KeyBytes;
using toolkit_input::Modifiers;

WindowWidget::WindowWidget(BWindow* window, DeviceFrame frame)
    : Fl_Double_Window(frame.x, frame.y, frame.width, frame.height), fWindow(window) {
    end();
    callback(CloseCallback, this);
}

WindowWidget::~WindowWidget() {
    Fl::remove_timeout(RedrawLater, this);
}

void WindowWidget::CloseCallback(Fl_Widget*, void* data) {
    auto* self = (WindowWidget*)data;
    if (self->fWindow && !(self->fWindow->Flags() & B_NOT_CLOSABLE))
        self->fWindow->PostMessage(B_QUIT_REQUESTED);
}

void WindowWidget::RedrawLater(void* data) {
    ((WindowWidget*)data)->redraw();
}

void WindowWidget::Post(BMessage& message) {
    if (fWindow)
        fWindow->PostMessage(&message, fWindow);
}

BPoint WindowWidget::EventPoint() {
    PixelGrid grid = Grid();
    return BPoint(grid.Cell(Fl::event_x()), grid.Cell(Fl::event_y()));
}

BMessage WindowWidget::MouseMessage(uint32 what) {
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

void WindowWidget::ShowCursor(const std::vector<uint32>& pixels, BPoint hotSpot) {
    if (pixels.empty()) {
        cursor(FL_CURSOR_DEFAULT);
        return;
    }
    // The 16 x 16 cursor grows with the display, each pixel a cell.
    PixelGrid grid = Grid();
    int side = grid.Length(16);
    std::vector<uchar> rgba((size_t)side * side * 4);
    for (int y = 0; y < side; y++) {
        for (int x = 0; x < side; x++) {
            int source = (int)grid.Cell(y) * 16 + (int)grid.Cell(x);
            uint32 p = (size_t)source < pixels.size() ? pixels[(size_t)source] : 0;
            uchar* out = &rgba[((size_t)y * side + x) * 4];
            out[0] = uchar(p >> 16);
            out[1] = uchar(p >> 8);
            out[2] = uchar(p);
            out[3] = uchar(p >> 24);
        }
    }
    Fl_RGB_Image image(rgba.data(), side, side, 4);
    cursor(&image, grid.First(hotSpot.x), grid.First(hotSpot.y));
}
