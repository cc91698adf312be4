#pragma once

// Exit statuses of the installer, the same in every front-end.
enum InstallerExitStatus {
    kExitCompleted = 0,       // the installation completed
    kExitNoFolder = 1,        // the destination or installation folder could not be made
    kExitUsage = 2,           // the answers file is unreadable or names unknown things
    kExitNoDiskSpace = 3,     // a disk-space requirement was not met
    kExitIncomplete = 4,      // some items could not be placed (the user was told which)
    kExitBrokenInstaller = 5, // the installer carries no usable configuration
    kExitLicenseDeclined = 6, // the licence was not accepted
    kExitCancelled = 7,       // the user cancelled (destination, selection, requirements)
    kExitStopped = 8,         // the run was stopped before it could complete
    kExitDamaged = 9,         // the installer file is damaged or incomplete
    kExitNoWindow = 10,       // the window was asked for and cannot open; nothing was written
};

// The exit status for a worker result; `completed` tells whether the run reached its end
// rather than being ended at a requirements question.
int ExitStatusForResult(int result, bool completed);
