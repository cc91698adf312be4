#include "lib/LibStringList.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/app/Message.h"

namespace {

std::vector<std::string> Items(LibStringList& list) {
    std::vector<std::string> items;
    for (LibString* s = list.First(); s != nullptr; s = list.Next())
        items.emplace_back(static_cast<const char*>(*s));
    return items;
}

using Strings = std::vector<std::string>;

} // namespace

TEST(LibStringList, AddFindAndRemove) {
    LibStringList list;
    EXPECT_TRUE(list.Add("text/plain"));
    list.Add("image/png");
    list.Add("text/html");
    list.Add("image/png");
    EXPECT_EQ(list.Size(), 4);

    EXPECT_TRUE(list.InList("image/png"));
    EXPECT_FALSE(list.InList("IMAGE/PNG"));
    EXPECT_FALSE(list.InList("missing"));
    EXPECT_EQ(list.Position(static_cast<const LibString*>(nullptr)), -1);
    EXPECT_FALSE(list.InList(static_cast<const char*>(nullptr)));

    LibString* found = list.Find("TEXT/", true, 5);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(*found, "text/plain");
    EXPECT_EQ(list.Find("TEXT/", false, 5), nullptr);
    EXPECT_EQ(list.Find("text/html"), list.Get(2));
    EXPECT_EQ(list.Find("text/"), nullptr); // the whole text must match

    EXPECT_TRUE(list.Remove("image/png"));
    EXPECT_EQ(Items(list), (Strings{"text/plain", "text/html", "image/png"}));
    EXPECT_TRUE(list.Remove(LibString("text/plain")));
    EXPECT_FALSE(list.Remove("nothing"));
    EXPECT_EQ(Items(list), (Strings{"text/html", "image/png"}));

    LibString key("x");
    list.Add("x");
    list.Add("y");
    list.Add("x");
    EXPECT_TRUE(list.LinkList<LibString>::Remove(&key, true));
    EXPECT_EQ(Items(list), (Strings{"text/html", "image/png", "y"}));
}

TEST(LibStringList, CopiesAreIndependent) {
    LibStringList list;
    list.Add("a");
    list.Add("b");
    LibStringList copy(list);
    LibStringList assigned;
    assigned.Add("old");
    assigned = list;
    list.First();
    list.Remove();
    *list.First() = "changed";
    EXPECT_EQ(Items(copy), (Strings{"a", "b"}));
    EXPECT_EQ(Items(assigned), (Strings{"a", "b"}));
    EXPECT_EQ(Items(list), (Strings{"changed"}));

    testing::internal::CaptureStderr();
    copy.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "LibString:: <a>, buffer 2\nLibString:: <b>, buffer 2\n");
}

TEST(LibStringList, ExchangesStringsWithMessages) {
    BMessage message('test');
    message.AddString("types", "text/plain");
    message.AddString("types", "image/gif");
    message.AddInt32("count", 3);

    LibStringList list;
    list.Add("kept");
    list.Append(message, "types");
    EXPECT_EQ(Items(list), (Strings{"kept", "text/plain", "image/gif"}));

    // A message without the field leaves the list alone; with it, it replaces the list.
    list.SetTo(message, "absent");
    EXPECT_EQ(list.Size(), 3);
    list.SetTo(message, "count"); // not strings
    EXPECT_EQ(list.Size(), 3);
    list.SetTo(message, "types");
    EXPECT_EQ(Items(list), (Strings{"text/plain", "image/gif"}));

    BMessage out;
    list.GetFrom(out, "files");
    const char* text = nullptr;
    ASSERT_EQ(out.FindString("files", 0, &text), B_OK);
    EXPECT_STREQ(text, "text/plain");
    ASSERT_EQ(out.FindString("files", 1, &text), B_OK);
    EXPECT_STREQ(text, "image/gif");
    EXPECT_NE(out.FindString("files", 2, &text), B_OK);

    LibStringList roundTrip;
    roundTrip.SetTo(out, "files");
    EXPECT_EQ(Items(roundTrip), Items(list));
}
