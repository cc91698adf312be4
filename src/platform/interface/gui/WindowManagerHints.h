#pragma once

// Applies what the window manager is told about a toolkit window: its looks and size
// limits, its type and owner, whose program it is (WM_CLASS, _NET_WM_PID,
// WM_CLIENT_MACHINE) and the program's icon. WindowHints decides what; this tells it to
// the window system. Toolkit thread only, but for SetApplicationName.

#include <cstddef>
#include <string>

#include "platform/interface/gui/WindowHints.h"

class WindowWidget;
struct WindowState;

namespace window_manager_hints {

// The name WM_CLASS gives every window from now on (empty: the program's file name).
void SetApplicationName(const std::string& name);
// The icon of every window shown from now on, from PNG bytes; false, and no icon, when
// they are none.
bool SetApplicationIcon(const void* png, size_t size);

// Before the window is shown: frame, override-redirect and modality.
void ApplyLooks(WindowWidget* widget, const WindowState* state, const WindowHints& hints);
// The smallest and largest size the user may give the window.
void ApplySizeLimits(WindowWidget* widget, const WindowState* state);
// Tells the window manager what the window is; `owner` is the native window of the window
// it belongs to (0: none). Runs while the server is grabbed, right after the window was
// mapped, so that a window manager reads these with the map request.
void ApplyToShownWindow(WindowWidget* widget, const WindowHints& hints, unsigned long owner);

} // namespace window_manager_hints
