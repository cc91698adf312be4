#pragma once

// Opens the window's part when a window is to open. Three builds link one of three
// implementations: the installer program loads the part it carries (compressed) from
// memory; TarnDeinstall and the tests have the window linked in; a build without the
// window has none. Nothing of the window's libraries is touched before Open() is called,
// and Open() touches nothing when $DISPLAY is empty.

#include <string>

#include "programs/window/WindowEntries.h"

struct WindowOpening {
    enum class Problem {
        None,           // the window can open: entries is set
        NotBuilt,       // this build has no window
        NoDisplay,      // $DISPLAY is empty, or its display does not answer
        MissingLibrary, // a library the window needs is not installed: detail names it
        BrokenPart,     // the part could not be loaded for another reason: detail says why
    };

    const WindowEntries* entries = nullptr;
    Problem problem = Problem::None;
    std::string detail;

    bool Opens() const { return entries != nullptr; }
};

class WindowLoader {
public:
    // Loads the part once (later calls answer the same) and asks whether the display answers.
    static const WindowOpening& Open();
};

// What the user is told when the window was asked for and cannot open, in `language`.
std::string WindowProblemText(const std::string& language, const WindowOpening& opening);

// From the loader's report of a library that could not be opened ("libXft.so.2: cannot
// open shared object file: ..."), the library's name; empty for any other report.
std::string MissingLibraryIn(const std::string& loaderError);
