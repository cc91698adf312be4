#include "engine/UserBootHooks.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/ScriptBlockEditor.h"
#include "engine/StartupScript.h"

namespace fs = std::filesystem;

namespace {

// A path as one argument of a desktop entry's Exec key: in double quotes, with the
// characters that are special there escaped, and "%" doubled.
std::string DesktopExecArgument(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        // Escaped for the quoting (a backslash), then for the string value (each backslash
        // doubled).
        if (c == '\\')
            quoted += "\\\\\\\\";
        else if (c == '"' || c == '`' || c == '$')
            quoted += std::string("\\\\") + c;
        else if (c == '%')
            quoted += "%%";
        else
            quoted += c;
    }
    quoted += "\"";
    return quoted;
}

} // namespace

std::string UserBootHooks::AutostartEntryPath() {
    fs::path config;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        config = fs::path(home != nullptr ? home : "/") / ".config";
    }
    return (config / "autostart" / "tarnwhistle-userbootscript.desktop").string();
}

bool UserBootHooks::EnsureBootscriptAutostart(const std::string& bootscript) {
    fs::path entry = AutostartEntryPath();
    std::error_code error;
    if (fs::exists(entry, error))
        return true;
    fs::create_directories(entry.parent_path(), error);
    fs::path temporary = entry;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "[Desktop Entry]\n"
               "Type=Application\n"
               "Name=UserBootscript\n"
               "Comment=Runs the user boot script of installed applications at login\n"
               "Exec=/bin/sh "
            << DesktopExecArgument(bootscript)
            << "\n"
               "Terminal=false\n"
               "NoDisplay=true\n"
               "X-GNOME-Autostart-enabled=true\n";
        if (!out.flush())
            return false;
    }
    fs::rename(temporary, entry, error);
    return !error;
}

bool UserBootHooks::EnsureSetupEnvironmentSourced(const std::string& profile,
                                                  const std::string& setupEnvironment) {
    if (ScriptBlockEditor::HasBlock(profile, ProfileHookTag()))
        return true;
    std::string word = ShellWord(setupEnvironment);
    std::string contents = "if [ -r " + word + " ]; then\n\t. " + word + "\nfi";
    std::error_code error;
    fs::create_directories(fs::path(profile).parent_path(), error);
    return ScriptBlockEditor::Edit(profile, ProfileHookTag(), contents.c_str());
}
