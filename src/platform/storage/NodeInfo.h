#pragma once

// Type information of a node: its MIME type and preferred application.

#include "platform/storage/Mime.h"

class BBitmap;
class BNode;
struct entry_ref;

// Attribute holding the signature of the application that opens a file.
inline constexpr const char* B_PREFERRED_APP_ATTR = "preferred_app";

class BNodeInfo {
public:
    BNodeInfo();
    BNodeInfo(BNode* node);
    virtual ~BNodeInfo();

    status_t SetTo(BNode* node);
    status_t InitCheck() const;

    // Buffers hold B_MIME_TYPE_LENGTH bytes. B_ENTRY_NOT_FOUND when the node has none.
    virtual status_t GetType(char* type) const;
    virtual status_t SetType(const char* type); // null removes the type
    status_t GetPreferredApp(char* signature, app_verb verb = B_OPEN) const;
    status_t SetPreferredApp(const char* signature, app_verb verb = B_OPEN);

    // Icons belong to the graphical layer; until it supplies them these answer
    // B_NOT_SUPPORTED.
    status_t GetTrackerIcon(BBitmap* icon, icon_size size = B_LARGE_ICON) const;
    static status_t GetTrackerIcon(const entry_ref* ref, BBitmap* icon,
                                   icon_size size = B_LARGE_ICON);

protected:
    BNode* fNode;
    status_t fStatus;
};
