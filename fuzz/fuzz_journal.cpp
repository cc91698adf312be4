// An installation journal as a later run or the deinstaller reads it: every record it
// accepts names plain absolute paths, and writing the records again reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/Journal.h"

namespace {

bool Plain(const std::string& path) {
    return path.size() > 1 && path[0] == '/' && path.find("/../") == std::string::npos &&
           path.find("//") == std::string::npos && path.find('\0') == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    JournalContents contents;
    std::string error;
    if (!Journal::Parse(bytes, contents, error))
        return 0;
    if (!Plain(contents.installFolder))
        __builtin_trap();
    std::string again = "tarnw-journal\t1\t/x\t1\tP\n";
    for (const JournalRecord& record : contents.records) {
        if (!Plain(record.path))
            __builtin_trap();
        again += Journal::FormatRecord(record);
    }
    JournalContents reread;
    if (!Journal::Parse(again, reread, error) || reread.records.size() != contents.records.size())
        __builtin_trap();
    for (size_t i = 0; i < reread.records.size(); i++) {
        if (reread.records[i].path != contents.records[i].path ||
            reread.records[i].other != contents.records[i].other ||
            reread.records[i].third != contents.records[i].third)
            __builtin_trap();
    }
    return 0;
}
