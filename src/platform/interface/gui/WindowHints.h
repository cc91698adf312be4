#pragma once

// What the window system is told about a window: whether a window manager manages it at
// all, its type, whom it belongs to, its frame and which of move, resize, minimize,
// maximize and close it offers. Derived from the window's look, feel and flags alone, so
// that the rules hold the same with or without a window manager and can be checked
// without a display. WindowManagerHints applies them when the window first appears.

#include "platform/interface/gui/Window.h"
#include "platform/support/SupportDefs.h"

// The bits of the Motif window manager hints (_MOTIF_WM_HINTS), which most window
// managers read for a window's frame and functions.
enum {
    kMotifHintsFunctions = 1 << 0,
    kMotifHintsDecorations = 1 << 1,

    kMotifFunctionResize = 1 << 1,
    kMotifFunctionMove = 1 << 2,
    kMotifFunctionMinimize = 1 << 3,
    kMotifFunctionMaximize = 1 << 4,
    kMotifFunctionClose = 1 << 5,

    kMotifDecorBorder = 1 << 1,
    kMotifDecorResizeHandle = 1 << 2,
    kMotifDecorTitle = 1 << 3,
    kMotifDecorMenu = 1 << 4,
    kMotifDecorMinimize = 1 << 5,
    kMotifDecorMaximize = 1 << 6,
};

struct WindowHints {
    enum class Type { Normal, Dialog, Tooltip, PopupMenu };

    Type type = Type::Normal;
    // Placed and stacked by us alone: no window manager frame, never given the focus.
    bool overrideRedirect = false;
    // Belongs to the application's main window (WM_TRANSIENT_FOR): kept above it and
    // placed with it.
    bool transient = false;
    // The window manager may give it the keyboard focus.
    bool takesFocus = true;
    // A title bar and frame from the window manager.
    bool decorated = true;
    // A one-pixel border that we draw along the window's edges.
    bool drawnBorder = false;
    uint32 motifFlags = 0;
    uint32 motifFunctions = 0;
    uint32 motifDecorations = 0;

    // The name of the _NET_WM_WINDOW_TYPE atom for the type.
    const char* TypeAtomName() const;

    // `dialog` marks a window that serves another (a file panel) whatever its look.
    static WindowHints For(window_look look, window_feel feel, uint32 flags, bool dialog = false);
};
