#include "support/Process.h"

#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tarnw::test {

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

    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e)
        environment.push_back(*e);
    for (const auto& extra : extraEnvironment) {
        std::string name = extra.substr(0, extra.find('='));
        for (auto it = environment.begin(); it != environment.end();)
            it = it->compare(0, name.size() + 1, name + "=") == 0 ? environment.erase(it) : it + 1;
        environment.push_back(extra);
    }
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

} // namespace tarnw::test
