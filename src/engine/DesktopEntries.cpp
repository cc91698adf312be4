#include "engine/DesktopEntries.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/DesktopEntryText.h"
#include "engine/InstallPaths.h"
#include "engine/ProcessLauncher.h"

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A program along PATH, or "" when there is none.
std::string FindProgram(const std::string& name) {
    std::string path = Environment("PATH");
    size_t start = 0;
    while (start <= path.size()) {
        size_t colon = path.find(':', start);
        if (colon == std::string::npos)
            colon = path.size();
        std::string folder = path.substr(start, colon - start);
        if (!folder.empty()) {
            std::string candidate = InstallPaths::Join(folder, name);
            if (access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = colon + 1;
    }
    return "";
}

} // namespace

DesktopEntries::DesktopEntries(std::function<void(const std::string&)> makeFolder)
    : fMakeFolder(std::move(makeFolder)) {}

std::string DesktopEntries::DataFolder() {
    if (geteuid() == 0) {
        std::string prefix = Environment("TARNW_PREFIX");
        return InstallPaths::Join(prefix.empty() ? "/" : prefix, "usr/local/share");
    }
    std::string data = Environment("XDG_DATA_HOME");
    if (!data.empty() && data[0] == '/')
        return data;
    std::string home = Environment("HOME");
    return InstallPaths::Join(home.empty() ? "/" : home, ".local/share");
}

std::string DesktopEntries::ApplicationsFolder() {
    return InstallPaths::Join(DataFolder(), "applications");
}

std::string DesktopEntries::IconThemeFolder() {
    return InstallPaths::Join(DataFolder(), "icons/hicolor");
}

std::string DesktopEntries::IconPath(const std::string& name, const std::string& type, int size) {
    std::string folder =
        type == "svg" ? "scalable" : std::to_string(size) + "x" + std::to_string(size);
    return InstallPaths::Join(IconThemeFolder(), folder + "/apps/" + name + "." + type);
}

bool DesktopEntries::IsUsableId(const std::string& id) {
    if (id.empty() || id[0] == '.' || id.size() > 200)
        return false;
    for (unsigned char c : id)
        if (!(std::isalnum(c) != 0 && c < 0x80) && c != '-' && c != '_' && c != '.')
            return false;
    return true;
}

std::string DesktopEntries::EntryText(const DesktopEntryPlan& plan) {
    DesktopEntryText text;
    text.Add("Type", "Application");
    text.Add("Version", "1.0");
    text.Add("Name", plan.name);
    for (const auto& [language, name] : plan.localizedNames)
        text.AddLocalized("Name", language, name);
    if (!plan.comment.empty())
        text.Add("Comment", plan.comment);
    for (const auto& [language, comment] : plan.localizedComments)
        text.AddLocalized("Comment", language, comment);
    text.AddExec(plan.program, plan.arguments);
    if (!plan.iconName.empty())
        text.Add("Icon", plan.iconName);
    text.AddBool("Terminal", plan.terminal);
    if (!plan.categories.empty())
        text.AddList("Categories", plan.categories);
    return text.Text();
}

bool DesktopEntries::WriteWhole(const std::string& path, const std::string& bytes,
                                std::string& error) {
    std::string folder = InstallPaths::Parent(path);
    if (!InstallPaths::IsFolder(folder))
        fMakeFolder(folder);
    if (!InstallPaths::IsFolder(folder)) {
        error = "cannot create folder " + folder;
        return false;
    }
    // Written beside and renamed into place, so that the desktop never reads half a file.
    std::string temporary = path + ".tarnw-" + std::to_string(getpid());
    if (fBeforeWrite && (!fBeforeWrite(path) || !fBeforeWrite(temporary))) {
        error = "the change to " + path + " could not be written down first";
        return false;
    }
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = temporary + ": " + std::strerror(errno);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            error = temporary + ": " + std::strerror(wrote < 0 ? errno : ENOSPC);
            close(fd);
            unlink(temporary.c_str());
            return false;
        }
        done += size_t(wrote);
    }
    // The mode is set on the descriptor: a umask of 077 must not hide the menu from others.
    if (fchmod(fd, 0644) != 0 || fsync(fd) != 0 || close(fd) != 0) {
        error = temporary + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool DesktopEntries::Place(const DesktopEntryPlan& plan, std::vector<std::string>& written,
                           std::string& error) {
    if (!IsUsableId(plan.id)) {
        error = "'" + plan.id + "' cannot name a menu entry file";
        return false;
    }
    if (!plan.iconType.empty()) {
        if (plan.iconType != "png" && plan.iconType != "svg") {
            error = "an icon of unknown type '" + plan.iconType + "'";
            return false;
        }
        if (plan.iconType == "png" && (plan.iconSize <= 0 || plan.iconSize > 1024)) {
            error = "a PNG icon of " + std::to_string(plan.iconSize) + " pixels";
            return false;
        }
        std::string icon = IconPath(plan.id, plan.iconType, plan.iconSize);
        if (!WriteWhole(icon, plan.iconData, error))
            return false;
        written.push_back(icon);
    }
    std::string entry = InstallPaths::Join(ApplicationsFolder(), plan.id + ".desktop");
    if (!WriteWhole(entry, EntryText(plan), error))
        return false;
    written.push_back(entry);
    return true;
}

void DesktopEntries::Refresh(const std::string& applicationsFolder, const std::string& iconTheme,
                             std::vector<std::string>& log) {
    if (!applicationsFolder.empty() && InstallPaths::IsFolder(applicationsFolder)) {
        std::string tool = FindProgram("update-desktop-database");
        int status = -1;
        if (!tool.empty() &&
            ProcessLauncher::Run({tool, "-q", applicationsFolder}, "", true, &status) == B_OK)
            log.push_back("update-desktop-database " + applicationsFolder + ": exit status " +
                          std::to_string(status));
    }
    // Without an index the theme has no cache to keep up to date; making one there would
    // hide icons added later by hand.
    if (!iconTheme.empty() &&
        (InstallPaths::EntryExists(InstallPaths::Join(iconTheme, "index.theme")) ||
         InstallPaths::EntryExists(InstallPaths::Join(iconTheme, "icon-theme.cache")))) {
        std::string tool = FindProgram("gtk-update-icon-cache");
        int status = -1;
        if (!tool.empty() &&
            ProcessLauncher::Run({tool, "--quiet", "--force", "--ignore-theme-index", iconTheme},
                                 "", true, &status) == B_OK)
            log.push_back("gtk-update-icon-cache " + iconTheme + ": exit status " +
                          std::to_string(status));
    }
}
