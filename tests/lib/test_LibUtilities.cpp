#include "lib/LibUtilities.h"

#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include <gtest/gtest.h>

namespace {

// Waits until the child reports the given change (stopped or continued).
bool WaitForChild(pid_t child, int options, bool (*matches)(int)) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        pid_t got = waitpid(child, &status, options | WNOHANG);
        if (got == child && matches(status))
            return true;
        usleep(1000);
    }
    return false;
}

const int32 kNoSuchProcess = 0x7ffffff0;

} // namespace

TEST(LibUtilities, LoginName) {
    LibString login = LibGetLogin();
    const char* expected = getlogin();
    std::string name;
    if (expected != nullptr && expected[0] != '\0') {
        name = expected;
    } else if (struct passwd* entry = getpwuid(getuid())) {
        name = entry->pw_name;
    }
    EXPECT_EQ(std::string(static_cast<const char*>(login)), name);
}

TEST(LibUtilities, CpuTimeOfAProcess) {
    // Burn a little user time so that the sum of the threads is above zero.
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(150);
    volatile unsigned long spin = 0;
    while (std::chrono::steady_clock::now() < end)
        spin = spin + 1;
    double seconds = lib_team_cpu_time(getpid());
    EXPECT_GT(seconds, 0.0);
    EXPECT_LT(seconds, 3600.0);
    EXPECT_EQ(lib_team_cpu_time(kNoSuchProcess), 0.0);
    EXPECT_EQ(lib_team_cpu_time(-1), 0.0);
}

TEST(LibUtilities, SuspendAndResumeAnotherProcess) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (;;)
            pause();
    }
    EXPECT_EQ(lib_suspend_team(child), B_OK);
    EXPECT_TRUE(WaitForChild(child, WUNTRACED, [](int s) { return WIFSTOPPED(s); }));
    EXPECT_EQ(lib_suspend_team(child), B_OK); // already stopped: nothing to do
    EXPECT_EQ(lib_resume_team(child), B_OK);
    EXPECT_TRUE(WaitForChild(child, WCONTINUED, [](int s) { return WIFCONTINUED(s); }));
    EXPECT_EQ(lib_resume_team(child), B_OK); // running: nothing to do

    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    EXPECT_EQ(lib_suspend_team(getpid()), B_NOT_ALLOWED);
    EXPECT_EQ(lib_suspend_team(kNoSuchProcess), B_BAD_TEAM_ID);
    EXPECT_EQ(lib_resume_team(kNoSuchProcess), B_BAD_TEAM_ID);
    EXPECT_EQ(lib_resume_team(0), B_BAD_TEAM_ID);
}
