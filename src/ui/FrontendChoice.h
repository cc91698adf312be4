#pragma once

// Which front-end runs: $TARNW_FRONTEND ("gui", "console", "unattended") when set;
// otherwise the window when a display can be opened (and the window's libraries are
// installed), else the console when standard input and output are terminals, else
// unattended. A window that was asked for but cannot be shown falls back the same way here;
// the programs refuse it first (WindowAskedFor).

enum class FrontendKind { Gui, Console, Unattended };

struct FrontendEnvironment {
    const char* requested = nullptr; // $TARNW_FRONTEND
    bool guiBuilt = false;
    bool displayOpens = false;
    bool terminals = false;
};

// True when the window was asked for by name ($TARNW_FRONTEND or --frontend "gui"): when it
// cannot open, the program says why and ends instead of choosing another front-end.
bool WindowAskedFor(const FrontendEnvironment& environment);

// False (and kind untouched) when `requested` names no front-end.
bool ChooseFrontend(const FrontendEnvironment& environment, FrontendKind& kind);

// Reads the real environment; the display is tried only when needed. `requested` given
// (from the command line) stands in for $TARNW_FRONTEND.
FrontendEnvironment CurrentFrontendEnvironment(bool guiBuilt, bool (*displayOpens)());
FrontendEnvironment CurrentFrontendEnvironment(bool guiBuilt, bool (*displayOpens)(),
                                               const char* requested);
