#include "engine/LibStdDirName.h"

#include <gtest/gtest.h>

#include "lib/LibString.h"

TEST(LibStdDirName, BothWays) {
    directory_which which = B_DESKTOP_DIRECTORY;
    ASSERT_TRUE(LibGetStdDirName("Common Bin", which));
    EXPECT_EQ(which, B_COMMON_BIN_DIRECTORY);
    EXPECT_EQ(int(which), 2007);

    LibString name("untouched");
    EXPECT_TRUE(LibGetStdDirName(directory_which(2007), name));
    EXPECT_STREQ(name, "Common Bin");
    EXPECT_FALSE(LibGetStdDirName(directory_which(5000), name));
    EXPECT_STREQ(name, "Common Bin");
}

TEST(LibStdDirName, NamesAreExact) {
    directory_which which = B_TRASH_DIRECTORY;
    EXPECT_FALSE(LibGetStdDirName("common bin", which));
    EXPECT_EQ(which, B_TRASH_DIRECTORY);
    EXPECT_FALSE(LibStdDirNameExists("User Selected"));
    EXPECT_FALSE(LibStdDirNameExists(nullptr));
    EXPECT_TRUE(LibStdDirNameExists("User Boot"));
    EXPECT_TRUE(LibStdDirNameExists("Utilities"));
}

TEST(LibStdDirName, EveryIdentifierHasOneName) {
    int count = 0;
    for (int32 which = 0; which < 5000; which++) {
        const char* name = LibStdDirNameOf(which);
        if (name == nullptr)
            continue;
        count++;
        directory_which back;
        ASSERT_TRUE(LibGetStdDirName(name, back));
        EXPECT_EQ(int32(back), which);
    }
    EXPECT_EQ(count, 51);
}
