// Lists and unpacks arbitrary bytes as a payload entry. Besides crashes and sanitizer findings, it
// stops when anything appears outside the destination's folder, or when a refused
// archive leaves anything behind.
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/MemorySource.h"
#include "archive/ZipContents.h"
#include "archive/ZipExtractor.h"
#include "lib/PosixFs.h"

namespace {

const std::string& Root() {
    static std::string root = [] {
        const char* tmp = getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz-payload-XXXXXX";
        char* made = mkdtemp(pattern.data());
        if (made == nullptr)
            abort();
        return std::string(made);
    }();
    return root;
}

// Names in folder other than allowed (which may be empty).
int Strangers(const std::string& folder, const char* allowed) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return 0;
    int count = 0;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == ".." || (allowed != nullptr && name == allowed))
            continue;
        ++count;
        fprintf(stderr, "unexpected entry %s/%s\n", folder.c_str(), name.c_str());
    }
    closedir(dir);
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& root = Root();
    std::string box = root + "/box";
    mkdir(box.c_str(), 0700);
    std::string destination = box + "/item";

    MemorySource source(data, size);
    std::vector<ZipContents::Entry> entries;
    std::string error;
    ZipContents::List(source, entries, error);

    ZipExtractor extractor(source);
    bool ok = extractor.ExtractItem(destination.c_str(), nullptr);
    if (Strangers(root, "box") != 0 || Strangers(box, ok ? "item" : nullptr) != 0)
        abort();
    posixfs::RemoveTree(box.c_str());

    mkdir(box.c_str(), 0700);
    extractor.ExtractAll(box.c_str());
    if (Strangers(root, "box") != 0)
        abort();
    posixfs::RemoveTree(box.c_str());
    return 0;
}
