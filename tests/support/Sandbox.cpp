#include "support/Sandbox.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tarnw::test {

namespace {
fs::path gRoot;
int gCounter = 0;

void SetEnv(const char* name, const fs::path& value) {
    setenv(name, value.c_str(), 1);
}
} // namespace

const fs::path& Sandbox::Root() {
    return gRoot;
}
fs::path Sandbox::Home() {
    return gRoot / "home";
}
fs::path Sandbox::Prefix() {
    return gRoot / "prefix";
}
fs::path Sandbox::Temp() {
    return gRoot / "tmp";
}
fs::path Sandbox::CommandLog() {
    return gRoot / "commands.log";
}

fs::path Sandbox::MakeFolder(const std::string& hint) {
    fs::path folder = gRoot / "work" / (hint + "-" + std::to_string(++gCounter));
    fs::create_directories(folder);
    return folder;
}

void Sandbox::Enter() {
    fs::path base = fs::path(TARNW_TEST_BINARY_DIR) / "sandboxes";
    fs::create_directories(base);
    std::string pattern = (base / "run-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create the test sandbox");
    gRoot = pattern;
    for (const char* sub : {"home", "prefix", "tmp", "work", "home/.config", "home/.local/share",
                            "home/.cache", "home/.local/state", "home/Desktop"})
        fs::create_directories(gRoot / sub);

    SetEnv("HOME", Home());
    SetEnv("XDG_CONFIG_HOME", Home() / ".config");
    SetEnv("XDG_DATA_HOME", Home() / ".local/share");
    SetEnv("XDG_CACHE_HOME", Home() / ".cache");
    SetEnv("XDG_STATE_HOME", Home() / ".local/state");
    SetEnv("XDG_RUNTIME_DIR", gRoot / "tmp");
    SetEnv("XDG_DESKTOP_DIR", Home() / "Desktop");
    setenv("XDG_DATA_DIRS", (Prefix() / "usr/share").c_str(), 1);
    setenv("XDG_CONFIG_DIRS", (Prefix() / "etc/xdg").c_str(), 1);
    SetEnv("TMPDIR", Temp());
    SetEnv("TARNW_PREFIX", Prefix());
    SetEnv("TARNW_COMMAND_LOG", CommandLog());
    setenv("TARNW_SHUTDOWN_COMMAND", TARNW_RECORD_COMMAND, 1);
    setenv("TARNW_OPEN_COMMAND", TARNW_RECORD_COMMAND, 1);
    unsetenv("TARNW_ANSWERS");
    unsetenv("TARNW_TRANSCRIPT");
    unsetenv("TARNW_FRONTEND");
    // Windows are drawn at 1x unless a test asks for a scale.
    unsetenv("TARNW_SCALE");
    unsetenv("GDK_SCALE");
    // The programs speak the user's language on their command line: tests ask for one.
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        unsetenv(name);
}

void Sandbox::Leave() {
    if (gRoot.empty() || std::getenv("TARNW_KEEP_SANDBOX") != nullptr)
        return;
    std::error_code ignored;
    fs::remove_all(gRoot, ignored);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const fs::path& path, const std::string& contents) {
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

} // namespace tarnw::test
