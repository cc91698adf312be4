// tarnw-controls-gallery: shows the installer's controls in one window. With
// --screenshot FILE.png it writes the window as a PNG picture and ends.

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ControlsGallery.h"
#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/GuiHost.h"
#include "ui/gui/LibTipManager.h"

namespace {

class GalleryApp : public BApplication {
public:
    GalleryApp() : BApplication("application/x-vnd.Kestrelwood.Tarnw-controls-gallery") {}
    void MessageReceived(BMessage* message) override {
        if (message->what == 'stip')
            fTips.MessageReceived(message);
        else
            BApplication::MessageReceived(message);
    }
    void Pulse() override { fTips.PostPending(); }

private:
    LibTipManager fTips;
};

void PutChunk(std::string& out, const char* type, const std::string& data) {
    auto put32 = [&](uint32_t v) {
        for (int i = 3; i >= 0; i--)
            out += (char)((v >> (8 * i)) & 0xff);
    };
    put32((uint32_t)data.size());
    std::string body = std::string(type, 4) + data;
    out += body;
    put32((uint32_t)crc32(0, (const Bytef*)body.data(), (uInt)body.size()));
}

bool WritePng(const char* path, const std::vector<uint32>& pixels, int32 width, int32 height) {
    std::string raw;
    for (int32 y = 0; y < height; y++) {
        raw += '\0';
        for (int32 x = 0; x < width; x++) {
            uint32 p = pixels[(size_t)y * width + x];
            raw += (char)((p >> 16) & 0xff);
            raw += (char)((p >> 8) & 0xff);
            raw += (char)(p & 0xff);
        }
    }
    uLongf size = compressBound((uLong)raw.size());
    std::string packed(size, '\0');
    if (compress((Bytef*)packed.data(), &size, (const Bytef*)raw.data(), (uLong)raw.size()) != Z_OK)
        return false;
    packed.resize(size);
    std::string header;
    for (int32 v : {width, height})
        for (int i = 3; i >= 0; i--)
            header += (char)((v >> (8 * i)) & 0xff);
    header += std::string("\x08\x02\x00\x00\x00", 5);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr)
        return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    GuiHost::Install();
    if (!GuiHost::HasDisplay()) {
        fprintf(stderr, "tarnw-controls-gallery: no display\n");
        return 1;
    }
    const char* screenshot =
        argc == 3 && std::strcmp(argv[1], "--screenshot") == 0 ? argv[2] : nullptr;
    GalleryApp app;
    auto* window = new ControlsGallery(BPoint(100, 100));
    window->Show();
    if (screenshot == nullptr) {
        app.Run();
        return 0;
    }
    GuiHost::RunUntil([] { return false; }, 500000);
    std::vector<uint32> pixels;
    int32 width = 0, height = 0;
    bool ok = GuiHost::CaptureWindow(window, &pixels, &width, &height) &&
              WritePng(screenshot, pixels, width, height);
    window->Lock();
    window->Quit();
    return ok ? 0 : 1;
}
