#pragma once

// How a node attribute is stored in extended attributes, for code that holds an open
// descriptor (the archive extractor) as well as for BNode.
//
// The value lives in "user.NAME". A value whose type is the one its bytes imply needs
// nothing more: text (valid UTF-8 without NUL bytes) implies B_STRING_TYPE, and the
// "mime_type" attribute implies B_MIME_STRING_TYPE. Any other type is kept in the
// companion "user.tarnw.type.NAME" (four bytes, big-endian). One attribute per value
// keeps a file's usual attributes small enough for the file system to hold them in the
// inode itself, with no block of their own.

#include <cstddef>
#include <string>

#include "platform/support/SupportDefs.h"

namespace node_attributes {

// The type a value without a companion reads as.
type_code ImpliedType(const char* name, const void* value, size_t size);

// True for names that are reserved for type companions or cannot be stored.
bool IsReservedName(const char* name);

// "user.NAME" and "user.tarnw.type.NAME".
std::string ValueName(const char* name);
std::string TypeName(const char* name);
void EncodeType(type_code type, uint8 out[4]);

// Sets attribute name on the node open as fd. With fresh, the node was created by the
// caller and holds no attributes yet, so no stale companion has to be looked for.
// B_ATTRIBUTES_NOT_SUPPORTED where the file system keeps no user attributes.
status_t WriteOnDescriptor(int fd, const char* name, type_code type, const void* value, size_t size,
                           bool fresh);
// The same through a descriptor, or by path (not following a link) when fd is -1.
status_t Write(int fd, const std::string& path, const char* name, type_code type, const void* value,
               size_t size, bool fresh);

} // namespace node_attributes
