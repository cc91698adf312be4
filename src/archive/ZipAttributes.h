#pragma once

// The node attributes a ZIP entry carries: an extra field of our own, ID 0x7754 (the
// bytes 'T' 'w'), in the entry's central-directory record only. Its data is a sequence
// of records until the field's size is used up, each little-endian
//   u16 name length, u32 type code, u32 value length, name bytes, value bytes
// with the attribute's name as the node layer lists it (no "user." prefix; never empty,
// no NUL, no '/'). Other ZIP readers skip the field. docs/formats.md describes it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ZipFormat.h"

namespace zipattributes {

constexpr uint16_t kFieldId = zipformat::kAttributeField;
// The longest name the node layer can write back ("user." and the type companion's
// prefix must fit in Linux's 255 bytes).
constexpr size_t kMaxNameLength = 239;
// An entry's extra fields share 65,535 bytes; the field leaves room for the central
// timestamp field (9 bytes) and a Zip64 field (up to 32 bytes) beside its own header.
constexpr size_t kMaxFieldData = 65535 - 9 - 32 - 4;

struct Attribute {
    std::string name;
    uint32_t type = 0;
    std::vector<unsigned char> value;
};

// Reads every attribute of the file or folder open as fd (whose path is path), sorted by
// name so that the same tree gives the same archive. A node without attributes, or on a
// file system without them, gives none. False with the reason in error when one cannot
// be read.
bool ReadNodeAttributes(int fd, const std::string& path, std::vector<Attribute>& attributes,
                        std::string& error);

// The whole field, header included; empty for no attributes. False with the reason in
// error when a name cannot be carried or the attributes do not fit in one field.
bool EncodeField(const std::vector<Attribute>& attributes, std::vector<unsigned char>& field,
                 std::string& error);

} // namespace zipattributes
