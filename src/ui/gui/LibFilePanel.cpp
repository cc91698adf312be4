#include "ui/gui/LibFilePanel.h"

#include "files/LibFileOps.h"
#include "platform/app/Looper.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/Menu.h"
#include "platform/interface/gui/MenuBar.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/Window.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Path.h"

LibFilePanel::LibFilePanel(const file_panel_mode& mode, BLooper* target, const uint32& command,
                           const uint32& nodeFlavors, const bool& multipleSelection)
    : LibFilePanel(mode, (BMessenger*)nullptr, command, nodeFlavors, multipleSelection) {
    if (target != nullptr)
        SetTarget(BMessenger(nullptr, target));
}

// The filter is a member, built after the base panel: it is handed over once it exists.
LibFilePanel::LibFilePanel(const file_panel_mode& mode, BMessenger* target, const uint32& command,
                           const uint32& nodeFlavors, const bool& multipleSelection)
    : BFilePanel(mode, target, nullptr, nodeFlavors, multipleSelection, new BMessage(command),
                 nullptr, false, false) {
    SetRefFilter(&fFilter);
}

LibFilePanel::~LibFilePanel() {
    Hide();
    // The base panel lists entries until its window is gone; it must not use the filter.
    SetRefFilter(nullptr);
}

void LibFilePanel::SendMessage(const BMessenger* target, BMessage* message) {
    if (message != nullptr && fFormatMenu != nullptr) {
        if (BMenuItem* marked = fFormatMenu->FindMarked())
            message->AddString("marked", marked->Label());
    }
    BFilePanel::SendMessage(target, message);
}

void LibFilePanel::SetToParentDirectory() {
    entry_ref folder;
    GetPanelDirectory(&folder);
    if (folder.path()[0] == '\0')
        return;
    entry_ref parent = LibGetParentRef(folder);
    if (parent.path()[0] != '\0')
        BFilePanel::SetPanelDirectory(&parent);
}

void LibFilePanel::SetPanelDirectory(const char* path, const bool& parent) {
    if (path == nullptr || *path == '\0')
        return;
    if (!parent) {
        BFilePanel::SetPanelDirectory(path);
        return;
    }
    BPath folder(path);
    BPath up;
    if (folder.InitCheck() == B_OK && folder.GetParent(&up) == B_OK)
        BFilePanel::SetPanelDirectory(up.Path());
}

void LibFilePanel::ShowFolderSelected(const char* path) {
    if (path == nullptr || *path == '\0')
        return;
    BPath folder(path);
    if (folder.InitCheck() != B_OK)
        return;
    BEntry entry(folder.Path(), true);
    if (!entry.IsDirectory()) {
        // Not there (yet): the nearest folder above it.
        BPath at = folder, up;
        while (at.GetParent(&up) == B_OK) {
            if (BEntry(up.Path(), true).IsDirectory()) {
                BFilePanel::SetPanelDirectory(up.Path());
                return;
            }
            at = up;
        }
        return;
    }
    BPath parent;
    if (folder.GetParent(&parent) == B_OK) {
        BFilePanel::SetPanelDirectory(parent.Path());
        if (SelectEntry(folder.Leaf()))
            return;
    }
    BFilePanel::SetPanelDirectory(folder.Path());
}

void LibFilePanel::SetPanelDirectory(const directory_which& which) {
    BPath path;
    if (find_directory(which, &path) == B_OK)
        BFilePanel::SetPanelDirectory(path.Path());
}

void LibFilePanel::GetState(lib_panel_state& state) {
    GetPanelDirectory(&state.folder);
    BWindow* window = Window();
    if (window != nullptr && window->Lock()) {
        state.frame = window->Frame();
        window->Unlock();
    }
}

void LibFilePanel::SetState(lib_panel_state& state) {
    if (state.folder.path()[0] != '\0')
        BFilePanel::SetPanelDirectory(&state.folder);
    BWindow* window = Window();
    if (window == nullptr || !state.frame.IsValid() || !window->Lock())
        return;
    window->ResizeTo(state.frame.Width(), state.frame.Height());
    window->MoveTo(state.frame.LeftTop());
    window->Unlock();
}

void LibFilePanel::AddFormatMenuItem(const char* label, const bool& marked) {
    BWindow* window = Window();
    if (window == nullptr || label == nullptr || !window->Lock())
        return;
    BView* first = window->ChildAt(0);
    BMenuBar* bar =
        first != nullptr ? dynamic_cast<BMenuBar*>(first->FindView("MenuBar")) : nullptr;
    if (bar != nullptr && bar->CountItems() > 0) {
        if (fFormatMenu == nullptr) {
            fFormatMenu = new BMenu("Format");
            fFormatMenu->SetRadioMode(true);
            bar->AddItem(fFormatMenu);
        }
        BMenuItem* item = new BMenuItem(label, nullptr);
        fFormatMenu->AddItem(item);
        if (marked)
            item->SetMarked(true);
    }
    window->Unlock();
}
