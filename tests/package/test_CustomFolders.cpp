// Custom folder definitions in their three serial forms.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package/CustomFolders.h"
#include "platform/app/Message.h"

namespace {

CustomFolder* Make(const char* name, int32 parent, const char* sub, bool replace, bool common) {
    CustomFolder* folder = new CustomFolder(name);
    folder->ParentFolder(static_cast<directory_which>(parent));
    folder->SubFolder(sub);
    folder->Replace(replace);
    folder->CommonDef(common);
    return folder;
}

std::vector<std::string> Names(CustomFolders& list) {
    std::vector<std::string> names;
    for (CustomFolder* folder = list.First(); folder != nullptr; folder = list.Next())
        names.push_back(folder->Name());
    return names;
}

} // namespace

TEST(CustomFolder, AttributeFormRoundTrips) {
    CustomFolder docs("Docs");
    docs.ParentFolder(static_cast<directory_which>(2009));
    docs.SubFolder("Product/Manuals");
    docs.Replace(true);
    EXPECT_STREQ(docs.AttrDescription(), "Docs;2009;Product/Manuals;1;");

    CustomFolder back;
    ASSERT_TRUE(back.SetFromAttrDescription(docs.AttrDescription()));
    EXPECT_STREQ(back.Name(), "Docs");
    EXPECT_EQ(back.ParentFolderNumber(), 2009);
    EXPECT_STREQ(back.SubFolder(), "Product/Manuals");
    EXPECT_TRUE(back.Replace());

    ASSERT_TRUE(back.SetFromAttrDescription(LibString("Lib;3000;;0")));
    EXPECT_STREQ(back.SubFolder(), "");
    EXPECT_FALSE(back.Replace());

    // Damaged texts change nothing.
    for (const char* bad : {"", "Docs;2009;Sub;", "Docs;x;Sub;1;", "Docs;2009;Sub;yes;"}) {
        EXPECT_FALSE(back.SetFromAttrDescription(LibString(bad))) << bad;
        EXPECT_STREQ(back.Name(), "Lib") << bad;
    }
}

TEST(CustomFolder, MessageFormReadsMissingKeysAsEmpty) {
    CustomFolders list;
    list.Insert(Make("Docs", 2009, "Product/Manuals", true, true));
    list.Insert(Make("Bin", 2005, "", false, false));
    BMessage container;
    list.Write(container);
    ASSERT_EQ(container.CountValues("custom_folder"), 2);
    BMessage first;
    ASSERT_EQ(container.FindMessage("custom_folder", 0, &first), B_OK);
    EXPECT_FALSE(first.HasBool("common")); // the common flag is not stored

    CustomFolders read;
    read.Read(container);
    ASSERT_EQ(read.Size(), 2);
    EXPECT_STREQ(read.Get(0)->SubFolder(), "Product/Manuals");
    EXPECT_EQ(read.Get(1)->ParentFolderNumber(), 2005);
    EXPECT_FALSE(read.Get(0)->CommonDef());

    CustomFolder empty("Keep");
    empty.Read(BMessage());
    EXPECT_STREQ(empty.Name(), "");
    EXPECT_EQ(empty.ParentFolderNumber(), 0);
    EXPECT_FALSE(empty.Replace());
}

TEST(CustomFolders, TheFirstDefinitionOfANameCounts) {
    CustomFolders list;
    list.Insert(Make("Docs", 2009, "First", true, false));
    list.Insert(Make("Docs", 2009, "Second", true, false));
    ASSERT_NE(list.Find("Docs"), nullptr);
    EXPECT_STREQ(list.Find("Docs")->SubFolder(), "First");
    EXPECT_TRUE(list.IsCustom("Docs"));
    EXPECT_FALSE(list.IsCustom("docs"));
    EXPECT_EQ(list.Find(nullptr), nullptr);
}

TEST(CustomFolders, PreferenceSetsAreNumberedFromZero) {
    CustomFolders list;
    list.Insert(Make("Shared", 2009, "S", true, true));
    list.Insert(Make("Mine", 3005, "M", false, false));
    list.Insert(Make("Also", 3006, "A", true, false));

    BMessage user;
    list.WritePref(user, true);
    EXPECT_EQ(user.GetInt32("custom_folder_qty", -1), 2);
    EXPECT_STREQ(user.GetString("custom_folder_name_0"), "Mine");
    EXPECT_EQ(user.GetInt32("custom_folder_parent_0"), 3005);
    EXPECT_STREQ(user.GetString("custom_folder_sub_dir_1"), "A");
    EXPECT_TRUE(user.GetBool("custom_folder_replace_1"));
    EXPECT_FALSE(user.HasString("custom_folder_name_2"));

    CustomFolders commonOnly;
    commonOnly.Insert(Make("Shared", 2009, "S", true, true));
    BMessage none;
    commonOnly.WritePref(none, true);
    EXPECT_EQ(none.GetInt32("custom_folder_qty", -1), 0);
    EXPECT_FALSE(none.HasString("custom_folder_name_0"));
}

TEST(CustomFolders, ReadingTheCommonSetRenamesClashingUserDefinitions) {
    CustomFolders list;
    list.Insert(Make("Docs", 3005, "Mine", true, false));
    BMessage common;
    CustomFolders source;
    source.Insert(Make("Docs", 2009, "Shared", true, true));
    source.WritePref(common, false);

    list.ReadPref(common, false);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Docs Renamed", "Docs"}));
    EXPECT_FALSE(list.Get(0)->CommonDef());
    EXPECT_TRUE(list.Get(1)->CommonDef());
    EXPECT_STREQ(list.Find("Docs")->SubFolder(), "Shared");
    EXPECT_EQ(list.CountCommonCustom(), 1);
}

TEST(CustomFolders, ACountBeyondTheDefinitionsStopsAtTheLastOne) {
    BMessage prefs;
    prefs.AddInt32("custom_folder_qty", 2000000000);
    prefs.AddString("custom_folder_name_0", "Only");
    CustomFolders list;
    list.ReadPref(prefs, true);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Only"}));
}
