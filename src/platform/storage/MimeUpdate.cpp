#include "platform/storage/MimeType.h"

// update_mime_info: types stored on nodes are dropped where the content shows another.

#include <cstring>
#include <string>
#include <sys/stat.h>

#include "platform/storage/Directory.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Node.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;

namespace {
status_t UpdateOne(const std::string& path, int force) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return ErrnoStatus();
    if (S_ISLNK(st.st_mode) || (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)))
        return B_OK; // nothing can be stored on them
    // Every node has the type its content shows; only a stored type says otherwise. So
    // a node without one is already typed, and sniffing again means dropping the stored
    // type.
    if (force == B_UPDATE_MIME_INFO_NO_FORCE)
        return B_OK;
    BNode node(path.c_str());
    if (node.InitCheck() != B_OK)
        return node.InitCheck();
    attr_info info;
    status_t status = node.GetAttrInfo(B_MIME_TYPE_ATTR, &info);
    if (status == B_ENTRY_NOT_FOUND || status == B_ATTRIBUTES_NOT_SUPPORTED)
        return B_OK;
    if (status != B_OK)
        return status;
    const char* implied = implied_node_type(node.Descriptor(), path.c_str());
    if (implied == nullptr)
        return ErrnoStatus();
    // With "keep type", a specific type someone set is kept over a generic guess.
    if (force == B_UPDATE_MIME_INFO_FORCE_KEEP_TYPE && strcmp(implied, B_FILE_MIME_TYPE) == 0)
        return B_OK;
    status = node.RemoveAttr(B_MIME_TYPE_ATTR);
    return status == B_ENTRY_NOT_FOUND ? B_OK : status;
}

status_t UpdateTree(const std::string& path, int force, int depth) {
    status_t status = UpdateOne(path, force);
    if (status != B_OK)
        return status;
    struct stat st;
    if (depth > 64 || lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return B_OK;
    BDirectory dir(path.c_str());
    BEntry entry;
    while (dir.GetNextEntry(&entry, false) == B_OK)
        UpdateTree(entry.Path(), force, depth + 1);
    return B_OK;
}
} // namespace

status_t update_mime_info(const char* path, int recursive, int, int force) {
    if (path == nullptr || *path == '\0')
        return B_BAD_VALUE;
    std::string absolute = MakeAbsolute(path);
    std::string resolved;
    status_t status = ResolveEntryPath(absolute, false, &resolved);
    if (status != B_OK)
        return status;
    // Without force there is nothing to do: a node without a stored type already has
    // the type its content shows.
    if (force == B_UPDATE_MIME_INFO_NO_FORCE) {
        struct stat st;
        return lstat(resolved.c_str(), &st) == 0 ? B_OK : ErrnoStatus();
    }
    return recursive ? UpdateTree(resolved, force, 0) : UpdateOne(resolved, force);
}
