#pragma once

#include "platform/app/Messenger.h"
#include "platform/interface/Rect.h"
#include "platform/interface/gui/FilePanel.h"
#include "platform/storage/Entry.h"
#include "platform/storage/FindDirectory.h"
#include "ui/gui/LibRefFilter.h"

class BLooper;
class BMenu;

// What a file panel shows: its folder and where its window is.
struct lib_panel_state {
    entry_ref folder;
    BRect frame;
};

// A file panel that filters by MIME type with its own LibRefFilter, is not modal and
// stays open when the user confirms (its owner hides it). Deleting it closes it.
class LibFilePanel : public BFilePanel {
public:
    LibFilePanel(const file_panel_mode& mode, BLooper* target, const uint32& command,
                 const uint32& nodeFlavors, const bool& multipleSelection);
    LibFilePanel(const file_panel_mode& mode, BMessenger* target, const uint32& command,
                 const uint32& nodeFlavors, const bool& multipleSelection);
    ~LibFilePanel() override;

    // Adds "marked" (the label of the marked "Format" item) when there is one.
    void SendMessage(const BMessenger* target, BMessage* message) override;

    LibRefFilter& Filter() { return fFilter; }

    void SetToParentDirectory();
    // Shows `path`, or its parent when `parent` is true; nothing for no path.
    void SetPanelDirectory(const char* path, const bool& parent);
    void SetPanelDirectory(const directory_which& which);
    using BFilePanel::SetPanelDirectory;
    // Shows the folder that holds `path` with `path` selected; where `path` is not listed
    // there (hidden, filtered out, the root) it shows `path` itself, and where it does not
    // exist, the nearest folder above it that does.
    void ShowFolderSelected(const char* path);
    void GetState(lib_panel_state& state);
    void SetState(lib_panel_state& state);
    // Appends an item to the panel's radio-mode "Format" menu (made on first use) when
    // the panel has a menu bar.
    void AddFormatMenuItem(const char* label, const bool& marked);

private:
    BMenu* fFormatMenu = nullptr;
    LibRefFilter fFilter;
};
