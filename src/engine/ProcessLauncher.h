#pragma once

// Starts programs with an argument vector (never through a shell with text pasted into a
// command line).

#include <string>
#include <vector>

#include "platform/support/SupportDefs.h"

class ProcessLauncher {
public:
    // Starts `arguments[0]` (searched along PATH when it holds no "/") with the arguments, in
    // `workingFolder` when not empty. With `wait` true, returns once the program has ended
    // and stores its exit status in `exitStatus` (-1 when it did not exit normally).
    // Returns B_OK when the program was started.
    static status_t Run(const std::vector<std::string>& arguments, const std::string& workingFolder,
                        bool wait, int* exitStatus = nullptr);
};
