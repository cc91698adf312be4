// Names and paths: unique names, references, parents, leaves, settings and search paths.

#include "files/LibFileOps.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "files/LibFileOpsShared.h"
#include "platform/storage/FindDirectory.h"

using fileops::EntryExists;
using fileops::Leaf;
using fileops::Parent;

bool LibFindEnvFile(const char* variable, const char* file, BPath& found) {
    const char* value = variable != nullptr ? getenv(variable) : nullptr;
    if (value == nullptr || file == nullptr)
        return false;
    std::string list = value;
    size_t start = 0;
    while (start <= list.size()) {
        size_t colon = list.find(':', start);
        if (colon == std::string::npos)
            colon = list.size();
        std::string folder = list.substr(start, colon - start);
        start = colon + 1;
        if (folder.empty())
            continue;
        std::string candidate = folder + "/" + file;
        if (access(candidate.c_str(), F_OK) == 0) {
            found.SetTo(candidate.c_str());
            return true;
        }
    }
    return false;
}

void LibUniqueName(BPath& folder, const char* prefix) {
    static std::atomic<int32> counter{0};
    if (folder.InitCheck() != B_OK || folder.Path() == nullptr || folder.Path()[0] == '\0')
        find_directory(B_COMMON_TEMP_DIRECTORY, &folder, true);
    int32 value = counter.load();
    int32 next;
    do {
        next = value >= 10000 ? 1 : value + 1;
    } while (!counter.compare_exchange_weak(value, next));
    value = next;
    char leaf[B_FILE_NAME_LENGTH];
    snprintf(leaf, sizeof(leaf), "%s%d%d%ld", prefix != nullptr ? prefix : "", value,
             static_cast<int>(getpid()), static_cast<long>(time(nullptr)));
    folder.Append(leaf);
}

bool LibGetEntryRef(const char* path, entry_ref& ref) {
    if (path == nullptr || path[0] == '\0')
        return false;
    BEntry entry(path, false);
    return entry.InitCheck() == B_OK && entry.GetRef(&ref) == B_OK;
}

bool LibGetFullPath(const entry_ref& ref, LibString& path) {
    BPath full(&ref);
    path = full.Path() != nullptr ? full.Path() : "";
    return true;
}

bool LibGetFullPath(const entry_ref& ref, BPath& path) {
    path.SetTo(&ref);
    return true;
}

void LibGetPath(const entry_ref& folder, const char* leaf, BPath& path) {
    path.SetTo(&folder);
    if (leaf != nullptr && leaf[0] != '\0')
        path.Append(leaf);
}

entry_ref LibGetParentRef(const entry_ref& ref) {
    entry_ref parentRef;
    BEntry entry(&ref);
    BEntry parent;
    if (entry.InitCheck() == B_OK && entry.GetParent(&parent) == B_OK)
        parent.GetRef(&parentRef);
    return parentRef;
}

void LibGetParentPath(const char* path, LibString& parent) {
    BPath full(path);
    BPath up;
    if (full.InitCheck() == B_OK && full.GetParent(&up) == B_OK && up.Path() != nullptr)
        parent = up.Path();
    else
        parent = "";
}

void LibGetChildName(const char* path, char* buffer) {
    if (buffer == nullptr)
        return;
    std::string leaf = path != nullptr ? Leaf(path) : "";
    snprintf(buffer, B_FILE_NAME_LENGTH, "%s", leaf.c_str());
}

void LibGetWorkingDirectory(BPath& folder) {
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0) {
        folder.Unset();
        return;
    }
    self[n] = '\0';
    folder.SetTo(Parent(self).c_str());
}

bool LibGetSettingsPath(LibString& path) {
    BPath settings;
    find_directory(B_USER_SETTINGS_DIRECTORY, &settings);
    path = settings.Path() != nullptr ? settings.Path() : "";
    return true;
}

bool LibGetSettingsPath(char* buffer, const int& size) {
    BPath settings;
    find_directory(B_USER_SETTINGS_DIRECTORY, &settings);
    // The path is cut to the buffer's size rather than overrunning it.
    if (buffer != nullptr && size > 0)
        snprintf(buffer, static_cast<size_t>(size), "%s",
                 settings.Path() != nullptr ? settings.Path() : "");
    return true;
}

namespace {

template <typename Message> bool FindFolder(const Message& message, BPath& path) {
    if constexpr (requires(entry_ref * ref) { message.FindRef("directory", ref); }) {
        entry_ref ref;
        if (message.FindRef("directory", &ref) == B_OK) {
            path.SetTo(&ref);
            return true;
        }
    }
    const char* folder = nullptr;
    if (message.FindString("directory", &folder) == B_OK && folder != nullptr) {
        path.SetTo(folder);
        return true;
    }
    return false;
}

} // namespace

int32 LibGetFilePath(const BMessage* message, BPath& path) {
    if (message == nullptr || !FindFolder(*message, path))
        return 0;
    const char* name = nullptr;
    if (message->FindString("name", &name) != B_OK || name == nullptr)
        return 0;
    std::string trimmed = name;
    size_t first = trimmed.find_first_not_of(" \t\r\n");
    size_t last = trimmed.find_last_not_of(" \t\r\n");
    trimmed = first == std::string::npos ? "" : trimmed.substr(first, last - first + 1);
    if (!trimmed.empty())
        path.Append(trimmed.c_str());
    return static_cast<int32>(trimmed.size());
}

bool LibExists(const char* path) {
    // The entry itself: a link whose target is missing still exists.
    return EntryExists(path);
}
