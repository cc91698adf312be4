// Archives of entries: ZIP in and out, tar out; in-process, the working directory left alone.

#include "files/LibFileOps.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "archive/FileRegionSource.h"
#include "archive/TarWriter.h"
#include "archive/ZipExtractor.h"
#include "archive/ZipPacker.h"
#include "files/LibFileOpsShared.h"
#include "lib/PosixFs.h"

using fileops::AbsolutePath;
using fileops::EntryExists;
using fileops::Parent;

bool LibZip(const char* archive, const BPath& item, int level) {
    if (archive == nullptr || item.Path() == nullptr || !EntryExists(item.Path()))
        return false;
    std::string parent = Parent(archive);
    std::string temporary = parent + "/" + posixfs::TemporaryLeaf("zip");
    int fd = open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ZipPacker packer;
    bool ok = packer.Pack(item.Path(), nullptr, fd, level);
    if (close(fd) != 0)
        ok = false;
    if (ok && rename(temporary.c_str(), archive) != 0)
        ok = false;
    if (!ok) {
        if (!packer.Error().empty())
            fprintf(stderr, "LibZip: %s\n", packer.Error().c_str());
        unlink(temporary.c_str());
    }
    return ok;
}

bool LibUnzip(const char* archive) {
    if (archive == nullptr)
        return false;
    int fd = open(archive, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0;
    if (ok) {
        FileRegionSource source(fd, 0, st.st_size);
        ZipExtractor extractor(source);
        ok = extractor.ExtractAll(Parent(AbsolutePath(archive)).c_str());
        if (!ok)
            fprintf(stderr, "LibUnzip: %s: %s\n", archive, extractor.Error().c_str());
    }
    close(fd);
    return ok;
}

bool LibTar(const char* item, const char* archive) {
    if (item == nullptr || archive == nullptr || !EntryExists(item))
        return false;
    TarWriter writer;
    if (!writer.Write(item, archive)) {
        fprintf(stderr, "LibTar: %s\n", writer.Error().c_str());
        return false;
    }
    return true;
}
