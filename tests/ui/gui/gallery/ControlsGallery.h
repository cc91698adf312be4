#pragma once

// The installer's own controls in one window: about image, volume and language menus,
// hovering group list with tips, folder button (its three pictures), destination line and
// file rows. tarnw-controls-gallery shows it; the GUI tests capture it.

#include "ui/gui/LibWindow.h"

class BListView;
class InstallImage;
class LibListView;
class LibMenuField;
class LibPictureButton;
class LibStringView;
class LibVolumeMenu;

class ControlsGallery : public LibWindow {
public:
    static constexpr uint32 kHover = 2001;

    explicit ControlsGallery(BPoint where);
    ~ControlsGallery() override;

    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;

    InstallImage* Image() const { return fImage; }
    LibListView* Groups() const { return fGroups; }
    LibPictureButton* Folder() const { return fFolder; }

private:
    InstallImage* fImage;
    LibVolumeMenu* fVolumes;
    LibMenuField* fLanguages;
    LibListView* fGroups;
    LibPictureButton* fFolder;
    LibStringView* fDestination;
    BListView* fFiles;
};
