// Types and information: MIME types, sizes, dates, opening with the desktop, unnamed temporary
// files.

#include "files/LibFileOps.h"

#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "files/LibFileOpsShared.h"
#include "platform/app/Application.h"
#include "platform/storage/AppFileInfo.h"
#include "platform/storage/Directory.h"
#include "platform/storage/File.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Mime.h"
#include "platform/storage/Node.h"
#include "platform/storage/NodeInfo.h"

extern char** environ;

using fileops::AbsolutePath;
using fileops::EntryExists;
using fileops::Parent;

namespace {

// Starts program with one argument and does not wait for it; a thread of its own
// collects it when it ends so that no zombie is left behind.
bool SpawnDetached(const char* program, const char* argument) {
    pid_t pid;
    char* argv[] = {const_cast<char*>(program), const_cast<char*>(argument), nullptr};
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
    return true;
}

bool OpenWithDesktop(const char* path) {
    const char* opener = getenv("TARNW_OPEN_COMMAND");
    if (opener == nullptr || opener[0] == '\0')
        opener = "xdg-open";
    return SpawnDetached(opener, path);
}

LibDateTime DateFrom(time_t seconds, const bool& local) {
    LibDateTime date(1, 1, 1970);
    date.SetDateTime(static_cast<int32>(seconds), local);
    return date;
}

bool CreationTime(const char* path, time_t& seconds) {
    struct statx sx;
    if (statx(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW, STATX_BTIME | STATX_MTIME, &sx) != 0)
        return false;
    seconds = (sx.stx_mask & STATX_BTIME) ? static_cast<time_t>(sx.stx_btime.tv_sec)
                                          : static_cast<time_t>(sx.stx_mtime.tv_sec);
    return true;
}

int64 SizeOf(const char* path, bool withAttributes, bool follow) {
    struct stat st;
    if ((follow ? stat(path, &st) : lstat(path, &st)) != 0)
        return 0;
    int64 size = st.st_size;
    if (withAttributes && !S_ISLNK(st.st_mode)) {
        BNode node(path);
        if (node.InitCheck() == B_OK) {
            char name[B_ATTR_NAME_LENGTH];
            attr_info info;
            while (node.GetNextAttrName(name) == B_OK) {
                if (node.GetAttrInfo(name, &info) == B_OK)
                    size += info.size;
            }
        }
    }
    if (S_ISDIR(st.st_mode)) {
        BDirectory directory(path);
        BEntry entry;
        while (directory.GetNextEntry(&entry, false) == B_OK)
            size += SizeOf(entry.Path(), withAttributes, false);
    }
    return size;
}

} // namespace

void LibGetMimeType(const entry_ref& ref, char* buffer, bool describe) {
    if (buffer == nullptr)
        return;
    buffer[0] = '\0';
    BPath path(&ref);
    struct stat st;
    bool isLink = path.Path() != nullptr && lstat(path.Path(), &st) == 0 && S_ISLNK(st.st_mode);
    BNode node(&ref);
    BNodeInfo info(&node);
    if (node.InitCheck() != B_OK || info.GetType(buffer) != B_OK || buffer[0] == '\0') {
        // Nodes nobody has typed yet get the type their content shows.
        buffer[0] = '\0';
        if (isLink) {
            snprintf(buffer, B_MIME_TYPE_LENGTH, "%s", B_SYMLINK_MIME_TYPE);
        } else if (path.Path() != nullptr) {
            BMimeType guessed;
            if (BMimeType::GuessMimeType(&ref, &guessed) == B_OK && guessed.Type() != nullptr)
                snprintf(buffer, B_MIME_TYPE_LENGTH, "%s", guessed.Type());
        }
    }
    if (!describe)
        return;
    const char* kind = "Unknown";
    if (strcmp(buffer, B_DIRECTORY_MIME_TYPE) == 0)
        kind = "Folder";
    else if (strcmp(buffer, B_APP_MIME_TYPE) == 0)
        kind = "Be Application";
    else if (isLink)
        kind = "Symbolic Link";
    snprintf(buffer, B_MIME_TYPE_LENGTH, "%s", kind);
}

Result<void> LibSetEntryType(const char* path, const char* type) {
    BNode node(path);
    BNodeInfo info(&node);
    if (status_t status = node.InitCheck(); status != B_OK)
        return Failure::Because("cannot open", path != nullptr ? path : "",
                                strerror_status(status));
    if (status_t status = info.SetType(type); status != B_OK)
        return Failure::Because("cannot set the type of", path, strerror_status(status));
    return Done();
}

void LibSetMimeType(const char* path, const char* type) {
    (void)LibSetEntryType(path, type);
}

Result<void> LibSetEntryTypeAndApp(const char* path, const char* type, const char* preferredApp) {
    BNode node(path);
    BNodeInfo info(&node);
    if (status_t status = node.InitCheck(); status != B_OK)
        return Failure::Because("cannot open", path != nullptr ? path : "",
                                strerror_status(status));
    if (status_t status = info.SetType(type); status != B_OK)
        return Failure::Because("cannot set the type of", path, strerror_status(status));
    std::string signature = preferredApp != nullptr ? preferredApp : "";
    if (preferredApp == nullptr) {
        if (be_app != nullptr && be_app->Signature() != nullptr)
            signature = be_app->Signature();
        if (signature.empty()) {
            BFile self("/proc/self/exe", B_READ_ONLY);
            BAppFileInfo appInfo(&self);
            char own[B_MIME_TYPE_LENGTH] = "";
            if (appInfo.GetSignature(own) == B_OK)
                signature = own;
        }
    }
    if (signature.empty())
        return Done();
    if (status_t status = info.SetPreferredApp(signature.c_str(), B_OPEN); status != B_OK)
        return Failure::Because("cannot set the preferred application of", path,
                                strerror_status(status));
    return Done();
}

void LibSetFileType(const char* path, const char* type, const char* preferredApp) {
    (void)LibSetEntryTypeAndApp(path, type, preferredApp);
}

int64 LibEntrySize(const char* path, bool withAttributes) {
    if (path == nullptr || path[0] == '\0')
        return 0;
    return SizeOf(path, withAttributes, true);
}

LibDateTime LibCreationDate(const char* path, const bool& local) {
    time_t seconds = 0;
    if (path == nullptr || !CreationTime(path, seconds)) {
        fprintf(stderr, "LibCreationDate: Unable to set entry <%s>\n", path ? path : "");
        return LibDateTime(1, 1, 1970);
    }
    return DateFrom(seconds, local);
}

LibDateTime LibCreationDate(const entry_ref& ref, const bool& local) {
    BPath path(&ref);
    time_t seconds = 0;
    if (path.Path() == nullptr || !CreationTime(path.Path(), seconds)) {
        fprintf(stderr, "LibCreationDate: Unable to set entry\n");
        return LibDateTime(1, 1, 1970);
    }
    return DateFrom(seconds, local);
}

LibDateTime LibLastModifiedDate(const BEntry& entry, const bool& local) {
    struct stat st;
    if (entry.InitCheck() != B_OK || lstat(entry.Path(), &st) != 0)
        return LibDateTime(1, 1, 1970);
    return DateFrom(st.st_mtime, local);
}

LibDateTime LibLastModifiedDate(const char* path, const bool& local) {
    struct stat st;
    if (path == nullptr || lstat(path, &st) != 0)
        return LibDateTime(1, 1, 1970);
    return DateFrom(st.st_mtime, local);
}

LibDateTime LibAccessedDate(const BEntry& entry, const bool& local) {
    struct stat st;
    if (entry.InitCheck() != B_OK || lstat(entry.Path(), &st) != 0)
        return LibDateTime(1, 1, 1970);
    return DateFrom(st.st_atime, local);
}

bool LibOpenEntry(const char* path) {
    if (!EntryExists(path))
        return false;
    return OpenWithDesktop(AbsolutePath(path).c_str());
}

bool LibInfoEntry(const char* path) {
    if (!EntryExists(path))
        return false;
    return OpenWithDesktop(Parent(AbsolutePath(path)).c_str());
}

int LibAnonymousTempFile(const char* prefix) {
    BPath temp;
    if (find_directory(B_COMMON_TEMP_DIRECTORY, &temp, true) != B_OK || temp.Path() == nullptr)
        return -1;
    int fd = open(temp.Path(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    std::string path =
        std::string(temp.Path()) + "/" + (prefix != nullptr ? prefix : "tmp") + "XXXXXX";
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        unlink(name.data());
    return fd;
}
