#include "ui/FrontendChoice.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

bool WindowAskedFor(const FrontendEnvironment& environment) {
    return environment.requested != nullptr && std::strcmp(environment.requested, "gui") == 0;
}

bool ChooseFrontend(const FrontendEnvironment& environment, FrontendKind& kind) {
    const char* requested = environment.requested;
    bool wantsGui = false;
    if (requested != nullptr && *requested != '\0') {
        if (std::strcmp(requested, "console") == 0) {
            kind = FrontendKind::Console;
            return true;
        }
        if (std::strcmp(requested, "unattended") == 0) {
            kind = FrontendKind::Unattended;
            return true;
        }
        if (std::strcmp(requested, "gui") != 0)
            return false;
        wantsGui = true;
    }
    if ((wantsGui || requested == nullptr || *requested == '\0') && environment.guiBuilt &&
        environment.displayOpens) {
        kind = FrontendKind::Gui;
        return true;
    }
    kind = environment.terminals ? FrontendKind::Console : FrontendKind::Unattended;
    return true;
}

FrontendEnvironment CurrentFrontendEnvironment(bool guiBuilt, bool (*displayOpens)()) {
    return CurrentFrontendEnvironment(guiBuilt, displayOpens, std::getenv("TARNW_FRONTEND"));
}

FrontendEnvironment CurrentFrontendEnvironment(bool guiBuilt, bool (*displayOpens)(),
                                               const char* requested) {
    FrontendEnvironment environment;
    environment.requested = requested;
    environment.guiBuilt = guiBuilt;
    bool needsDisplay =
        guiBuilt && (environment.requested == nullptr || *environment.requested == '\0' ||
                     std::strcmp(environment.requested, "gui") == 0);
    environment.displayOpens = needsDisplay && displayOpens != nullptr && displayOpens();
    environment.terminals = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    return environment;
}
