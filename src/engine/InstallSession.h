#pragma once

// The flow around an installation that every front-end follows, without any window:
// loading the package, the default destination, choosing an install type and files,
// the "already exists" question for the installation folder, starting the worker, the
// end of the run (quitting, restarting) and stopping a run when the user quits.
//
// The window drives it from its message handlers; the console and unattended front-ends
// call the same operations in order. Everything the user is told goes through the
// front-end seam.

#include <optional>
#include <string>
#include <vector>

#include "engine/InstallConfig.h"
#include "files/InstallerSignature.h"
#include "platform/support/SupportDefs.h"

class BMessage;
class BMessenger;

class InstallSession {
public:
    InstallSession();
    ~InstallSession();

    InstallConfig& Engine() { return fEngine; }

    // Loads the package configuration from the running program, or from the installer
    // file at `installerPath`. On failure the user gets the stop alert "Error obtaining
    // configuration in installer. The installer was improperly built." and false comes
    // back: the installer must quit.
    bool Load(const char* installerPath = nullptr);
    // After a failed Load: whether the installer file is damaged or incomplete (the user
    // was told to download it again) rather than built without a configuration.
    bool Damaged() const { return fDamaged; }
    // Who signed the installer, as Load found it.
    const SignatureReport& Signature() const { return fSignature; }

    // The installer's licence text ("" when none: the licence page is skipped).
    std::string License() const;

    // Destination. The default is "opt_default_folder" ("Current": the working folder;
    // otherwise a standard folder name), else the user's home folder.
    void SetDefaultDestination();
    bool SetDestination(const char* path);
    const std::string& DestinationPath() const { return fEngine.DestinationPath(); }
    // Tells the user when the installation folder already exists in the destination.
    // From the folder panel (fromPanel) the user may Cancel (false) or Replace (true);
    // otherwise there is only OK and the answer is false. True without a question when
    // the folder does not exist.
    bool CheckDestinationFolder(bool fromPanel);

    // Install types and files, in configuration order.
    int32 CountGroups() const { return int32(fGroups.size()); }
    const std::string& GroupName(int32 group) const;
    const std::string& GroupDescription(int32 group) const;
    int32 CountFiles() const { return int32(fFiles.size()); }
    const std::string& FileLeaf(int32 file) const;
    int32 FileSize(int32 file) const;
    bool FileInGroup(int32 file, int32 group) const;

    // Selects exactly the files of the group (files in no group are deselected).
    void SelectGroup(int32 group);
    int32 SelectedGroup() const { return fSelectedGroup; }
    void SetSelected(int32 file, bool selected);
    bool IsSelected(int32 file) const;
    int32 CountSelected() const;
    // The selected files' sizes plus the deinstaller's, in 64 bits.
    int64 SelectedSize();
    bool CanInstall() const { return CountSelected() > 0; }

    // Writes the selection into the configuration ("install_to_system" of every record).
    void MarkSelection();
    // Marks the selection and starts the worker "install" at priority 10; its 'isud' and
    // 'LThC' go to target (none: nobody is told).
    status_t Install(std::optional<BMessenger> target);
    // Marks the selection and runs the installation on the worker, returning when it has
    // ended; status texts go to the front-end's Status. Returns the run's result, after
    // the end of the run has been handled as ThreadChange does.
    int32 InstallAndWait();

    // Handles a message from the worker: 'isud' (shown through the front-end's Status)
    // and 'LThC' of the thread "install". Returns true when the message was one of them;
    // `ended` tells whether the run is over and `quit` whether the installer should now
    // quit.
    bool HandleMessage(BMessage* message, bool* ended = nullptr, bool* quit = nullptr);

    // The end of a run: status 0 restarts the system when the user asked for it and
    // answers true (quit); any other status answers false (back to choosing).
    bool ThreadChange(int32 status);

    // Whether the worker runs (or waits for the user).
    bool IsRunning() const;
    // Stops a running installation (what was installed stays) and tells the user
    // "Installation was stopped before it could complete."; true when one was stopped.
    bool QuitRunning();

private:
    struct Group {
        std::string name;
        std::string description;
    };
    struct File {
        std::string leaf;
        int32 size = 0;
        std::vector<std::string> groups;
    };

    void ReadRecords();

    InstallConfig fEngine;
    std::vector<Group> fGroups;
    std::vector<File> fFiles;
    std::vector<bool> fSelected;
    int32 fSelectedGroup = -1;
    std::string fInstaller;
    bool fDamaged = false;
    SignatureReport fSignature;
};
