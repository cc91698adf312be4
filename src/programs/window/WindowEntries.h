#pragma once

// The window's entry points. The window, with the toolkit and the X11, font and image
// libraries it needs, is a part of its own that the installer program loads only when a
// window is to open (WindowLoader.h), so that loading the program needs nothing but the C
// library. The part reaches everything else (messages, loopers, the engine, the C++
// runtime) in the program, so that each of those exists once in the process.

#include <functional>

#include "platform/support/SupportDefs.h"

struct InstallerOptions;
class Deinstaller;
class DeinstallTexts;
class Frontend;
class Transcript;

struct WindowEntries {
    // Whatever changes in this table changes the number: a part of another build is refused.
    uint32 version;
    // True when the display of $DISPLAY answers; the toolkit would end the program otherwise.
    bool (*displayOpens)();
    // The installer's window until it closes; the run's exit status.
    int (*runInstaller)(const InstallerOptions& options);
    // The deinstaller's window until it closes; the exit status.
    int (*runDeinstaller)(Deinstaller& deinstaller, const DeinstallTexts& texts,
                          Transcript& transcript);
    // Tells in an alert that this deinstaller cannot work.
    void (*showDeinstallerDamaged)(const DeinstallTexts& texts, Transcript& transcript);
    // Runs `dialogue` with its questions as alerts, without the window; its result.
    int (*runDeinstallerAlerts)(Transcript& transcript,
                                const std::function<int(Frontend&)>& dialogue);
};

constexpr uint32 kWindowEntriesVersion = 1;

// The one symbol the window's part exports.
extern "C" const WindowEntries* tarnw_window_entries();
