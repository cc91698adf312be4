#pragma once

// What an installation left for its deinstaller: the configuration in the deinstaller's own
// resources ('CSTR' 2002 "TWC:configuration": the product identity, the about image and
// the script-edit switches with their tags) and the list of what the run placed, in the
// record file beside it (engine/InstalledRecord.h). Both are untrusted bytes: paths that
// are not plain absolute paths are dropped, so that nothing outside what the installation
// named can be reached through "..".

#include <string>
#include <utility>
#include <vector>

#include "engine/RunScope.h"
#include "files/NotedFolders.h"
#include "platform/app/Message.h"

struct ScriptBlockRef {
    std::string file;
    std::string tag;
};

// A start-up hook the run made: an autostart entry (tag empty) or a block in a profile;
// it only goes when `script`, the file it runs, holds no block any more.
struct StartupHookRef {
    std::string file;
    std::string tag;
    std::string script;
};

struct DeinstallRecord {
    std::string appName;
    std::string version;
    std::string releaseDate;
    std::string company;
    std::string supportEmail;
    bool hasAboutImage = false;
    BMessage aboutImage;

    bool hasInstalledList = false;
    std::string installFolder;                              // empty when the list does not say
    std::vector<std::string> paths;                         // tagged, folders first
    std::vector<std::pair<std::string, std::string>> links; // link, target
    std::vector<std::pair<std::string, std::string>> saved; // saved copy, original place
    std::vector<std::string> createdFolders;                // outer folders first
    std::vector<std::string> createdFiles;
    // Files the installer made for itself as it started: they go whatever they hold.
    std::vector<std::string> createdEntries;
    std::vector<ScriptBlockRef> blocks;
    std::vector<StartupHookRef> hooks;
    // Entries of the list that were refused as unsafe.
    std::vector<std::string> refused;
    // The folders the installation made or worked in, with their device and inode.
    NotedFolders folders;
    // The places the installation could change, when its configuration keeps them.
    bool hasScope = false;
    RunScope scope;
    // Why the list was not believed, when it was not: its path, and the place outside the
    // installation's that it names (empty when another user could have written it).
    std::string setAside;
    std::string stranger;

    // "app_name;version;release_date;company;support_email;", the value of "InstallBy".
    std::string Identity() const;
    // "Demo 1.0".
    std::string ProductName() const;
};

// Fills `out` from the two messages; `installed` may be null (an installer that did not
// leave a list). The script blocks named by the configuration's switches are resolved to
// the user's start-up files. False with `error` when the configuration names no product.
bool ReadDeinstallRecord(const BMessage& configuration, const BMessage* installed,
                         DeinstallRecord& out, std::string& error);

// Reads the configuration of the executable at `path` and the list beside it; false with
// `error` when either is missing or damaged, or when the list is not believed (then
// `out.setAside` names it).
bool LoadDeinstallRecord(const char* path, DeinstallRecord& out, std::string& error);

// The places kept in the configuration of the executable at `path`; false when it keeps
// none.
bool LoadDeinstallScope(const char* path, RunScope& scope);
