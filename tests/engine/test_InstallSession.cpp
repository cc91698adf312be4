// The flow around a run that every front-end drives.

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "InstallRunFixture.h"
#include "engine/InstallSession.h"
#include "platform/app/Looper.h"
#include "platform/app/Messenger.h"

using namespace engine_test;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

class SessionTest : public testing::Test {
protected:
    void SetUp() override {
        package.AddGroup("Typical", "What most people want");
        package.AddGroup("Docs", "Only the manuals");
        package.AddItem(MakeTree("s", {{"tool", "t"}}) / "tool", Meta("User Selected"), true,
                        "Typical;");
        package.AddItem(MakeTree("s", {{"manual", "m"}}) / "manual", Meta("User Selected"), true,
                        "Typical;Docs;");
        package.AddItem(MakeTree("s", {{"extra", "e"}}) / "extra", Meta("User Selected"), true, "");
    }
    ScopedFrontend ui;
    PackageBuilder package;
};

// Collects the worker's messages on a looper thread of its own.
class Receiver : public BLooper {
public:
    explicit Receiver(InstallSession& session) : BLooper("receiver"), fSession(session) {}
    void MessageReceived(BMessage* message) override {
        bool ended = false;
        bool quit = false;
        if (!fSession.HandleMessage(message, &ended, &quit)) {
            BLooper::MessageReceived(message);
            return;
        }
        if (ended) {
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
            shouldQuit = quit;
            condition.notify_all();
        }
    }
    bool WaitForEnd() {
        std::unique_lock<std::mutex> lock(mutex);
        return condition.wait_for(lock, std::chrono::seconds(30), [this] { return done; });
    }
    std::mutex mutex;
    std::condition_variable condition;
    bool done = false;
    bool shouldQuit = false;

private:
    InstallSession& fSession;
};

} // namespace

TEST(InstallSessionLoad, BrokenInstallerIsReportedOnce) {
    ScopedFrontend ui;
    fs::path bare = Sandbox::MakeFolder("bare") / "installer";
    fs::copy_file("/bin/true", bare);
    InstallSession session;
    EXPECT_FALSE(session.Load(bare.c_str()));
    ASSERT_EQ(ui.frontend.requests.size(), 1u);
    EXPECT_EQ(ui.frontend.requests[0].text,
              "Error obtaining configuration in installer. The installer was improperly built.");
    EXPECT_EQ(ui.frontend.requests[0].icon, FrontendIcon::Stop);
}

TEST_F(SessionTest, GroupsSelectTheirFilesAndSizesAdd) {
    package.config.AddInt32("TWC:deinstaller_size", 1000);
    InstallSession session;
    ASSERT_TRUE(session.Load(package.Build().c_str()));
    ASSERT_EQ(session.CountGroups(), 2);
    EXPECT_EQ(session.GroupDescription(1), "Only the manuals");
    // The first group is chosen at load.
    EXPECT_TRUE(session.IsSelected(0));
    EXPECT_TRUE(session.IsSelected(1));
    EXPECT_FALSE(session.IsSelected(2));
    EXPECT_EQ(session.SelectedSize(), 1000 + 1 + 1);

    session.SetSelected(2, true);
    session.SelectGroup(1);
    EXPECT_FALSE(session.IsSelected(0));
    EXPECT_TRUE(session.IsSelected(1));
    EXPECT_FALSE(session.IsSelected(2));
    EXPECT_TRUE(session.CanInstall());
    session.SetSelected(1, false);
    EXPECT_FALSE(session.CanInstall());
}

TEST_F(SessionTest, DefaultDestination) {
    {
        InstallSession session;
        ASSERT_TRUE(session.Load(package.Build().c_str()));
        session.SetDefaultDestination();
        EXPECT_EQ(session.DestinationPath(), StdFolder(B_USER_DIRECTORY));
    }
    package.config.AddString("opt_default_folder", "User Settings");
    {
        InstallSession session;
        ASSERT_TRUE(session.Load(package.Build().c_str()));
        session.SetDefaultDestination();
        EXPECT_EQ(session.DestinationPath(), StdFolder(B_USER_SETTINGS_DIRECTORY));
    }
    package.config.ReplaceString("opt_default_folder", "Current");
    {
        InstallSession session;
        ASSERT_TRUE(session.Load(package.Build().c_str()));
        session.SetDefaultDestination();
        EXPECT_EQ(fs::path(session.DestinationPath()), fs::current_path());
    }
}

TEST_F(SessionTest, ExistingInstallationFolderIsToldAbout) {
    InstallSession session;
    ASSERT_TRUE(session.Load(package.Build().c_str()));
    fs::path destination = Sandbox::MakeFolder("dest");
    session.SetDestination(destination.c_str());
    EXPECT_TRUE(session.CheckDestinationFolder(true));
    EXPECT_TRUE(ui.frontend.requests.empty());

    fs::create_directories(destination / "Tool");
    EXPECT_FALSE(session.CheckDestinationFolder(false));
    EXPECT_EQ(ui.frontend.requests.back().text,
              "The folder 'Tool' already exists in the destination folder.");
    EXPECT_EQ(ui.frontend.requests.back().buttons, std::vector<std::string>{"OK"});

    ui.frontend.Answer(1);
    EXPECT_TRUE(session.CheckDestinationFolder(true));
    EXPECT_EQ(ui.frontend.requests.back().text,
              "The folder 'Tool' already exists in the destination folder.\nDo you wish to "
              "replace?");
    EXPECT_EQ(ui.frontend.requests.back().buttons, (std::vector<std::string>{"Cancel", "Replace"}));
    ui.frontend.Answer(0);
    EXPECT_FALSE(session.CheckDestinationFolder(true));
}

TEST_F(SessionTest, RunThroughTheMessengerAndRestart) {
    package.config.AddBool("complete_restart", true);
    InstallSession session;
    ASSERT_TRUE(session.Load(package.Build().c_str()));
    fs::path destination = Sandbox::MakeFolder("dest");
    session.SetDestination(destination.c_str());
    ui.frontend.Answer(1); // Restart Now

    Receiver* receiver = new Receiver(session);
    receiver->Run();
    ASSERT_EQ(session.Install(BMessenger(receiver)), B_OK);
    ASSERT_TRUE(receiver->WaitForEnd());
    EXPECT_TRUE(receiver->shouldQuit);
    receiver->Lock();
    receiver->Quit();

    // Only the selected files, marked in the configuration.
    EXPECT_TRUE(fs::exists(destination / "Tool/tool"));
    EXPECT_FALSE(fs::exists(destination / "Tool/extra"));
    EXPECT_FALSE(session.Engine().IsMarkedForInstall(2));
    EXPECT_EQ(ui.frontend.statuses.back(), "Installation Complete");
    EXPECT_EQ(ui.frontend.statuses.front(), "Checking System Resources...");

    std::string commands;
    for (int i = 0; i < 100 && commands.find("restart") == std::string::npos; i++) {
        usleep(20000);
        commands = ReadFile(Sandbox::CommandLog());
    }
    EXPECT_NE(commands.find("restart"), std::string::npos);
}

TEST_F(SessionTest, APartialRunRestartsWhenThePackageAsksAndTheUserAgrees) {
    package.config.AddBool("complete_restart", true);
    package.AddItem(MakeTree("odd", {{"odd", "o"}}) / "odd", Meta("Nowhere Special"), true,
                    "Typical;");
    InstallSession session;
    ASSERT_TRUE(session.Load(package.Build().c_str()));
    session.SetDestination(Sandbox::MakeFolder("dest").c_str());
    ui.frontend.Answer(0); // the warning
    ui.frontend.Answer(1); // Restart Now
    ui.frontend.Answer(1); // Keep what was placed
    EXPECT_EQ(session.InstallAndWait(), kInstallIncomplete);
    std::string commands;
    for (int i = 0; i < 100 && commands.find("restart") == std::string::npos; i++) {
        usleep(20000);
        commands = ReadFile(Sandbox::CommandLog());
    }
    EXPECT_NE(commands.find("restart"), std::string::npos);
}

TEST_F(SessionTest, AnUndonePartialRunRestartsNothing) {
    package.config.AddBool("complete_restart", true);
    package.AddItem(MakeTree("odd", {{"odd", "o"}}) / "odd", Meta("Nowhere Special"), true,
                    "Typical;");
    InstallSession session;
    ASSERT_TRUE(session.Load(package.Build().c_str()));
    session.SetDestination(Sandbox::MakeFolder("dest").c_str());
    ui.frontend.Answer(0); // the warning
    ui.frontend.Answer(1); // Restart Now
    ui.frontend.Answer(0); // Undo
    size_t before = fs::exists(Sandbox::CommandLog()) ? ReadFile(Sandbox::CommandLog()).size() : 0;
    EXPECT_EQ(session.InstallAndWait(), kInstallIncomplete);
    usleep(300000);
    std::string commands =
        fs::exists(Sandbox::CommandLog()) ? ReadFile(Sandbox::CommandLog()) : std::string();
    EXPECT_EQ(commands.find("restart", before), std::string::npos);
}

TEST_F(SessionTest, FailedRunGoesBackAndWaitingRunReturnsItsResult) {
    InstallSession session;
    ASSERT_TRUE(session.Load(package.Build().c_str()));
    session.SetDestination((Sandbox::MakeFolder("dest") / "missing").c_str());
    EXPECT_EQ(session.InstallAndWait(), kInstallNoFolder);
    EXPECT_FALSE(session.ThreadChange(kInstallNoFolder));
    EXPECT_FALSE(session.ThreadChange(kInstallNoDiskSpace));
    BMessage other(LIB_THREAD_COMPLETE);
    other.AddString("name", "other");
    other.AddInt32("status", 0);
    EXPECT_FALSE(session.HandleMessage(&other));
}

namespace {

// Holds the worker's first question until the user quits.
class BlockingFrontend : public RecordingFrontend {
public:
    FrontendAnswer Ask(const FrontendRequest& request) override {
        std::unique_lock<std::mutex> lock(mutex);
        requests.push_back(request);
        if (request.isReplace) {
            asked = true;
            condition.notify_all();
            // A pending question is dismissed with its first button when the run stops.
            condition.wait(lock, [this] { return released; });
            return FrontendAnswer{};
        }
        released = true;
        condition.notify_all();
        return FrontendAnswer{};
    }
    std::mutex mutex;
    std::condition_variable condition;
    bool asked = false;
    bool released = false;
};

} // namespace

TEST_F(SessionTest, QuitDuringARunStopsAtTheNextSafePoint) {
    package.AddCustomFolder("Target", 3000, "Target", false);
    fs::path target = fs::path(StdFolder(B_USER_DIRECTORY)) / "Target";
    WriteFile(target / "late", "old");
    package.instructions.MakeEmpty();
    package.payloads.clear();
    package.AddItem(MakeTree("s", {{"late", "new"}}) / "late", Meta("Target", "Prompt"), true,
                    "Typical;");
    package.AddItem(MakeTree("s", {{"never", "n"}}) / "never", Meta("User Selected"), true,
                    "Typical;");
    BlockingFrontend blocking;
    SetFrontend(&blocking);
    InstallSession session;
    ASSERT_TRUE(session.Load(package.Build().c_str()));
    fs::path destination = Sandbox::MakeFolder("dest");
    session.SetDestination(destination.c_str());
    ASSERT_EQ(session.Install(std::nullopt), B_OK);
    {
        std::unique_lock<std::mutex> lock(blocking.mutex);
        ASSERT_TRUE(blocking.condition.wait_for(lock, std::chrono::seconds(30),
                                                [&] { return blocking.asked; }));
    }
    EXPECT_TRUE(session.IsRunning());
    EXPECT_TRUE(session.QuitRunning());
    EXPECT_FALSE(session.IsRunning());
    SetFrontend(nullptr);

    EXPECT_EQ(blocking.requests.back().text, "Installation was stopped before it could complete.");
    EXPECT_EQ(ReadFile(target / "late"), "old");
    EXPECT_FALSE(fs::exists(destination / "Tool/never"));
    EXPECT_FALSE(session.QuitRunning());
}
