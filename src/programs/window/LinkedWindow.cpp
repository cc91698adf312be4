// The window linked into the program itself (TarnDeinstall, the tests).
#include "programs/window/WindowLoader.h"

bool WindowIsBuilt() {
    return true;
}

const WindowEntries* LoadWindowEntries(WindowOpening&) {
    return tarnw_window_entries();
}
