#include "package/GroupContext.h"

#include <cstdio>

GroupContext::GroupContext() : fUid(-1) {}

GroupContext::GroupContext(const char* name) : fName(name != nullptr ? name : ""), fUid(-1) {}

GroupContext::GroupContext(const GroupContext& other)
    : fName(other.fName), fUid(other.fUid), fDescription(other.fDescription) {}

GroupContext::~GroupContext() {}

GroupContext& GroupContext::operator=(const GroupContext& other) {
    if (this != &other) {
        fName = other.fName;
        fUid = other.fUid;
        fDescription = other.fDescription;
    }
    return *this;
}

bool GroupContext::operator==(const GroupContext& other) const {
    return fName.Compare(other.fName) == 0;
}

bool GroupContext::operator>(const GroupContext& other) const {
    return fName.Compare(other.fName) > 0;
}

void GroupContext::SetName(const char* name) {
    fName = name != nullptr ? name : "";
}

void GroupContext::SetUid(const int32& uid) {
    fUid = uid;
}

void GroupContext::SetDescription(const char* description) {
    fDescription = description != nullptr ? description : "";
}

void GroupContext::PrintToStream() const {
    fprintf(stderr, "GroupContext: %ld) name %s, desc (%s)\n", (long)fUid, fName.String(),
            fDescription.String());
}
