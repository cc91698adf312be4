// A build without the window.
#include "programs/window/WindowLoader.h"

bool WindowIsBuilt() {
    return false;
}

const WindowEntries* LoadWindowEntries(WindowOpening& opening) {
    opening.problem = WindowOpening::Problem::NotBuilt;
    return nullptr;
}
