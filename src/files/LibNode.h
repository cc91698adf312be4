#pragma once

// A file-system node with typed attribute operations. Every write first removes the
// attribute, so its type and size are always those of the last write.

#include "lib/LibString.h"
#include "platform/app/Message.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Node.h"
#include "platform/support/SupportDefs.h"

class LibNode : public BNode {
public:
    LibNode();
    explicit LibNode(const BEntry* entry);
    explicit LibNode(const entry_ref* ref);
    explicit LibNode(const char* path);

    // 'CSTR': the text's bytes without a terminator. Returns bytes written or an error.
    ssize_t WriteStringAttr(const char* name, const char* text);
    // Reads the whole attribute into out. Returns bytes read or an error (out is then
    // left as it was).
    ssize_t ReadStringAttr(const char* name, LibString& out);
    ssize_t WriteBoolAttr(const char* name, const bool& value);
    // True only when exactly one byte was read.
    bool ReadBoolAttr(const char* name, bool& value);
    ssize_t WriteInt32Attr(const char* name, const int32& value);
    // Leaves value untouched when the attribute is absent or of another size; always true.
    bool ReadInt32Attr(const char* name, int32& value);
    ssize_t WriteMessageAttr(const char* name, const BMessage& message);
    // False when the attribute is absent or does not hold a valid message.
    bool ReadMessageAttr(const char* name, BMessage& message);

    // Keeps the file or folder at item, ZIP-compressed, in attribute name ('RAWT').
    bool CompressFile(const char* name, const char* item);
    // Restores what CompressFile kept in attribute name to destination (the raw archive
    // when unzip is false). True when there is no such attribute.
    bool UncompressFile(const char* destination, const char* name, bool unzip);
};
