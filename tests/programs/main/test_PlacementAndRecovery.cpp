// The deinstaller on volumes with little room, and runs killed early: the deinstaller is
// written once, whole, and what the run learns at its end goes beside it, so a small package
// fits a volume that holds the deinstaller once; a volume too small for it ends in an undo
// that leaves it as it was; a run killed while writing it leaves a temporary that the next
// run knows and removes, and the folders it made for its default destination become the
// next run's. Each compares the whole sandbox before and after.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/storage/MimeType.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"
#include "support/UnattendedRun.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;
using tarnw::test::WriteFile;

namespace {

// About 20 kB: a file of data that does not compress, a small folder, a link on the
// desktop; `settings` adds to the manifest.
fs::path BuildSmallInstaller(const std::string& name, const std::string& settings) {
    fs::path package = Sandbox::MakeFolder("package");
    std::string data(16 * 1024, '\0');
    uint32_t state = 2463534242u;
    for (char& c : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = char(state);
    }
    WriteFile(package / "data.bin", data);
    WriteFile(package / "docs" / "readme.txt", std::string(3000, 'r'));
    WriteFile(package / "docs" / "more" / "notes.txt", "notes");
    WriteFile(package / "manifest.json", R"({
      "app_name": "Prod", "version": "1.0", "release_date": "today", "company": "Makers",
      "support_email": "help@makers.invalid",
      "opt_created_folder": "Prod", "opt_log": true,)" +
                                             settings + R"(
      "groups": [{"name": "All", "description": "everything"}],
      "files": [
        {"source": "data.bin", "groups": ["All"], "destination": "User Selected",
         "deinstallable": true},
        {"source": "docs", "groups": ["All"], "destination": "User Selected",
         "link": "Desktop", "deinstallable": true}]})");
    fs::path built = Sandbox::MakeFolder("installer") / name;
    auto packed = tarnw::test::PackInstaller(package / "manifest.json", built);
    EXPECT_EQ(packed.status, 0) << packed.output;
    return built;
}

const fs::path& SmallInstaller() {
    static fs::path installer = BuildSmallInstaller("SmallInstaller", "");
    return installer;
}

// Its default destination is two folders deep in the prefix, and neither is there yet.
const fs::path& DefaultFolderInstaller() {
    static fs::path installer =
        BuildSmallInstaller("DefaultFolderInstaller", R"("opt_default_folder": "Preferences",)");
    return installer;
}

// Runs an installer unattended under a limit on the size of the files it may write: the
// kernel kills it (SIGXFSZ) as its first write beyond the limit, the deinstaller, begins to
// pass it. The exit status, 128 + the signal when killed.
int RunCutOff(const fs::path& installer, const std::string& answers, std::string& output) {
    fs::path folder = Sandbox::MakeFolder("run");
    WriteFile(folder / "answers", answers);
    struct rlimit saved;
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0)
        return -1;
    struct rlimit limited = saved;
    limited.rlim_cur = 512 * 1024;
    if (setrlimit(RLIMIT_FSIZE, &limited) != 0)
        return -1;
    tarnw::test::BackgroundProgram run(
        {installer.string()},
        {"TARNW_FRONTEND=unattended", "TARNW_ANSWERS=" + (folder / "answers").string()},
        folder / "output");
    setrlimit(RLIMIT_FSIZE, &saved);
    int status = run.Started() ? run.Wait(std::chrono::seconds(60)) : -1;
    output = ReadFile(folder / "output");
    return status;
}

// A tmpfs of the given size, unmounted when it goes.
class SmallVolume {
public:
    explicit SmallVolume(const std::string& size) : fPath(Sandbox::MakeFolder("volume")) {
        std::string options = "size=" + size;
        fMounted = mount("tmpfs", fPath.c_str(), "tmpfs", 0, options.c_str()) == 0;
        fError = fMounted ? "" : std::strerror(errno);
    }
    ~SmallVolume() {
        if (fMounted)
            umount2(fPath.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return fMounted; }
    const std::string& Error() const { return fError; }
    const fs::path& Path() const { return fPath; }

private:
    fs::path fPath;
    bool fMounted = false;
    std::string fError;
};

class SmallVolumes : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "mounting a volume needs root";
        fs::create_directories(Sandbox::Home() / "Desktop");
        // Every installer registers itself for its document type as it starts; that record
        // is the installer's, not part of a run.
        ASSERT_EQ(BMimeType("text/x-tarnw")
                      .SetPreferredApp("application/x-vnd.Kestrelwood.Tarnw", B_OPEN),
                  B_OK);
    }

    TreeSnapshot Look(const fs::path& volume) const {
        return TreeSnapshot::Take({Sandbox::Home(), Sandbox::Prefix(), volume});
    }
    static std::string Answers(const fs::path& volume, const std::string& more = "") {
        return "license: agree\ndestination: " + volume.string() + "\n" + more;
    }
    static fs::path Deinstaller(const fs::path& volume) {
        return volume / "Prod" / "Prod 1.0 Deinstaller";
    }
    // Names of the hidden temporaries below `folder`.
    static std::vector<std::string> Temporaries(const fs::path& folder) {
        std::vector<std::string> names;
        if (!fs::exists(folder))
            return names;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            std::string leaf = entry.path().filename().string();
            if (leaf.rfind(".tarnw-", 0) == 0)
                names.push_back(entry.path().string());
        }
        return names;
    }
};

TEST_F(SmallVolumes, ASmallPackageInstallsWhereTheDeinstallerFitsOnce) {
    // The volume takes the deinstaller (nearly the installer's size) once, not twice.
    SmallVolume volume("4m");
    ASSERT_TRUE(volume.Mounted()) << volume.Error();
    TreeSnapshot before = Look(volume.Path());

    auto run = tarnw::test::RunUnattended(SmallInstaller(), Answers(volume.Path()));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(ReadFile(volume.Path() / "Prod" / "docs" / "more" / "notes.txt"), "notes");
    ASSERT_TRUE(fs::exists(Deinstaller(volume.Path())));
    EXPECT_TRUE(fs::exists(volume.Path() / "Prod" / ".Prod 1.0 Deinstaller.tarnw-record"));
    EXPECT_EQ(Temporaries(volume.Path()), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(volume.Path() / ".Prod.tarnw-journal"));

    auto removal = tarnw::test::RunUnattended(Deinstaller(volume.Path()), "remove: yes\n");
    EXPECT_EQ(removal.status, 0) << removal.output;
    EXPECT_EQ(removal.output.find("Nothing of"), std::string::npos) << removal.output;
    TreeSnapshot after = Look(volume.Path());
    EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
}

TEST_F(SmallVolumes, AVolumeTooSmallForTheDeinstallerIsLeftAsItWas) {
    // Room for the journal, the log and the items, not for the deinstaller. Undo is the
    // default; keeping leaves no item without a deinstaller to remove it.
    for (const char* ending : {"", "on_failure: keep\n"}) {
        SmallVolume volume("1m");
        ASSERT_TRUE(volume.Mounted()) << volume.Error();
        ASSERT_GT(fs::file_size(SmallInstaller()), 1024u * 1024);
        TreeSnapshot before = Look(volume.Path());

        auto run = tarnw::test::RunUnattended(SmallInstaller(), Answers(volume.Path(), ending));
        // Refused before writing for want of space, or stopped when the deinstaller did not
        // fit.
        EXPECT_TRUE(run.status == 3 || run.status == 4) << run.status << "\n" << run.output;
        EXPECT_FALSE(fs::exists(Deinstaller(volume.Path()))) << ending;
        EXPECT_FALSE(fs::exists(volume.Path() / "Prod" / "data.bin")) << ending;
        EXPECT_FALSE(fs::exists(volume.Path() / "Prod" / "docs")) << ending;
        EXPECT_FALSE(fs::exists(Sandbox::Home() / "Desktop" / "docs")) << ending;
        EXPECT_EQ(Temporaries(volume.Path()), std::vector<std::string>{}) << ending;
        if (*ending == '\0') {
            TreeSnapshot after = Look(volume.Path());
            EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
        }
    }
}

TEST_F(SmallVolumes, ADeinstallerCutOffWhileBeingWrittenIsTakenAwayByTheNextRun) {
    const fs::path& installer = SmallInstaller(); // built before the limit is set
    SmallVolume volume("16m");
    ASSERT_TRUE(volume.Mounted()) << volume.Error();
    TreeSnapshot before = Look(volume.Path());
    std::string output;
    ASSERT_EQ(RunCutOff(installer, Answers(volume.Path()), output), 128 + SIGXFSZ) << output;
    std::vector<std::string> left = Temporaries(volume.Path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(fs::path(left.front()).parent_path(), volume.Path() / "Prod");
    EXPECT_EQ(fs::path(left.front()).filename().string().rfind(".tarnw-program-", 0), 0u)
        << left.front();

    auto again = tarnw::test::RunUnattended(installer, Answers(volume.Path(), "answer: Replace\n"));
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(Temporaries(volume.Path()), std::vector<std::string>{});
    auto removal = tarnw::test::RunUnattended(Deinstaller(volume.Path()), "remove: yes\n");
    EXPECT_EQ(removal.status, 0) << removal.output;
    TreeSnapshot after = Look(volume.Path());
    EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
}

TEST_F(SmallVolumes, FoldersMadeForTheDefaultDestinationOfAKilledRunGoWithTheNextRunsDeinstaller) {
    const fs::path& installer = DefaultFolderInstaller();
    fs::path destination = Sandbox::Prefix() / "opt" / "Preferences";
    ASSERT_FALSE(fs::exists(Sandbox::Prefix() / "opt"));
    TreeSnapshot before = Look(Sandbox::Prefix());
    std::string output;
    ASSERT_EQ(RunCutOff(installer, "license: agree\n", output), 128 + SIGXFSZ) << output;
    ASSERT_TRUE(fs::exists(destination / ".Prod.tarnw-journal"));

    // The next run undoes the killed one, without finding fault with the folders it made,
    // and installs.
    auto again = tarnw::test::RunUnattended(installer, "license: agree\nanswer: Replace\n");
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(again.output.find("did not make"), std::string::npos) << again.output;
    auto removal = tarnw::test::RunUnattended(Deinstaller(destination), "remove: yes\n");
    EXPECT_EQ(removal.status, 0) << removal.output;
    TreeSnapshot after = Look(Sandbox::Prefix());
    EXPECT_TRUE(after == before) << after.DifferencesFrom(before);
}

} // namespace
