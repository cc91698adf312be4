#pragma once

// Menu entries and icons for the desktop: where they go in the install's scope, writing
// them whole, and asking the desktop's caches to look again.
//
// The scope is the system for root (P/usr/local/share, P being $TARNW_PREFIX) and the
// user's own data folder otherwise ($XDG_DATA_HOME, else ~/.local/share): entries go to
// its "applications" folder, icons to its hicolor icon theme.

#include <functional>
#include <string>
#include <vector>

// One menu entry, ready to write.
struct DesktopEntryPlan {
    std::string id; // the file name without ".desktop"; also the icon's name
    std::string name;
    std::vector<std::pair<std::string, std::string>> localizedNames; // language, name
    std::string comment;
    std::vector<std::pair<std::string, std::string>> localizedComments;
    std::string program; // the installed path
    std::vector<std::string> arguments;
    std::vector<std::string> categories;
    bool terminal = false;
    std::string iconName; // "Icon=" value; empty for none
    std::string iconType; // "png" or "svg" when this entry brings the icon's bytes
    int iconSize = 0;
    std::string iconData;
};

class DesktopEntries {
public:
    // `makeFolder` creates a missing folder (so that the caller can record it).
    explicit DesktopEntries(std::function<void(const std::string&)> makeFolder);
    // Called with every path about to be written (and its temporary name); false keeps
    // the file from being written.
    void SetBeforeWrite(std::function<bool(const std::string&)> beforeWrite) {
        fBeforeWrite = std::move(beforeWrite);
    }

    static std::string DataFolder();
    static std::string ApplicationsFolder();
    static std::string IconThemeFolder();
    // Where an icon of that type and size goes.
    static std::string IconPath(const std::string& name, const std::string& type, int size);
    // Whether an id is usable as a file name: letters, digits, '-', '_' and '.', not
    // starting with '.'.
    static bool IsUsableId(const std::string& id);
    // The text of the entry file.
    static std::string EntryText(const DesktopEntryPlan& plan);

    // Writes the entry and its icon. `written` receives each file written; false with
    // `error` (path and reason) when one could not be.
    bool Place(const DesktopEntryPlan& plan, std::vector<std::string>& written, std::string& error);

    // Runs update-desktop-database on the applications folder and gtk-update-icon-cache on
    // the icon theme (only where the theme already keeps an index or a cache), each only
    // when found along PATH. Started without a shell; `log` receives what was run.
    static void Refresh(const std::string& applicationsFolder, const std::string& iconTheme,
                        std::vector<std::string>& log);

private:
    bool WriteWhole(const std::string& path, const std::string& bytes, std::string& error);

    std::function<void(const std::string&)> fMakeFolder;
    std::function<bool(const std::string&)> fBeforeWrite;
};
