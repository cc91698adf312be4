#pragma once

// What makes the user boot folder's two scripts work on Linux, where nothing runs them by
// itself:
//  - UserBootscript runs when the user logs in to the desktop, through the XDG autostart
//    entry $XDG_CONFIG_HOME/autostart/tarnwhistle-userbootscript.desktop, which runs
//    "/bin/sh UserBootscript";
//  - UserSetupEnvironment is read by login shells: ~/.profile sources it from a block
//    tagged "TarnwhistleUserSetupEnvironment".
// Both hooks are made the first time a block is added to the script and left alone
// afterwards, also when the user has changed them.

#include <string>

class UserBootHooks {
public:
    // Path of the autostart entry.
    static std::string AutostartEntryPath();

    // Creates the autostart entry that runs `bootscript` at login, unless it exists.
    // Returns true when it exists afterwards.
    static bool EnsureBootscriptAutostart(const std::string& bootscript);

    // Adds to `profile` the block that sources `setupEnvironment`, unless it is there.
    static bool EnsureSetupEnvironmentSourced(const std::string& profile,
                                              const std::string& setupEnvironment);

    static const char* ProfileHookTag() { return "TarnwhistleUserSetupEnvironment"; }
};
