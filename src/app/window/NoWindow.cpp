// A build without the window.
#include "app/window/WindowLoader.h"

bool WindowIsBuilt() {
    return false;
}

const WindowEntries* LoadWindowEntries(WindowOpening& opening) {
    opening.problem = WindowOpening::Problem::NotBuilt;
    return nullptr;
}
