#pragma once

#include <string>

#include "engine/InstallSession.h"
#include "locale/xLocalize.h"
#include "platform/app/Messenger.h"
#include "ui/gui/LibWindow.h"

class BBox;
class BButton;
class BListView;
class BScrollBar;
class BScrollView;
class BStringView;
class BTextView;
class FileChoiceList;
class InstallImage;
class LibFilePanel;
class LibListView;
class LibMenuField;
class LibPictureButton;
class LibStringView;
class LibVolumeMenu;
class ProgressStringView;

// The installer's one window: the about picture, the licence with its Agree button, then
// the install types, the files with their total size, the destination volume and folder,
// the status line and the Install / Stop button, and the language menu. It drives the
// installation through an InstallSession, so the window, the console and the unattended
// installer behave alike.
//
// States: 1 the licence is shown, 2 ready to install, 3 installing. A package without a
// licence opens in state 2.
class InstallerWin : public LibWindow {
public:
    // Messages of the window's own views.
    enum {
        kButtonPressed = 1000,
        kGroupSelected = 2000,
        kGroupHovered = 2001,
        kFolderButton = 2003,
        kVolumeChosen = 2004,
        kFolderChosen = 2005,
        kFilesSelected = 2006,
        kLanguageChosen = 2007,
    };
    enum { kLicenseState = 1, kReadyState = 2, kInstallingState = 3 };
    // To the application: play the start-up sound (the archived sound message).
    static constexpr uint32 kPlaySound = 2200;
    // To the application: a tip request for its tip manager.
    static constexpr uint32 kTipRequest = 'stip';

    // Shows the package of the installer at `installerPath`, or of the running program.
    explicit InstallerWin(const char* installerPath = nullptr);
    ~InstallerWin() override;

    void MessageReceived(BMessage* message) override;
    // The close box: asks the application to quit, which stops a running installation
    // first. The window itself closes once the application allows it (AllowClose).
    bool QuitRequested() override;

    // Reads the package and fills the window; false (after telling the user) when the
    // installer carries no usable configuration: the application then quits.
    bool LoadResources();
    void SetLanguage();
    void ChangeLaunguage();
    // What the command line chose, applied once the package is loaded: the language, the
    // install type (by name), the destination folder, and the licence accepted.
    void ApplyCommandLine(const char* language, const char* group, const char* target,
                          bool acceptLicense);
    void GetVolumes();
    void AddGroup(const char* name);

    void InitFolderPanel();
    void ButtonPressed();
    void GetHomeDirectory();
    void Install();
    void SetDestinationPath();
    bool CheckDestinationFolder(bool fromPanel);
    void SelectDestination();
    void SelectVolume();
    void ThreadChange(BMessage* message);
    void InstallTypeSelected();
    void CustomItemSelected();
    void ShowGroupDescription(const int32& index);
    // Stops a running installation (what it installed stays) and tells the user. Called
    // by the application when it is asked to quit. A run that has reached its completion
    // message is not stopped: the message is dismissed and the run counts as complete.
    void QuitRunning();

    // Where quit requests, tips and the sound go: the application unless set.
    void SetApplicationTarget(const BMessenger& target);
    // Lets the next QuitRequested() close the window (the application is quitting), and
    // ends the windows the window owns (the folder panel) while it still exists.
    void AllowClose();
    // Ends the folder panel and its window; the next folder button makes a new one.
    void CloseFolderPanel();

    int32 WindowState() const { return fState; }
    InstallSession& Session() { return fSession; }
    LibFilePanel* FolderPanel() const { return fFolderPanel; }
    xLocalize& Localize() { return fLocalize; }
    // The installer's exit status for what happened in the window so far; the result of
    // the last run, or -1 when none ended.
    int ExitStatus() const;
    int32 LastRunResult() const { return fRunResult; }
    // The status line, whose fill shows the share of the installation's bytes placed.
    ProgressStringView* StatusLine() const { return fStatusLine; }

private:
    void BuildViews();
    // Gives the program's windows the icon of the package's menu entry, when it has one.
    void ShowPackageIcon(const BMessage& config);
    void PostToApplication(BMessage* message);
    void SetButtonLabel(int32 textId);
    void SetStatusText(const char* text);
    void EnableDestinationControls(bool enabled);
    void RecordStatus(BMessage* message);
    void RecordProgress(BMessage* message);
    // The description of the chosen install type, on its line under the lists (the tip
    // shows it too, while the mouse is over a type).
    void ShowChosenGroupDescription(int32 group);
    // The folder panel's texts in the window's language.
    void SetFolderPanelTexts();
    // Lets the worker's pending questions run (they answer their first button) until the
    // worker has ended, for at most ten seconds.
    void PumpAlertsWhileRunning();

    std::string fInstallerPath;
    xLocalize fLocalize;
    InstallSession fSession;
    int32 fState = kLicenseState;
    InstallImage* fImage = nullptr;
    LibFilePanel* fFolderPanel = nullptr;
    BBox* fLicenseBox = nullptr;
    BTextView* fLicenseText = nullptr;
    BBox* fInstallBox = nullptr;
    BStringView* fGroupLabel = nullptr;
    LibListView* fGroupList = nullptr;
    LibStringView* fGroupDescription = nullptr;
    BScrollBar* fGroupScrollBar = nullptr;
    LibPictureButton* fFolderButton = nullptr;
    LibStringView* fDestination = nullptr;
    LibVolumeMenu* fVolumeMenu = nullptr;
    BStringView* fFreeSpace = nullptr;
    BStringView* fFileLabel = nullptr;
    FileChoiceList* fFileList = nullptr;
    BScrollView* fFileScroll = nullptr;
    BStringView* fInstallSize = nullptr;
    BBox* fStatusBox = nullptr;
    ProgressStringView* fStatusLine = nullptr;
    BButton* fButton = nullptr;
    LibMenuField* fLanguageMenu = nullptr;

    BMessenger fApplication;
    bool fHasApplicationTarget = false;
    bool fCloseAllowed = false;
    bool fLoaded = false;
    bool fRunStarted = false;
    bool fRunCompleted = false;
    bool fStopped = false;
    int32 fRunResult = -1;
};
