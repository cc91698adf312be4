#include <gtest/gtest.h>

#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/storage/Directory.h"
#include "platform/storage/Entry.h"
#include "platform/storage/File.h"
#include "platform/storage/Path.h"
#include "platform/storage/SymLink.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

TEST(Path, NormalisesAndSplits) {
    fs::path root = fs::canonical(Sandbox::MakeFolder("path"));
    fs::create_directories(root / "a/b");
    BPath path((root / "a").c_str(), "b/../b/./c.txt");
    ASSERT_EQ(path.InitCheck(), B_OK);
    EXPECT_STREQ(path.Path(), (root / "a/b/c.txt").c_str());
    EXPECT_STREQ(path.Leaf(), "c.txt");
    BPath parent;
    ASSERT_EQ(path.GetParent(&parent), B_OK);
    EXPECT_STREQ(parent.Path(), (root / "a/b").c_str());
    ASSERT_EQ(parent.Append("d/e"), B_OK);
    EXPECT_STREQ(parent.Path(), (root / "a/b/d/e").c_str());

    // Folders that do not exist yet are normalised by their text.
    BPath future((root / "x//y/../z/").c_str());
    EXPECT_STREQ(future.Path(), (root / "x/z").c_str());
    EXPECT_EQ(BPath((root / "x/z").c_str(), nullptr, true).InitCheck(), B_ENTRY_NOT_FOUND);

    // A folder reached through a link resolves to the real folder when asked.
    fs::create_directory_symlink(root / "a", root / "link");
    BPath resolved((root / "link").c_str(), "b", true);
    EXPECT_STREQ(resolved.Path(), (root / "a/b").c_str());

    BPath top("/");
    EXPECT_STREQ(top.Leaf(), "");
    EXPECT_EQ(top.GetParent(&parent), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(BPath("/a", "/b").InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(BPath(static_cast<const char*>(nullptr)).InitCheck(), B_BAD_VALUE);

    // A relative path is taken from the working directory.
    fs::path cwd = fs::current_path();
    fs::current_path(root);
    EXPECT_STREQ(BPath("a/b").Path(), (root / "a/b").c_str());
    fs::current_path(cwd);
}

TEST(Entry, AbstractEntriesRefsAndMoves) {
    fs::path root = fs::canonical(Sandbox::MakeFolder("entry"));
    BEntry missing((root / "later.txt").c_str());
    ASSERT_EQ(missing.InitCheck(), B_OK) << "an entry may name something not yet there";
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(BEntry((root / "no/such/thing").c_str()).InitCheck(), B_ENTRY_NOT_FOUND);

    WriteFile(root / "later.txt", "hello");
    EXPECT_TRUE(missing.Exists());
    EXPECT_TRUE(missing.IsFile());
    char name[B_FILE_NAME_LENGTH];
    ASSERT_EQ(missing.GetName(name), B_OK);
    EXPECT_STREQ(name, "later.txt");

    entry_ref ref;
    ASSERT_EQ(missing.GetRef(&ref), B_OK);
    EXPECT_STREQ(ref.name, "later.txt");
    struct stat folder;
    ASSERT_EQ(stat(root.c_str(), &folder), 0);
    EXPECT_EQ(ref.device, folder.st_dev);
    EXPECT_EQ(ref.directory, folder.st_ino);
    entry_ref same;
    ASSERT_EQ(get_ref_for_path((root / "./later.txt").c_str(), &same), B_OK);
    EXPECT_EQ(ref, same);
    BPath fromRef(&ref);
    EXPECT_STREQ(fromRef.Path(), (root / "later.txt").c_str());

    // Links: followed only when asked.
    fs::create_symlink(root / "later.txt", root / "link");
    BEntry link((root / "link").c_str());
    EXPECT_TRUE(link.IsSymLink());
    BEntry followed((root / "link").c_str(), true);
    EXPECT_TRUE(followed.IsFile());
    EXPECT_STREQ(followed.Path(), (root / "later.txt").c_str());
    fs::create_symlink(root / "gone", root / "dangling");
    EXPECT_EQ(BEntry((root / "dangling").c_str(), true).InitCheck(), B_ENTRY_NOT_FOUND);

    // Rename refuses to replace unless asked.
    WriteFile(root / "other.txt", "other");
    EXPECT_EQ(missing.Rename("other.txt"), B_FILE_EXISTS);
    EXPECT_EQ(ReadFile(root / "other.txt"), "other");
    ASSERT_EQ(missing.Rename("renamed.txt"), B_OK);
    EXPECT_STREQ(missing.Path(), (root / "renamed.txt").c_str());
    fs::create_directory(root / "sub");
    BDirectory sub((root / "sub").c_str());
    ASSERT_EQ(missing.MoveTo(&sub), B_OK);
    EXPECT_EQ(ReadFile(root / "sub/renamed.txt"), "hello");
    ASSERT_EQ(missing.MoveTo(&sub, "final.txt"), B_OK);
    BEntry parent;
    ASSERT_EQ(missing.GetParent(&parent), B_OK);
    EXPECT_STREQ(parent.Path(), (root / "sub").c_str());
    ASSERT_EQ(missing.Remove(), B_OK);
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(parent.Remove(), B_OK) << "an empty folder can be removed";
}

TEST(Directory, ListsEntriesInDirectoryOrderWithoutFollowingLinks) {
    fs::path root = fs::canonical(Sandbox::MakeFolder("dir"));
    for (const char* name : {"zeta", "alpha", "mid", "beta"})
        WriteFile(root / name, name);
    fs::create_directory(root / "folder");
    fs::create_symlink(root / "alpha", root / "link");

    std::vector<std::string> expected;
    DIR* raw = opendir(root.c_str());
    while (dirent* item = readdir(raw))
        if (std::string(item->d_name) != "." && std::string(item->d_name) != "..")
            expected.push_back(item->d_name);
    closedir(raw);

    BDirectory dir(root.c_str());
    ASSERT_EQ(dir.InitCheck(), B_OK);
    EXPECT_EQ(dir.CountEntries(), 6);
    std::vector<std::string> seen;
    BEntry entry;
    while (dir.GetNextEntry(&entry) == B_OK) {
        char name[B_FILE_NAME_LENGTH];
        entry.GetName(name);
        seen.push_back(name);
        if (seen.back() == "link") {
            EXPECT_TRUE(entry.IsSymLink());
        }
    }
    EXPECT_EQ(seen, expected);
    ASSERT_EQ(dir.Rewind(), B_OK);
    entry_ref ref;
    ASSERT_EQ(dir.GetNextRef(&ref), B_OK);
    EXPECT_EQ(ref.name, expected.front());

    EXPECT_TRUE(dir.Contains("alpha", B_FILE_NODE));
    EXPECT_FALSE(dir.Contains("alpha", B_DIRECTORY_NODE));
    EXPECT_TRUE(dir.Contains("folder", B_DIRECTORY_NODE));
    EXPECT_TRUE(dir.Contains("link", B_SYMLINK_NODE));
    EXPECT_FALSE(dir.Contains("nothing"));
    EXPECT_FALSE(dir.Contains(root.parent_path().c_str()));
    ASSERT_EQ(dir.FindEntry("mid", &entry), B_OK);
    EXPECT_EQ(dir.FindEntry("absent", &entry), B_ENTRY_NOT_FOUND);

    BDirectory created;
    ASSERT_EQ(dir.CreateDirectory("new", &created), B_OK);
    EXPECT_EQ(dir.CreateDirectory("new", nullptr), B_FILE_EXISTS);
    BFile file;
    ASSERT_EQ(created.CreateFile("inside", &file), B_OK);
    EXPECT_EQ(file.Write("abc", 3), 3);
    EXPECT_EQ(created.CreateFile("inside", nullptr, true), B_FILE_EXISTS);
    BSymLink symlink;
    ASSERT_EQ(created.CreateSymLink("to-inside", "inside", &symlink), B_OK);
    char target[B_PATH_NAME_LENGTH];
    EXPECT_EQ(symlink.ReadLink(target, sizeof target), 6);
    EXPECT_STREQ(target, "inside");
    BPath linked;
    ASSERT_GT(symlink.MakeLinkedPath(&created, &linked), 0);
    EXPECT_STREQ(linked.Path(), (root / "new/inside").c_str());

    EXPECT_EQ(create_directory((root / "deep/er/still").c_str(), 0755), B_OK);
    EXPECT_TRUE(fs::is_directory(root / "deep/er/still"));
    EXPECT_EQ(create_directory((root / "deep/er/still").c_str(), 0755), B_OK);
    EXPECT_EQ(create_directory((root / "alpha/x").c_str(), 0755), B_NOT_A_DIRECTORY);
    EXPECT_TRUE(BDirectory("/").IsRootDirectory());
}

TEST(File, OpenModesAndPositionedIo) {
    fs::path root = fs::canonical(Sandbox::MakeFolder("file"));
    fs::path path = root / "data";
    EXPECT_EQ(BFile(path.c_str(), B_READ_ONLY).InitCheck(), B_ENTRY_NOT_FOUND);

    BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS);
    ASSERT_EQ(file.InitCheck(), B_OK);
    EXPECT_EQ(file.Write("hello world", 11), 11);
    EXPECT_EQ(file.Position(), 11);
    EXPECT_EQ(file.Seek(-5, SEEK_END), 6);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 5), 5);
    EXPECT_STREQ(buffer, "world");
    EXPECT_EQ(file.WriteAt(0, "J", 1), 1);
    EXPECT_EQ(file.ReadAt(0, buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, 5), "Jello");
    ASSERT_EQ(file.SetSize(4), B_OK);
    off_t size = 0;
    EXPECT_EQ(file.GetSize(&size), B_OK);
    EXPECT_EQ(size, 4);
    file.Unset();

    EXPECT_EQ(BFile(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS).InitCheck(),
              B_FILE_EXISTS);
    BFile append(path.c_str(), B_WRITE_ONLY | B_OPEN_AT_END);
    EXPECT_EQ(append.Write("!", 1), 1);
    EXPECT_EQ(append.Read(buffer, 1), B_NOT_ALLOWED);
    EXPECT_EQ(ReadFile(path), "Jell!");
    BFile reader(path.c_str(), B_READ_ONLY);
    EXPECT_EQ(reader.Write("x", 1), B_NOT_ALLOWED);
    BFile erase(path.c_str(), B_WRITE_ONLY | B_ERASE_FILE);
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_EQ(BFile(root.c_str(), B_READ_ONLY).InitCheck(), B_IS_A_DIRECTORY);

    // Through a link, the file itself is opened.
    fs::create_symlink(path, root / "link");
    BFile viaLink((root / "link").c_str(), B_READ_WRITE);
    EXPECT_STREQ(viaLink.Path(), path.c_str());

    // Times set on a node are what stat reports.
    BEntry entry(path.c_str());
    ASSERT_EQ(entry.SetModificationTime(1000000000), B_OK);
    time_t mtime = 0;
    EXPECT_EQ(entry.GetModificationTime(&mtime), B_OK);
    EXPECT_EQ(mtime, 1000000000);
    EXPECT_EQ(entry.SetCreationTime(5), B_NOT_SUPPORTED);
}
