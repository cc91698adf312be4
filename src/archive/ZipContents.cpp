#include "archive/ZipContents.h"

#include <sys/stat.h>

#include "archive/ZipDirectory.h"
#include "archive/ZipFormat.h"

namespace {

// As the extractor reads it: Unix hosts keep the type in the high half of the external
// attributes; others mark folders with a trailing slash or the MS-DOS folder bit.
ZipContents::Kind KindOf(const ZipDirectory::Entry& entry) {
    unsigned host = (entry.madeBy >> 8) & 0xff;
    uint32_t unixMode = (host == zipformat::kHostUnix || host == zipformat::kHostMac)
                            ? entry.externalAttributes >> 16
                            : 0;
    uint32_t type = unixMode & S_IFMT;
    if (type == S_IFLNK)
        return ZipContents::Kind::Link;
    bool endsInSlash = !entry.name.empty() && entry.name.back() == '/';
    if (type == S_IFDIR || endsInSlash || (unixMode == 0 && (entry.externalAttributes & 0x10)))
        return ZipContents::Kind::Folder;
    return ZipContents::Kind::File;
}

} // namespace

bool ZipContents::List(ZipSource& source, std::vector<Entry>& entries, std::string& error) {
    entries.clear();
    ZipDirectory directory(source);
    if (!directory.Open()) {
        error = directory.Error();
        return false;
    }
    ZipDirectory::Entry record;
    while (directory.Next(record))
        entries.push_back({KindOf(record), record.size, record.name.size()});
    if (!directory.Error().empty()) {
        error = directory.Error();
        return false;
    }
    return true;
}
