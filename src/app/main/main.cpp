// The installer's entry point. The command line is ignored: everything the installer
// installs is in its own resources, and the front-end comes from the environment.
#include <cstdio>
#include <cstdlib>

#include "ui/ExitStatus.h"
#include "ui/FrontendChoice.h"
#include "ui/InstallerFlow.h"

#ifdef TARNW_WITH_GUI
#include "app/main/InstallApp.h"
#include "platform/interface/gui/GuiHost.h"
#include "ui/Transcript.h"
#include "ui/gui/GuiFrontend.h"
#endif

namespace {

#ifdef TARNW_WITH_GUI
constexpr bool kGuiBuilt = true;

// Opening the display ourselves first keeps the toolkit from ending the program when
// there is none.
bool DisplayOpens() {
    return GuiHost::HasDisplay();
}

int RunGui() {
    GuiHost::Install();
    Transcript transcript = Transcript::FromEnvironment();
    GuiFrontend asker;
    RecordingFrontend recorder(asker, transcript);
    SetFrontend(&recorder);

    auto* app = new InstallApp();
    app->Run();
    int status = app->ExitStatus();
    int32 result = app->RunResult();
    delete app;

    SetFrontend(nullptr);
    // A run that ended reports its own result; otherwise the way the window ended.
    transcript.RecordEnd(result >= 0 && status != kExitStopped ? result : status);
    return status;
}
#else
constexpr bool kGuiBuilt = false;

bool DisplayOpens() {
    return false;
}

int RunGui() {
    return kExitUsage;
}
#endif

} // namespace

int main(int, char**) {
    FrontendKind kind;
    if (!ChooseFrontend(CurrentFrontendEnvironment(kGuiBuilt, &DisplayOpens), kind)) {
        std::fprintf(stderr, "TARNW_FRONTEND must be gui, console or unattended\n");
        return kExitUsage;
    }
    switch (kind) {
    case FrontendKind::Gui:
        return RunGui();
    case FrontendKind::Console:
        return RunConsoleInstaller();
    case FrontendKind::Unattended:
        return RunUnattendedInstaller();
    }
    return kExitUsage;
}
