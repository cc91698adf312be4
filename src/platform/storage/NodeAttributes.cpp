#include "platform/storage/NodeAttributes.h"

#include <cstring>
#include <vector>

#include "platform/storage/Mime.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;

namespace node_attributes {

namespace {

const char kUserPrefix[] = "user.";
const char kTypePrefix[] = "tarnw.type.";

bool IsText(const unsigned char* p, size_t size) {
    size_t i = 0;
    while (i < size) {
        unsigned char c = p[i];
        if (c == 0)
            return false;
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length = (c & 0xe0) == 0xc0   ? 2
                        : (c & 0xf0) == 0xe0 ? 3
                        : (c & 0xf8) == 0xf0 ? 4
                                             : 0;
        if (length == 0 || c == 0xc0 || c == 0xc1 || c > 0xf4 || size - i < length)
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((p[i + k] & 0xc0) != 0x80)
                return false;
        }
        // Over-long forms and surrogates are not text.
        if ((c == 0xe0 && p[i + 1] < 0xa0) || (c == 0xf0 && p[i + 1] < 0x90) ||
            (c == 0xed && p[i + 1] >= 0xa0) || (c == 0xf4 && p[i + 1] >= 0x90))
            return false;
        i += length;
    }
    return true;
}

} // namespace

type_code ImpliedType(const char* name, const void* value, size_t size) {
    if (name != nullptr && strcmp(name, B_MIME_TYPE_ATTR) == 0)
        return B_MIME_STRING_TYPE;
    if (size > 0 && value == nullptr)
        return B_RAW_TYPE;
    return IsText(static_cast<const unsigned char*>(value), size) ? B_STRING_TYPE : B_RAW_TYPE;
}

bool IsReservedName(const char* name) {
    return name != nullptr && strncmp(name, kTypePrefix, sizeof(kTypePrefix) - 1) == 0;
}

std::string ValueName(const char* name) {
    return std::string(kUserPrefix) + name;
}

std::string TypeName(const char* name) {
    return std::string(kUserPrefix) + kTypePrefix + name;
}

void EncodeType(type_code type, uint8 out[4]) {
    out[0] = static_cast<uint8>(type >> 24);
    out[1] = static_cast<uint8>(type >> 16);
    out[2] = static_cast<uint8>(type >> 8);
    out[3] = static_cast<uint8>(type);
}

status_t WriteOnDescriptor(int fd, const char* name, type_code type, const void* value, size_t size,
                           bool fresh) {
    if (fd < 0)
        return B_BAD_VALUE;
    static const std::string kNoPath;
    return Write(fd, kNoPath, name, type, value, size, fresh);
}

status_t Write(int fd, const std::string& path, const char* name, type_code type, const void* value,
               size_t size, bool fresh) {
    if (name == nullptr || *name == '\0' || IsReservedName(name) || (value == nullptr && size > 0))
        return B_BAD_VALUE;
    bool implied = ImpliedType(name, value, size) == type;
    std::vector<uint8> oldType;
    status_t hadType = B_ENTRY_NOT_FOUND;
    if (!fresh) {
        hadType = GetXattr(fd, path, TypeName(name), &oldType);
        if (hadType != B_OK && hadType != B_ENTRY_NOT_FOUND)
            return hadType;
    }
    // The type goes first (or a stale one goes away first), so that a value never
    // appears with another value's type; a failed value write puts the old type back.
    status_t status = B_OK;
    if (implied) {
        if (hadType == B_OK)
            status = RemoveXattr(fd, path, TypeName(name));
    } else {
        uint8 code[4];
        EncodeType(type, code);
        if (hadType != B_OK || oldType.size() != 4 || memcmp(oldType.data(), code, 4) != 0)
            status = SetXattr(fd, path, TypeName(name), code, 4);
    }
    if (status != B_OK)
        return status;
    status = SetXattr(fd, path, ValueName(name), value, size);
    if (status != B_OK) {
        if (hadType == B_OK)
            SetXattr(fd, path, TypeName(name), oldType.data(), oldType.size());
        else if (!implied)
            RemoveXattr(fd, path, TypeName(name));
    }
    return status;
}

} // namespace node_attributes
