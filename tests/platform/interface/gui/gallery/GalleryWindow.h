#pragma once

// A window that shows every control of the interface layer, for looking at by hand
// (tarnw-gallery) and for the screenshot tests.

#include "platform/interface/gui/Window.h"

class BFilePanel;

enum {
    kGalleryButton = 'Gbut',
    kGalleryCheck = 'Gchk',
    kGalleryMenu = 'Gmnu',
    kGalleryList = 'Glst',
    kGalleryPicture = 'Gpic',
    kGalleryShowAlert = 'Galt',
    kGalleryShowPanel = 'Gpnl',
    kGalleryAlertDone = 'Gadn',
};

class GalleryWindow : public BWindow {
public:
    // With quitAppOnClose, closing the window ends the application.
    explicit GalleryWindow(BPoint where, bool quitAppOnClose = false);
    ~GalleryWindow() override;

    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;

    // The last message a control sent, by code (0 when none yet).
    uint32 LastCommand() const { return fLastCommand; }
    int32 CountCommands(uint32 what) const;

private:
    bool fQuitAppOnClose;
    BFilePanel* fPanel = nullptr;
    uint32 fLastCommand = 0;
    std::vector<uint32> fCommands;
};

// The 24 x 24 folder-button artwork used by the gallery's picture button, in the system
// palette (one byte per pixel).
const uint8* GalleryFolderArtwork(bool pressed);
