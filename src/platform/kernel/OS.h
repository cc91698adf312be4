#pragma once

// Threads, teams and system information.
//
// Thread ids are the kernel's thread ids (gettid), so they match what `ps -L` and
// /proc/self/task show, and every thread of the process (not only those made by
// spawn_thread) can be named, inspected and waited for where that makes sense.
//
// Stopping and suspending are cooperative. A thread cannot be stopped safely at an
// arbitrary instruction on Linux (it may hold the allocator's lock or be half-way through
// writing a file), so:
//   - kill_thread() marks the thread; the thread ends at its next safe point, i.e. the
//     next call of thread_safe_point() (which then answers B_INTERRUPTED) or
//     thread_exit_if_stopped() (which ends the thread there). A thread that is blocked in
//     a wait on behalf of the user (an alert) is released through its stop callback, see
//     set_thread_stop_callback(). kill_thread() does not wait; wait_for_thread() does.
//   - suspend_thread() marks the thread; it parks at its next safe point until
//     resume_thread() or kill_thread().
// A spawned thread starts suspended and runs when resume_thread() (or wait_for_thread())
// is called.

#include <functional>

#include "platform/support/SupportDefs.h"

typedef int32 (*thread_func)(void*);

#define B_MAX_CPU_COUNT 256
#define B_CURRENT_TEAM 0
#define B_SYSTEM_TEAM 1

enum {
    B_IDLE_PRIORITY = 0,
    B_LOWEST_ACTIVE_PRIORITY = 1,
    B_LOW_PRIORITY = 5,
    B_NORMAL_PRIORITY = 10,
    B_DISPLAY_PRIORITY = 15,
    B_URGENT_DISPLAY_PRIORITY = 20,
    B_REAL_TIME_DISPLAY_PRIORITY = 100,
    B_URGENT_PRIORITY = 110,
    B_REAL_TIME_PRIORITY = 120
};

typedef enum {
    B_THREAD_RUNNING = 1,
    B_THREAD_READY,
    B_THREAD_RECEIVING,
    B_THREAD_ASLEEP,
    B_THREAD_SUSPENDED,
    B_THREAD_WAITING
} thread_state;

typedef struct {
    thread_id thread;
    team_id team;
    char name[B_OS_NAME_LENGTH];
    thread_state state;
    int32 priority;
    sem_id sem;
    bigtime_t user_time;   // microseconds
    bigtime_t kernel_time; // microseconds
    void* stack_base;
    void* stack_end;
} thread_info;

// Spawns a thread that will run func(data); it stays suspended until resume_thread().
// The name (cut to B_OS_NAME_LENGTH - 1 bytes) is also given to the system, where it is
// cut to 15 bytes. Answers the new thread's id or B_NO_MORE_THREADS.
thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data);
status_t resume_thread(thread_id thread);
status_t suspend_thread(thread_id thread);
status_t kill_thread(thread_id thread);
// Waits until the thread has ended and gives the value it returned (or passed to
// exit_thread). A spawned thread that was never resumed is resumed first. Answers
// B_BAD_THREAD_ID for an unknown thread or one that was already waited for, and
// B_BAD_VALUE when a thread waits for itself.
status_t wait_for_thread(thread_id thread, status_t* exitValue);
// Answers the previous priority, or an error code.
status_t set_thread_priority(thread_id thread, int32 newPriority);
status_t rename_thread(thread_id thread, const char* newName);
// nullptr: the calling thread. Otherwise a thread of this process with that name.
thread_id find_thread(const char* name);
status_t get_thread_info(thread_id thread, thread_info* info);
status_t get_next_thread_info(team_id team, int32* cookie, thread_info* info);
// Ends the calling thread with the given exit value. On a thread made by spawn_thread the
// stack is unwound (destructors run) up to the thread's entry.
[[noreturn]] void exit_thread(status_t status);

// Cooperative stopping, called by the thread itself.
// True once kill_thread() was called for the calling thread.
bool thread_should_stop();
// Parks while the calling thread is suspended; answers B_INTERRUPTED when the thread was
// killed (the caller should then return promptly), B_OK otherwise.
status_t thread_safe_point();
// thread_safe_point(), then exit_thread(B_INTERRUPTED) if the thread was killed.
void thread_exit_if_stopped();
// Installs, for the calling thread, the function that kill_thread() calls (on the killing
// thread) to release a wait the thread is blocked in, e.g. an alert that then answers its
// first button. If the thread was already killed, the function is called at once. Pass
// an empty function to remove it. Only threads made by spawn_thread keep a callback;
// others answer B_BAD_THREAD_ID.
status_t set_thread_stop_callback(std::function<void()> release);

// Teams are processes.
typedef struct {
    team_id team;
    int32 thread_count;
    int32 image_count;
    int32 area_count;
    thread_id debugger_nub_thread;
    port_id debugger_nub_port;
    int32 argc;
    char args[64];
    uid_t uid;
    gid_t gid;
} team_info;

status_t get_team_info(team_id team, team_info* info);

// System information.
typedef enum cpu_types {
    B_CPU_PPC_601 = 1,
    B_CPU_PPC_603 = 2,
    B_CPU_PPC_603e = 3,
    B_CPU_PPC_604 = 4,
    B_CPU_PPC_604e = 5,
    B_CPU_PPC_686 = 13,
    B_CPU_AMD_29K = 14,
    B_CPU_X86,
    B_CPU_MC6502,
    B_CPU_Z80,
    B_CPU_ALPHA,
    B_CPU_MIPS,
    B_CPU_HPPA,
    B_CPU_M68K,
    B_CPU_ARM,
    B_CPU_SH,
    B_CPU_SPARC,

    B_CPU_X86_VENDOR_MASK = 0x1F00,
    B_CPU_INTEL_X86 = 0x1000,
    B_CPU_AMD_X86 = 0x1100,
    B_CPU_CYRIX_X86 = 0x1200,
    B_CPU_IDT_X86 = 0x1300,
    B_CPU_RISE_X86 = 0x1400
} cpu_type;

typedef enum platform_types {
    B_BEBOX_PLATFORM = 0,
    B_MAC_PLATFORM,
    B_AT_CLONE_PLATFORM,
    B_ENIAC_PLATFORM,
    B_APPLE_II_PLATFORM,
    B_CRAY_PLATFORM,
    B_LISA_PLATFORM,
    B_TI_994A_PLATFORM,
    B_TIMEX_SINCLAIR_PLATFORM,
    B_ORAC_1_PLATFORM,
    B_HAL_PLATFORM,
    B_BESM_6_PLATFORM,
    B_MK_61_PLATFORM,
    B_N64_PLATFORM,
    // Any machine that is not a PC.
    B_UNKNOWN_PLATFORM = 255
} platform_type;

typedef struct {
    bigtime_t active_time; // microseconds this processor was busy since boot
} cpu_info;

typedef int32 machine_id[2];

typedef struct {
    machine_id id;
    bigtime_t boot_time; // microseconds since 1970
    int32 cpu_count;     // at most B_MAX_CPU_COUNT
    enum cpu_types cpu_type;
    int32 cpu_revision;
    cpu_info cpu_infos[B_MAX_CPU_COUNT];
    int64 cpu_clock_speed; // Hz, 0 when unknown
    int64 bus_clock_speed; // Hz, 0 when unknown
    enum platform_types platform_type;
    int32 max_pages;  // physical memory in B_PAGE_SIZE pages
    int32 used_pages; // pages in use (not available to programs)
    int32 page_faults;
    int32 max_sems;
    int32 used_sems;
    int32 max_ports;
    int32 used_ports;
    int32 max_threads;
    int32 used_threads;
    int32 max_teams;
    int32 used_teams;
    char kernel_name[B_FILE_NAME_LENGTH];
    char kernel_build_date[B_OS_NAME_LENGTH]; // "Jan 18 2024" when the kernel tells it
    char kernel_build_time[B_OS_NAME_LENGTH]; // "12:34:56" when the kernel tells it
    int64 kernel_version;                     // major * 10000 + minor * 100 + patch
    // The processor's vendor and model as the system names them.
    char cpu_vendor[B_OS_NAME_LENGTH];
    char cpu_model[B_FILE_NAME_LENGTH];
} system_info;

status_t get_system_info(system_info* info);

// The processor type for an x86 vendor id ("GenuineIntel", ...) with its family and
// model, as the old platform numbered them (vendor base + family << 4 + model); only the
// vendor base for processors newer than its tables.
cpu_type cpu_type_for_x86(const char* vendor, int32 family, int32 model);
