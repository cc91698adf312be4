#pragma once

// Files a run acts on (its journal, its lock, the deinstaller's record) lie in folders that
// other users may be able to write to: a shared destination, or that user's own home when
// root installs there. Such a file is believed only when this user wrote it and nobody else
// can have changed it since: a regular file owned by this process's user and writable by
// nobody else. It is opened without following a link and without blocking, so that a
// FIFO, a device or a link under its name is refused at once instead of waited on or read.

#include <sys/stat.h>

#include <string>

namespace ownfile {

enum class Verdict {
    Own,       // a regular file of this user that only this user may write
    Missing,   // nothing of that name
    NotAFile,  // a link, FIFO, device, socket or folder
    Foreign,   // owned by another user
    Shared,    // writable by the group or by others
    Unreadable // it could not be looked at (errno kept in the message)
};

// What the entry described by `info` is worth to this process.
Verdict Judge(const struct stat& info);

// Opens `path` with `flags` (O_RDONLY or O_RDWR; O_NOFOLLOW, O_NONBLOCK and O_CLOEXEC are
// added) when it is an own file; -1 otherwise, with `verdict` saying why. A file that is
// swapped between the look and the opening is caught by looking at what was opened.
int Open(const std::string& path, int flags, Verdict& verdict);

// Why a file was not believed, in English, for logs ("it is owned by user 1000").
std::string Describe(Verdict verdict, const std::string& path);

// Reads the whole own file at `path`, at most `limit` bytes. False with `verdict` (and
// `error`, an English sentence naming the path) otherwise.
bool ReadAll(const std::string& path, size_t limit, std::string& bytes, Verdict& verdict,
             std::string& error);

} // namespace ownfile
