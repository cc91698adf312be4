#pragma once

// MIME types of files: the type of a node lives in its "mime_type" attribute (the
// freedesktop user.mime_type extended attribute), without a terminating NUL.

#include "platform/storage/StorageDefs.h"

enum { B_MIME_STRING_TYPE = 'MIMS' };

enum icon_size { B_LARGE_ICON = 32, B_MINI_ICON = 16 };

enum app_verb { B_OPEN = 0 };

// This platform's own names for folders, programs and links.
inline constexpr const char* B_DIRECTORY_MIME_TYPE = "application/x-vnd.Be-directory";
inline constexpr const char* B_APP_MIME_TYPE = "application/x-vnd.Be-elfexecutable";
inline constexpr const char* B_SYMLINK_MIME_TYPE = "application/x-vnd.Be-symlink";
inline constexpr const char* B_FILE_MIME_TYPE = "application/octet-stream";

// The attribute that holds a node's MIME type.
inline constexpr const char* B_MIME_TYPE_ATTR = "mime_type";

enum {
    B_UPDATE_MIME_INFO_NO_FORCE = 0, // only nodes without a type
    B_UPDATE_MIME_INFO_FORCE_KEEP_TYPE = 1,
    B_UPDATE_MIME_INFO_FORCE_UPDATE_ALL = 2
};

// Sniffs the node at `path` and stores its type (what `mimeset` does). With recursive,
// a folder's contents are typed too. Symbolic links and file systems without
// attributes are left untyped without an error. `synchronous` is accepted for
// compatibility; the work is always done before returning.
status_t update_mime_info(const char* path, int recursive, int synchronous, int force);

#include "platform/storage/MimeType.h"

// The type of a regular file from its first bytes (at most the first 4 KiB are looked
// at; truncated says that more follow) and, for text or empty files, its name.
const char* sniff_mime_type(const void* sample, size_t size, bool truncated, const char* name);
