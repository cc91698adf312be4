#pragma once

// SIGINT, SIGTERM and SIGHUP stop a running installation as the Stop button does, at its
// next safe point, instead of ending the process in the middle of a write. The signal
// handler only writes the signal's number into a pipe; a thread of our own reads it and
// runs the handler set for the moment as ordinary code. Without a handler a signal ends
// the process as it would have without us. Programs the installer starts get the
// signals' usual effects back (handled signals are reset when a program is executed).

#include <functional>

class StopSignals {
public:
    // Installs the handlers and starts the reading thread; once per process.
    static void Start();
    // Replaces the handler; an empty one restores the signals' own effect.
    static void SetHandler(std::function<void(int signal)> handler);
};
