#pragma once

#include <string>
#include <vector>

namespace tarnw::test {

struct RunResult {
    int status = -1;    // exit status, or 128 + signal
    std::string output; // standard output and standard error together
};

// Runs a program with an argument vector (no shell), optionally feeding stdin, and
// waits for it. Extra environment entries ("NAME=value") are added to the current one.
RunResult RunProgram(const std::vector<std::string>& argv, const std::string& input = "",
                     const std::vector<std::string>& extraEnvironment = {});

} // namespace tarnw::test
