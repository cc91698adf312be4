#pragma once

// Nodes and their attributes.
//
// An attribute NAME is the extended attribute "user.NAME" holding exactly the
// attribute's bytes, so `getfattr -n user.NAME` shows them. A value needs no more when
// its type is the one its bytes imply (text: B_STRING_TYPE; "mime_type":
// B_MIME_STRING_TYPE); any other type code is kept in the companion attribute
// "user.tarnw.type.NAME" (four bytes, big-endian, so a 'CSTR' reads as the text CSTR).
// Values without a companion, ours or written by other tools, read as their implied
// type (see NodeAttributes.h). Names beginning with "tarnw.type." are reserved and never
// listed.
//
// Errors: B_ATTRIBUTES_NOT_SUPPORTED on file systems without user extended attributes
// and on symbolic links (Linux allows none there); B_ENTRY_NOT_FOUND for a missing
// attribute.

#include <string>
#include <vector>

#include "platform/storage/Statable.h"

class BEntry;
class BDirectory;
struct entry_ref;

struct attr_info {
    uint32 type;
    off_t size;
};

class BNode : public BStatable {
public:
    BNode();
    BNode(const entry_ref* ref);
    BNode(const BEntry* entry);
    BNode(const char* path);
    BNode(const BDirectory* dir, const char* path);
    BNode(const BNode& other);
    ~BNode() override;

    BNode& operator=(const BNode& other);
    bool operator==(const BNode& other) const;
    bool operator!=(const BNode& other) const { return !(*this == other); }

    status_t InitCheck() const;
    // The path forms follow a symbolic link to its target; the entry forms open the
    // entry as it is (a link stays a link).
    status_t SetTo(const entry_ref* ref);
    status_t SetTo(const BEntry* entry);
    status_t SetTo(const char* path);
    status_t SetTo(const BDirectory* dir, const char* path);
    void Unset();

    status_t GetStat(struct stat* st) const override;
    status_t Sync();

    // Writes `length` bytes at `offset` (offset 0 replaces the whole value) and returns
    // the bytes written or an error.
    ssize_t WriteAttr(const char* name, type_code type, off_t offset, const void* buffer,
                      size_t length);
    // Reads at most `length` bytes from `offset`; returns the bytes read or an error.
    // The type argument is not checked, as on the old platform.
    ssize_t ReadAttr(const char* name, type_code type, off_t offset, void* buffer,
                     size_t length) const;
    status_t RemoveAttr(const char* name);
    status_t RenameAttr(const char* oldName, const char* newName);
    status_t GetAttrInfo(const char* name, attr_info* info) const;
    // Iterates the attribute names (without "user."), B_ENTRY_NOT_FOUND at the end.
    // `buffer` holds B_ATTR_NAME_LENGTH bytes.
    status_t GetNextAttrName(char* buffer);
    status_t RewindAttrs();

    // Linux extensions: the path the node was opened from, and its descriptor (-1 when
    // the node could only be referenced, e.g. a symbolic link or an unreadable file).
    const char* Path() const { return fPath.c_str(); }
    int Descriptor() const { return fFd; }

protected:
    const char* StatPath() const override { return fPath.c_str(); }
    bool StatFollowsLinks() const override { return false; }

    // Opens the absolute, resolved `path` as a node: read-only where possible, else
    // by path alone (fFd -1). A symbolic link at the end is opened as the link.
    status_t OpenNode(const std::string& path);
    // Takes over an open descriptor (BFile opens with its own flags).
    void AdoptDescriptor(int fd, const std::string& path);
    void CloseNode();

    std::string fPath;
    int fFd;
    bool fIsLink;
    status_t fStatus;

private:
    std::vector<std::string> fAttrNames;
    size_t fAttrCursor;
    bool fAttrListed;
};
