#include "programs/window/WindowLoader.h"

#include <cstdlib>
#include <cstring>

#include "ui/CommandLineTexts.h"

namespace {

// Every implementation asks the display the same way once the entries are there.
WindowOpening Finish(const WindowEntries* entries, WindowOpening opening) {
    if (entries == nullptr)
        return opening;
    if (entries->version != kWindowEntriesVersion) {
        opening.problem = WindowOpening::Problem::BrokenPart;
        opening.detail = "the window's part belongs to another build";
        return opening;
    }
    if (!entries->displayOpens()) {
        opening.problem = WindowOpening::Problem::NoDisplay;
        return opening;
    }
    opening.entries = entries;
    opening.problem = WindowOpening::Problem::None;
    return opening;
}

} // namespace

// Implemented once per build: whether it has a window, and its entries or why there are none.
bool WindowIsBuilt();
const WindowEntries* LoadWindowEntries(WindowOpening& opening);

const WindowOpening& WindowLoader::Open() {
    static const WindowOpening opening = [] {
        WindowOpening result;
        if (!WindowIsBuilt()) {
            result.problem = WindowOpening::Problem::NotBuilt;
            return result;
        }
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') {
            result.problem = WindowOpening::Problem::NoDisplay;
            return result;
        }
        const WindowEntries* entries = LoadWindowEntries(result);
        return Finish(entries, result);
    }();
    return opening;
}

std::string MissingLibraryIn(const std::string& loaderError) {
    static const char kCannotOpen[] = ": cannot open shared object file";
    size_t end = loaderError.find(kCannotOpen);
    if (end == std::string::npos || end == 0)
        return std::string();
    // The report may name the part first ("/proc/self/fd/3: libXft.so.2: cannot open ...").
    size_t start = loaderError.rfind(": ", end - 1);
    start = start == std::string::npos ? 0 : start + 2;
    return loaderError.substr(start, end - start);
}

std::string WindowProblemText(const std::string& language, const WindowOpening& opening) {
    switch (opening.problem) {
    case WindowOpening::Problem::None:
        return std::string();
    case WindowOpening::Problem::NotBuilt:
        return CommandLineText(language, kCliWindowCannotOpen,
                               {"this installer was built without it"});
    case WindowOpening::Problem::NoDisplay: {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0')
            return CommandLineText(language, kCliWindowNoDisplaySet);
        return CommandLineText(language, kCliWindowNoDisplay, {display});
    }
    case WindowOpening::Problem::MissingLibrary:
        return CommandLineText(language, kCliWindowNoLibrary, {opening.detail});
    case WindowOpening::Problem::BrokenPart:
        break;
    }
    return CommandLineText(language, kCliWindowCannotOpen, {opening.detail});
}
