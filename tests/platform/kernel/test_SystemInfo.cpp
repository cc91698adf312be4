#include <gtest/gtest.h>

#include <cstring>

#include "platform/kernel/OS.h"
#include "platform/kernel/ProcText.h"

TEST(SystemInfo, ProcessorsAreNamedAsTheOldTablesNumberThem) {
    system_info info;
    std::memset(&info, 0, sizeof(info));
    parse_cpuinfo("processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 7\n"
                  "model name\t: Pentium III (Katmai)\nstepping\t: 3\ncpu MHz\t\t: 500.123\n\n"
                  "processor\t: 1\nvendor_id\t: Other\ncpu MHz\t\t: 9.0\n",
                  "i686", &info);
    EXPECT_EQ(info.cpu_type, 0x1067); // "Intel Pentium III"
    EXPECT_EQ(info.cpu_clock_speed, 500123000);
    EXPECT_STREQ(info.cpu_vendor, "GenuineIntel");
    EXPECT_STREQ(info.cpu_model, "Pentium III (Katmai)");
    EXPECT_EQ(info.cpu_revision, 0x673);

    // Processors newer than the tables get the vendor's base number.
    EXPECT_EQ(cpu_type_for_x86("AuthenticAMD", 5, 6), 0x1156); // "AMD K6 m6"
    EXPECT_EQ(cpu_type_for_x86("AuthenticAMD", 25, 33), B_CPU_AMD_X86);
    EXPECT_EQ(cpu_type_for_x86("GenuineIntel", 6, 85), B_CPU_INTEL_X86);
    EXPECT_EQ(cpu_type_for_x86("SomethingElse", 6, 1), B_CPU_X86);

    std::memset(&info, 0, sizeof(info));
    parse_cpuinfo("processor\t: 0\nBogoMIPS\t: 48.00\nCPU part\t: 0xd08\n", "aarch64", &info);
    EXPECT_EQ(info.cpu_type, B_CPU_ARM);
    EXPECT_EQ(info.cpu_clock_speed, 0);
    std::memset(&info, 0, sizeof(info));
    parse_cpuinfo("", "riscv64", &info);
    EXPECT_EQ(static_cast<int>(info.cpu_type), 0);
}

TEST(SystemInfo, KernelBuildDateAndVersionAreReadFromUnameTexts) {
    char date[B_OS_NAME_LENGTH], time[B_OS_NAME_LENGTH];
    parse_kernel_build("#1 SMP PREEMPT_DYNAMIC Thu Jan 18 12:34:56 UTC 2024", date, time);
    EXPECT_STREQ(date, "Jan 18 2024");
    EXPECT_STREQ(time, "12:34:56");
    parse_kernel_build("#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)", date, time);
    EXPECT_STREQ(date, "Feb  1 2024");
    EXPECT_STREQ(time, "");
    parse_kernel_build("#5 Mon Jan 99:99:99 (2024-13-40) garbage", date, time);
    EXPECT_STREQ(date, "");
    EXPECT_STREQ(time, "");
    parse_kernel_build(nullptr, date, time);
    EXPECT_STREQ(date, "");

    EXPECT_EQ(parse_kernel_version("6.1.0-18-amd64"), 60100);
    EXPECT_EQ(parse_kernel_version("5.15.153.1-microsoft-standard"), 51599);
    EXPECT_EQ(parse_kernel_version("x"), 0);
}

TEST(SystemInfo, TextsAreCutAtCharacterBoundaries) {
    char buffer[6];
    copy_cut_utf8(buffer, sizeof(buffer), "abcdefgh");
    EXPECT_STREQ(buffer, "abcde");
    copy_cut_utf8(buffer, sizeof(buffer), "abcdé");
    EXPECT_STREQ(buffer, "abcd");
    copy_cut_utf8(buffer, sizeof(buffer), nullptr);
    EXPECT_STREQ(buffer, "");
}

TEST(SystemInfo, TheRunningSystemIsDescribedSensibly) {
    system_info info;
    ASSERT_EQ(get_system_info(&info), B_OK);
    EXPECT_GE(info.cpu_count, 1);
    EXPECT_LE(info.cpu_count, B_MAX_CPU_COUNT);
    EXPECT_GT(info.max_pages, 0);
    EXPECT_LE(info.used_pages, info.max_pages);
    EXPECT_GT(info.boot_time, 0);
    EXPECT_EQ(std::strncmp(info.kernel_name, "Linux", 5), 0);
    EXPECT_GT(info.kernel_version, 0);
    EXPECT_GT(info.used_threads, 0);
    EXPECT_EQ(get_system_info(nullptr), B_BAD_VALUE);
}
