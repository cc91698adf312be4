// Room on every volume that receives part of an installation, checked before the run
// writes anything: small tmpfs volumes as the destination, as an item's custom folder and
// as a link folder. Mounting needs root; without it these tests are skipped.

#include <sys/mount.h>
#include <unistd.h>

#include "InstallRunFixture.h"
#include "engine/SpaceNeeds.h"
#include "support/TreeSnapshot.h"

using namespace engine_test;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

namespace {

constexpr uint64 kPage = 4096;

// A tmpfs mounted for the life of the object, at `at` (made when missing) or at a new
// folder of the sandbox.
class Tmpfs {
public:
    explicit Tmpfs(const std::string& options, fs::path at = {})
        : path(at.empty() ? Sandbox::MakeFolder("volume") : at) {
        fs::create_directories(path);
        mounted = mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
        EXPECT_TRUE(mounted) << path << ": " << strerror(errno);
    }
    ~Tmpfs() {
        if (mounted)
            umount2(path.c_str(), MNT_DETACH);
    }
    fs::path path;
    bool mounted = false;
};

#define SKIP_UNLESS_ROOT()                                                                         \
    if (geteuid() != 0)                                                                            \
    GTEST_SKIP() << "mounting a volume needs root"

std::vector<ZipContents::Entry> Files(int count, uint64 size) {
    return std::vector<ZipContents::Entry>(size_t(count), {ZipContents::Kind::File, size, 4});
}

TEST(SpaceNeeds, FilesTakeWholeBlocksAndEveryEntryANode) {
    SKIP_UNLESS_ROOT();
    Tmpfs bytes("size=64k");
    ASSERT_TRUE(bytes.mounted);
    SpaceNeeds fits;
    fits.AddEntries((bytes.path / "a").string(), Files(16, 1));
    EXPECT_FALSE(fits.FirstShortfall()) << "sixteen one-byte files fill sixteen pages";
    SpaceNeeds over;
    over.AddEntries((bytes.path / "a").string(), Files(17, 1));
    auto shortfall = over.FirstShortfall();
    ASSERT_TRUE(shortfall);
    EXPECT_FALSE(shortfall->nodes);
    EXPECT_EQ(shortfall->needed, 17 * kPage);
    EXPECT_EQ(shortfall->available, 16 * kPage);
    EXPECT_EQ(shortfall->folder, bytes.path.string());

    // The root folder takes one of the four nodes.
    Tmpfs nodes("size=1m,nr_inodes=4");
    ASSERT_TRUE(nodes.mounted);
    SpaceNeeds three;
    three.AddFolder((nodes.path / "f").string());
    three.AddLink((nodes.path / "f" / "l").string(), 10);
    three.AddFile((nodes.path / "f" / "x").string(), 0);
    EXPECT_FALSE(three.FirstShortfall());
    three.AddFile((nodes.path / "f" / "y").string(), 0);
    shortfall = three.FirstShortfall();
    ASSERT_TRUE(shortfall);
    EXPECT_TRUE(shortfall->nodes);
    EXPECT_EQ(shortfall->needed, 4u);
    EXPECT_EQ(shortfall->available, 3u);
}

TEST(SpaceNeeds, EachVolumeAnswersForWhatItReceivesOnly) {
    SKIP_UNLESS_ROOT();
    Tmpfs small("size=64k");
    ASSERT_TRUE(small.mounted);
    fs::path large = Sandbox::MakeFolder("large");
    SpaceNeeds needs;
    // Paths that do not exist yet count on the volume of their nearest existing folder.
    needs.AddFile((large / "not" / "yet" / "there").string(), 1024 * 1024);
    needs.AddFile((small.path / "not" / "yet" / "there").string(), 64 * 1024);
    EXPECT_FALSE(needs.FirstShortfall());
    EXPECT_FALSE(needs.SameVolume(large.string(), (small.path / "x").string()));
    EXPECT_TRUE(needs.SameVolume((small.path / "x").string(), (small.path / "y" / "z").string()));
    needs.AddFile((small.path / "more").string(), 1);
    auto shortfall = needs.FirstShortfall();
    ASSERT_TRUE(shortfall);
    EXPECT_EQ(shortfall->folder, small.path.string());

    // A volume mounted in a folder met before receives what goes below it, though the
    // folder around it is known already.
    Tmpfs inner("size=64k", large / "inner");
    ASSERT_TRUE(inner.mounted);
    SpaceNeeds nested;
    nested.AddFile((large / "first").string(), 1);
    nested.AddFile((large / "missing" / "second").string(), 1);
    nested.AddFile((inner.path / "not" / "yet" / "there").string(), 64 * 1024 + 1);
    shortfall = nested.FirstShortfall();
    ASSERT_TRUE(shortfall);
    EXPECT_EQ(shortfall->folder, inner.path.string());
}

TEST(SpaceNeeds, OnlyTheLargestPassageCountsAndCopiesCountWhatTheyCopy) {
    SKIP_UNLESS_ROOT();
    Tmpfs volume("size=64k");
    ASSERT_TRUE(volume.mounted);
    SpaceNeeds needs;
    needs.AddFile((volume.path / "stays").string(), 4 * kPage);
    for (int i = 0; i < 3; i++)
        needs.AddPassingEntries((volume.path / "passes").string(), Files(1, 12 * kPage));
    EXPECT_FALSE(needs.FirstShortfall());
    needs.AddPassingEntries((volume.path / "passes").string(), Files(1, 12 * kPage + 1));
    ASSERT_TRUE(needs.FirstShortfall());
    EXPECT_EQ(needs.FirstShortfall()->needed, 17 * kPage);

    // A folder of three 5000-byte files: two pages each, and one for the folder.
    fs::path tree = MakeTree("tree", {{"a", std::string(5000, 'a')},
                                      {"b", std::string(5000, 'b')},
                                      {"sub/c", std::string(5000, 'c')}});
    SpaceNeeds copy;
    copy.AddCopyOf((volume.path / "copy").string(), tree.string());
    ASSERT_FALSE(copy.FirstShortfall());
    Tmpfs smaller("size=24k");
    ASSERT_TRUE(smaller.mounted);
    SpaceNeeds tooMuch;
    tooMuch.AddCopyOf((smaller.path / "copy").string(), tree.string());
    ASSERT_TRUE(tooMuch.FirstShortfall());
    EXPECT_EQ(tooMuch.FirstShortfall()->needed, 8 * kPage);
}

class DiskSpaceTest : public InstallFixture {
protected:
    void SetUp() override { before = Look(); }
    TreeSnapshot Look() const {
        return TreeSnapshot::Take({Sandbox::Home(), Sandbox::Prefix(), destination});
    }
    // A folder item whose record says 4 KB but that unpacks to `megabytes` MB.
    fs::path BigItem(const std::string& name, int megabytes) {
        return MakeTree(name, {{"data", std::string(size_t(megabytes) << 20, 'x')}});
    }
    void ExpectRefusedWithNothingWritten(const std::string& volume) {
        ASSERT_EQ(Run(), kInstallNoDiskSpace);
        ASSERT_FALSE(ui.frontend.requests.empty());
        const FrontendRequest& alert = ui.frontend.requests.front();
        EXPECT_EQ(alert.icon, FrontendIcon::Stop);
        EXPECT_NE(alert.text.find("the destination volume '" + volume + "'"), std::string::npos)
            << alert.text;
        TreeSnapshot after = Look();
        EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
    }
    TreeSnapshot before;
};

TEST_F(DiskSpaceTest, ADestinationTooSmallIsRefusedBeforeAnythingIsWritten) {
    SKIP_UNLESS_ROOT();
    Tmpfs volume("size=1m", destination / "small");
    ASSERT_TRUE(volume.mounted);
    destination = volume.path;
    before = Look();
    // Its record says 4 KB: the unpacked size comes from the payload itself.
    package.AddItem(BigItem("big", 2), Meta("User Selected"));
    ExpectRefusedWithNothingWritten("small");
    EXPECT_EQ(ui.frontend.requests.front().text.rfind("Installation requires 2.", 0), 0u)
        << ui.frontend.requests.front().text;
    EXPECT_TRUE(fs::is_empty(volume.path));
}

TEST_F(DiskSpaceTest, ACustomFolderOnAFullVolumeIsRefusedThoughTheDestinationHasRoom) {
    SKIP_UNLESS_ROOT();
    Tmpfs volume("size=1m", Sandbox::Home() / "data");
    ASSERT_TRUE(volume.mounted);
    before = Look();
    package.AddCustomFolder("Data", 3000, "data/tool", true);
    package.AddItem(BigItem("big", 2), Meta("Data"));
    ExpectRefusedWithNothingWritten("data");
    EXPECT_FALSE(fs::exists(Folder()));
}

TEST_F(DiskSpaceTest, ALinkFolderWithoutRoomForOneMoreEntryIsRefused) {
    SKIP_UNLESS_ROOT();
    // Its root folder takes the only node.
    Tmpfs volume("size=1m,nr_inodes=1", Sandbox::Home() / "Desktop");
    ASSERT_TRUE(volume.mounted);
    before = Look();
    package.AddItem(MakeTree("src", {{"tool", "#!/bin/sh\n"}}) / "tool",
                    Meta("User Selected", "Replace", "Desktop"));
    ASSERT_EQ(Run(), kInstallNoDiskSpace);
    ASSERT_FALSE(ui.frontend.requests.empty());
    EXPECT_EQ(ui.frontend.requests.front().text,
              "Installation requires room for 1 new files and folders, and the destination "
              "volume 'Desktop' only has room for 0 more.");
    TreeSnapshot after = Look();
    EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
}

TEST_F(DiskSpaceTest, ItemsPassingThroughTheDestinationNeedRoomThereOnlyOneAtATime) {
    SKIP_UNLESS_ROOT();
    // Each item is unpacked in the installation folder and then moved to its own volume:
    // the destination must hold the largest of them, not all.
    Tmpfs small("size=1536k", destination / "small");
    Tmpfs large("size=8m", Sandbox::Home() / "data");
    Tmpfs links("size=64k", Sandbox::Home() / "Desktop");
    ASSERT_TRUE(small.mounted && large.mounted && links.mounted);
    destination = small.path;
    package.AddCustomFolder("Data", 3000, "data/tool", true);
    fs::path one = BigItem("one", 1), two = BigItem("two", 1);
    package.AddItem(one, Meta("Data", "Replace", "Desktop"));
    package.AddItem(two, Meta("Data", "Replace", "Desktop"));
    ASSERT_EQ(Run(), kInstallFinished)
        << (ui.frontend.requests.empty() ? std::string() : ui.frontend.requests.front().text);
    EXPECT_EQ(fs::file_size(large.path / "tool" / one.filename() / "data"), 1u << 20);
    EXPECT_EQ(fs::file_size(large.path / "tool" / two.filename() / "data"), 1u << 20);
    EXPECT_TRUE(fs::is_symlink(links.path / two.filename()));
    EXPECT_TRUE(fs::exists(Folder() / "Tool 1.0 Deinstaller"));
}

} // namespace
