#pragma once

// Readers of the text the Linux kernel gives about itself (/proc/cpuinfo, uname), kept
// apart from the files so that they can be checked with fixed texts.

#include <string>

#include "platform/kernel/OS.h"

// Fills cpu_type, cpu_revision, cpu_clock_speed, cpu_vendor and cpu_model from the text
// of /proc/cpuinfo (the first processor's block); machine is uname's machine ("x86_64").
void parse_cpuinfo(const std::string& text, const char* machine, system_info* info);

// Takes the build date ("Jan 18 2024") and time ("12:34:56") out of uname's version
// text ("#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)" or "... Thu Jan 18
// 12:34:56 UTC 2024"). Missing parts give empty texts. Both buffers hold
// B_OS_NAME_LENGTH bytes.
void parse_kernel_build(const char* version, char* date, char* time);

// "6.1.0-18-amd64" gives 60100; unreadable parts count as 0.
int64 parse_kernel_version(const char* release);

// Copies text into a buffer of size bytes, cut at a character boundary, NUL-terminated.
void copy_cut_utf8(char* buffer, size_t size, const char* text);
