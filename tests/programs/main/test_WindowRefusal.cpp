// A window asked for by name that cannot open: the installer and its deinstaller say why,
// in the user's language, end with status 10 and write nothing; chosen by themselves they
// go on without the window. The window's part is loaded from the installer's own file.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/TreeSnapshot.h"

namespace fs = std::filesystem;
using tarnw::test::BuildDemo;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::TreeSnapshot;

namespace {

// A display number nothing answers on.
const char kSilentDisplay[] = "DISPLAY=:4711";

} // namespace

TEST(WindowRefusal, AWindowThatCannotOpenIsRefusedWithItsReasonAndNothingWritten) {
    fs::path installer = BuildDemo();
    fs::path target = Sandbox::MakeFolder("target");
    auto before = TreeSnapshot::Take({Sandbox::Root()});

    auto noDisplay = RunProgram(
        {installer.string(), "--frontend", "gui", "--accept-license", "--target", target.string()},
        "", {"DISPLAY=", "TARNW_FRONTEND=", "LANG=C"});
    EXPECT_EQ(noDisplay.status, 10) << noDisplay.output;
    EXPECT_NE(noDisplay.output.find("The window cannot open: DISPLAY is not set."),
              std::string::npos)
        << noDisplay.output;

    // The environment asks as the option does; the reason is in the user's language.
    auto silent = RunProgram({installer.string(), "--accept-license", "--target", target.string()},
                             "", {kSilentDisplay, "TARNW_FRONTEND=gui", "LANG=de_DE.UTF-8"});
    EXPECT_EQ(silent.status, 10) << silent.output;
    EXPECT_NE(silent.output.find("die Anzeige :4711 antwortet nicht"), std::string::npos)
        << silent.output;

    auto after = TreeSnapshot::Take({Sandbox::Root()});
    EXPECT_EQ(after.DifferencesFrom(before), "");
}

TEST(WindowRefusal, ChosenByItselfTheInstallerGoesOnWithoutTheWindow) {
    fs::path installer = BuildDemo();
    fs::path target = Sandbox::MakeFolder("target");
    auto run = RunProgram({installer.string(), "--accept-license", "--target", target.string()}, "",
                          {kSilentDisplay, "TARNW_FRONTEND=", "TARNW_ANSWERS="});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(target / "Demo")) << run.output;

    // Its deinstaller: asked for the window, it refuses and removes nothing; told --yes it
    // removes everything without one.
    fs::path deinstaller = target / "Demo" / "Demo 1.0 Deinstaller";
    ASSERT_TRUE(fs::exists(deinstaller));
    auto refused = RunProgram({deinstaller.string(), "--frontend", "gui", "--yes"}, "",
                              {kSilentDisplay, "LANG=C"});
    EXPECT_EQ(refused.status, 10) << refused.output;
    EXPECT_NE(refused.output.find(":4711 does not answer"), std::string::npos) << refused.output;
    EXPECT_TRUE(fs::exists(deinstaller));

    auto removed = RunProgram({deinstaller.string(), "--yes"}, "", {kSilentDisplay});
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_FALSE(fs::exists(target / "Demo"));
}
