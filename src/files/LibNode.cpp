#include "files/LibNode.h"
#include "files/LibFileOps.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "archive/MemorySource.h"
#include "archive/ZipExtractor.h"
#include "archive/ZipPacker.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Mime.h"
#include "platform/storage/Path.h"

namespace {

// Attributes live in extended attributes, which file systems keep small; an item that
// compresses to more than this is refused rather than half stored.
constexpr off_t kMaxCompressedAttribute = 64 * 1024 * 1024;

} // namespace

LibNode::LibNode() : BNode() {}
LibNode::LibNode(const BEntry* entry) : BNode(entry) {}
LibNode::LibNode(const entry_ref* ref) : BNode(ref) {}
LibNode::LibNode(const char* path) : BNode(path) {}

ssize_t LibNode::WriteStringAttr(const char* name, const char* text) {
    if (text == nullptr)
        text = "";
    RemoveAttr(name);
    return WriteAttr(name, B_STRING_TYPE, 0, text, strlen(text));
}

ssize_t LibNode::ReadStringAttr(const char* name, LibString& out) {
    attr_info info;
    status_t status = GetAttrInfo(name, &info);
    if (status != B_OK)
        return status;
    std::vector<char> buffer(static_cast<size_t>(info.size) + 1, '\0');
    ssize_t n = ReadAttr(name, B_STRING_TYPE, 0, buffer.data(), static_cast<size_t>(info.size));
    if (n < 0)
        return n;
    buffer[static_cast<size_t>(n)] = '\0';
    out = buffer.data();
    return n;
}

ssize_t LibNode::WriteBoolAttr(const char* name, const bool& value) {
    RemoveAttr(name);
    uint8 byte = value ? 1 : 0;
    return WriteAttr(name, B_BOOL_TYPE, 0, &byte, 1);
}

bool LibNode::ReadBoolAttr(const char* name, bool& value) {
    uint8 byte = 0;
    if (ReadAttr(name, B_BOOL_TYPE, 0, &byte, 1) != 1)
        return false;
    value = byte != 0;
    return true;
}

ssize_t LibNode::WriteInt32Attr(const char* name, const int32& value) {
    RemoveAttr(name);
    return WriteAttr(name, B_INT32_TYPE, 0, &value, sizeof(value));
}

bool LibNode::ReadInt32Attr(const char* name, int32& value) {
    int32 read = 0;
    if (ReadAttr(name, B_INT32_TYPE, 0, &read, sizeof(read)) == sizeof(read))
        value = read;
    return true;
}

ssize_t LibNode::WriteMessageAttr(const char* name, const BMessage& message) {
    RemoveAttr(name);
    std::string flat;
    status_t status = message.Flatten(&flat);
    if (status != B_OK)
        return status;
    return WriteAttr(name, B_RAW_TYPE, 0, flat.data(), flat.size());
}

bool LibNode::ReadMessageAttr(const char* name, BMessage& message) {
    attr_info info;
    if (GetAttrInfo(name, &info) != B_OK || info.size <= 0)
        return false;
    std::vector<char> buffer(static_cast<size_t>(info.size));
    ssize_t n = ReadAttr(name, B_RAW_TYPE, 0, buffer.data(), buffer.size());
    if (n <= 0)
        return false;
    return message.Unflatten(buffer.data(), static_cast<size_t>(n)) == B_OK;
}

bool LibNode::CompressFile(const char* name, const char* item) {
    struct stat st;
    if (item == nullptr || lstat(item, &st) != 0) {
        fprintf(stderr, "LibNode::CompressFile: %s does not exist\n", item ? item : "");
        return false;
    }
    int fd = LibAnonymousTempFile("zip");
    if (fd < 0)
        return false;
    // The item is kept under the attribute's name, so that it comes back whatever the
    // item was called.
    ZipPacker packer;
    bool nameFits = name != nullptr && name[0] != '\0' && strchr(name, '/') == nullptr &&
                    strcmp(name, ".") != 0 && strcmp(name, "..") != 0;
    bool ok = packer.Pack(item, nameFits ? name : nullptr, fd, 9);
    if (!ok)
        fprintf(stderr, "LibNode::CompressFile: %s\n", packer.Error().c_str());
    off_t size = ok ? lseek(fd, 0, SEEK_END) : -1;
    if (ok && (size <= 0 || size > kMaxCompressedAttribute)) {
        fprintf(stderr, "LibNode::CompressFile: %s is too large for an attribute\n", item);
        ok = false;
    }
    if (ok) {
        std::vector<char> archive(static_cast<size_t>(size));
        ok = pread(fd, archive.data(), archive.size(), 0) == size;
        if (ok) {
            RemoveAttr(name);
            ok = WriteAttr(name, B_RAW_TYPE, 0, archive.data(), archive.size()) == size;
        }
    }
    close(fd);
    return ok;
}

bool LibNode::UncompressFile(const char* destination, const char* name, bool unzip) {
    attr_info info;
    if (GetAttrInfo(name, &info) != B_OK)
        return true;
    std::vector<char> archive(static_cast<size_t>(info.size));
    ssize_t n = ReadAttr(name, B_RAW_TYPE, 0, archive.data(), archive.size());
    if (n < 0) {
        fprintf(stderr, "Error initializine file in UncompressFile\n");
        return false;
    }
    MemorySource source(archive.data(), static_cast<size_t>(n));
    std::string error;
    bool ok;
    if (unzip) {
        ZipExtractor extractor(source);
        ok = extractor.ExtractItem(destination, nullptr);
        error = extractor.Error();
    } else {
        ok = ZipExtractor::CopyRaw(source, destination, error);
    }
    if (!ok) {
        fprintf(stderr, "LibNode::UncompressFile: %s\n", error.c_str());
        return false;
    }
    update_mime_info(destination, 1, 1, B_UPDATE_MIME_INFO_NO_FORCE);
    return true;
}
