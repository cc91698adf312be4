#pragma once

// Helpers shared by the Storage Kit sources; not part of the public interface.

#include <string>
#include <vector>

#include "platform/support/SupportDefs.h"

namespace storage_private {

// The status for the current errno.
status_t ErrnoStatus();
// The status for an extended-attribute call that failed with `error`.
status_t AttrErrnoStatus(int error);

// `path` made absolute against the working directory; "" on failure.
std::string MakeAbsolute(const char* path);
// Joins a folder and a relative path.
std::string JoinPath(const std::string& dir, const std::string& leaf);
// Removes ".", ".." and doubled or trailing slashes without looking at the disk.
std::string NormalizeLexically(const std::string& absolute);
// Whether an absolute path needs normalisation.
bool NeedsNormalization(const std::string& path);
// Resolves the folders of an absolute path through the file system (the folder must
// exist); with traverse, a link at the end is followed too (its target must exist).
status_t ResolveEntryPath(const std::string& absolute, bool traverse, std::string* out);
// The last component ("/" for the root) and the folder part of a resolved path.
std::string LeafOf(const std::string& path);
std::string ParentOf(const std::string& path);

// Reads a whole extended attribute by its full name ("user.x"); fd -1 uses the path
// without following a link at its end.
status_t GetXattr(int fd, const std::string& path, const std::string& name,
                  std::vector<uint8>* out);
status_t SetXattr(int fd, const std::string& path, const std::string& name, const void* data,
                  size_t size);
status_t RemoveXattr(int fd, const std::string& path, const std::string& name);
status_t ListXattr(int fd, const std::string& path, std::vector<std::string>* names);

// Writes the whole buffer, retrying on short writes and EINTR.
status_t WriteFully(int fd, const void* data, size_t size);
status_t PwriteFully(int fd, const void* data, size_t size, off_t offset);
// Reads up to size bytes at offset, retrying short reads until EOF; returns bytes read.
ssize_t PreadFully(int fd, void* data, size_t size, off_t offset);

// Environment with a default for unset or empty values.
std::string Env(const char* name, const std::string& fallback = "");

} // namespace storage_private

namespace storage_private {
// Where a standard folder lies, for root (system-wide common folders) or for an
// ordinary user (common folders in the user's ~/.local tree). B_BAD_VALUE for an
// unknown identifier.
status_t StandardFolder(int32 which, bool asRoot, std::string* out);
} // namespace storage_private
