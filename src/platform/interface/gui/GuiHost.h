#pragma once

// The toolkit side of the platform layer: runs the application's loop on the toolkit's
// one thread, dispatches every hosted looper there, and brings windows to the screen.
//
// Install() makes BApplication::Run() use the toolkit loop (every BWindow installs it
// too). Tests and the gallery can pump the loop themselves with RunUntil().

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/interface/Rect.h"
#include "platform/support/SupportDefs.h"

class BLooper;
class BWindow;

class GuiHost {
public:
    static void Install();
    // True when a display can be opened (DISPLAY is set and answers).
    static bool HasDisplay();
    // The thread that runs the toolkit loop; before the loop has run, every thread counts
    // as it.
    static bool IsGuiThread();
    // Asks the toolkit thread to run a round of its loop soon (any thread).
    static void Wake();

    // One round of the loop on the calling thread: waits up to `timeout` microseconds for
    // events, dispatches hosted loopers, brings windows up to date, sends pulses.
    static void RunOnce(bigtime_t timeout = 0);
    // Runs the loop on the calling thread until done() answers true or timeout passes;
    // answers done().
    static bool RunUntil(const std::function<bool()>& done, bigtime_t timeout);
    // A loop inside a dispatch (a modal alert asked for by a window): waits for events
    // and dispatches only `looper`, whose window must not be the one dispatching.
    static void RunNested(BLooper* looper, bigtime_t timeout);

    // For BWindow: brings the window's toolkit side up to date (now on the toolkit thread,
    // else soon), and releases it when the window goes away.
    static void SyncWindow(BWindow* window);
    static void WindowGone(BWindow* window);
    // For BView::SetViewCursor: the cursor over the window (nullptr: the system's arrow).
    static void SetCursor(BWindow* window, const class BCursor* cursor);
    // The cursor set last for the window, as its pixels (empty: the system's arrow).
    static std::vector<uint32> CursorOf(BWindow* window);
    // For BView::GetMouse.
    static void TrackMouse(BWindow* window, BPoint* where, uint32* buttons, bool processEvents);
    // The window the application's dialogs belong to: the first visible window of normal
    // feel with a title bar that is no dialog itself (nullptr: none). `except` is skipped.
    static BWindow* MainWindow(const BWindow* except = nullptr);
    // The window system's identifier of a window's toolkit window (0: not on screen).
    static unsigned long NativeWindow(BWindow* window);
    // The main screen's frame, (0,0)-(1023,767) without a display.
    static BRect ScreenFrame();
    // The width the toolkit gives text in a font (to check that measuring and drawing
    // agree); -1 without a display.
    static float ToolkitStringWidth(const class BFont& font, const char* text);
    // What a desktop shows of every window the program shows from now on: WM_CLASS names
    // `name` as instance and class (empty: the program's file name), and the icon is the
    // picture of the PNG bytes given (false, and no icon, when they are none).
    static void SetApplicationName(const std::string& name);
    static bool SetApplicationIcon(const void* png, size_t size);
    // A screenshot of a window's content as 32-bit pixels (0xAARRGGBB), for tests.
    static bool CaptureWindow(BWindow* window, std::vector<uint32>* pixels, int32* width,
                              int32* height);
};
