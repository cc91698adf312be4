#pragma once

// Shuts the system down, or restarts it when `restart` is true. Returns at once; the system
// goes down shortly after. The program named by $TARNW_SHUTDOWN_COMMAND, when set, is run
// instead with the one argument "restart" or "shutdown"; otherwise the service manager is
// asked (systemctl reboot / poweroff, falling back to shutdown -r / -h now).
void LibShutdown(bool restart);
