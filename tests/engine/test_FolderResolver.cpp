#include "engine/FolderResolver.h"

#include <gtest/gtest.h>

#include "engine/LibStdDirName.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"

namespace {

BMessage Definition(const char* name, directory_which root, const char* sub, bool replace) {
    BMessage definition;
    definition.AddString("custom_folder_name", name);
    definition.AddInt32("custom_root_dir", root);
    definition.AddString("custom_sub_dir", sub);
    definition.AddBool("custom_replace_existing", replace);
    return definition;
}

std::string Place(directory_which which) {
    BPath path;
    return find_directory(which, &path, false, nullptr) == B_OK && path.Path() != nullptr
               ? path.Path()
               : "";
}

} // namespace

TEST(FolderResolver, EveryStandardNameIsWhereTheSystemKeepsThatFolder) {
    BMessage none;
    FolderResolver resolver(none);
    int resolved = 0;
    for (int32 which = 0; which < 5000; which++) {
        const char* name = LibStdDirNameOf(which);
        if (name == nullptr)
            continue;
        std::optional<ResolvedFolder> folder = resolver.Resolve(name);
        std::string place = Place(directory_which(which));
        if (place.empty()) {
            EXPECT_FALSE(folder) << name;
            continue;
        }
        ASSERT_TRUE(folder) << name;
        EXPECT_EQ(folder->path, place) << name;
        EXPECT_FALSE(folder->custom);
        resolved++;
    }
    EXPECT_GT(resolved, 20);
    EXPECT_FALSE(resolver.Resolve("common bin")); // names are exact
    EXPECT_FALSE(resolver.Resolve(""));
}

TEST(FolderResolver, ACustomFolderLiesBelowItsRootAndWinsOverAStandardName) {
    BMessage custom;
    BMessage manual = Definition("Manual", B_COMMON_DOCUMENTATION_DIRECTORY, "man/man1", true);
    BMessage shadow = Definition("Desktop", B_COMMON_BIN_DIRECTORY, "shadow", false);
    BMessage root = Definition("Whole Bin", B_COMMON_BIN_DIRECTORY, "", true);
    custom.AddMessage("custom_folder", &manual);
    custom.AddMessage("custom_folder", &shadow);
    custom.AddMessage("custom_folder", &root);
    FolderResolver resolver(custom);

    std::optional<ResolvedFolder> folder = resolver.Resolve("Manual");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->path, Place(B_COMMON_DOCUMENTATION_DIRECTORY) + "/man/man1");
    EXPECT_TRUE(folder->custom);
    EXPECT_EQ(folder->index, 0);
    EXPECT_TRUE(folder->replaceAsked);

    folder = resolver.Resolve("Desktop");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->path, Place(B_COMMON_BIN_DIRECTORY) + "/shadow");
    EXPECT_EQ(folder->index, 1);

    // A definition without a sub folder names the standard folder itself, which is never
    // replaced.
    folder = resolver.Resolve("Whole Bin");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->path, Place(B_COMMON_BIN_DIRECTORY));
    EXPECT_FALSE(folder->replaceAsked);
}

TEST(FolderResolver, ASubFolderThatClimbsOutIsNoPlace) {
    auto resolve = [](const char* sub) {
        BMessage custom;
        BMessage definition = Definition("Out", B_COMMON_BIN_DIRECTORY, sub, false);
        custom.AddMessage("custom_folder", &definition);
        return FolderResolver(custom).Resolve("Out");
    };
    EXPECT_FALSE(resolve("../etc"));
    EXPECT_FALSE(resolve("a/../../b"));
    EXPECT_FALSE(resolve("a/.."));
    // A leading slash still means a folder below the root.
    std::optional<ResolvedFolder> folder = resolve("/etc");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->path, Place(B_COMMON_BIN_DIRECTORY) + "/etc");
}
