#pragma once

// Small system utilities: the login name, and CPU time, suspension and resumption of a
// process (a team in the platform's terms), read from /proc.

#include "lib/LibString.h"
#include "platform/support/SupportDefs.h"

// getlogin(), else the password entry of the real user id, else "".
LibString LibGetLogin();
// Sum of the user CPU time of the process's threads, in seconds; 0 when unreadable.
double lib_team_cpu_time(int32 team);
// Stops a running process; B_OK, or an error when it cannot be read or signalled. The
// calling process itself is never stopped (B_NOT_ALLOWED).
int32 lib_suspend_team(int32 team);
// Continues a stopped process; B_OK, or an error when it cannot be read or signalled.
int32 lib_resume_team(int32 team);
