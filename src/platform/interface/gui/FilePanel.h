#pragma once

// BFilePanel: a window in which the user picks files or a folder. It lists one folder at
// a time (hidden entries left out, folders first), lets the user go into folders and up
// to the parent, and sends the target a message with the chosen entries as "refs"
// (B_REFS_RECEIVED, or the panel's own message). Cancel sends B_CANCEL with "old_what".
// A BRefFilter decides which entries are listed. The panel is not modal.
//
// A path may be typed in the field at the top (Enter shows that folder; "~" is the home
// folder, a relative path is taken from the folder shown), and "New Folder" asks for a name
// (suggesting one) and makes that folder in the folder shown, then shows it; cancelling
// the question makes nothing. Escape cancels the question, or else the panel.
// The panel's own texts are English until the application gives it its language's.
//
// Entry references travel in messages as B_REF_TYPE fields holding the entry's absolute
// path; AddRefToMessage and FindRefInMessage write and read them.

#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/app/Messenger.h"
#include "platform/storage/Entry.h"
#include "platform/storage/StorageDefs.h"
#include "platform/support/SupportDefs.h"

class BMessage;
class BNode;
class BWindow;
class FilePanelWindow;

enum file_panel_mode { B_OPEN_PANEL, B_SAVE_PANEL };
enum file_panel_button { B_CANCEL_BUTTON, B_DEFAULT_BUTTON };

// The texts of a panel besides its two buttons. In `noSuchFolder` "%s" stands for the typed
// path; in `cannotCreate` the first "%s" for the folder's path and the second for the
// system's reason.
struct file_panel_texts {
    std::string title = "Choose a folder";
    std::string parent = "Parent";
    std::string newFolder = "New Folder";
    std::string newFolderName = "New Folder"; // the name suggested for a new folder
    std::string newFolderPrompt = "Name of the new folder:";
    std::string create = "Create";
    std::string noSuchFolder = "There is no folder '%s'.";
    std::string cannotCreate = "The folder '%s' could not be made: %s";
};

class BRefFilter {
public:
    virtual ~BRefFilter() = default;
    // True when the entry is listed. mimeType is the node's type (sniffed when it has
    // none); st is the entry's own status (not followed through links).
    virtual bool Filter(const entry_ref* ref, BNode* node, struct stat* st,
                        const char* mimeType) = 0;
};

status_t AddRefToMessage(BMessage* message, const char* name, const entry_ref& ref);
status_t FindRefInMessage(const BMessage* message, const char* name, int32 index, entry_ref* ref);

class BFilePanel {
public:
    // nodeFlavors 0 means files. The panel keeps filter but does not own it.
    BFilePanel(file_panel_mode mode = B_OPEN_PANEL, BMessenger* target = nullptr,
               const entry_ref* directory = nullptr, uint32 nodeFlavors = 0,
               bool allowMultipleSelection = true, BMessage* message = nullptr,
               BRefFilter* filter = nullptr, bool modal = false, bool hideWhenDone = true);
    virtual ~BFilePanel();

    void Show();
    void Hide();
    bool IsShowing() const;
    BWindow* Window() const;
    file_panel_mode PanelMode() const { return fMode; }

    void SetTarget(BMessenger target);
    BMessenger Messenger() const { return fTarget; }
    void SetMessage(BMessage* message);
    void SetRefFilter(BRefFilter* filter);
    BRefFilter* RefFilter() const { return fFilter; }
    void SetButtonLabel(file_panel_button button, const char* label);
    void SetTexts(const file_panel_texts& texts);
    void SetHideWhenDone(bool hide) { fHideWhenDone = hide; }
    bool HidesWhenDone() const { return fHideWhenDone; }
    uint32 NodeFlavors() const { return fFlavors; }

    void SetPanelDirectory(const entry_ref* ref);
    void SetPanelDirectory(const BEntry* entry);
    void SetPanelDirectory(const char* path);
    void GetPanelDirectory(entry_ref* ref) const;
    // Lists the folder again.
    void Refresh();

    // The entries chosen last.
    status_t GetNextSelectedRef(entry_ref* ref);
    void Rewind() { fNextSelected = 0; }

    // Sends the chosen entries; subclasses may add to the message first.
    virtual void SendMessage(const BMessenger* target, BMessage* message);

    // The names listed now, in order (for tests and the gallery).
    std::vector<std::string> ListedNames() const;
    // Acts as the user would: open the named entry (a folder is entered), confirm the
    // selection (or, in a folder panel without one, the shown folder), cancel.
    void OpenEntry(const char* name);
    // Selects the named entry when it is listed; false when it is not.
    bool SelectEntry(const char* name);
    void Confirm();
    void Cancel();
    // Types a path into the field and presses Enter.
    void EnterPath(const char* path);
    // Presses New Folder: the panel asks for the name. Then the name can be given (and
    // Create pressed) or the question cancelled.
    void MakeNewFolder();
    bool AsksForFolderName() const;
    std::string SuggestedFolderName() const;
    void NameNewFolder(const char* name);
    void CancelNewFolder();
    // The folder shown, the text of the path field and the message line under the list.
    std::string ShownFolder() const;
    std::string TypedPath() const;
    std::string Notice() const;

private:
    friend class FilePanelWindow;

    // Locks the panel's window; false when it is gone (the application ended it first).
    bool LockWindow() const;

    file_panel_mode fMode;
    BMessenger fTarget;
    std::unique_ptr<BMessage> fMessage;
    BRefFilter* fFilter;
    uint32 fFlavors;
    bool fMultiple;
    bool fHideWhenDone;
    FilePanelWindow* fWindow;
    std::vector<entry_ref> fSelected;
    size_t fNextSelected = 0;
};
