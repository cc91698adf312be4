#include "support/Process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/Sandbox.h"

extern char** environ;

namespace tarnw::test {

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e)
        environment.push_back(*e);
    for (const auto& entry : extra) {
        std::string name = entry.substr(0, entry.find('=') + 1);
        std::erase_if(environment,
                      [&](const std::string& inherited) { return inherited.rfind(name, 0) == 0; });
        environment.push_back(entry);
    }
    return environment;
}

std::string FindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

BackgroundProgram::BackgroundProgram(const std::vector<std::string>& argv,
                                     const std::vector<std::string>& extraEnvironment,
                                     const std::filesystem::path& output, int passFd) {
    std::vector<std::string> environment = EnvironmentWith(extraEnvironment);
    std::vector<char*> args, envp;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (passFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, passFd, passFd);
    if (posix_spawn(&fPid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
        fPid = -1;
    posix_spawn_file_actions_destroy(&actions);
}

BackgroundProgram::~BackgroundProgram() {
    if (fPid > 0 && !fEnded) {
        kill(fPid, SIGKILL);
        waitpid(fPid, nullptr, 0);
    }
}

int BackgroundProgram::Wait(std::chrono::milliseconds timeout) {
    if (fPid <= 0)
        return -1;
    auto until = std::chrono::steady_clock::now() + timeout;
    while (!fEnded) {
        int status = 0;
        if (waitpid(fPid, &status, WNOHANG) == fPid) {
            fEnded = true;
            fStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() > until)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return fStatus;
}

RunResult RunProgram(const std::vector<std::string>& argv, const std::string& input,
                     const std::vector<std::string>& extraEnvironment) {
    RunResult result;
    int out[2], in[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(in, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, out[1], 2);

    std::vector<std::string> environment = EnvironmentWith(extraEnvironment);
    std::vector<char*> args, envp;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    pid_t pid = -1;
    int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    if (spawned != 0) {
        close(in[1]);
        close(out[0]);
        result.output = std::string("cannot start ") + argv[0] + ": " + std::strerror(spawned);
        return result;
    }
    signal(SIGPIPE, SIG_IGN);
    size_t written = 0;
    if (input.empty()) {
        close(in[1]);
        in[1] = -1;
    }
    char buffer[65536];
    for (;;) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {in[1], POLLOUT, 0}};
        int count = in[1] >= 0 ? 2 : 1;
        if (poll(fds, nfds_t(count), -1) < 0)
            break;
        if (count == 2 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t n = write(in[1], input.data() + written, input.size() - written);
            if (n > 0)
                written += size_t(n);
            if (n <= 0 || written == input.size()) {
                close(in[1]);
                in[1] = -1;
            }
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            result.output.append(buffer, size_t(n));
        }
    }
    if (in[1] >= 0)
        close(in[1]);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::filesystem::path DemoManifest() {
    return std::filesystem::path(TARNW_TEST_SOURCE_DIR).parent_path() / "examples" / "demo" /
           "manifest.json";
}

RunResult PackInstaller(const std::filesystem::path& manifest,
                        const std::filesystem::path& output) {
    return RunProgram({std::string(TARNW_TEST_PROGRAM_DIR) + "/tarnw-pack", "build",
                       manifest.string(), "-o", output.string()});
}

std::filesystem::path BuildDemo() {
    static std::filesystem::path installer;
    if (installer.empty()) {
        installer = Sandbox::MakeFolder("installer") / "DemoInstaller";
        auto result = PackInstaller(DemoManifest(), installer);
        EXPECT_EQ(result.status, 0) << result.output;
    }
    return installer;
}

} // namespace tarnw::test
