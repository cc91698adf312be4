// tarnw-gallery: shows every control of the interface layer in one window.

#include "GalleryWindow.h"

#include "platform/app/Application.h"
#include "platform/interface/gui/GuiHost.h"

int main() {
    GuiHost::Install();
    if (!GuiHost::HasDisplay()) {
        fprintf(stderr, "tarnw-gallery: no display\n");
        return 1;
    }
    BApplication app("application/x-vnd.Kestrelwood.Tarnw-gallery");
    auto* window = new GalleryWindow(BPoint(100, 100), true);
    window->Show();
    app.Run();
    return 0;
}
