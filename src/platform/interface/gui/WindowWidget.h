#pragma once

// The toolkit window of a BWindow: one canvas on which the whole view tree draws. It turns
// the toolkit's events into the window's messages, draws the views and tells the window
// when the user or the window manager moved or resized it. Toolkit thread only, but for
// the mouse fields, which BView::GetMouse reads from any thread.

#include <FL/Fl_Double_Window.H>

#include <atomic>
#include <vector>

#include "platform/interface/Rect.h"
#include "platform/interface/gui/GuiHostPrivate.h"
#include "platform/support/SupportDefs.h"

class BMessage;
class BWindow;

class WindowWidget : public Fl_Double_Window {
public:
    WindowWidget(BWindow* window, gui_host::DeviceFrame frame);
    ~WindowWidget() override;

    // The window went away; the widget waits to be deleted and posts nothing more.
    void Forget() { fWindow = nullptr; }

    int handle(int event) override;
    void draw() override;
    void resize(int x, int y, int w, int h) override;

    // The cursor over the window: 16 x 16 pixels (0xAARRGGBB) and the hot spot, grown
    // with the display; none for the system's arrow.
    void ShowCursor(const std::vector<uint32>& pixels, BPoint hotSpot);

    // Set while the window's own frame is applied, so that resize() does not report it.
    bool applying = false;
    std::atomic<int> mouseX{0}, mouseY{0};
    std::atomic<uint32> buttons{0};
    // Set while BView::GetMouse runs the loop: mouse events only move the mouse fields.
    std::atomic<bool> tracking{false};

private:
    static void CloseCallback(Fl_Widget*, void* data);
    static void RedrawLater(void* data);

    void Post(BMessage& message);
    // Where the event happened, in the window's layout units.
    static BPoint EventPoint();
    BMessage MouseMessage(uint32 what);

    BWindow* fWindow;
    BPoint fDropPoint;
};
