// Threads of the kernel kit on POSIX threads. See OS.h for why stopping and suspending
// are cooperative.

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "platform/kernel/OS.h"
#include "platform/kernel/ProcText.h"

namespace {

struct ThreadRecord {
    thread_id id = -1;
    std::string name;
    int32 priority = B_NORMAL_PRIORITY;
    thread_func func = nullptr;
    void* data = nullptr;

    std::mutex lock;
    std::condition_variable changed;
    bool hasId = false;
    bool started = false;
    bool ended = false;
    bool killed = false;
    bool suspended = false;
    bool waited = false;
    status_t exitValue = B_OK;
    std::function<void()> stopCallback;
};

// Thrown by exit_thread on a spawned thread; caught at the thread's entry.
struct ThreadExit {
    status_t status;
};

// The table is never destroyed: detached threads may still be finishing while the
// process runs its exit handlers.
std::mutex& sTableLock = *new std::mutex;
std::unordered_map<thread_id, std::shared_ptr<ThreadRecord>>& sThreads =
    *new std::unordered_map<thread_id, std::shared_ptr<ThreadRecord>>;
// Ended threads; the oldest are forgotten beyond a bound.
std::deque<thread_id>& sEnded = *new std::deque<thread_id>;
constexpr size_t kMaxUnwaitedEnded = 1024;

thread_local std::shared_ptr<ThreadRecord> tCurrent;

thread_id CurrentTid() {
    return static_cast<thread_id>(syscall(SYS_gettid));
}

std::shared_ptr<ThreadRecord> Lookup(thread_id id) {
    std::lock_guard<std::mutex> guard(sTableLock);
    auto found = sThreads.find(id);
    if (found == sThreads.end())
        return nullptr;
    return found->second;
}

std::string TaskPath(thread_id id, const char* leaf) {
    return "/proc/self/task/" + std::to_string(id) + "/" + leaf;
}

bool TaskExists(thread_id id) {
    if (id <= 0)
        return false;
    return access(TaskPath(id, "").c_str(), F_OK) == 0;
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string SystemName(const char* name) {
    // The system keeps 15 bytes of a thread's name.
    char cut[16];
    copy_cut_utf8(cut, sizeof(cut), name);
    return cut;
}

void SetSystemName(thread_id id, const char* name) {
    std::string cut = SystemName(name);
    if (id == CurrentTid()) {
        pthread_setname_np(pthread_self(), cut.c_str());
        return;
    }
    std::ofstream comm(TaskPath(id, "comm"));
    comm << cut;
}

// Old priorities (1..120, 10 normal) onto nice values (19..-20, 0 normal).
int NiceFor(int32 priority) {
    if (priority <= B_NORMAL_PRIORITY)
        return std::min(19, (B_NORMAL_PRIORITY - priority) * 2);
    return -std::min(20, (priority - B_NORMAL_PRIORITY) / 2);
}

void ApplyPriority(thread_id id, int32 priority) {
    // Raising a priority needs privileges; without them the thread keeps its nice value.
    setpriority(PRIO_PROCESS, static_cast<id_t>(id), NiceFor(priority));
}

int32 ClampPriority(int32 priority) {
    return std::clamp<int32>(priority, B_LOWEST_ACTIVE_PRIORITY, B_REAL_TIME_PRIORITY);
}

void RememberEnded(thread_id id) {
    std::lock_guard<std::mutex> guard(sTableLock);
    sEnded.push_back(id);
    while (sEnded.size() > kMaxUnwaitedEnded) {
        thread_id old = sEnded.front();
        sEnded.pop_front();
        auto found = sThreads.find(old);
        if (found != sThreads.end() && found->second->ended)
            sThreads.erase(found);
    }
}

void* ThreadEntry(void* argument) {
    std::shared_ptr<ThreadRecord> record(*static_cast<std::shared_ptr<ThreadRecord>*>(argument));
    delete static_cast<std::shared_ptr<ThreadRecord>*>(argument);
    tCurrent = record;

    thread_id id = CurrentTid();
    pthread_setname_np(pthread_self(), SystemName(record->name.c_str()).c_str());
    ApplyPriority(id, record->priority);
    {
        std::unique_lock<std::mutex> lock(record->lock);
        record->id = id;
        record->hasId = true;
        record->changed.notify_all();
        record->changed.wait(lock, [&] { return record->started || record->killed; });
    }

    status_t result = B_INTERRUPTED;
    bool run;
    {
        std::lock_guard<std::mutex> lock(record->lock);
        run = !record->killed;
    }
    if (run) {
        try {
            result = record->func(record->data);
        } catch (const ThreadExit& exit) {
            result = exit.status;
        }
    }

    {
        std::lock_guard<std::mutex> lock(record->lock);
        record->exitValue = result;
        record->ended = true;
        record->stopCallback = nullptr;
        record->changed.notify_all();
    }
    RememberEnded(id);
    tCurrent.reset();
    return nullptr;
}

status_t StateFromProc(thread_id id, thread_info* info) {
    std::string stat = ReadSmallFile(TaskPath(id, "stat"));
    size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return B_BAD_THREAD_ID;
    std::istringstream fields(stat.substr(close + 1));
    std::string state;
    fields >> state;
    // Fields after the state: ppid pgrp session tty tpgid flags minflt cminflt majflt
    // cmajflt utime stime.
    std::string skip;
    for (int i = 0; i < 9; ++i)
        fields >> skip;
    unsigned long long utime = 0, stime = 0;
    fields >> utime >> stime;
    long ticks = sysconf(_SC_CLK_TCK);
    if (ticks <= 0)
        ticks = 100;
    info->user_time = static_cast<bigtime_t>(utime * 1000000ULL / ticks);
    info->kernel_time = static_cast<bigtime_t>(stime * 1000000ULL / ticks);
    if (state == "R")
        info->state = B_THREAD_RUNNING;
    else if (state == "T" || state == "t")
        info->state = B_THREAD_SUSPENDED;
    else
        info->state = B_THREAD_WAITING;
    return B_OK;
}

status_t FillInfo(team_id team, thread_id id, thread_info* info) {
    std::memset(info, 0, sizeof(*info));
    info->thread = id;
    info->team = team;
    info->priority = B_NORMAL_PRIORITY;
    info->sem = -1;
    std::string base = "/proc/" + std::to_string(team) + "/task/" + std::to_string(id) + "/";
    std::string stat = ReadSmallFile(base + "stat");
    if (stat.empty())
        return B_BAD_THREAD_ID;
    if (team == getpid()) {
        if (StateFromProc(id, info) != B_OK)
            return B_BAD_THREAD_ID;
    } else {
        info->state = B_THREAD_WAITING;
    }
    std::string comm = ReadSmallFile(base + "comm");
    while (!comm.empty() && (comm.back() == '\n' || comm.back() == '\r'))
        comm.pop_back();
    copy_cut_utf8(info->name, sizeof(info->name), comm.c_str());

    if (team == getpid()) {
        std::shared_ptr<ThreadRecord> record = Lookup(id);
        if (record) {
            std::lock_guard<std::mutex> lock(record->lock);
            if (record->ended)
                return B_BAD_THREAD_ID;
            copy_cut_utf8(info->name, sizeof(info->name), record->name.c_str());
            info->priority = record->priority;
            if (!record->started || record->suspended)
                info->state = B_THREAD_SUSPENDED;
        }
    }
    return B_OK;
}

std::vector<thread_id> TasksOf(team_id team) {
    std::vector<thread_id> ids;
    std::string path = "/proc/" + std::to_string(team) + "/task";
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr)
        return ids;
    while (struct dirent* entry = readdir(dir)) {
        char* end = nullptr;
        long id = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0' && id > 0)
            ids.push_back(static_cast<thread_id>(id));
    }
    closedir(dir);
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data) {
    if (func == nullptr)
        return B_BAD_VALUE;
    auto record = std::make_shared<ThreadRecord>();
    char cut[B_OS_NAME_LENGTH];
    copy_cut_utf8(cut, sizeof(cut), name ? name : "");
    record->name = cut;
    record->priority = ClampPriority(priority);
    record->func = func;
    record->data = data;

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t handle;
    auto* argument = new std::shared_ptr<ThreadRecord>(record);
    int error = pthread_create(&handle, &attributes, ThreadEntry, argument);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        delete argument;
        return B_NO_MORE_THREADS;
    }

    thread_id id;
    {
        std::unique_lock<std::mutex> lock(record->lock);
        record->changed.wait(lock, [&] { return record->hasId; });
        id = record->id;
    }
    std::lock_guard<std::mutex> guard(sTableLock);
    // A kernel id can come back after an ended thread nobody waited for.
    sThreads[id] = record;
    return id;
}

status_t resume_thread(thread_id thread) {
    std::shared_ptr<ThreadRecord> record = Lookup(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    std::lock_guard<std::mutex> lock(record->lock);
    if (record->ended)
        return B_BAD_THREAD_ID;
    if (record->started && !record->suspended)
        return B_BAD_THREAD_STATE;
    record->started = true;
    record->suspended = false;
    record->changed.notify_all();
    return B_OK;
}

status_t suspend_thread(thread_id thread) {
    std::shared_ptr<ThreadRecord> record = Lookup(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    {
        std::lock_guard<std::mutex> lock(record->lock);
        if (record->ended)
            return B_BAD_THREAD_ID;
        if (!record->started)
            return B_OK;
        record->suspended = true;
    }
    // A thread that suspends itself parks at once.
    if (record == tCurrent)
        thread_safe_point();
    return B_OK;
}

status_t kill_thread(thread_id thread) {
    std::shared_ptr<ThreadRecord> record = Lookup(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    std::function<void()> release;
    {
        std::lock_guard<std::mutex> lock(record->lock);
        if (record->ended)
            return B_BAD_THREAD_ID;
        record->killed = true;
        release = record->stopCallback;
        record->changed.notify_all();
    }
    if (record == tCurrent)
        exit_thread(B_INTERRUPTED);
    if (release)
        release();
    return B_OK;
}

status_t wait_for_thread(thread_id thread, status_t* exitValue) {
    if (thread == CurrentTid())
        return B_BAD_VALUE;
    std::shared_ptr<ThreadRecord> record = Lookup(thread);
    if (!record)
        return B_BAD_THREAD_ID;
    status_t result;
    {
        std::unique_lock<std::mutex> lock(record->lock);
        if (record->waited)
            return B_BAD_THREAD_ID;
        if (!record->started && !record->killed) {
            record->started = true;
            record->changed.notify_all();
        }
        record->changed.wait(lock, [&] { return record->ended; });
        result = record->exitValue;
        // The record stays (as an ended thread) until the bound of ended threads drops
        // it: the system may still list the thread for a moment, and it must not pass for
        // a live thread of someone else's.
        record->waited = true;
    }
    if (exitValue != nullptr)
        *exitValue = result;
    return B_OK;
}

status_t set_thread_priority(thread_id thread, int32 newPriority) {
    int32 priority = ClampPriority(newPriority);
    std::shared_ptr<ThreadRecord> record = Lookup(thread);
    int32 old = B_NORMAL_PRIORITY;
    if (record) {
        std::lock_guard<std::mutex> lock(record->lock);
        if (record->ended)
            return B_BAD_THREAD_ID;
        old = record->priority;
        record->priority = priority;
    } else if (!TaskExists(thread)) {
        return B_BAD_THREAD_ID;
    }
    ApplyPriority(thread, priority);
    return old;
}

status_t rename_thread(thread_id thread, const char* newName) {
    if (newName == nullptr)
        return B_BAD_VALUE;
    std::shared_ptr<ThreadRecord> record = Lookup(thread);
    if (record) {
        std::lock_guard<std::mutex> lock(record->lock);
        if (record->ended)
            return B_BAD_THREAD_ID;
        char cut[B_OS_NAME_LENGTH];
        copy_cut_utf8(cut, sizeof(cut), newName);
        record->name = cut;
    } else if (!TaskExists(thread)) {
        return B_BAD_THREAD_ID;
    }
    SetSystemName(thread, newName);
    return B_OK;
}

thread_id find_thread(const char* name) {
    if (name == nullptr)
        return CurrentTid();
    {
        std::lock_guard<std::mutex> guard(sTableLock);
        for (const auto& [id, record] : sThreads) {
            std::lock_guard<std::mutex> lock(record->lock);
            if (!record->ended && record->name == name)
                return id;
        }
    }
    std::string wanted = SystemName(name);
    for (thread_id id : TasksOf(getpid())) {
        std::string comm = ReadSmallFile(TaskPath(id, "comm"));
        while (!comm.empty() && comm.back() == '\n')
            comm.pop_back();
        if (comm == wanted && !Lookup(id))
            return id;
    }
    return B_NAME_NOT_FOUND;
}

status_t get_thread_info(thread_id thread, thread_info* info) {
    if (info == nullptr)
        return B_BAD_VALUE;
    if (thread <= 0)
        return B_BAD_THREAD_ID;
    return FillInfo(getpid(), thread, info);
}

status_t get_next_thread_info(team_id team, int32* cookie, thread_info* info) {
    if (cookie == nullptr || info == nullptr)
        return B_BAD_VALUE;
    if (team == B_CURRENT_TEAM)
        team = getpid();
    std::vector<thread_id> ids = TasksOf(team);
    if (ids.empty())
        return B_BAD_TEAM_ID;
    // The cookie is the index of the next thread; threads that end meanwhile are
    // skipped.
    while (*cookie >= 0 && static_cast<size_t>(*cookie) < ids.size()) {
        thread_id id = ids[*cookie];
        ++*cookie;
        if (FillInfo(team, id, info) == B_OK)
            return B_OK;
    }
    return B_BAD_VALUE;
}

void exit_thread(status_t status) {
    if (tCurrent)
        throw ThreadExit{status};
    pthread_exit(nullptr);
}

bool thread_should_stop() {
    if (!tCurrent)
        return false;
    std::lock_guard<std::mutex> lock(tCurrent->lock);
    return tCurrent->killed;
}

status_t thread_safe_point() {
    std::shared_ptr<ThreadRecord> record = tCurrent;
    if (!record)
        return B_OK;
    std::unique_lock<std::mutex> lock(record->lock);
    record->changed.wait(lock, [&] { return !record->suspended || record->killed; });
    return record->killed ? B_INTERRUPTED : B_OK;
}

void thread_exit_if_stopped() {
    if (thread_safe_point() != B_OK)
        exit_thread(B_INTERRUPTED);
}

status_t set_thread_stop_callback(std::function<void()> release) {
    std::shared_ptr<ThreadRecord> record = tCurrent;
    if (!record)
        return B_BAD_THREAD_ID;
    bool killed;
    {
        std::lock_guard<std::mutex> lock(record->lock);
        record->stopCallback = release;
        killed = record->killed;
    }
    if (killed && release)
        release();
    return B_OK;
}
