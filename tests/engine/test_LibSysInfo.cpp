#include "engine/LibSysInfo.h"

#include <gtest/gtest.h>

#include "lib/LibString.h"

namespace {

const char* kIntelTwoCores = "processor\t: 0\n"
                             "vendor_id\t: GenuineIntel\n"
                             "cpu MHz\t\t: 2893.600\n"
                             "stepping\t: 7\n"
                             "\n"
                             "processor\t: 1\n"
                             "vendor_id\t: GenuineIntel\n"
                             "cpu MHz\t\t: 1200.000\n";

} // namespace

TEST(LibSysInfo, IntelMachine) {
    LibSysInfo info;
    info.Fill(kIntelTwoCores, int64(8192) * 1048576 + 5, "x86_64", "6.1.0", "#1 SMP");
    EXPECT_EQ(info.ProcessorCount(), 2);
    EXPECT_EQ(info.ProcessorText(), "Intel x86");
    EXPECT_EQ(info.PlatformText(), "AT Clone");
    EXPECT_EQ(info.ProcessorClock(), 2894);
    EXPECT_EQ(info.ProcessorRevision(), 7);
    EXPECT_EQ(info.PhysicalMemory(), 8192);
    EXPECT_EQ(info.DescriptionText(), "AT Clone (2-Intel x86@2894/0MHz) 8192MB RAM");
    LibString description;
    info.Description(description);
    EXPECT_STREQ(description, "AT Clone (2-Intel x86@2894/0MHz) 8192MB RAM");
}

TEST(LibSysInfo, AmdAndOtherMachines) {
    LibSysInfo amd;
    amd.Fill("processor : 0\nvendor_id : AuthenticAMD\ncpu MHz : 3000.4\n", 1048576, "i686", "",
             "");
    EXPECT_EQ(amd.ProcessorText(), "AMD x86");
    EXPECT_EQ(amd.ProcessorClock(), 3000);

    LibSysInfo arm;
    arm.Fill("processor : 0\nBogoMIPS : 50.00\n", 0, "aarch64", "", "");
    EXPECT_EQ(arm.ProcessorText(), "Unknown");
    EXPECT_EQ(arm.PlatformText(), "Unknown");
    EXPECT_EQ(arm.ProcessorCount(), 1);
}

TEST(LibSysInfo, Tables) {
    EXPECT_EQ(LibSysInfo::Megahertz(2500600000.0), 2501);
    EXPECT_EQ(LibSysInfo::Megahertz(2500500000.0), 2500);
    EXPECT_EQ(LibSysInfo::Megahertz(0), 0);
    EXPECT_STREQ(LibSysInfo::ProcessorName(4199), "Intel Pentium III");
    EXPECT_STREQ(LibSysInfo::ProcessorName(4200), "Unknown");
    EXPECT_STREQ(LibSysInfo::PlatformName(13), "Nintendo 64");
    EXPECT_STREQ(LibSysInfo::PlatformName(14), "Unknown");
    EXPECT_STREQ(LibSysInfo::ScreenDepthName(16), "15 bit color");
    EXPECT_STREQ(LibSysInfo::ScreenDepthName(7), "Unknown");
}
