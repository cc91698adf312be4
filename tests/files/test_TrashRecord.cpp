#include "files/TrashRecord.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

struct Trash {
    fs::path root = Sandbox::MakeFolder("Trash");
    fs::path files = root / "files";
    fs::path info = root / "info";
    Trash() {
        fs::create_directories(files);
        fs::create_directories(info);
    }
    Result<TrashRecord> Reserve(const std::string& leaf, bool overwrite = false) {
        return TrashRecord::Reserve(files.string(), info.string(), leaf, overwrite);
    }
};

} // namespace

TEST(TrashRecord, TakenNamesAndReservedRecordsMakeTheNextCopyName) {
    Trash trash;
    WriteFile(trash.files / "notes.txt", "old");
    WriteFile(trash.info / "notes.txt copy.trashinfo", "someone else's reservation");
    Result<TrashRecord> record = trash.Reserve("notes.txt");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Target(), (trash.files / "notes.txt copy 1").string());
    EXPECT_EQ(record->InfoPath(), (trash.info / "notes.txt copy 1.trashinfo").string());
    ASSERT_TRUE(record->Write("/home/ana/Mes notes/notes.txt"));
    std::string text = ReadFile(record->InfoPath());
    EXPECT_EQ(text.rfind("[Trash Info]\nPath=/home/ana/Mes%20notes/notes.txt\nDeletionDate=", 0),
              0u)
        << text;
    EXPECT_EQ(text.back(), '\n');
}

TEST(TrashRecord, AnUnwrittenOrDiscardedRecordIsTakenBack) {
    Trash trash;
    std::string reserved;
    {
        Result<TrashRecord> record = trash.Reserve("a");
        ASSERT_TRUE(record);
        reserved = record->InfoPath();
        EXPECT_TRUE(fs::exists(reserved));
    }
    EXPECT_FALSE(fs::exists(reserved));

    Result<TrashRecord> record = trash.Reserve("a");
    ASSERT_TRUE(record);
    ASSERT_TRUE(record->Write("/a"));
    record->Discard();
    EXPECT_FALSE(fs::exists(record->InfoPath()));
}

TEST(TrashRecord, OverwriteReplacesTheEntryOfTheSameNameAndAMissingInfoFolderFails) {
    Trash trash;
    WriteFile(trash.files / "b" / "inside", "x");
    WriteFile(trash.info / "b.trashinfo", "old record");
    Result<TrashRecord> record = trash.Reserve("b", true);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Target(), (trash.files / "b").string());
    EXPECT_FALSE(fs::exists(trash.files / "b"));

    fs::remove_all(trash.info);
    Result<TrashRecord> missing = trash.Reserve("c");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.Error().path, (trash.info / "c.trashinfo").string());
    EXPECT_EQ(missing.Error().error, ENOENT);
}
