// The installer's entry point. The command line is ignored: everything the installer
// installs is in its own resources, and the front-end comes from the environment.
#include <cstdio>
#include <cstdlib>

#include "ui/ExitStatus.h"
#include "ui/FrontendChoice.h"
#include "ui/InstallerFlow.h"

namespace {

bool GuiAvailable() {
    return false;
}

int RunGui() {
    return kExitUsage;
}

} // namespace

int main(int, char**) {
    FrontendKind kind;
    if (!ChooseFrontend(CurrentFrontendEnvironment(GuiAvailable(), nullptr), kind)) {
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
