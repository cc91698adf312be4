#pragma once

#include <chrono>
#include <filesystem>
#include <signal.h>
#include <string>
#include <sys/types.h>
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

// The current environment with the given "NAME=value" entries added; an entry given
// replaces the inherited one of that name.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra);

// The program's path along PATH, or "" when it is not installed.
std::string FindProgram(const char* name);

// The demo package's manifest in the source tree.
std::filesystem::path DemoManifest();

// Builds the installer `output` from `manifest` with the built package builder.
RunResult PackInstaller(const std::filesystem::path& manifest, const std::filesystem::path& output);

// The demo package's installer, built once per test program into the sandbox.
std::filesystem::path BuildDemo();

// A program started in the background (an X server, a window under test); its output goes
// to `output`. The destructor ends it if it still runs.
class BackgroundProgram {
public:
    BackgroundProgram(const std::vector<std::string>& argv,
                      const std::vector<std::string>& extraEnvironment,
                      const std::filesystem::path& output, int passFd = -1);
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;

    bool Started() const { return fPid > 0; }
    // Sends the program a signal (while it runs).
    void Signal(int number) {
        if (fPid > 0 && !fEnded)
            kill(fPid, number);
    }
    // The exit status (128 + signal when killed), or -1 when it has not ended in time.
    int Wait(std::chrono::milliseconds timeout);

private:
    pid_t fPid = -1;
    bool fEnded = false;
    int fStatus = -1;
};

} // namespace tarnw::test
