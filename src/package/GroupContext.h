#pragma once

#include "lib/LibString.h"
#include "platform/support/SupportDefs.h"

// One install group ("install type"): a name the file records refer to, a description
// shown as its tip, and a small identity number given when it enters a list.
class GroupContext {
public:
    GroupContext();
    explicit GroupContext(const char* name);
    GroupContext(const GroupContext& other);
    virtual ~GroupContext();

    GroupContext& operator=(const GroupContext& other);
    // Groups are the same group when their names are equal, letter case counting.
    bool operator==(const GroupContext& other) const;
    bool operator>(const GroupContext& other) const;

    void SetName(const char* name);
    void SetUid(const int32& uid);
    void SetDescription(const char* description);

    const char* Name() const { return fName; }
    int32 Uid() const { return fUid; }
    const char* Description() const { return fDescription; }

    // "GroupContext: <uid>) name <name>, desc (<description>)" on standard error.
    void PrintToStream() const;

private:
    LibString fName;
    int32 fUid;
    LibString fDescription;
};
