#include "platform/storage/NodeInfo.h"

#include <cstdio>
#include <cstring>

#include "platform/storage/Node.h"

BNodeInfo::BNodeInfo() : fNode(nullptr), fStatus(B_NO_INIT) {}

BNodeInfo::BNodeInfo(BNode* node) : fNode(nullptr), fStatus(B_NO_INIT) {
    SetTo(node);
}

BNodeInfo::~BNodeInfo() = default;

status_t BNodeInfo::SetTo(BNode* node) {
    fNode = nullptr;
    if (node == nullptr || node->InitCheck() != B_OK)
        return fStatus = B_BAD_VALUE;
    fNode = node;
    return fStatus = B_OK;
}

status_t BNodeInfo::InitCheck() const {
    return fStatus;
}

namespace {
// Reads a NUL-free string attribute into a buffer of B_MIME_TYPE_LENGTH bytes.
status_t ReadString(BNode* node, const char* name, char* out) {
    attr_info info;
    status_t status = node->GetAttrInfo(name, &info);
    if (status != B_OK)
        return status;
    if (info.size <= 0 || info.size >= B_MIME_TYPE_LENGTH)
        return B_BAD_DATA;
    ssize_t got = node->ReadAttr(name, B_MIME_STRING_TYPE, 0, out, B_MIME_TYPE_LENGTH - 1);
    if (got < 0)
        return static_cast<status_t>(got);
    out[got] = '\0';
    // Tolerate a terminating NUL written by other tools.
    return strlen(out) > 0 ? B_OK : B_BAD_DATA;
}

status_t WriteString(BNode* node, const char* name, const char* value) {
    if (value == nullptr) {
        status_t status = node->RemoveAttr(name);
        return status == B_ENTRY_NOT_FOUND ? B_OK : status;
    }
    if (!BMimeType::IsValid(value))
        return B_BAD_VALUE;
    ssize_t written = node->WriteAttr(name, B_MIME_STRING_TYPE, 0, value, strlen(value));
    return written < 0 ? static_cast<status_t>(written) : B_OK;
}
} // namespace

status_t BNodeInfo::GetType(char* type) const {
    if (fStatus != B_OK)
        return fStatus;
    if (type == nullptr)
        return B_BAD_VALUE;
    status_t status = ReadString(fNode, B_MIME_TYPE_ATTR, type);
    if (status != B_ENTRY_NOT_FOUND && status != B_ATTRIBUTES_NOT_SUPPORTED)
        return status;
    // A file or folder without a stored type has the one its content shows; types are
    // stored only where they differ from it.
    const char* implied = implied_node_type(fNode->Descriptor(), fNode->Path());
    if (implied == nullptr)
        return status;
    snprintf(type, B_MIME_TYPE_LENGTH, "%s", implied);
    return B_OK;
}

status_t BNodeInfo::SetType(const char* type) {
    if (fStatus != B_OK)
        return fStatus;
    return WriteString(fNode, B_MIME_TYPE_ATTR, type);
}

status_t BNodeInfo::GetPreferredApp(char* signature, app_verb) const {
    if (fStatus != B_OK)
        return fStatus;
    if (signature == nullptr)
        return B_BAD_VALUE;
    return ReadString(fNode, B_PREFERRED_APP_ATTR, signature);
}

status_t BNodeInfo::SetPreferredApp(const char* signature, app_verb) {
    if (fStatus != B_OK)
        return fStatus;
    return WriteString(fNode, B_PREFERRED_APP_ATTR, signature);
}

status_t BNodeInfo::GetTrackerIcon(BBitmap*, icon_size) const {
    return fStatus != B_OK ? fStatus : B_NOT_SUPPORTED;
}

status_t BNodeInfo::GetTrackerIcon(const entry_ref*, BBitmap*, icon_size) {
    return B_NOT_SUPPORTED;
}
