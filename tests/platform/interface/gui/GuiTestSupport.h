#pragma once

// Helpers of the GUI tests: a display check, a window that records what it receives,
// and synthetic events.

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include "platform/app/Message.h"
#include "platform/interface/gui/GuiHost.h"
#include "platform/interface/gui/View.h"
#include "platform/interface/gui/Window.h"

// Skips the test when no display can be opened.
#define REQUIRE_DISPLAY()                                                                          \
    do {                                                                                           \
        if (!GuiHost::HasDisplay())                                                                \
            GTEST_SKIP() << "no display (DISPLAY unset or not answering)";                         \
    } while (0)

class RecordingWindow : public BWindow {
public:
    RecordingWindow(BRect frame, const char* title = "test", uint32 flags = B_NOT_RESIZABLE)
        : BWindow(frame, title, B_TITLED_WINDOW, flags) {}

    void MessageReceived(BMessage* message) override {
        std::lock_guard<std::mutex> lock(fLock);
        fReceived.push_back(*message);
        BWindow::MessageReceived(message);
    }

    // The messages received with this code, in order.
    std::vector<BMessage> Received(uint32 what) {
        std::lock_guard<std::mutex> lock(fLock);
        std::vector<BMessage> out;
        for (const BMessage& m : fReceived)
            if (m.what == what)
                out.push_back(m);
        return out;
    }
    size_t CountReceived(uint32 what) { return Received(what).size(); }

private:
    std::mutex fLock;
    std::vector<BMessage> fReceived;
};

// Posts a click (down and up) at a point in window coordinates.
inline void Click(BWindow* window, BPoint where, uint32 buttons = B_PRIMARY_MOUSE_BUTTON,
                  int32 modifiers = 0, int32 clicks = 1) {
    BMessage down(B_MOUSE_DOWN);
    down.AddPoint("where", where);
    down.AddInt32("buttons", (int32)buttons);
    down.AddInt32("modifiers", modifiers);
    down.AddInt32("clicks", clicks);
    window->PostMessage(&down, window);
    BMessage up(B_MOUSE_UP);
    up.AddPoint("where", where);
    up.AddInt32("buttons", 0);
    up.AddInt32("modifiers", modifiers);
    window->PostMessage(&up, window);
}

inline void MoveMouse(BWindow* window, BPoint where, uint32 buttons = 0) {
    BMessage moved(B_MOUSE_MOVED);
    moved.AddPoint("where", where);
    moved.AddInt32("buttons", (int32)buttons);
    window->PostMessage(&moved, window);
}

inline void PressKey(BWindow* window, const char* bytes, int32 modifiers = 0) {
    BMessage key(B_KEY_DOWN);
    key.AddString("bytes", bytes);
    key.AddInt32("modifiers", modifiers);
    key.AddInt32("raw_char", (int32)(unsigned char)bytes[0]);
    window->PostMessage(&key, window);
}

// Runs the loop until the condition holds (or 5 seconds pass).
inline bool Pump(const std::function<bool()>& done, bigtime_t timeout = 5000000) {
    return GuiHost::RunUntil(done, timeout);
}

// Runs the loop until every queued message has been dispatched.
inline void Settle() {
    for (int i = 0; i < 5; i++)
        GuiHost::RunOnce(2000);
}

// Quits a window from the test thread (which runs the loop).
inline void CloseWindow(BWindow* window) {
    window->Lock();
    window->Quit();
    Settle();
}
