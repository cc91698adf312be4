#pragma once

// MIME types of files: the type of a node is the one its content shows (folders,
// programs, images, text by its name, ...), unless its "mime_type" attribute (the
// freedesktop user.mime_type extended attribute, without a terminating NUL) says
// otherwise. Types are stored only where they differ from the content's, so that an
// installed file's few attributes fit in its inode.

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
    B_UPDATE_MIME_INFO_NO_FORCE = 0, // only nodes without a type: every node has one
    B_UPDATE_MIME_INFO_FORCE_KEEP_TYPE = 1,
    B_UPDATE_MIME_INFO_FORCE_UPDATE_ALL = 2
};

// Gives the node at `path` the type its content shows (what `mimeset` does): since that
// is the type of every node without a stored one, a stored type is dropped (kept with
// B_UPDATE_MIME_INFO_FORCE_KEEP_TYPE when the content shows nothing specific), and
// without force nothing changes. With recursive, a folder's contents too. Symbolic links
// and file systems without attributes are left as they are without an error.
// `synchronous` is accepted for compatibility; the work is always done before returning.
status_t update_mime_info(const char* path, int recursive, int synchronous, int force);

#include "platform/storage/MimeType.h"

// The type of a regular file from its first bytes (at most the first 4 KiB are looked
// at; truncated says that more follow) and, for text or empty files, its name.
const char* sniff_mime_type(const void* sample, size_t size, bool truncated, const char* name);

// The type a folder or regular file has when none is stored: read through fd, or opened
// by path when fd is -1. Null for other nodes and for files that cannot be read.
const char* implied_node_type(int fd, const char* path);
