#include "ui/gui/LibRefFilter.h"

#include <cstring>
#include <sys/stat.h>

#include "platform/storage/Entry.h"
#include "platform/storage/Mime.h"
#include "platform/storage/MimeType.h"
#include "platform/storage/Node.h"
#include "platform/storage/NodeInfo.h"
#include "platform/storage/Path.h"

namespace {

// The MIME type of what a link finally points at: its own type attribute, else "folder"
// for a folder, else a guess from its content. Empty when the target does not exist.
LibString TypeOfTarget(const char* linkPath) {
    BEntry entry(linkPath, true);
    BPath path;
    if (entry.InitCheck() != B_OK || !entry.Exists() || entry.GetPath(&path) != B_OK)
        return LibString("");
    BNode node(path.Path());
    char type[B_MIME_TYPE_LENGTH] = "";
    BNodeInfo info(&node);
    if (info.InitCheck() == B_OK && info.GetType(type) == B_OK && type[0] != '\0')
        return LibString(type);
    struct stat st;
    if (stat(path.Path(), &st) == 0 && S_ISDIR(st.st_mode))
        return LibString(B_DIRECTORY_MIME_TYPE);
    BMimeType guessed;
    if (BMimeType::GuessMimeType(path.Path(), &guessed) == B_OK && guessed.Type() != nullptr)
        return LibString(guessed.Type());
    return LibString("");
}

} // namespace

LibRefFilter::LibRefFilter() {}

LibRefFilter::~LibRefFilter() {}

void LibRefFilter::AddType(const char* mimeType) {
    if (mimeType != nullptr && !fTypes.InList(mimeType))
        fTypes.Add(mimeType);
}

void LibRefFilter::AllowAllFiles(const bool& allow) {
    fAllFiles = allow;
}

void LibRefFilter::AllowSoftLinks(const bool& follow) {
    fFollowLinks = follow;
}

bool LibRefFilter::Filter(const entry_ref* ref, BNode*, struct stat* st, const char* mimeType) {
    if (fAllFiles && st != nullptr && S_ISREG(st->st_mode))
        return true;
    if (st != nullptr && S_ISLNK(st->st_mode) && fFollowLinks && ref != nullptr) {
        LibString target = TypeOfTarget(ref->path());
        return target.Length() > 0 && fTypes.InList(target.String());
    }
    return mimeType != nullptr && fTypes.InList(mimeType);
}
