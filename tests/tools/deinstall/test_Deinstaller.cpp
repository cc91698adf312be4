#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "deinstall/DeinstallRecord.h"
#include "deinstall/DeinstallTexts.h"
#include "deinstall/Deinstaller.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

namespace {

void Tag(const fs::path& path, const std::string& identity) {
    ASSERT_EQ(setxattr(path.c_str(), "user.InstallBy", identity.data(), identity.size(), 0), 0);
}

// An installation of "Demo 1.0" in <root>/Demo with a folder item, a file, a link and a
// saved entry, described the way the installer lists it.
class DeinstallerTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = Sandbox::MakeFolder("install");
        folder = root / "Demo";
        self = folder / "Demo 1.0 Deinstaller";
        docs = root / "share" / "Demo Docs";
        bin = root / "bin";
        fs::create_directories(docs / "Guide");
        fs::create_directories(bin);
        fs::create_directories(folder / "Saved Files");
        WriteFile(self, "program");
        WriteFile(folder / "Log", "log");
        WriteFile(folder / "tool", "tool");
        WriteFile(docs / "Guide" / "faq.txt", "faq");
        WriteFile(folder / "Saved Files" / "settings", "the user's old settings");
        fs::create_symlink(folder / "tool", bin / "tool");

        record.appName = "Demo";
        record.version = "1.0";
        record.company = "Works";
        record.hasInstalledList = true;
        for (const fs::path& path :
             {folder / "tool", docs, docs / "Guide", docs / "Guide" / "faq.txt"})
            Tag(path, record.Identity());
        record.paths = {(folder / "tool").string(), docs.string(), (docs / "Guide").string(),
                        (docs / "Guide" / "faq.txt").string(), (bin / "tool").string()};
        record.links = {{(bin / "tool").string(), (folder / "tool").string()}};
        record.saved = {
            {(folder / "Saved Files" / "settings").string(), (root / "settings").string()}};
        record.createdFolders = {(root / "share").string(), docs.string()};
    }

    fs::path root, folder, self, docs, bin;
    DeinstallRecord record;
};

} // namespace

TEST_F(DeinstallerTest, RemovesEverythingTaggedThenTheFoldersItMadeAndTheInstallationFolder) {
    Deinstaller deinstaller(record, self.string());
    EXPECT_EQ(deinstaller.CountToRemove(), 5);
    // Contents before their folders.
    ASSERT_EQ(deinstaller.Plan().front().path, (bin / "tool").string());

    DeinstallOutcome outcome = deinstaller.Run(true);
    EXPECT_TRUE(outcome.Complete());
    EXPECT_TRUE(outcome.installFolderRemoved);
    EXPECT_EQ(ReadFile(root / "settings"), "the user's old settings");
    EXPECT_FALSE(fs::exists(root / "share"));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(fs::is_empty(bin));

    // A second run finds nothing left and does no harm.
    Deinstaller again(record, self.string());
    EXPECT_EQ(again.CountToRemove(), 0);
    EXPECT_TRUE(again.Run(true).Complete());
    EXPECT_EQ(ReadFile(root / "settings"), "the user's old settings");
}

TEST_F(DeinstallerTest, WhatTheUserAddedOrAnotherProductRetaggedStays) {
    WriteFile(docs / "Guide" / "my-notes.txt", "mine");
    Tag(folder / "tool", "Other;2.0;;Else;;");
    fs::remove(bin / "tool");
    fs::create_symlink("/somewhere/else", bin / "tool");

    Deinstaller deinstaller(record, self.string());
    DeinstallOutcome outcome = deinstaller.Run(false);
    EXPECT_TRUE(outcome.Complete());
    EXPECT_EQ(ReadFile(docs / "Guide" / "my-notes.txt"), "mine");
    EXPECT_FALSE(fs::exists(docs / "Guide" / "faq.txt"));
    EXPECT_EQ(ReadFile(folder / "tool"), "tool");
    EXPECT_EQ(fs::read_symlink(bin / "tool"), "/somewhere/else");
    // The installation folder still holds another product's file and the saved entry.
    EXPECT_FALSE(outcome.installFolderRemoved);
    EXPECT_TRUE(fs::exists(self));
    EXPECT_EQ(ReadFile(folder / "Saved Files" / "settings"), "the user's old settings");
    EXPECT_FALSE(fs::exists(root / "settings"));
}

TEST_F(DeinstallerTest, AnEntryWithoutTagAndARestoreOverATakenPlaceAreReported) {
    removexattr((folder / "tool").c_str(), "user.InstallBy");
    WriteFile(root / "settings", "new settings the user wrote since");

    Deinstaller deinstaller(record, self.string());
    auto tool =
        std::find_if(deinstaller.Plan().begin(), deinstaller.Plan().end(),
                     [&](const PlanItem& item) { return item.path == (folder / "tool").string(); });
    ASSERT_NE(tool, deinstaller.Plan().end());
    EXPECT_EQ(tool->state, PlanState::Untagged);

    DeinstallOutcome outcome = deinstaller.Run(true);
    EXPECT_FALSE(outcome.Complete());
    ASSERT_EQ(outcome.restoreFailed.size(), 1u);
    EXPECT_EQ(ReadFile(root / "settings"), "new settings the user wrote since");
    EXPECT_EQ(ReadFile(folder / "Saved Files" / "settings"), "the user's old settings");
}

// The tag is read as a text: up to its first NUL, whatever its length; a longer text
// that merely begins with the identity is another product's.
TEST_F(DeinstallerTest, TagsAreComparedAsWholeTextsOfAnyLength) {
    const std::string identity = record.Identity();
    Tag(docs / "Guide" / "faq.txt", identity + std::string("\0trailing bytes", 15));
    Tag(folder / "tool", identity + "and more");
    Tag(docs / "Guide", std::string(3000, 'x'));
    Deinstaller deinstaller(record, self.string());
    std::map<std::string, PlanState> states;
    for (const PlanItem& item : deinstaller.Plan())
        states[item.path] = item.state;
    EXPECT_EQ(states[(docs / "Guide" / "faq.txt").string()], PlanState::Remove);
    EXPECT_EQ(states[(folder / "tool").string()], PlanState::Retagged);
    EXPECT_EQ(states[(docs / "Guide").string()], PlanState::Retagged);
    EXPECT_EQ(states[docs.string()], PlanState::Remove);
}

// Entries are removed relative to their folder; a list that goes back and forth between
// folders, names folders that are gone, or holds entries of a folder that cannot be
// entered, removes exactly what it names.
TEST_F(DeinstallerTest, EntriesOfManyFoldersInAnyOrderAreRemovedExactly) {
    std::vector<std::string> paths;
    for (int i = 0; i < 30; ++i) {
        fs::path where = (i % 3 == 0 ? docs : docs / "Guide") / ("f" + std::to_string(i));
        WriteFile(where, "x");
        Tag(where, record.Identity());
        paths.push_back(where.string());
    }
    WriteFile(docs / "Guide" / "unlisted", "the user's");
    record.paths.insert(record.paths.begin() + 2, paths.begin(), paths.end());
    record.paths.push_back((root / "gone" / "deeper" / "file").string());
    Deinstaller deinstaller(record, self.string());
    EXPECT_EQ(deinstaller.CountToRemove(), 5 + 30);
    DeinstallOutcome outcome = deinstaller.Run(false);
    EXPECT_TRUE(outcome.Complete());
    for (const std::string& path : paths)
        EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_EQ(ReadFile(docs / "Guide" / "unlisted"), "the user's");
    EXPECT_FALSE(fs::exists(docs / "Guide" / "faq.txt"));
    EXPECT_FALSE(fs::exists(bin / "tool"));
}

TEST(DeinstallRecord, ReadsTheListAndRefusesPathsThatClimbOut) {
    BMessage configuration;
    configuration.AddString("app_name", "Demo");
    configuration.AddString("version", "1.0");
    configuration.AddBool("edit_profile", true);
    configuration.AddString("edit_profile_tag", "DemoPath");
    configuration.AddBool("edit_bootscript", true); // no tag: nothing to remove
    BMessage installed;
    installed.AddString("path", "/opt/Demo/tool");
    installed.AddString("path", "/opt/Demo/../../etc/passwd");
    installed.AddString("path", "relative/file");
    installed.AddString("path", "/opt/Demo/tool");
    installed.AddString("link", "/usr/local/bin/tool");
    installed.AddString("link_target", "/opt/Demo/tool");
    installed.AddString("script_file", "/home/u/.profile");
    installed.AddString("script_tag", "");

    DeinstallRecord record;
    std::string error;
    ASSERT_TRUE(ReadDeinstallRecord(configuration, &installed, record, error)) << error;
    EXPECT_EQ(record.Identity(), "Demo;1.0;;;;");
    EXPECT_EQ(record.paths, std::vector<std::string>{"/opt/Demo/tool"});
    EXPECT_EQ(record.refused.size(), 2u);
    ASSERT_EQ(record.links.size(), 1u);
    ASSERT_EQ(record.blocks.size(), 1u);
    EXPECT_EQ(record.blocks[0].tag, "DemoPath");
    EXPECT_EQ(fs::path(record.blocks[0].file).filename(), ".profile");

    BMessage empty;
    EXPECT_FALSE(ReadDeinstallRecord(empty, nullptr, record, error));
}

TEST(DeinstallTexts, EveryLanguageHasEveryTextWithTheEnglishConversions) {
    EXPECT_EQ(DeinstallTexts::CheckSources(), "");
    DeinstallTexts german("de");
    EXPECT_EQ(german.Get(kTextRemove), "Entfernen");
    EXPECT_EQ(german.Progress(2, 5, "faq.txt"), "Entferne 2 von 5 (faq.txt)");
    EXPECT_EQ(DeinstallTexts("xx").Language(), "en");
    EXPECT_EQ(DeinstallTexts("en").Format(kTextAskRemove, "Demo 100%"),
              "Do you want to remove Demo 100%?");
}

TEST_F(DeinstallerTest, ACopiedDeinstallerLeavesTheFolderItLiesInAlone) {
    fs::path elsewhere = root / "Downloads";
    fs::create_directories(elsewhere);
    fs::copy_file(self, elsewhere / self.filename());
    WriteFile(elsewhere / "Log", "someone's log");
    record.installFolder = folder.string();

    Deinstaller copy(record, (elsewhere / self.filename()).string());
    DeinstallOutcome outcome = copy.Run(true);
    EXPECT_TRUE(outcome.Complete());
    EXPECT_FALSE(fs::exists(folder / "tool"));
    EXPECT_EQ(ReadFile(elsewhere / "Log"), "someone's log");
    EXPECT_TRUE(fs::exists(elsewhere / self.filename()));
}

// A copy in a folder above the installation removes the empty folders the run made, as a
// copy anywhere else does, and leaves the folder it lies in.
TEST_F(DeinstallerTest, ACopyAboveTheInstallationRemovesTheFoldersTheRunMade) {
    fs::path above = root / self.filename();
    fs::copy_file(self, above);
    record.installFolder = folder.string();
    record.createdFolders.push_back(folder.string());

    Deinstaller copy(record, above.string());
    DeinstallOutcome outcome = copy.Run(true);
    EXPECT_TRUE(outcome.Complete());
    EXPECT_FALSE(fs::exists(docs));
    EXPECT_FALSE(fs::exists(root / "share"));
    EXPECT_TRUE(fs::exists(above));
    EXPECT_TRUE(fs::exists(root));
    // The installation folder still holds its log and the deinstaller: it stays.
    EXPECT_TRUE(fs::exists(folder / "Log"));
}

TEST_F(DeinstallerTest, WhatAnEarlierInstallationOfTheProductLeftInSavedFilesGoesToo) {
    // A second installation saved the first one's manual before putting its own in place.
    fs::path old = folder / "Saved Files" / "Demo Docs";
    WriteFile(old / "old.txt", "first version");
    WriteFile(old / "mine.txt", "the user's");
    Tag(old, record.Identity());
    Tag(old / "old.txt", record.Identity());
    record.saved.push_back({old.string(), docs.string()});

    Deinstaller deinstaller(record, self.string());
    ASSERT_EQ(deinstaller.Restorable().size(), 1u); // only the user's settings
    DeinstallOutcome outcome = deinstaller.Run(true);
    EXPECT_TRUE(outcome.Complete());
    EXPECT_FALSE(fs::exists(old / "old.txt"));
    EXPECT_EQ(ReadFile(old / "mine.txt"), "the user's");
    EXPECT_FALSE(fs::exists(docs));
    EXPECT_EQ(ReadFile(root / "settings"), "the user's old settings");
}

// A list long enough to be shared between two threads removes what a short one would:
// what the user added and what another product retagged stay with their folders, entries
// already gone count as removed, and every removal is told once, numbered in order.
TEST_F(DeinstallerTest, ALongListIsRemovedExactlyAndEveryRemovalIsToldOnce) {
    std::vector<std::string> ours, theirs;
    for (int f = 0; f < 6; ++f) {
        fs::path part = docs / ("part" + std::to_string(f));
        fs::create_directories(part);
        Tag(part, record.Identity());
        record.paths.push_back(part.string());
        for (int i = 0; i < 80; ++i) {
            fs::path file = part / ("f" + std::to_string(i));
            WriteFile(file, "x");
            bool other = f == 2 && i % 10 == 0;
            Tag(file, other ? "Other;2.0;;Else;;" : record.Identity());
            (other ? theirs : ours).push_back(file.string());
            record.paths.push_back(file.string());
        }
    }
    // Listed, but removed by the user already; a link inside an installed folder.
    fs::remove(ours[100]);
    fs::create_symlink("f1", docs / "part4" / "link");
    record.paths.push_back((docs / "part4" / "link").string());
    WriteFile(docs / "part5" / "mine.txt", "the user's");

    Deinstaller deinstaller(record, self.string());
    const int32_t planned = deinstaller.CountToRemove();
    EXPECT_EQ(planned, 5 + 6 + int32_t(ours.size()) - 1 + 1);
    std::vector<int> indices;
    std::multiset<std::string> told;
    DeinstallOutcome outcome =
        deinstaller.Run(false, [&](int index, int total, const std::string& leaf) {
            EXPECT_EQ(total, planned);
            indices.push_back(index);
            told.insert(leaf);
        });
    ASSERT_EQ(indices.size(), size_t(planned));
    for (size_t i = 0; i < indices.size(); ++i)
        EXPECT_EQ(indices[i], int(i) + 1);
    EXPECT_EQ(told.count("link"), 1u);
    EXPECT_EQ(told.count("part5"), 1u);
    EXPECT_EQ(told.count("f1"), 6u);

    EXPECT_TRUE(outcome.Complete());
    // part2 and part5 are kept, and so is the folder holding them.
    EXPECT_EQ(outcome.removed.size(), size_t(planned) - 3);
    for (const std::string& path : ours)
        EXPECT_FALSE(fs::exists(path)) << path;
    for (const std::string& path : theirs)
        EXPECT_EQ(ReadFile(path), "x") << path;
    EXPECT_FALSE(fs::exists(docs / "part4"));
    EXPECT_EQ(ReadFile(docs / "part5" / "mine.txt"), "the user's");
    std::set<std::string> kept(outcome.kept.begin(), outcome.kept.end());
    EXPECT_TRUE(kept.count((docs / "part2").string()));
    EXPECT_TRUE(kept.count((docs / "part5").string()));
    EXPECT_TRUE(kept.count(docs.string()));
    // The outcome lists the removals in the order of the plan: contents before folders.
    auto at = [&](const std::string& path) {
        return std::find(outcome.removed.begin(), outcome.removed.end(), path) -
               outcome.removed.begin();
    };
    EXPECT_LT(at((docs / "part4" / "f0").string()), at((docs / "part4").string() + "/"));
    EXPECT_LT(at((docs / "part4").string() + "/"), at((docs / "part3" / "f79").string()));
}

namespace {

// The folders the installation made or worked in, noted as the installer notes them.
void NoteFolders(DeinstallRecord& record, const std::vector<fs::path>& folders) {
    for (const fs::path& folder : folders) {
        struct stat info;
        ASSERT_EQ(lstat(folder.c_str(), &info), 0) << folder;
        record.folders.Note(folder.string(), info.st_dev, info.st_ino);
    }
}

// After the installation, one of its folders is swapped for a link to `decoy`, a folder
// laid out like it whose entries even carry the product's tag: a deinstaller going by
// paths would empty it.
class SwappedFolderTest : public DeinstallerTest {
protected:
    void SetUp() override {
        DeinstallerTest::SetUp();
        NoteFolders(record, {folder, folder / "Saved Files", root / "share", docs, root});
        decoy = Sandbox::MakeFolder("decoy");
    }

    // Moves `place` aside and puts a link to a copy of it (decoy) in its place.
    void Swap(const fs::path& place) {
        fs::copy(place, decoy, fs::copy_options::recursive);
        for (const auto& entry : fs::recursive_directory_iterator(decoy))
            if (!entry.is_symlink())
                Tag(entry.path(), record.Identity());
        fs::rename(place, place.string() + ".moved");
        fs::create_symlink(decoy, place);
        decoyBefore = TreeSnapshot::Take({decoy});
    }

    static bool Names(const std::vector<std::string>& folders, const fs::path& folder) {
        return std::find(folders.begin(), folders.end(), folder.string()) != folders.end();
    }

    fs::path decoy;
    TreeSnapshot decoyBefore;
};

} // namespace

TEST_F(SwappedFolderTest, TheInstallationFolderSwappedForALinkIsLeftAloneAndReported) {
    Swap(folder);
    Deinstaller deinstaller(record, self.string());
    EXPECT_TRUE(Names(deinstaller.ReplacedFolders(), folder));
    DeinstallOutcome outcome = deinstaller.Run(true);

    EXPECT_EQ(TreeSnapshot::Take({decoy}).DifferencesFrom(decoyBefore), "");
    EXPECT_TRUE(Names(outcome.replaced, folder));
    EXPECT_FALSE(outcome.Complete());
    EXPECT_FALSE(outcome.installFolderRemoved);
    EXPECT_TRUE(fs::is_symlink(folder));
    // Nothing came back from behind the link, and the moved folder is as it was.
    EXPECT_FALSE(fs::exists(root / "settings"));
    EXPECT_EQ(ReadFile(folder.string() + ".moved/Saved Files/settings"), "the user's old settings");
    EXPECT_EQ(ReadFile(folder.string() + ".moved/tool"), "tool");
    // What lies elsewhere still goes.
    EXPECT_FALSE(fs::exists(docs / "Guide" / "faq.txt"));
}

TEST_F(SwappedFolderTest, AFolderTheRunMadeSwappedForALinkKeepsWhatIsBehindIt) {
    Swap(docs);
    Deinstaller deinstaller(record, self.string());
    DeinstallOutcome outcome = deinstaller.Run(true);

    EXPECT_EQ(TreeSnapshot::Take({decoy}).DifferencesFrom(decoyBefore), "");
    EXPECT_TRUE(Names(outcome.replaced, docs));
    EXPECT_FALSE(outcome.Complete());
    EXPECT_TRUE(fs::is_symlink(docs));
    EXPECT_TRUE(fs::exists(docs.string() + ".moved/Guide/faq.txt"));
    // The rest of the installation is removed and its saved entry put back.
    EXPECT_EQ(ReadFile(root / "settings"), "the user's old settings");
    EXPECT_FALSE(fs::exists(folder / "tool"));
}

TEST_F(SwappedFolderTest, AnotherFolderInPlaceOfTheInstallationFolderIsNotEmptiedNorRemoved) {
    // A folder of the same names, not a link: only its identity tells it apart.
    fs::rename(folder, folder.string() + ".moved");
    fs::create_directories(folder / "Saved Files");
    WriteFile(self, "their program");
    WriteFile(folder / "Log", "their log");
    TreeSnapshot before = TreeSnapshot::Take({folder});

    Deinstaller deinstaller(record, self.string());
    DeinstallOutcome outcome = deinstaller.Run(true);
    EXPECT_EQ(TreeSnapshot::Take({folder}).DifferencesFrom(before), "");
    EXPECT_TRUE(Names(outcome.replaced, folder));
    EXPECT_FALSE(outcome.installFolderRemoved);
}

TEST_F(SwappedFolderTest, ASavedEntryIsNotPutBackThroughASwappedFolderNorTakenFromOne) {
    // The folder the original came from now leads elsewhere.
    fs::path conf = root / "conf";
    fs::create_directories(conf);
    NoteFolders(record, {conf});
    record.saved = {{(folder / "Saved Files" / "settings").string(), (conf / "settings").string()}};
    Swap(conf);
    DeinstallOutcome outcome = Deinstaller(record, self.string()).Run(true);
    EXPECT_EQ(TreeSnapshot::Take({decoy}).DifferencesFrom(decoyBefore), "");
    EXPECT_FALSE(fs::exists(decoy / "settings"));
    ASSERT_EQ(outcome.restoreFailed.size(), 1u);
    EXPECT_NE(outcome.restoreFailed.front().find("replaced"), std::string::npos);
    EXPECT_EQ(ReadFile(folder / "Saved Files" / "settings"), "the user's old settings");
}

TEST_F(SwappedFolderTest, SavedFilesSwappedForALinkGiveNothingBack) {
    fs::path saved = folder / "Saved Files";
    Swap(saved);
    fs::remove(saved.string() + ".moved/settings");
    DeinstallOutcome outcome = Deinstaller(record, self.string()).Run(true);
    EXPECT_EQ(TreeSnapshot::Take({decoy}).DifferencesFrom(decoyBefore), "");
    EXPECT_FALSE(fs::exists(root / "settings"));
    EXPECT_TRUE(Names(outcome.replaced, saved));
    EXPECT_FALSE(outcome.Complete());
}

TEST_F(SwappedFolderTest, AnUntouchedInstallationWithNotedFoldersGoesWhole) {
    DeinstallOutcome outcome = Deinstaller(record, self.string()).Run(true);
    EXPECT_TRUE(outcome.Complete());
    EXPECT_TRUE(outcome.replaced.empty());
    EXPECT_TRUE(outcome.installFolderRemoved);
    EXPECT_EQ(ReadFile(root / "settings"), "the user's old settings");
    EXPECT_FALSE(fs::exists(root / "share"));
}

// Saved Files on another volume than the place the original came from: the copy back goes
// through the two folders' descriptors and keeps the original as it was.
TEST_F(SwappedFolderTest, ASavedEntryComesBackAcrossVolumesWithItsModeAndAttributes) {
    fs::path volume = root / "volume";
    fs::create_directories(volume);
    if (geteuid() != 0 || mount("tarnw-test", volume.c_str(), "tmpfs", 0, "size=4m") != 0)
        GTEST_SKIP() << "needs root to mount a tmpfs of its own";
    struct Unmount {
        fs::path point;
        ~Unmount() { umount2(point.c_str(), MNT_DETACH); }
    } unmount{volume};
    fs::path conf = volume / "conf";
    fs::create_directories(conf);
    NoteFolders(record, {conf});
    fs::path saved = folder / "Saved Files" / "settings";
    chmod(saved.c_str(), 0640);
    Tag(saved, "the user's own text");
    record.saved = {{saved.string(), (conf / "settings").string()}};

    DeinstallOutcome outcome = Deinstaller(record, self.string()).Run(true);
    EXPECT_TRUE(outcome.Complete());
    EXPECT_EQ(ReadFile(conf / "settings"), "the user's old settings");
    struct stat info;
    ASSERT_EQ(lstat((conf / "settings").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    char value[64] = {};
    EXPECT_EQ(getxattr((conf / "settings").c_str(), "user.InstallBy", value, sizeof value), 19);
    EXPECT_FALSE(fs::exists(saved));
}
