// The deinstaller's record of what was installed: written whole or not at all, read back
// with distrust, and found in the resources of a deinstaller placed by an earlier version.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/InstallConfig.h"
#include "engine/InstalledRecord.h"
#include "files/LibAppResource.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

BMessage List(const std::string& path) {
    BMessage list;
    list.AddString("install_folder", "/opt/Prod");
    list.AddString("path", path.c_str());
    return list;
}

std::string FirstPath(const BMessage& list) {
    const char* path = nullptr;
    return list.FindString("path", &path) == B_OK && path != nullptr ? path : "";
}

TEST(InstalledRecord, IsWrittenWholeBesideTheDeinstallerAndReplacedWhole) {
    fs::path folder = Sandbox::MakeFolder("installation");
    std::string deinstaller = (folder / "Prod 1.0 Deinstaller").string();
    WriteFile(deinstaller, "program");
    std::string error;
    ASSERT_TRUE(InstalledRecord::Write(deinstaller, List("/opt/Prod/first"), error)) << error;
    ASSERT_TRUE(InstalledRecord::Write(deinstaller, List("/opt/Prod/second"), error)) << error;
    EXPECT_EQ(InstalledRecord::PathFor(deinstaller),
              (folder / ".Prod 1.0 Deinstaller.tarnw-record").string());

    BMessage read;
    ASSERT_TRUE(InstalledRecord::Read(deinstaller, read, error)) << error;
    EXPECT_EQ(FirstPath(read), "/opt/Prod/second");
    // The program is not touched, and no temporary is left beside it.
    EXPECT_EQ(ReadFile(deinstaller), "program");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".Prod 1.0 Deinstaller.tarnw-record",
                                               "Prod 1.0 Deinstaller"}));

    // A folder that is gone takes nothing, and says where.
    std::string nowhere = (folder / "gone" / "Prod 1.0 Deinstaller").string();
    EXPECT_FALSE(InstalledRecord::Write(nowhere, List("/x"), error));
    EXPECT_NE(error.find((folder / "gone").string()), std::string::npos) << error;
}

TEST(InstalledRecord, AMissingOrDamagedRecordIsRefusedAndAnEarlierDeinstallersResourceServes) {
    fs::path folder = Sandbox::MakeFolder("installation");
    std::string deinstaller = (folder / "Prod 1.0 Deinstaller").string();
    WriteFile(deinstaller, "program");
    BMessage read;
    std::string error;
    EXPECT_FALSE(InstalledRecord::Read(deinstaller, read, error));
    EXPECT_NE(error.find(InstalledRecord::PathFor(deinstaller)), std::string::npos) << error;

    // Cut short, or not a message at all.
    std::string whole = List("/opt/Prod/item").Flatten();
    for (const std::string& bytes : {whole.substr(0, whole.size() - 3), std::string("junk")}) {
        WriteFile(InstalledRecord::PathFor(deinstaller), bytes);
        error.clear();
        EXPECT_FALSE(InstalledRecord::Read(deinstaller, read, error));
        EXPECT_NE(error.find("damaged"), std::string::npos) << error;
    }
    // A record that is a folder is none.
    fs::remove(InstalledRecord::PathFor(deinstaller));
    fs::create_directory(InstalledRecord::PathFor(deinstaller));
    EXPECT_FALSE(InstalledRecord::Read(deinstaller, read, error));
    fs::remove(InstalledRecord::PathFor(deinstaller));

    // An earlier version kept the list in the deinstaller's resources.
    {
        LibAppResource resources(deinstaller.c_str(), uint32(B_READ_WRITE));
        ASSERT_EQ(resources.AddResource(B_STRING_TYPE, kInstalledResourceId, whole.data(),
                                        whole.size(), kInstalledResourceName),
                  B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    ASSERT_TRUE(InstalledRecord::Read(deinstaller, read, error)) << error;
    EXPECT_EQ(FirstPath(read), "/opt/Prod/item");
    // The record file, when there is one, is what counts.
    ASSERT_TRUE(InstalledRecord::Write(deinstaller, List("/opt/Prod/newer"), error)) << error;
    ASSERT_TRUE(InstalledRecord::Read(deinstaller, read, error)) << error;
    EXPECT_EQ(FirstPath(read), "/opt/Prod/newer");
}

} // namespace
