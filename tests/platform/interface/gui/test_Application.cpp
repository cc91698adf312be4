#include "GuiTestSupport.h"

#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <fstream>
#include <sstream>

#include "platform/app/Application.h"
#include "support/Sandbox.h"

extern char** environ;

namespace {

std::atomic<int> gReceived{0};
std::atomic<bool> gShown{false};

class QuittingWindow : public BWindow {
public:
    QuittingWindow() : BWindow(BRect(50, 50, 149, 149), "app", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what == 'done') {
            gReceived++;
            gShown = !IsHidden();
            if (++received == 100)
                be_app->PostMessage(B_QUIT_REQUESTED);
            return;
        }
        BWindow::MessageReceived(message);
    }
    std::atomic<int> received{0};
};

class TestApp : public BApplication {
public:
    TestApp() : BApplication("application/x-vnd.Kestrelwood.Tarnw-test") {}
    void ReadyToRun() override {
        window = new QuittingWindow();
        window->Show();
        SetPulseRate(10000);
        // A worker posts to the window while the loop runs.
        worker = std::thread([w = window] {
            for (int i = 0; i < 100; i++)
                w->PostMessage('done');
        });
    }
    void Pulse() override { pulses++; }
    QuittingWindow* window = nullptr;
    std::thread worker;
    int pulses = 0;
};

} // namespace

TEST(Application, RunsOnTheToolkitLoopUntilQuit) {
    REQUIRE_DISPLAY();
    TestApp app;
    app.Run();
    app.worker.join();
    EXPECT_EQ(gReceived, 100);
    EXPECT_TRUE(gShown);
    // Windows still open when the application ended have been quit.
    EXPECT_TRUE(BWindow::AllWindows().empty());
}

TEST(Application, InstallerLinksOnlyTheAllowedLibraries) {
    // The gallery links the whole graphical layer, as the installer does.
    std::string out = (tarnw::test::Sandbox::Temp() / "readelf.txt").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const char* argv[] = {"readelf", "-d", TARNW_GALLERY_PATH, nullptr};
    pid_t pid;
    if (posix_spawnp(&pid, "readelf", &actions, nullptr, (char**)argv, environ) != 0)
        GTEST_SKIP() << "readelf is not installed";
    int status;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream in(out);
    std::string line;
    int needed = 0;
    const char* allowed[] = {"libc.so",        "libm.so",       "ld-linux",
                             "libX",           "libxcb",        "libfontconfig.so",
                             "libfreetype.so", "libpthread.so", "libdl.so"};
    while (std::getline(in, line)) {
        size_t at = line.find("Shared library: [");
        if (at == std::string::npos)
            continue;
        needed++;
        std::string library = line.substr(at + 17, line.find(']', at) - at - 17);
        bool ok = false;
        for (const char* prefix : allowed)
            ok |= library.rfind(prefix, 0) == 0;
        EXPECT_TRUE(ok) << library << " must be linked statically";
    }
    EXPECT_GT(needed, 0);
}
