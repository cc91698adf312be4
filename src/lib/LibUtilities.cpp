#include "lib/LibUtilities.h"

#include <dirent.h>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The fields of /proc/PID[/task/TID]/stat after the command name, which may itself hold
// spaces and parentheses; empty when the file cannot be read.
std::vector<std::string> StatFields(const std::string& path) {
    std::vector<std::string> fields;
    FILE* file = fopen(path.c_str(), "r");
    if (file == nullptr)
        return fields;
    char buffer[1024];
    size_t got = fread(buffer, 1, sizeof(buffer) - 1, file);
    fclose(file);
    buffer[got] = '\0';
    std::string stat(buffer);
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return fields;
    size_t i = close + 1;
    while (i < stat.size()) {
        while (i < stat.size() && (stat[i] == ' ' || stat[i] == '\n'))
            i++;
        size_t start = i;
        while (i < stat.size() && stat[i] != ' ' && stat[i] != '\n')
            i++;
        if (i > start)
            fields.push_back(stat.substr(start, i - start));
    }
    return fields;
}

bool ValidTeam(int32 team) {
    return team > 0;
}

std::string TeamPath(int32 team) {
    return "/proc/" + std::to_string(team);
}

// The process's state letter: R running, S/D sleeping or waiting, T stopped, ...; 0 when
// the process cannot be read.
char TeamState(int32 team) {
    std::vector<std::string> fields = StatFields(TeamPath(team) + "/stat");
    return fields.empty() || fields[0].empty() ? '\0' : fields[0][0];
}

} // namespace

LibString LibGetLogin() {
    const char* login = getlogin();
    if (login != nullptr && login[0] != '\0')
        return LibString(login);
    struct passwd* entry = getpwuid(getuid());
    if (entry != nullptr && entry->pw_name != nullptr)
        return LibString(entry->pw_name);
    return LibString("");
}

double lib_team_cpu_time(int32 team) {
    if (!ValidTeam(team))
        return 0;
    std::string taskFolder = TeamPath(team) + "/task";
    DIR* folder = opendir(taskFolder.c_str());
    if (folder == nullptr)
        return 0;
    long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (ticksPerSecond <= 0)
        ticksPerSecond = 100;
    unsigned long long ticks = 0;
    while (struct dirent* entry = readdir(folder)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        // Field 14 of stat (the 12th after the state) is the user time in clock ticks.
        std::vector<std::string> fields = StatFields(taskFolder + "/" + entry->d_name + "/stat");
        if (fields.size() > 11)
            ticks += strtoull(fields[11].c_str(), nullptr, 10);
    }
    closedir(folder);
    return (double)ticks / (double)ticksPerSecond;
}

int32 lib_suspend_team(int32 team) {
    if (!ValidTeam(team))
        return B_BAD_TEAM_ID;
    if (team == (int32)getpid())
        return B_NOT_ALLOWED; // stopping ourselves would leave nobody to resume us
    char state = TeamState(team);
    if (state == '\0')
        return B_BAD_TEAM_ID;
    // Running, ready, sleeping and waiting processes are stopped; a stopped, dead or
    // zombie process is left alone.
    if (state == 'R' || state == 'S' || state == 'D' || state == 'I') {
        if (kill((pid_t)team, SIGSTOP) != 0)
            return B_PERMISSION_DENIED;
    }
    return B_OK;
}

int32 lib_resume_team(int32 team) {
    if (!ValidTeam(team))
        return B_BAD_TEAM_ID;
    char state = TeamState(team);
    if (state == '\0')
        return B_BAD_TEAM_ID;
    if (state == 'T' || state == 't') {
        if (kill((pid_t)team, SIGCONT) != 0)
            return B_PERMISSION_DENIED;
    }
    return B_OK;
}
