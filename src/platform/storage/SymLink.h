#pragma once

// Symbolic links.

#include "platform/storage/Node.h"

class BPath;

class BSymLink : public BNode {
public:
    BSymLink();
    BSymLink(const entry_ref* ref);
    BSymLink(const BEntry* entry);
    BSymLink(const char* path);
    BSymLink(const BDirectory* dir, const char* path);
    ~BSymLink() override;

    // Copies the link's contents into the buffer (NUL-terminated); returns the length.
    ssize_t ReadLink(char* buffer, size_t size);
    // The path the link points to, made absolute relative to the link's folder.
    ssize_t MakeLinkedPath(const char* dirPath, BPath* path);
    ssize_t MakeLinkedPath(const BDirectory* dir, BPath* path);
    bool IsAbsolute();
};
