#include "engine/LibSysInfo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>
#include <utility>
#include <vector>

#include "lib/LibString.h"
#include "support/Process.h"
#include "support/Sandbox.h"

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

TEST(LibSysInfo, ScreenDepthsAreNamedAsTheOldColourSpaces) {
    LibSysInfo info;
    info.SetScreen(1280, 1024, 24);
    EXPECT_EQ(info.ScreenWidth(), 1280);
    EXPECT_EQ(info.ScreenHeight(), 1024);
    EXPECT_STREQ(info.ScreenDepthStr(), "24 bit color");
    for (auto [depth, name] : std::vector<std::pair<int32, const char*>>{{1, "1 bit gray"},
                                                                         {8, "8 bit color"},
                                                                         {15, "15 bit color"},
                                                                         {16, "16 bit color"},
                                                                         {32, "32 bit color"},
                                                                         {12, "No color"},
                                                                         {0, "No color"}}) {
        info.SetScreen(1, 1, depth);
        EXPECT_STREQ(info.ScreenDepthStr(), name) << depth;
    }
    info.SetScreen(-5, -1, 24);
    EXPECT_EQ(info.ScreenWidth(), 0);
    EXPECT_EQ(info.ScreenHeight(), 0);
}

// The snapshot reads the screen of the X display when there is one, and 0 without.
TEST(LibSysInfo, TheScreenComesFromTheDisplay) {
    std::string saved = std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    {
        LibSysInfo info;
        EXPECT_EQ(info.ScreenWidth(), 0);
        EXPECT_EQ(info.ScreenColorSpace(), 0);
    }
    std::string xvfb = tarnw::test::FindProgram("Xvfb");
    int pipeFds[2];
    if (xvfb.empty() || pipe(pipeFds) != 0) {
        if (!saved.empty())
            setenv("DISPLAY", saved.c_str(), 1);
        GTEST_SKIP() << "Xvfb is not installed";
    }
    tarnw::test::BackgroundProgram server({xvfb, "-displayfd", std::to_string(pipeFds[1]),
                                           "-screen", "0", "800x600x16", "-nolisten", "tcp"},
                                          {}, tarnw::test::Sandbox::Temp() / "sysinfo-xvfb.log",
                                          pipeFds[1]);
    close(pipeFds[1]);
    std::string number;
    char c;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(pipeFds[0]);
    ASSERT_FALSE(number.empty());
    setenv("DISPLAY", (":" + number).c_str(), 1);
    LibSysInfo info;
    if (saved.empty())
        unsetenv("DISPLAY");
    else
        setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_EQ(info.ScreenWidth(), 800);
    EXPECT_EQ(info.ScreenHeight(), 600);
    EXPECT_STREQ(info.ScreenDepthStr(), "16 bit color");
    EXPECT_EQ(info.BusClock(), 0);
}

TEST(LibGetOSVersion, ReadsTheShortVersionOfTheSystem) {
    EXPECT_EQ(OSVersionFromRelease("NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n"
                                   "VERSION=\"12 (bookworm)\"\n"),
              "12");
    EXPECT_EQ(OSVersionFromRelease("VERSION='24.04 LTS'\n"), "24.04 LTS");
    EXPECT_EQ(OSVersionFromRelease("VERSION_ID=3.19.1\n"), "3.19.1");
    EXPECT_EQ(OSVersionFromRelease("VERSION_ID=\"a\\\"b\"\n"), "a\"b");
    EXPECT_EQ(OSVersionFromRelease("NAME=Arch\nBUILD_ID=rolling\n"), "");

    // The running system names some version; a string is only ever overwritten by one.
    LibString version("unchanged");
    LibGetOSVersion(version);
    EXPECT_STRNE(version, "");
    EXPECT_STRNE(version, "unchanged");
}
