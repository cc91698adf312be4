#include "engine/LibShutdown.h"

#include <cstdlib>

#include "engine/ProcessLauncher.h"

void LibShutdown(bool restart) {
    const char* command = std::getenv("TARNW_SHUTDOWN_COMMAND");
    if (command != nullptr && command[0] != '\0') {
        ProcessLauncher::Run({command, restart ? "restart" : "shutdown"}, "", false);
        return;
    }
    if (ProcessLauncher::Run({"systemctl", restart ? "reboot" : "poweroff"}, "", false) == B_OK)
        return;
    ProcessLauncher::Run({"shutdown", restart ? "-r" : "-h", "now"}, "", false);
}
