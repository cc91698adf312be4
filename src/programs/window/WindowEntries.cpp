// The window's side of the entry table: the installer's and the deinstaller's windows.
#include "programs/window/WindowEntries.h"

#include "DeinstallWindow.h"
#include "platform/interface/gui/GuiHost.h"
#include "programs/main/InstallApp.h"
#include "ui/ExitStatus.h"
#include "ui/Transcript.h"
#include "ui/gui/GuiFrontend.h"

namespace {

bool DisplayOpens() {
    return GuiHost::HasDisplay();
}

int RunInstaller(const InstallerOptions& options) {
    GuiHost::Install();
    Transcript transcript(options.TranscriptPath());
    GuiFrontend asker;
    RecordingFrontend recorder(asker, transcript);
    SetFrontend(&recorder);

    auto* app = new InstallApp(options);
    app->Run();
    int status = app->ExitStatus();
    int32 result = app->RunResult();
    delete app;

    SetFrontend(nullptr);
    // A run that ended reports its own result; otherwise the way the window ended.
    transcript.RecordEnd(result >= 0 && status != kExitStopped && status != kExitDamaged ? result
                                                                                         : status);
    return status;
}

const WindowEntries kEntries = {
    kWindowEntriesVersion,
    &DisplayOpens,
    &RunInstaller,
    &DeinstallWindow::Run,
    &DeinstallWindow::ShowDamaged,
    &DeinstallWindow::RunWithAlerts,
};

} // namespace

extern "C" const WindowEntries* tarnw_window_entries() {
    return &kEntries;
}
