#include "archive/ZipAttributes.h"

#include <errno.h>
#include <string.h>
#include <sys/xattr.h>

#include <algorithm>

#include "platform/storage/Node.h"
#include "platform/support/SupportDefs.h"

namespace zipattributes {

namespace {

// Whether the node has any "user." attribute at all: most files have none, and this
// one call spares them opening the node again.
bool HasUserAttributes(int fd) {
    std::vector<char> names(4096);
    for (;;) {
        ssize_t size = flistxattr(fd, names.data(), names.size());
        if (size >= 0) {
            for (ssize_t at = 0; at < size; at += ssize_t(strlen(names.data() + at)) + 1) {
                if (strncmp(names.data() + at, "user.", 5) == 0)
                    return true;
            }
            return false;
        }
        if (errno != ERANGE)
            return false; // no attributes on this file system
        ssize_t needed = flistxattr(fd, nullptr, 0);
        if (needed < 0)
            return false;
        names.resize(size_t(needed) + 1);
    }
}

void Put(std::vector<unsigned char>& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

} // namespace

bool ReadNodeAttributes(int fd, const std::string& path, std::vector<Attribute>& attributes,
                        std::string& error) {
    attributes.clear();
    if (!HasUserAttributes(fd))
        return true;
    // The node layer knows how each attribute's type is kept.
    BNode node(path.c_str());
    if (node.InitCheck() != B_OK) {
        error = "cannot read the attributes of \"" + path + "\": " + strerror(errno);
        return false;
    }
    char name[B_ATTR_NAME_LENGTH];
    while (node.GetNextAttrName(name) == B_OK) {
        Attribute attribute;
        attribute.name = name;
        attr_info info;
        if (node.GetAttrInfo(name, &info) != B_OK) {
            error = "cannot read attribute \"" + attribute.name + "\" of \"" + path + "\"";
            return false;
        }
        attribute.type = info.type;
        attribute.value.resize(size_t(info.size));
        ssize_t read = info.size == 0 ? 0
                                      : node.ReadAttr(name, info.type, 0, attribute.value.data(),
                                                      attribute.value.size());
        if (read != ssize_t(info.size)) {
            error = "cannot read attribute \"" + attribute.name + "\" of \"" + path + "\"";
            return false;
        }
        attributes.push_back(std::move(attribute));
    }
    std::sort(attributes.begin(), attributes.end(),
              [](const Attribute& a, const Attribute& b) { return a.name < b.name; });
    return true;
}

bool EncodeField(const std::vector<Attribute>& attributes, std::vector<unsigned char>& field,
                 std::string& error) {
    field.clear();
    if (attributes.empty())
        return true;
    size_t data = 0;
    for (const Attribute& attribute : attributes) {
        if (attribute.name.empty() || attribute.name.size() > kMaxNameLength ||
            attribute.name.find('\0') != std::string::npos ||
            attribute.name.find('/') != std::string::npos ||
            attribute.name.compare(0, 11, "tarnw.type.") == 0) {
            error = "attribute \"" + attribute.name + "\" has a name an archive cannot carry";
            return false;
        }
        data += 10 + attribute.name.size() + attribute.value.size();
        if (data > kMaxFieldData) {
            error = "its attributes take more than the " + std::to_string(kMaxFieldData) +
                    " bytes an archive entry can carry";
            return false;
        }
    }
    field.reserve(4 + data);
    Put(field, kFieldId, 2);
    Put(field, data, 2);
    for (const Attribute& attribute : attributes) {
        Put(field, attribute.name.size(), 2);
        Put(field, attribute.type, 4);
        Put(field, attribute.value.size(), 4);
        field.insert(field.end(), attribute.name.begin(), attribute.name.end());
        field.insert(field.end(), attribute.value.begin(), attribute.value.end());
    }
    return true;
}

} // namespace zipattributes
