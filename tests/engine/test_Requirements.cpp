// The requirements check, as the run meets it.

#include "InstallRunFixture.h"

using namespace engine_test;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

class RequirementsTest : public InstallFixture {
protected:
    void SetUp() override {
        package.AddItem(MakeTree("src", {{"a", "1"}}) / "a", Meta("User Selected"));
    }
    void DiskMinimum(double bytes, bool required) {
        package.config.AddBool("req_disk_space_needed", true);
        package.config.AddBool("req_disk_space_required", required);
        BMessage amount;
        amount.AddDouble("value", bytes);
        amount.AddInt32("value_type", 'kb  ');
        amount.AddFloat("value_conversion", 1024);
        package.config.AddMessage("req_disk_space_amount", &amount);
    }
    void Memory(int32 megabytes, bool required) {
        package.config.AddBool("req_ram_needed", true);
        package.config.AddBool("req_ram_required", required);
        package.config.AddInt32("req_ram_amount", megabytes);
    }
    void Libraries(std::vector<const char*> names, bool required) {
        BMessage libraries;
        libraries.AddBool("req_shared_librry_req", required);
        for (const char* name : names)
            libraries.AddString("req_shared_library_name", name);
        package.config.AddMessage("req_shared_library", &libraries);
    }
    const FrontendRequest& First() { return ui.frontend.requests.front(); }
};

} // namespace

TEST_F(RequirementsTest, RequiredDiskMinimumAboveFourGiBDoesNotWrap) {
    // 1 TiB + 1 byte: cut to 32 bits this would be one byte and always pass.
    DiskMinimum(1099511627777.0, true);
    ASSERT_EQ(Run(), kInstallNoDiskSpace);
    EXPECT_EQ(First().icon, FrontendIcon::Stop);
    EXPECT_EQ(First().text.rfind("Installation requires 1048576.0 MB of disk space, and the "
                                 "destination volume '",
                                 0),
              0u)
        << First().text;
    // Nothing created, nothing logged.
    EXPECT_FALSE(fs::exists(Folder()));
}

TEST_F(RequirementsTest, SuggestedDiskMinimumWarnsAndSkipsTheLaterChecks) {
    DiskMinimum(1099511627777.0, false);
    Memory(INT32_MAX, true);
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_NE(First().text.find("Installation suggests 1048576.0 MB"), std::string::npos);
    EXPECT_TRUE(fs::exists(Folder() / "a"));
    EXPECT_TRUE(LogHas("\tDisk Space Needed: Yes\n\t\tDisk spaced suggested: 1048576.0 MB\n"));
}

TEST_F(RequirementsTest, RequiredMemoryStopsTheRunQuietly) {
    Memory(INT32_MAX, true);
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_FALSE(fs::exists(Folder()));
    std::string text = First().text;
    EXPECT_EQ(text.rfind("Installation requires 2147483647 MB of physical RAM, and only ", 0), 0u);
    EXPECT_NE(text.find(" MB is available. Installation can not continue."), std::string::npos);
}

TEST_F(RequirementsTest, MemoryThatIsThereIsLoggedAndPasses) {
    Memory(1, true);
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_TRUE(LogHas("\tPhysical RAM Needed: Yes\n\t\tRAM required: 1 MB\n"));
}

TEST_F(RequirementsTest, MissingRequiredLibraryOffersOnlyAbort) {
    Libraries({"libnot-there.so.7"}, true);
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(First().buttons, std::vector<std::string>{"Abort"});
    EXPECT_EQ(First().icon, FrontendIcon::Info);
    EXPECT_EQ(First().text, "The shared library 'libnot-there.so.7' could not be found. The "
                            "installation requires that this library be present for the "
                            "installed software to work properly.");
    EXPECT_FALSE(fs::exists(Folder()));
}

TEST_F(RequirementsTest, SuggestedLibrariesCanBeSkippedOneByOne) {
    fs::path libraries = Sandbox::MakeFolder("libs");
    WriteFile(libraries / "libfound.so", "");
    setenv("LIBRARY_PATH", ("/nonexistent:" + libraries.string()).c_str(), 1);
    Libraries({"libone.so", "libfound.so", "libtwo.so"}, false);
    ui.frontend.Answer(1);
    ui.frontend.Answer(1);
    ASSERT_EQ(Run(), kInstallFinished);
    unsetenv("LIBRARY_PATH");
    ASSERT_GE(ui.frontend.requests.size(), 2u);
    EXPECT_EQ(ui.frontend.requests[0].buttons, (std::vector<std::string>{"Abort", "Continue"}));
    EXPECT_NE(ui.frontend.requests[0].text.find("'libone.so'"), std::string::npos);
    EXPECT_NE(ui.frontend.requests[1].text.find("'libtwo.so'"), std::string::npos);
    EXPECT_NE(ui.frontend.requests[1].text.find("installation suggests"), std::string::npos);
    EXPECT_TRUE(fs::exists(Folder() / "a"));
}

TEST_F(RequirementsTest, ApplicationWithoutSignatureIsMissing) {
    BMessage applications;
    applications.AddBool("req_app_req", true);
    applications.AddString("req_app_name", "Some Editor without signature");
    package.config.AddMessage("req_apps", &applications);
    ASSERT_EQ(Run(), kInstallFinished);
    EXPECT_EQ(First().text, "The application 'Some Editor without signature' could not be "
                            "found. The installation requires that this application be present "
                            "for the installed software to work properly.");
    EXPECT_EQ(First().buttons, std::vector<std::string>{"Abort"});
}
