#pragma once

#include "platform/app/Application.h"
#include "ui/InstallerOptions.h"
#include "ui/InstallerStartUp.h"
#include "ui/gui/LibTipManager.h"

class InstallerWin;
class LibSound;

// The installer's application object: owns the window, the tip manager and the start-up
// sound, and stops a running installation before it quits.
class InstallApp : public BApplication {
public:
    static constexpr const char* kSignature = installer_start_up::kSignature;
    static constexpr const char* kDocumentType = installer_start_up::kDocumentType;

    explicit InstallApp(const InstallerOptions& options = {});
    ~InstallApp() override;

    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;
    void Pulse() override;
    void ReadyToRun() override;

    void PlaySound(BMessage* message);
    // The exit status of the run, valid once Run() has returned.
    int ExitStatus() const { return fExitStatus; }
    // The result of the last installation run, -1 when none ended.
    int32 RunResult() const { return fRunResult; }

private:
    InstallerOptions fOptions;
    LibTipManager fTips;
    InstallerWin* fWindow = nullptr;
    LibSound* fSound = nullptr;
    int fExitStatus = 0;
    int32 fRunResult = -1;
};
