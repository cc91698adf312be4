#include "engine/ProcessLauncher.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

status_t ProcessLauncher::Run(const std::vector<std::string>& arguments,
                              const std::string& workingFolder, bool wait, int* exitStatus) {
    if (exitStatus != nullptr)
        *exitStatus = -1;
    if (arguments.empty() || arguments[0].empty())
        return B_BAD_VALUE;

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());

    pid_t child = -1;
    int error;
    if (arguments[0].find('/') == std::string::npos)
        error = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    else
        error = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return error == ENOENT ? status_t(B_ENTRY_NOT_FOUND) : status_t(B_ERROR);

    if (wait) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        if (exitStatus != nullptr)
            *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        // glibc reports a program that could not be executed as exit status 127.
        if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
            return B_LAUNCH_FAILED;
    } else {
        // Reap the child when it ends, so that it does not linger as a zombie.
        std::thread([child] {
            int status;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    }
    return B_OK;
}
