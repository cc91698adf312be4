#include "platform/app/Roster.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/storage/AppFileInfo.h"
#include "platform/storage/Entry.h"
#include "platform/storage/File.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"

extern char** environ;

namespace {

BRoster sRoster;

bool IsExecutableFile(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

bool HasSignature(const std::string& path, const char* signature) {
    BFile file(path.c_str(), B_READ_ONLY);
    if (file.InitCheck() != B_OK)
        return false;
    BAppFileInfo info(&file);
    char found[B_MIME_TYPE_LENGTH + 1] = {};
    if (info.GetSignature(found) != B_OK)
        return false;
    return strcasecmp(found, signature) == 0;
}

// Looks through folder and, to depth levels, its subfolders (applications usually sit in
// a folder of their own).
bool Search(const std::string& folder, int depth, const char* signature,
            std::set<std::string>& visited, std::string* found) {
    char resolved[PATH_MAX];
    if (realpath(folder.c_str(), resolved) == nullptr || !visited.insert(resolved).second)
        return false;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    std::vector<std::string> entries;
    while (struct dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries.push_back(entry->d_name);
    }
    closedir(dir);
    std::vector<std::string> subfolders;
    for (const std::string& name : entries) {
        std::string path = folder + "/" + name;
        struct stat status;
        if (stat(path.c_str(), &status) != 0)
            continue;
        if (S_ISDIR(status.st_mode)) {
            subfolders.push_back(path);
        } else if (IsExecutableFile(path) && HasSignature(path, signature)) {
            *found = path;
            return true;
        }
    }
    if (depth > 0) {
        for (const std::string& subfolder : subfolders)
            if (Search(subfolder, depth - 1, signature, visited, found))
                return true;
    }
    return false;
}

status_t StatusForSpawnError(int error) {
    switch (error) {
    case ENOENT:
        return B_ENTRY_NOT_FOUND;
    case EACCES:
    case ENOEXEC:
        return B_LAUNCH_FAILED_EXECUTABLE;
    case ENOMEM:
        return B_NO_MEMORY;
    default:
        return B_LAUNCH_FAILED;
    }
}

status_t Spawn(const std::string& path, int argc, char** argv, team_id* team) {
    if (!IsExecutableFile(path))
        return access(path.c_str(), F_OK) == 0 ? static_cast<status_t>(B_LAUNCH_FAILED_EXECUTABLE)
                                               : static_cast<status_t>(B_ENTRY_NOT_FOUND);
    std::vector<char*> arguments;
    arguments.push_back(const_cast<char*>(path.c_str()));
    for (int i = 0; i < argc && argv != nullptr; ++i)
        if (argv[i] != nullptr)
            arguments.push_back(argv[i]);
    arguments.push_back(nullptr);

    pid_t pid;
    int error = posix_spawn(&pid, path.c_str(), nullptr, nullptr, arguments.data(), environ);
    if (error != 0)
        return StatusForSpawnError(error);
    // The launched program lives on its own; someone has to collect its exit status so
    // that it does not linger as a zombie.
    std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    if (team != nullptr)
        *team = static_cast<team_id>(pid);
    return B_OK;
}

} // namespace

const BRoster* be_roster = &sRoster;

BRoster::BRoster() = default;

BRoster::~BRoster() = default;

status_t BRoster::FindApp(const char* mimeSig, entry_ref* app) const {
    if (mimeSig == nullptr || mimeSig[0] == '\0')
        return B_BAD_VALUE;

    struct Place {
        directory_which which;
        int depth;
    };
    const Place places[] = {
        {B_APPS_DIRECTORY, 3},      {B_BEOS_APPS_DIRECTORY, 3},  {B_PREFERENCES_DIRECTORY, 2},
        {B_UTILITIES_DIRECTORY, 2}, {B_COMMON_BIN_DIRECTORY, 0}, {B_BEOS_BIN_DIRECTORY, 0},
    };
    std::set<std::string> visited;
    std::string found;
    for (const Place& place : places) {
        BPath path;
        if (find_directory(place.which, &path) != B_OK)
            continue;
        if (Search(path.Path(), place.depth, mimeSig, visited, &found))
            break;
    }
    if (found.empty()) {
        const char* variable = std::getenv("PATH");
        std::string list = variable ? variable : "";
        size_t start = 0;
        while (found.empty() && start <= list.size()) {
            size_t end = list.find(':', start);
            if (end == std::string::npos)
                end = list.size();
            std::string folder = list.substr(start, end - start);
            if (!folder.empty() && folder[0] == '/')
                Search(folder, 0, mimeSig, visited, &found);
            start = end + 1;
        }
    }
    if (found.empty())
        return B_LAUNCH_FAILED_APP_NOT_FOUND;
    if (app != nullptr)
        return get_ref_for_path(found.c_str(), app);
    return B_OK;
}

status_t BRoster::Launch(const char* mimeTypeOrPath, int argc, char** argv, team_id* team) const {
    if (mimeTypeOrPath == nullptr || mimeTypeOrPath[0] == '\0')
        return B_BAD_VALUE;
    if (std::strchr(mimeTypeOrPath, '/') != nullptr && mimeTypeOrPath[0] == '/')
        return Spawn(mimeTypeOrPath, argc, argv, team);
    entry_ref ref;
    status_t status = FindApp(mimeTypeOrPath, &ref);
    if (status != B_OK) {
        // Not a signature we know: a relative path, if there is such a program.
        if (std::strchr(mimeTypeOrPath, '/') != nullptr && access(mimeTypeOrPath, F_OK) == 0)
            return Spawn(mimeTypeOrPath, argc, argv, team);
        return status;
    }
    return Spawn(ref.path(), argc, argv, team);
}

status_t BRoster::Launch(const char* mimeTypeOrPath, BMessage* initialMessage,
                         team_id* team) const {
    (void)initialMessage;
    return Launch(mimeTypeOrPath, 0, nullptr, team);
}

status_t BRoster::Launch(const entry_ref* ref, int argc, char** argv, team_id* team) const {
    if (ref == nullptr || ref->path()[0] == '\0')
        return B_BAD_VALUE;
    return Spawn(ref->path(), argc, argv, team);
}

status_t BRoster::Launch(const entry_ref* ref, const BMessage* initialMessage,
                         team_id* team) const {
    (void)initialMessage;
    return Launch(ref, 0, nullptr, team);
}

bool BRoster::IsRunning(const char* signature) const {
    return signature != nullptr && be_app != nullptr &&
           strcasecmp(signature, be_app->Signature()) == 0;
}
