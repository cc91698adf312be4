// System and team information from /proc and uname.

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "platform/kernel/OS.h"
#include "platform/kernel/ProcText.h"

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int64 ReadNumber(const std::string& path, int64 fallback) {
    std::ifstream in(path);
    long long value;
    if (in >> value)
        return value;
    return fallback;
}

int32 Clamp32(int64 value) {
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < 0)
        return 0;
    return static_cast<int32>(value);
}

// A field of /proc/meminfo in bytes, or -1.
int64 MeminfoBytes(const std::string& text, const char* key) {
    std::istringstream lines(text);
    std::string line;
    size_t keyLength = std::strlen(key);
    while (std::getline(lines, line)) {
        if (line.compare(0, keyLength, key) == 0 && line.size() > keyLength &&
            line[keyLength] == ':') {
            long long kilobytes = 0;
            if (std::sscanf(line.c_str() + keyLength + 1, "%lld", &kilobytes) == 1)
                return kilobytes * 1024;
        }
    }
    return -1;
}

void FillProcessors(system_info* info, long ticks) {
    std::istringstream lines(ReadText("/proc/stat"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.compare(0, 6, "btime ") == 0) {
            info->boot_time = std::atoll(line.c_str() + 6) * 1000000LL;
            continue;
        }
        if (line.compare(0, 3, "cpu") != 0 || line.size() < 4 || line[3] < '0' || line[3] > '9')
            continue;
        std::istringstream fields(line.substr(3));
        long index;
        unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0,
                           softirq = 0, steal = 0;
        fields >> index >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
        if (index < 0 || index >= info->cpu_count)
            continue;
        unsigned long long busy = user + nice + system + irq + softirq + steal;
        info->cpu_infos[index].active_time = static_cast<bigtime_t>(busy * 1000000ULL / ticks);
    }
}

int32 CountProcesses() {
    int32 count = 0;
    DIR* dir = opendir("/proc");
    if (dir == nullptr)
        return 0;
    while (struct dirent* entry = readdir(dir)) {
        if (entry->d_name[0] >= '1' && entry->d_name[0] <= '9')
            ++count;
    }
    closedir(dir);
    return count;
}

} // namespace

status_t get_system_info(system_info* info) {
    if (info == nullptr)
        return B_BAD_VALUE;
    std::memset(info, 0, sizeof(*info));

    struct utsname names;
    if (uname(&names) != 0)
        std::memset(&names, 0, sizeof(names));

    long online = sysconf(_SC_NPROCESSORS_ONLN);
    info->cpu_count =
        static_cast<int32>(online < 1 ? 1 : (online > B_MAX_CPU_COUNT ? B_MAX_CPU_COUNT : online));
    parse_cpuinfo(ReadText("/proc/cpuinfo"), names.machine, info);
    if (info->cpu_clock_speed == 0) {
        // Processors that do not tell their clock in cpuinfo (most ARM ones) do so here.
        int64 khz = ReadNumber("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", 0);
        info->cpu_clock_speed = khz * 1000;
    }
    std::string machine = names.machine;
    info->platform_type = (machine == "x86_64" || (machine.size() == 4 && machine[0] == 'i' &&
                                                   machine.compare(2, 2, "86") == 0))
                              ? B_AT_CLONE_PLATFORM
                              : B_UNKNOWN_PLATFORM;

    long ticks = sysconf(_SC_CLK_TCK);
    FillProcessors(info, ticks > 0 ? ticks : 100);

    std::string meminfo = ReadText("/proc/meminfo");
    int64 total = MeminfoBytes(meminfo, "MemTotal");
    int64 available = MeminfoBytes(meminfo, "MemAvailable");
    struct sysinfo system;
    if (total < 0 && sysinfo(&system) == 0) {
        total = static_cast<int64>(system.totalram) * system.mem_unit;
        available = static_cast<int64>(system.freeram + system.bufferram) * system.mem_unit;
    }
    if (total < 0)
        total = 0;
    if (available < 0 || available > total)
        available = 0;
    info->max_pages = Clamp32(total / B_PAGE_SIZE);
    info->used_pages = Clamp32((total - available) / B_PAGE_SIZE);

    std::istringstream vmstat(ReadText("/proc/vmstat"));
    std::string key;
    long long value;
    while (vmstat >> key >> value) {
        if (key == "pgfault") {
            info->page_faults = Clamp32(value);
            break;
        }
    }

    info->max_threads = Clamp32(ReadNumber("/proc/sys/kernel/threads-max", 0));
    info->max_teams = Clamp32(ReadNumber("/proc/sys/kernel/pid_max", 0));
    std::istringstream loadavg(ReadText("/proc/loadavg"));
    std::string skip, entities;
    loadavg >> skip >> skip >> skip >> entities;
    size_t slash = entities.find('/');
    if (slash != std::string::npos)
        info->used_threads = Clamp32(std::atoll(entities.c_str() + slash + 1));
    info->used_teams = CountProcesses();

    std::snprintf(info->kernel_name, sizeof(info->kernel_name), "%s %s", names.sysname,
                  names.release);
    parse_kernel_build(names.version, info->kernel_build_date, info->kernel_build_time);
    info->kernel_version = parse_kernel_version(names.release);

    std::string machineId = ReadText("/etc/machine-id");
    if (machineId.size() >= 16) {
        info->id[0] = static_cast<int32>(std::strtoul(machineId.substr(0, 8).c_str(), nullptr, 16));
        info->id[1] = static_cast<int32>(std::strtoul(machineId.substr(8, 8).c_str(), nullptr, 16));
    }
    return B_OK;
}

status_t get_team_info(team_id team, team_info* info) {
    if (info == nullptr)
        return B_BAD_VALUE;
    if (team == B_CURRENT_TEAM)
        team = getpid();
    if (team <= 0)
        return B_BAD_TEAM_ID;
    std::string base = "/proc/" + std::to_string(team);
    struct stat status;
    if (stat(base.c_str(), &status) != 0)
        return B_BAD_TEAM_ID;

    std::memset(info, 0, sizeof(*info));
    info->team = team;
    info->uid = status.st_uid;
    info->gid = status.st_gid;
    info->debugger_nub_thread = -1;
    info->debugger_nub_port = -1;

    DIR* tasks = opendir((base + "/task").c_str());
    if (tasks != nullptr) {
        while (struct dirent* entry = readdir(tasks))
            if (entry->d_name[0] >= '1' && entry->d_name[0] <= '9')
                ++info->thread_count;
        closedir(tasks);
    }

    std::istringstream maps(ReadText(base + "/maps"));
    std::string line;
    while (std::getline(maps, line))
        ++info->area_count;

    // The arguments, separated by spaces, as many as fit.
    std::string cmdline = ReadText(base + "/cmdline");
    std::string args;
    size_t start = 0;
    while (start < cmdline.size()) {
        size_t end = cmdline.find('\0', start);
        if (end == std::string::npos)
            end = cmdline.size();
        ++info->argc;
        if (!args.empty())
            args += ' ';
        args += cmdline.substr(start, end - start);
        start = end + 1;
    }
    copy_cut_utf8(info->args, sizeof(info->args), args.c_str());
    return B_OK;
}
