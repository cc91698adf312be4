// Built only with the window (TARNW_WITH_GUI).
#ifdef TARNW_WITH_GUI
#include "programs/main/InstallApp.h"

#include "engine/StopSignals.h"
#include "files/LibAppResource.h"
#include "lib/LibSound.h"
#include "platform/app/Message.h"
#include "ui/gui/InstallerWin.h"

InstallApp::InstallApp(const InstallerOptions& options)
    : BApplication(kSignature), fOptions(options) {
    fWindow = new InstallerWin();
    fWindow->Run();
    // A signal does what the window's close box does: a running installation stops at its
    // next safe point, and the user chooses between undoing and keeping it.
    StopSignals::SetHandler([this](int) { PostMessage(B_QUIT_REQUESTED); });
}

InstallApp::~InstallApp() {
    StopSignals::SetHandler(nullptr);
    delete fSound;
}

void InstallApp::ReadyToRun() {
    fWindow->SetPosition(LibWindow::kCenter);
    if (!fWindow->LoadResources())
        return; // the user was told; the quit request is on its way
    auto text = [](const std::optional<std::string>& value) {
        return value ? value->c_str() : nullptr;
    };
    fWindow->ApplyCommandLine(text(fOptions.language), text(fOptions.group), text(fOptions.target),
                              fOptions.acceptLicense);
    fWindow->Show();
}

void InstallApp::MessageReceived(BMessage* message) {
    switch (message->what) {
    case InstallerWin::kPlaySound:
        PlaySound(message);
        break;
    case InstallerWin::kTipRequest:
        fTips.MessageReceived(message);
        break;
    default:
        BApplication::MessageReceived(message);
    }
}

void InstallApp::PlaySound(BMessage* message) {
    // The window sends the sound once; a second request must not cut the first short.
    if (fSound != nullptr)
        return;
    fSound = new LibSound(*message, "AudioFile");
    fSound->Play();
}

void InstallApp::Pulse() {
    fTips.PostPending();
}

bool InstallApp::QuitRequested() {
    // A running installation is stopped (and the user told) while the window still
    // exists; then the window may close.
    if (fWindow != nullptr) {
        fWindow->QuitRunning();
        fExitStatus = fWindow->ExitStatus();
        fRunResult = fWindow->LastRunResult();
        fWindow->AllowClose();
    }
    return true;
}

#endif
