#pragma once

#include "lib/LinkList.h"
#include "package/GroupContext.h"

class BMessage;

// The package's install groups, in the order of the configuration's "groups" message:
// two parallel string arrays, "group_name"[i] and "group_description"[i].
class GroupContextList : public LinkList<GroupContext> {
public:
    GroupContextList();
    virtual ~GroupContextList();

    // Appends "group_name" and "group_description" for every group in list order.
    void Write(BMessage& message);
    // Replaces the list by the groups of the message, numbered 0, 1, 2, ... in message
    // order; a group without a description gets an empty one.
    void Read(const BMessage& message);

    GroupContext* FindContext(const int32& uid);
    // Removes and deletes the first group with that uid; nothing when there is none.
    void RemoveContext(const int32& uid);
    // An identity for the next group: the list size while the uids run 0, 1, 2, ... in
    // order, else the position of a group whose uid is out of step with its place,
    // and never a uid that a group of the list already carries.
    int32 NextUid();
    bool HasGroup(const char* name);
    // Adds a group of that name (letter case counting) unless one exists; returns the
    // group of that name.
    GroupContext* Add(const char* name);

    void PrintToStream();
};
