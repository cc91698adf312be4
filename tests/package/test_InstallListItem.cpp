// Install file records: reading, writing from real files, display text and fitting.

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>
#include <vector>

#include "package/InstallListItem.h"
#include "platform/app/Message.h"
#include "platform/interface/Font.h"
#include "platform/interface/Rect.h"
#include "platform/storage/Node.h"
#include "support/Sandbox.h"

namespace {

std::vector<std::string> Groups(InstallListItem& item) {
    std::vector<std::string> names;
    for (LibString* name = item.Groups().First(); name != nullptr; name = item.Groups().Next())
        names.push_back(name->String());
    return names;
}

BMessage IconArchive(int32 width, int32 bytesPerRow, int32 colorSpace, size_t dataSize,
                     uint8 fill) {
    BMessage archive;
    archive.AddString("class", "LibBitmap");
    archive.AddRect("_frame", BRect(0, 0, width - 1, width - 1));
    archive.AddInt32("_cspace", colorSpace);
    archive.AddInt32("_bmflags", 1);
    archive.AddInt32("_rowbytes", bytesPerRow);
    std::vector<uint8> data(dataSize, fill);
    archive.AddData("_data", B_RAW_TYPE, data.data(), static_cast<ssize_t>(data.size()));
    return archive;
}

} // namespace

TEST(InstallListItem, ReadsARecordAsTheWindowDoes) {
    BMessage record;
    record.AddString("file_name", "/build/Demo/Demo App");
    record.AddInt8("file_type", 1);
    record.AddInt32("file_size", 4096);
    record.AddInt32("file_size", 1);
    record.AddString("groups", "Typical;Documents;");

    InstallListItem item(false);
    item.SetShowFullPath(false);
    item.Read(record);
    EXPECT_STREQ(item.Path(), "/build/Demo/Demo App");
    EXPECT_STREQ(item.DisplayText(), "Demo App");
    EXPECT_EQ(item.Type(), FileListItem::kApplication);
    EXPECT_EQ(item.Size(), 4096);
    EXPECT_EQ(Groups(item), (std::vector<std::string>{"Typical", "Documents"}));
    EXPECT_TRUE(item.InGroup("Documents"));
    EXPECT_FALSE(item.InGroup("documents"));
    EXPECT_TRUE(item.Icon().IsBlank());
    EXPECT_EQ(item.Left(), 3);

    InstallListItem bare(false);
    BMessage empty;
    bare.Read(empty);
    EXPECT_STREQ(bare.Path(), "");
    EXPECT_STREQ(bare.DisplayText(), "");
    EXPECT_EQ(bare.Size(), 0);
    EXPECT_TRUE(bare.Icon().IsBlank());
}

TEST(InstallListItem, GroupTextsWithoutTheLastSemicolonOrWithEmptyFields) {
    InstallListItem item;
    item.SetGroupsText("Typical;;Documents");
    EXPECT_EQ(Groups(item), (std::vector<std::string>{"Typical", "Documents"}));
    EXPECT_STREQ(item.GroupsText(), "Typical;Documents;");
    item.SetGroupsText("");
    EXPECT_TRUE(Groups(item).empty());
}

TEST(InstallListItem, IconsComeOnlyFromWellFormedArchives) {
    InstallListItem item;
    const struct {
        const char* what;
        BMessage archive;
        bool taken;
    } cases[] = {
        {"palette icon", IconArchive(16, 16, 4, 256, 7), true},
        {"padded rows", IconArchive(16, 20, 4, 20 * 15 + 16, 7), true},
        {"short data", IconArchive(16, 16, 4, 255, 9), false},
        {"large icon", IconArchive(32, 32, 4, 1024, 9), false},
        {"32-bit pixels", IconArchive(16, 64, 8, 1024, 9), false},
        {"narrow rows", IconArchive(16, 8, 4, 256, 9), false},
        {"huge rows", IconArchive(16, INT32_MAX, 4, 256, 9), false},
    };
    for (const auto& c : cases) {
        FileIcon icon;
        EXPECT_EQ(icon.SetFromArchive(c.archive), c.taken) << c.what;
        EXPECT_EQ(icon.IsBlank(), !c.taken) << c.what;
        if (c.taken) {
            EXPECT_EQ(icon.Bits()[255], 7) << c.what;
        }
    }

    BMessage record;
    BMessage archive = IconArchive(16, 16, 4, 256, 42);
    record.AddMessage("file_icon", &archive);
    item.Read(record);
    EXPECT_EQ(item.Icon().Bits()[0], 42);
    BMessage written;
    item.Icon().Archive(written);
    EXPECT_STREQ(written.GetString("class"), "LibBitmap");
    EXPECT_EQ(written.GetInt32("_cspace"), 4);
    EXPECT_EQ(written.GetInt32("_rowbytes"), 16);
}

TEST(InstallListItem, WritesRecordsFromRealFiles) {
    const auto folder = tarnw::test::Sandbox::MakeFolder("item");
    const std::string path = (folder / "readme.txt").string();
    tarnw::test::WriteFile(path, std::string(100, 'x'));
    {
        BNode node(path.c_str());
        std::vector<uint8> pixels(256, 5);
        ASSERT_EQ(node.WriteAttr("BEOS:M:STD_ICON", 'MICN', 0, pixels.data(), 256), 256);
        ASSERT_EQ(node.WriteAttr("note", B_STRING_TYPE, 0, "hello", 5), 5);
    }
    struct utimbuf times = {1000000, 2000000};
    ASSERT_EQ(utime(path.c_str(), &times), 0);

    InstallListItem item(path.c_str(), true, false);
    item.SetType(FileListItem::DetectType(path.c_str()));
    item.SetGroupsText("Typical;Documents;");
    item.SetSize(77);
    EXPECT_STREQ(item.DisplayText(), "readme.txt");
    EXPECT_EQ(item.Icon().Bits()[0], 5);

    BMessage record;
    item.Write(record);
    EXPECT_STREQ(record.GetString("file_name"), path.c_str());
    EXPECT_EQ(record.GetInt8("file_type", -1), 0);
    int32 size = 0;
    ASSERT_EQ(record.FindInt32("file_size", 0, &size), B_OK);
    EXPECT_EQ(size, 100 + 256 + 5); // data and attributes
    ASSERT_EQ(record.FindInt32("file_size", 1, &size), B_OK);
    EXPECT_EQ(size, 77);
    EXPECT_EQ(record.GetInt64("file_modified"), 2000000);
    EXPECT_EQ(record.GetInt64("file_accessed"), 1000000);
    EXPECT_TRUE(record.HasInt64("file_creation"));
    EXPECT_STREQ(record.GetString("groups"), "Typical;Documents;");

    // What the packer writes is what the window reads; the size is the first value.
    InstallListItem row(false);
    row.Read(record);
    EXPECT_STREQ(row.Path(), path.c_str());
    EXPECT_EQ(row.Size(), 100 + 256 + 5);
    EXPECT_EQ(Groups(row), Groups(item));
    EXPECT_TRUE(row.Icon() == item.Icon());

    InstallListItem copy(item, false);
    EXPECT_EQ(Groups(copy), Groups(item));
    EXPECT_EQ(copy.Size(), 77);
    EXPECT_FALSE(copy.Indented());
}

TEST(InstallListItem, KindsOfEntries) {
    const auto folder = tarnw::test::Sandbox::MakeFolder("kinds");
    const std::string script = (folder / "run.sh").string();
    tarnw::test::WriteFile(script, "#!/bin/sh\n");
    chmod(script.c_str(), 0755);
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    ASSERT_GT(length, 0);
    self[length] = '\0';

    EXPECT_EQ(FileListItem::DetectType(folder.c_str()), FileListItem::kFolder);
    EXPECT_EQ(FileListItem::DetectType(self), FileListItem::kApplication);
    EXPECT_EQ(FileListItem::DetectType(script.c_str()), FileListItem::kFile);
    EXPECT_EQ(FileListItem::DetectType((folder / "missing").c_str()), FileListItem::kFile);
    // A link is a link, whatever it points to (even nothing).
    std::filesystem::create_directory_symlink(folder, folder / "to-folder");
    std::filesystem::create_symlink(folder / "missing", folder / "dangling");
    EXPECT_EQ(FileListItem::DetectType((folder / "to-folder").c_str()), FileListItem::kLink);
    EXPECT_EQ(FileListItem::DetectType((folder / "dangling").c_str()), FileListItem::kLink);
}

TEST(FileListItem, DisplayTextFollowsTheFlagsAndFitsTheRow) {
    FileListItem item("/boot/apps/Demo/a rather long file name.txt", true, true);
    EXPECT_STREQ(item.DisplayText(), "/boot/apps/Demo/a rather long file name.txt");
    LibString folder, rest;
    item.SplitDisplayText(folder, rest);
    EXPECT_STREQ(folder, "/boot/apps/Demo");
    EXPECT_STREQ(rest, "/a rather long file name.txt");
    item.SetShowFullPath(false);
    EXPECT_STREQ(item.DisplayText(), "a rather long file name.txt");
    item.SplitDisplayText(folder, rest);
    EXPECT_STREQ(folder, "");
    EXPECT_STREQ(rest, "a rather long file name.txt");

    BFont font;
    // Mode 0 never shortens, however narrow the list.
    item.Update(10, &font);
    EXPECT_EQ(item.Height(), 18);
    EXPECT_STREQ(item.DisplayText(), "a rather long file name.txt");

    item.SetShowFullPath(true);
    item.SetTruncateMode(FileListItem::kTruncateBeginning);
    const std::string full = item.DisplayText();
    item.Update(16 + 14 + 7 + 1000, &font);
    EXPECT_EQ(full, item.DisplayText()) << "fits: unchanged";
    item.Update(16 + 14 + 7 + 80, &font);
    const std::string shortened = item.DisplayText();
    EXPECT_LT(shortened.size(), full.size());
    EXPECT_LE(font.StringWidth(shortened.c_str()), 80);
    EXPECT_EQ(full.substr(full.size() - 4), shortened.substr(shortened.size() - 4));
    // The full text comes back through the setters.
    item.SetDisplayText();
    EXPECT_EQ(full, item.DisplayText());
}
