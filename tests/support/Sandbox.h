#pragma once

#include <filesystem>
#include <string>

namespace tarnw::test {

// The folder every test process works in. HOME, the XDG folders, TMPDIR and
// TARNW_PREFIX all point inside it, so a test can never touch the real system.
class Sandbox {
public:
    static const std::filesystem::path& Root();
    static std::filesystem::path Home();
    static std::filesystem::path Prefix();
    static std::filesystem::path Temp();
    // File that the recorded open and shutdown commands append their arguments to.
    static std::filesystem::path CommandLog();

    // A new empty folder below the sandbox, unique within the process.
    static std::filesystem::path MakeFolder(const std::string& hint = "dir");

    // Sets up the environment; called once by the test main before any test runs.
    static void Enter();
    static void Leave();
};

// Small helpers that tests use again and again.
std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& contents);

} // namespace tarnw::test
