#include <gtest/gtest.h>

#include "lib/LibNearestName.h"

TEST(LibNearestName, ASlipOfTheKeyboardFindsTheNameMeant) {
    const std::vector<std::string> keys = {"license",     "language", "group", "files",
                                           "destination", "volume",   "answer"};
    EXPECT_EQ(LibNearestName("licence", keys), "license");
    EXPECT_EQ(LibNearestName("Destnation", keys), "destination");
    EXPECT_EQ(LibNearestName("gruop", keys), "group"); // two neighbours swapped
    EXPECT_EQ(LibNearestName("Common Bins", {"Common Bin", "Common Lib", "User Bin"}),
              "Common Bin");
}

TEST(LibNearestName, NothingIsSuggestedForAnExactOrAFarName) {
    const std::vector<std::string> keys = {"license", "group"};
    EXPECT_EQ(LibNearestName("license", keys), std::nullopt);
    EXPECT_EQ(LibNearestName("colour", keys), std::nullopt);
    EXPECT_EQ(LibNearestName("", keys), std::nullopt);
    EXPECT_EQ(LibNearestName("xx", {"en", "fr"}), std::nullopt);
    EXPECT_EQ(LibNearestName("anything", {}), std::nullopt);
}

TEST(LibNearestName, DistanceCountsEditsIgnoringCase) {
    EXPECT_EQ(LibEditDistance("", ""), 0u);
    EXPECT_EQ(LibEditDistance("abc", ""), 3u);
    EXPECT_EQ(LibEditDistance("Replace", "replce"), 1u);
    EXPECT_EQ(LibEditDistance("ab", "ba"), 1u);
    EXPECT_EQ(LibEditDistance("kitten", "sitting"), 3u);
}
