// Power cuts: the destination is an ext4 volume of its own, shut down without writing its
// log at instants spread over a run and after its end, then mounted again. Either the
// installation is whole, every file with its contents and the user's replaced original
// kept in "Saved Files", or the journal accounts for everything on the disk and its undo
// gives back exactly what was there before; the user's original is never lost.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

#include "LoopVolume.h"
#include "engine/Journal.h"
#include "engine/RunUndo.h"
#include "files/LibFileOps.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"

namespace fs = std::filesystem;
using tarnw::test::BackgroundProgram;
using tarnw::test::LoopVolume;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

namespace {

constexpr int kItems = 5;
constexpr int kTreeFiles = 120;
const std::string kOriginal = "mine=1\n";
const char kNote[] = "the user's note";

std::string Noise(size_t size, uint32_t seed) {
    std::string data(size, '\0');
    uint32_t state = 2463534242u + seed;
    for (char& c : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = char(state);
    }
    return data;
}

// Items of data that does not compress, a tree of small files, and a settings file that
// replaces the user's own, which is saved.
const fs::path& Package() {
    static fs::path package;
    if (!package.empty())
        return package;
    package = Sandbox::MakeFolder("package");
    std::string files;
    for (int i = 1; i <= kItems; i++) {
        WriteFile(package / ("item" + std::to_string(i)), Noise(512 * 1024, uint32_t(i)));
        files += R"({"source": "item)" + std::to_string(i) +
                 R"(", "groups": ["All"], "destination": "User Selected", "deinstallable": true},)";
    }
    for (int i = 0; i < kTreeFiles; i++)
        WriteFile(package / "tree" / ("f" + std::to_string(i % 6)) / ("n" + std::to_string(i)),
                  Noise(1000 + size_t(i) * 37, uint32_t(100 + i)));
    WriteFile(package / "prod.conf", "new=1\n");
    WriteFile(package / "manifest.json", R"({
      "app_name": "Prod", "version": "1.0", "release_date": "today", "company": "Makers",
      "support_email": "help@makers.invalid",
      "opt_created_folder": "Prod", "opt_log": true, "opt_save_replaced": true,
      "groups": [{"name": "All", "description": "everything"}],
      "files": [)" + files + R"(
        {"source": "tree", "groups": ["All"], "destination": "User Selected",
         "deinstallable": true},
        {"source": "prod.conf", "groups": ["All"], "destination": "User Settings",
         "destination_exists": "Replace", "deinstallable": true}]})");
    return package;
}

const fs::path& Installer() {
    static fs::path installer;
    if (installer.empty()) {
        installer = Sandbox::MakeFolder("installer") / "ProdInstaller";
        auto built = tarnw::test::PackInstaller(Package() / "manifest.json", installer);
        EXPECT_EQ(built.status, 0) << built.output;
    }
    return installer;
}

// A home folder of its own for each run, on the sandbox's volume (not the one cut), with the
// user's settings file that the run replaces.
struct Home {
    fs::path path = Sandbox::MakeFolder("home");
    fs::path settings = path / ".config" / "prod.conf";

    Home() {
        WriteFile(settings, kOriginal);
        fs::permissions(settings, fs::perms(0640));
        setxattr(settings.c_str(), "user.note", kNote, sizeof kNote - 1, 0);
        fs::create_directories(path / ".local/share");
    }
    std::vector<std::string> Environment(const fs::path& answers) const {
        return {"HOME=" + path.string(),
                "XDG_CONFIG_HOME=" + (path / ".config").string(),
                "XDG_DATA_HOME=" + (path / ".local/share").string(),
                "XDG_CACHE_HOME=" + (path / ".cache").string(),
                "XDG_STATE_HOME=" + (path / ".local/state").string(),
                "XDG_DESKTOP_DIR=" + (path / "Desktop").string(),
                "TARNW_FRONTEND=unattended",
                "TARNW_ANSWERS=" + answers.string()};
    }
};

bool IsTheOriginal(const fs::path& path) {
    char note[64] = {};
    return fs::is_regular_file(path) && ReadFile(path) == kOriginal &&
           (fs::status(path).permissions() & fs::perms::all) == fs::perms(0640) &&
           getxattr(path.c_str(), "user.note", note, sizeof note) == ssize_t(sizeof kNote - 1) &&
           std::string(note) == kNote;
}

// What is wrong with a complete installation, or "".
std::string IncompleteParts(const fs::path& folder, const Home& home) {
    std::string wrong;
    for (int i = 1; i <= kItems; i++) {
        std::string leaf = "item" + std::to_string(i);
        if (!fs::exists(folder / leaf) || ReadFile(folder / leaf) != ReadFile(Package() / leaf))
            wrong += leaf + " ";
    }
    for (const auto& entry : fs::recursive_directory_iterator(Package() / "tree")) {
        if (!entry.is_regular_file())
            continue;
        fs::path placed = folder / "tree" / fs::relative(entry.path(), Package() / "tree");
        if (!fs::exists(placed) || ReadFile(placed) != ReadFile(entry.path()))
            wrong += fs::relative(placed, folder).string() + " ";
    }
    fs::path deinstaller = folder / "Prod 1.0 Deinstaller";
    if (!fs::exists(deinstaller) || fs::file_size(deinstaller) < 100000)
        wrong += "the deinstaller ";
    if (!fs::exists(folder / ".Prod 1.0 Deinstaller.tarnw-record") ||
        fs::file_size(folder / ".Prod 1.0 Deinstaller.tarnw-record") == 0)
        wrong += "the deinstaller's record ";
    if (ReadFile(home.settings) != "new=1\n")
        wrong += "the new settings ";
    if (!IsTheOriginal(folder / "Saved Files" / "prod.conf"))
        wrong += "the saved original ";
    return wrong;
}

class PowerCut : public ::testing::Test {
protected:
    void SetUp() override {
        volume = std::make_unique<LoopVolume>(LoopVolume::Kind::kExt4, 96);
        if (!volume->Ready())
            GTEST_SKIP() << volume->Problem();
        ASSERT_FALSE(Installer().empty());
    }

    // Runs the installer into a fresh volume and cuts the power `after` its start, or, with
    // no delay, a second after it ended; then checks what the disk holds after a restart.
    // The run's duration when it was not cut.
    std::chrono::milliseconds CutAndCheck(std::optional<std::chrono::milliseconds> after,
                                          const std::string& label) {
        EXPECT_TRUE(volume->Reformat()) << volume->Problem();
        Home home;
        fs::path run = Sandbox::MakeFolder("run");
        WriteFile(run / "answers",
                  "license: agree\ngroup: All\ndestination: " + volume->Path().string() + "\n");
        TreeSnapshot before = TreeSnapshot::Take({home.path, volume->Path()});

        auto start = std::chrono::steady_clock::now();
        BackgroundProgram installer({Installer().string()}, home.Environment(run / "answers"),
                                    run / "output");
        int status = -1;
        if (after) {
            std::this_thread::sleep_for(*after);
            EXPECT_TRUE(volume->CutPower()) << label;
            status = installer.Wait(std::chrono::seconds(60));
        } else {
            status = installer.Wait(std::chrono::seconds(60));
            EXPECT_EQ(status, 0) << label << "\n" << ReadFile(run / "output");
            std::this_thread::sleep_for(std::chrono::seconds(1));
            EXPECT_TRUE(volume->CutPower()) << label;
        }
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        EXPECT_NE(status, -1) << label;
        EXPECT_TRUE(volume->Remount()) << label << ": " << volume->Problem();

        fs::path folder = volume->Path() / "Prod";
        fs::path journalPath = Journal::PathFor(folder.string());
        JournalContents journal;
        std::string error;
        bool unfinished = fs::exists(journalPath);
        if (unfinished) {
            EXPECT_TRUE(Journal::Load(journalPath, journal, error)) << label << ": " << error;
        }
        std::printf("%s: %s\n", label.c_str(),
                    unfinished && !journal.committed ? "undone from its journal"
                    : fs::exists(folder)             ? "complete"
                                                     : "not begun");
        if (unfinished && !journal.committed) {
            // What the next run or the deinstaller does first.
            RunUndo undo(journal);
            undo.Undo();
            fs::remove(journalPath);
            fs::remove(Journal::LockPathFor(folder.string()));
            undo.RemoveFoldersLeftForLast();
            std::string problems;
            for (const std::string& problem : undo.Problems())
                problems += problem + "\n";
            EXPECT_EQ(TreeSnapshot::Take({home.path, volume->Path()}).DifferencesFrom(before), "")
                << label << " (undone)\n"
                << problems;
            EXPECT_TRUE(IsTheOriginal(home.settings)) << label;
        } else if (fs::exists(folder)) {
            if (unfinished)
                RunUndo(journal).Settle();
            EXPECT_EQ(IncompleteParts(folder, home), "")
                << label << (unfinished ? " (committed)" : " (complete)");
        } else {
            // Cut before the run's first change.
            EXPECT_EQ(TreeSnapshot::Take({home.path, volume->Path()}).DifferencesFrom(before), "")
                << label << " (not begun)";
        }
        return took;
    }

    std::unique_ptr<LoopVolume> volume;
};

} // namespace

TEST_F(PowerCut, AfterTheEndEverythingIsOnTheDisk) {
    CutAndCheck(std::nullopt, "cut a second after the end");
}

TEST_F(PowerCut, AtAnyInstantTheDiskHoldsTheWholeInstallationOrWhatItsJournalUndoes) {
    using std::chrono::milliseconds;
    milliseconds whole = CutAndCheck(std::nullopt, "the whole run");
    // Instants spread over the run, each nudged by a seeded random amount so that runs of
    // the test look at different ones.
    uint32_t seed = uint32_t(std::chrono::steady_clock::now().time_since_epoch().count());
    std::srand(seed);
    constexpr int kCuts = 10;
    for (int i = 0; i < kCuts; i++) {
        milliseconds at(whole.count() * (2 * i + 1) / (2 * kCuts) +
                        std::rand() % std::max<long>(1, whole.count() / kCuts) -
                        whole.count() / (2 * kCuts));
        at = std::max(at, milliseconds(1));
        CutAndCheck(at, "cut at " + std::to_string(at.count()) + " ms of " +
                            std::to_string(whole.count()) + " (seed " + std::to_string(seed) + ")");
        if (HasFatalFailure())
            return;
    }
}

// The run moves a replaced original into "Saved Files" through the folder's descriptor
// (/proc/self/fd/N/leaf). The copy must be on the disk before the original goes, or a power
// cut right after loses both: once, the volume synced was /proc's, not the copy's.
TEST_F(PowerCut, AnOriginalMovedThroughAFolderDescriptorIsOnTheDiskBeforeItGoes) {
    ASSERT_TRUE(volume->Reformat()) << volume->Problem();
    fs::path saved = volume->Path() / "Saved Files";
    fs::create_directories(saved);
    sync();
    fs::path original = Sandbox::MakeFolder("settings") / "prod.conf";
    WriteFile(original, "mine=1\n");

    int folder = open(saved.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    std::string through = "/proc/self/fd/" + std::to_string(folder) + "/prod.conf";
    Result<void> moved = LibMoveEntryAsIs(original.c_str(), through.c_str());
    close(folder);
    ASSERT_TRUE(moved.Ok()) << moved.Error().Text();
    ASSERT_FALSE(fs::exists(original));
    ASSERT_TRUE(volume->CutPower());

    ASSERT_TRUE(volume->Remount()) << volume->Problem();
    EXPECT_EQ(ReadFile(saved / "prod.conf"), "mine=1\n");
}
