#include "package/GroupContextList.h"

#include <vector>

#include "platform/app/Message.h"

namespace {

constexpr const char* kGroupName = "group_name";
constexpr const char* kGroupDescription = "group_description";

} // namespace

GroupContextList::GroupContextList() {}

GroupContextList::~GroupContextList() {}

void GroupContextList::Write(BMessage& message) {
    for (const GroupContext* group : *this) {
        message.AddString(kGroupName, group->Name());
        message.AddString(kGroupDescription, group->Description());
    }
}

void GroupContextList::Read(const BMessage& message) {
    Clear();
    const char* name = nullptr;
    for (int32 i = 0; message.FindString(kGroupName, i, &name) == B_OK; ++i) {
        // A freshly cleared list numbers its groups 0, 1, 2, ... (what NextUid gives).
        GroupContext* group = new GroupContext(name);
        group->SetUid(i);
        const char* description = nullptr;
        if (message.FindString(kGroupDescription, i, &description) == B_OK)
            group->SetDescription(description);
        Insert(group);
    }
}

GroupContext* GroupContextList::FindContext(const int32& uid) {
    for (GroupContext* group = First(); group != nullptr; group = Next()) {
        if (group->Uid() == uid)
            return group;
    }
    return nullptr;
}

void GroupContextList::RemoveContext(const int32& uid) {
    if (FindContext(uid) != nullptr)
        Remove();
}

int32 GroupContextList::NextUid() {
    // While the uids run 0, 1, 2, ... the next one is the size; a removal leaves a uid
    // out of step with its place, and that place is reused.
    int32 candidate = Size();
    int32 position = 0;
    for (const GroupContext* group : *this) {
        if (group->Uid() != position)
            candidate = position;
        ++position;
    }
    // After a removal and an addition the place reused above may already be somebody's
    // uid; two groups must never share one, so take the smallest free uid then.
    std::vector<bool> taken(static_cast<size_t>(Size()) + 1, false);
    bool candidateTaken = false;
    for (const GroupContext* group : *this) {
        if (group->Uid() == candidate)
            candidateTaken = true;
        if (group->Uid() >= 0 && group->Uid() <= Size())
            taken[static_cast<size_t>(group->Uid())] = true;
    }
    if (!candidateTaken)
        return candidate;
    int32 uid = 0;
    while (taken[static_cast<size_t>(uid)])
        ++uid;
    return uid;
}

bool GroupContextList::HasGroup(const char* name) {
    if (name == nullptr)
        return false;
    const GroupContext key(name);
    for (const GroupContext* group : *this) {
        if (*group == key)
            return true;
    }
    return false;
}

GroupContext* GroupContextList::Add(const char* name) {
    if (name == nullptr)
        return nullptr;
    const GroupContext key(name);
    for (GroupContext* group = First(); group != nullptr; group = Next()) {
        if (*group == key)
            return group;
    }
    GroupContext* group = new GroupContext(name);
    group->SetUid(NextUid());
    if (!Insert(group)) {
        delete group;
        return nullptr;
    }
    return group;
}

void GroupContextList::PrintToStream() {
    for (const GroupContext* group : *this)
        group->PrintToStream();
}
