#include "platform/interface/DisplayScreen.h"

#include <cstdlib>
#include <dlfcn.h>

namespace {

struct XLibrary {
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    using DefaultScreen = int (*)(void*);
    using ScreenNumberValue = int (*)(void*, int);

    void* handle = nullptr;
    OpenDisplay openDisplay = nullptr;
    CloseDisplay closeDisplay = nullptr;
    DefaultScreen defaultScreen = nullptr;
    ScreenNumberValue displayWidth = nullptr;
    ScreenNumberValue displayHeight = nullptr;
    ScreenNumberValue defaultDepth = nullptr;

    bool Load() {
        handle = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            return false;
        openDisplay = reinterpret_cast<OpenDisplay>(dlsym(handle, "XOpenDisplay"));
        closeDisplay = reinterpret_cast<CloseDisplay>(dlsym(handle, "XCloseDisplay"));
        defaultScreen = reinterpret_cast<DefaultScreen>(dlsym(handle, "XDefaultScreen"));
        displayWidth = reinterpret_cast<ScreenNumberValue>(dlsym(handle, "XDisplayWidth"));
        displayHeight = reinterpret_cast<ScreenNumberValue>(dlsym(handle, "XDisplayHeight"));
        defaultDepth = reinterpret_cast<ScreenNumberValue>(dlsym(handle, "XDefaultDepth"));
        return openDisplay && closeDisplay && defaultScreen && displayWidth && displayHeight &&
               defaultDepth;
    }
};

// Loaded once and kept: the X library may be in use by the window toolkit as well.
XLibrary* Library() {
    static XLibrary* library = [] {
        auto* loaded = new XLibrary;
        if (!loaded->Load()) {
            delete loaded;
            return static_cast<XLibrary*>(nullptr);
        }
        return loaded;
    }();
    return library;
}

} // namespace

bool ReadDefaultScreen(DisplayScreen& screen) {
    screen = DisplayScreen();
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0')
        return false;
    XLibrary* x = Library();
    if (x == nullptr)
        return false;
    void* display = x->openDisplay(name);
    if (display == nullptr)
        return false;
    int number = x->defaultScreen(display);
    screen.width = x->displayWidth(display, number);
    screen.height = x->displayHeight(display, number);
    screen.depth = x->defaultDepth(display, number);
    x->closeDisplay(display);
    return true;
}
