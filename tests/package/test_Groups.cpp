// Install groups and their message form.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/GroupContextList.h"
#include "platform/app/Message.h"

namespace {

std::vector<std::string> Names(GroupContextList& list) {
    std::vector<std::string> names;
    for (GroupContext* group = list.First(); group != nullptr; group = list.Next())
        names.push_back(group->Name());
    return names;
}

std::vector<int32> Uids(GroupContextList& list) {
    std::vector<int32> uids;
    for (GroupContext* group = list.First(); group != nullptr; group = list.Next())
        uids.push_back(group->Uid());
    return uids;
}

} // namespace

TEST(GroupContextList, ReadsGroupsInMessageOrderAndReplacesOldOnes) {
    BMessage message;
    for (const char* name : {"Typical", "Full", "Minimal"})
        message.AddString("group_name", name);
    message.AddString("group_description", "Most people");
    message.AddString("group_description", "Everything");

    GroupContextList list;
    list.Add("Stale");
    list.Read(message);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Typical", "Full", "Minimal"}));
    EXPECT_EQ(Uids(list), (std::vector<int32>{0, 1, 2}));
    EXPECT_STREQ(list.Get(0)->Description(), "Most people");
    EXPECT_STREQ(list.Get(2)->Description(), "");
    EXPECT_EQ(list.FindContext(1), list.Get(1));
    EXPECT_EQ(list.FindContext(3), nullptr);

    BMessage written;
    list.Write(written);
    EXPECT_EQ(written.CountValues("group_name"), 3);
    EXPECT_EQ(written.CountValues("group_description"), 3);
    GroupContextList again;
    again.Read(written);
    EXPECT_EQ(Names(again), Names(list));
    EXPECT_STREQ(again.Get(1)->Description(), "Everything");
}

TEST(GroupContextList, NamesCountLetterCase) {
    GroupContextList list;
    list.Add("Docs");
    list.Add("docs");
    list.Add("Docs");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Docs", "docs"}));
    EXPECT_TRUE(list.HasGroup("docs"));
    EXPECT_FALSE(list.HasGroup("DOCS"));
}

TEST(GroupContextList, UidsAreReusedButNeverShared) {
    GroupContextList list;
    list.Add("A");
    list.Add("B");
    list.Add("C");
    list.RemoveContext(1);
    EXPECT_EQ(Uids(list), (std::vector<int32>{0, 2}));
    EXPECT_EQ(list.NextUid(), 1);
    list.Add("D");
    EXPECT_EQ(Uids(list), (std::vector<int32>{0, 2, 1}));
    // Counting by place would now give 2, which C already carries.
    list.Add("E");
    EXPECT_EQ(Uids(list), (std::vector<int32>{0, 2, 1, 3}));
    list.RemoveContext(42); // nothing happens
    EXPECT_EQ(list.Size(), 4);
}
