#pragma once

// What a BWindow keeps about itself and what the toolkit thread still has to apply.
// Guarded by the window's lock.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/app/Message.h"
#include "platform/interface/Rect.h"
#include "platform/interface/gui/Window.h"

class BButton;
class BView;
class WindowWidget;

struct WindowShortcut {
    uint32 key;
    uint32 modifiers;
    std::unique_ptr<BMessage> message;
    BHandler* target;
};

struct WindowState {
    std::string title;
    window_look look = B_TITLED_WINDOW_LOOK;
    window_feel feel = B_NORMAL_WINDOW_FEEL;
    window_type type = B_TITLED_WINDOW;
    uint32 flags = 0;
    // Serves another window (a file panel): typed and kept with the main window as a
    // dialog whatever its look.
    bool dialog = false;
    BRect frame;
    float minWidth = 0, maxWidth = 32768, minHeight = 0, maxHeight = 32768;
    // Read without the lock by IsHidden()/IsActive() and the toolkit thread.
    std::atomic<int32> hidden{1}; // windows start hidden
    std::atomic<bool> running{false};
    std::atomic<bool> active{false};

    bigtime_t pulseRate = 500000;
    bigtime_t nextPulse = 0;

    BView* topView = nullptr;
    BView* focus = nullptr;
    BButton* defaultButton = nullptr;
    BView* mouseDownView = nullptr;
    BView* lastMouseView = nullptr;
    std::vector<WindowShortcut> shortcuts;

    // The mouse as the window last saw it, in window coordinates.
    BPoint mouseWhere;
    uint32 mouseButtons = 0;
    bool tracking = false;

    // Pending work for the toolkit thread.
    std::atomic<bool> needsSync{true};
    std::atomic<bool> dirty{false};
    bool frameChanged = false;
    bool titleChanged = false;
    bool activateRequested = false;

    // The cursor over the window: 16 x 16 pixels and the hot spot; none for the arrow.
    std::vector<uint32> cursorPixels;
    BPoint cursorHotSpot;
    bool cursorChanged = false;

    WindowWidget* widget = nullptr;
};
