// Loading the configuration and marking its install records.

#include <gtest/gtest.h>

#include <string>

#include "package/PackageConfig.h"
#include "platform/storage/File.h"
#include "platform/storage/Resources.h"
#include "platform/storage/StorageDefs.h"
#include "support/Sandbox.h"

namespace {

BMessage Record(const char* fileName) {
    BMessage record;
    record.AddString("file_name", fileName);
    record.AddInt8("file_type", 0);
    return record;
}

// Three records: two of them with the leaf "App" in different folders.
PackageConfig ThreeRecords() {
    BMessage instructions;
    BMessage first = Record("/build/one/App");
    BMessage second = Record("/build/two/Docs");
    second.AddBool("install_to_system", false);
    BMessage third = Record("/build/three/App");
    instructions.AddMessage("install_file", &first);
    instructions.AddMessage("install_file", &second);
    instructions.AddMessage("install_file", &third);
    PackageConfig config;
    config.AddString("app_name", "Demo");
    config.AddMessage("install_instructions", &instructions);
    return config;
}

std::string WriteInstaller(const BMessage* configuration, const std::string& rawBytes = "") {
    const auto path = tarnw::test::Sandbox::MakeFolder("installer") / "installer";
    tarnw::test::WriteFile(path, "stub");
    BFile file(path.c_str(), B_READ_WRITE);
    BResources resources(&file, true);
    if (configuration != nullptr) {
        const std::string flat = configuration->Flatten();
        resources.AddResource(B_STRING_TYPE, 2002, flat.data(), flat.size(), "TWC:configuration");
    } else if (!rawBytes.empty()) {
        resources.AddResource(B_STRING_TYPE, 2002, rawBytes.data(), rawBytes.size(),
                              "TWC:configuration");
    }
    resources.AddResource(B_STRING_TYPE, 1, "Install", 8, "en:1007");
    EXPECT_EQ(resources.Sync(), B_OK);
    return path.string();
}

bool Load(PackageConfig& config, const std::string& installer) {
    BFile file(installer.c_str(), B_READ_ONLY);
    BResources resources(&file);
    return config.LoadConfiguration(resources);
}

} // namespace

TEST(PackageConfig, LoadsTheFlattenedConfigurationResource) {
    PackageConfig original = ThreeRecords();
    const std::string installer = WriteInstaller(&original);
    PackageConfig config;
    config.AddString("left over", "from before");
    ASSERT_TRUE(Load(config, installer));
    EXPECT_TRUE(static_cast<BMessage&>(config) == static_cast<BMessage&>(original));
    EXPECT_EQ(config.CountInstallFiles(), 3);
}

TEST(PackageConfig, MissingOrDamagedResourceFailsAndLeavesNothing) {
    PackageConfig config;
    config.AddString("left over", "from before");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Load(config, WriteInstaller(nullptr)));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Does not have resource 2002\n");
    EXPECT_TRUE(config.IsEmpty());

    const std::string flat = ThreeRecords().Flatten();
    config.AddString("left over", "from before");
    EXPECT_FALSE(Load(config, WriteInstaller(nullptr, flat.substr(0, flat.size() / 2))));
    EXPECT_TRUE(config.IsEmpty());
    EXPECT_FALSE(Load(config, WriteInstaller(nullptr, "not a message at all")));
    EXPECT_TRUE(config.IsEmpty());

    EXPECT_FALSE(config.LoadFlattened(nullptr, 0));
    EXPECT_FALSE(config.LoadFlattened(flat.data(), 3));
    EXPECT_TRUE(config.LoadFlattened(flat.data(), flat.size()));
    EXPECT_EQ(config.CountInstallFiles(), 3);
}

TEST(PackageConfig, MarkingByLeafTouchesOnlyTheFirstRecordOfThatLeaf) {
    PackageConfig config = ThreeRecords();
    EXPECT_FALSE(config.IsMarkedForInstall(0));
    ASSERT_TRUE(config.MarkInstallFile("App", true));
    EXPECT_TRUE(config.IsMarkedForInstall(0));
    EXPECT_FALSE(config.IsMarkedForInstall(2));
    BMessage third;
    ASSERT_TRUE(config.GetInstallFile(2, third));
    EXPECT_FALSE(third.HasBool("install_to_system"));

    // An existing mark is replaced, not doubled.
    ASSERT_TRUE(config.MarkInstallFile("Docs", true));
    BMessage second;
    ASSERT_TRUE(config.GetInstallFile(1, second));
    EXPECT_EQ(second.CountValues("install_to_system"), 1);
    EXPECT_TRUE(config.IsMarkedForInstall(1));
    EXPECT_STREQ(second.GetString("file_name"), "/build/two/Docs");

    EXPECT_FALSE(config.MarkInstallFile("app", true)); // letter case counts
    EXPECT_FALSE(config.MarkInstallFile("one/App", true));
    EXPECT_FALSE(config.MarkInstallFile(nullptr, true));
    EXPECT_STREQ(config.StringValue("app_name"), "Demo"); // the rest stays
}

TEST(PackageConfig, MarkingEveryRowAtOnce) {
    PackageConfig config = ThreeRecords();
    EXPECT_EQ(config.MarkInstallFiles({true, false, true, true}), 3);
    EXPECT_TRUE(config.IsMarkedForInstall(0));
    EXPECT_FALSE(config.IsMarkedForInstall(1));
    EXPECT_TRUE(config.IsMarkedForInstall(2));
    EXPECT_EQ(config.MarkInstallFiles({false}), 1);
    EXPECT_FALSE(config.IsMarkedForInstall(0));
    EXPECT_TRUE(config.IsMarkedForInstall(2));
    EXPECT_FALSE(config.MarkInstallFile(7, true));

    PackageConfig empty;
    EXPECT_EQ(empty.MarkInstallFiles({true}), 0);
    EXPECT_EQ(empty.CountInstallFiles(), 0);
    EXPECT_EQ(empty.FindInstallFile("App"), -1);
}

// The records are read from a decoded copy; every way of changing the configuration,
// including the plain message calls, must be seen by the next read.
TEST(PackageConfig, RecordReadsFollowEveryChangeOfTheConfiguration) {
    PackageConfig config = ThreeRecords();
    EXPECT_EQ(config.FindInstallFile("Docs"), 1);
    EXPECT_EQ(config.CountInstallFiles(), 3);

    BMessage instructions;
    BMessage only = Record("/elsewhere/Docs");
    only.AddBool("install_to_system", true);
    instructions.AddMessage("install_file", &only);
    ASSERT_EQ(config.ReplaceMessage("install_instructions", &instructions), B_OK);
    EXPECT_EQ(config.CountInstallFiles(), 1);
    EXPECT_EQ(config.FindInstallFile("Docs"), 0);
    EXPECT_EQ(config.FindInstallFile("App"), -1);
    EXPECT_TRUE(config.IsMarkedForInstall(0));
    BMessage record;
    EXPECT_FALSE(config.GetInstallFile(1, record));

    ASSERT_TRUE(config.ReplaceInstallFile(0, Record("/elsewhere/Renamed")));
    EXPECT_EQ(config.FindInstallFile("Renamed"), 0);
    EXPECT_FALSE(config.IsMarkedForInstall(0));

    config.RemoveName("install_instructions");
    EXPECT_EQ(config.CountInstallFiles(), 0);
    EXPECT_FALSE(config.GetInstructions(instructions));

    const std::string flat = ThreeRecords().Flatten();
    ASSERT_TRUE(config.LoadFlattened(flat.data(), flat.size()));
    EXPECT_EQ(config.CountInstallFiles(), 3);
    EXPECT_EQ(config.FindInstallFile("App"), 0);

    // A copy reads its own records; changing it leaves the original alone.
    PackageConfig copy = config;
    copy.MakeEmpty();
    EXPECT_EQ(copy.CountInstallFiles(), 0);
    EXPECT_EQ(config.CountInstallFiles(), 3);
    copy = config;
    EXPECT_EQ(copy.FindInstallFile("Docs"), 1);
}

// Records without a name are counted but never found by leaf; a field of another type
// under the records' name holds no records.
TEST(PackageConfig, OddRecordsAreReadAsBefore) {
    BMessage instructions;
    BMessage nameless;
    nameless.AddInt32("file_size", 5);
    BMessage named = Record("App");
    instructions.AddMessage("install_file", &nameless);
    instructions.AddMessage("install_file", &named);
    PackageConfig config;
    config.AddMessage("install_instructions", &instructions);
    EXPECT_EQ(config.CountInstallFiles(), 2);
    EXPECT_EQ(config.FindInstallFile("App"), 1);
    EXPECT_EQ(config.FindInstallFile(""), -1);

    BMessage strings;
    strings.AddString("install_file", "not a record");
    PackageConfig other;
    other.AddMessage("install_instructions", &strings);
    EXPECT_EQ(other.CountInstallFiles(), 0);
    BMessage record;
    EXPECT_FALSE(other.GetInstallFile(0, record));
}

// Records changed together go back in one write, in the same form as changing them one at
// a time with the message calls: a mark of another type becomes a bool, a missing one is
// added at the end, and everything else in the records and around them stays as it was.
TEST(PackageConfig, RecordsChangedTogetherAreWrittenBackInTheirOwnForm) {
    BMessage meta;
    meta.AddString("destination", "Manuals");
    meta.AddString("deinstallable", "True");
    meta.AddString("auto_launch", "true"); // only "True" counts
    BMessage odd = Record("/build/one/App");
    odd.AddInt32("install_to_system", 1);
    BMessage marked = Record("/build/two/Docs");
    marked.AddBool("install_to_system", false);
    marked.AddString("groups", "Typical;Full;");
    BMessage unmarked = Record("/build/three/Tools");
    unmarked.AddMessage("install_meta", &meta);
    unmarked.AddInt32("file_size", 42);
    BMessage instructions;
    instructions.AddString("note", "before the records");
    for (const BMessage* record : {&odd, &marked, &unmarked})
        instructions.AddMessage("install_file", record);
    instructions.AddInt32("after", 7);
    PackageConfig config;
    config.AddMessage("install_instructions", &instructions);

    std::shared_ptr<const InstallRecords> read = config.Records();
    ASSERT_EQ(read->Count(), 3);
    const InstallRecords::Item& tools = *read->At(2);
    EXPECT_EQ(tools.leaf, "Tools");
    EXPECT_EQ(tools.size, 42);
    EXPECT_EQ(tools.destination, "Manuals");
    EXPECT_TRUE(tools.deinstallable);
    EXPECT_FALSE(tools.autoLaunch);
    EXPECT_FALSE(tools.selected);
    EXPECT_EQ(read->At(1)->groups, "Typical;Full;");
    EXPECT_EQ(read->At(3), nullptr);

    // The same changes made one at a time on the message itself.
    BMessage expected = config;
    BMessage container;
    ASSERT_EQ(expected.FindMessage("install_instructions", &container), B_OK);
    BMessage record;
    for (int32 i = 0; i < 3; i++) {
        ASSERT_EQ(container.FindMessage("install_file", i, &record), B_OK);
        if (record.ReplaceBool("install_to_system", 0, true) != B_OK) {
            record.RemoveName("install_to_system");
            record.AddBool("install_to_system", true);
        }
        if (i == 2)
            record.ReplaceString("file_name", "/opt/Tool/Tools");
        ASSERT_EQ(container.ReplaceMessage("install_file", i, &record), B_OK);
    }
    ASSERT_EQ(expected.ReplaceMessage("install_instructions", &container), B_OK);

    EXPECT_EQ(config.MarkInstallFiles({true, true, true}), 3);
    InstallRecords changed = *config.Records();
    ASSERT_TRUE(changed.SetFileName(2, "/opt/Tool/Tools"));
    EXPECT_FALSE(changed.SetFileName(3, "/opt/Tool/None"));
    ASSERT_TRUE(config.StoreRecords(changed));
    EXPECT_EQ(config.Flatten(), expected.Flatten());

    // Reads see the stored records, and a new decoding of the message reads the same.
    EXPECT_TRUE(config.IsMarkedForInstall(0));
    EXPECT_EQ(config.Records()->At(2)->fileName, "/opt/Tool/Tools");
    PackageConfig reloaded;
    const std::string flat = config.Flatten();
    ASSERT_TRUE(reloaded.LoadFlattened(flat.data(), flat.size()));
    EXPECT_EQ(reloaded.Records()->At(2)->fileName, "/opt/Tool/Tools");
    EXPECT_TRUE(reloaded.IsMarkedForInstall(0));
    ASSERT_TRUE(reloaded.GetInstallFile(1, record));
    EXPECT_EQ(record.CountValues("install_to_system"), 1);

    // A new leaf is found by its name, the old one no more; until the taken records are
    // stored, reads see the configuration as it is.
    changed = config.TakeRecords();
    ASSERT_TRUE(changed.SetFileName(0, "/opt/Tool/Renamed"));
    EXPECT_EQ(config.FindInstallFile("App"), 0);
    EXPECT_EQ(config.Records()->At(2)->fileName, "/opt/Tool/Tools");
    ASSERT_TRUE(config.StoreRecords(changed));
    EXPECT_EQ(config.FindInstallFile("Renamed"), 0);
    EXPECT_EQ(config.FindInstallFile("App"), -1);
}

TEST(PackageConfig, MissingKeysReadAsFalseZeroAndNoText) {
    PackageConfig config;
    config.AddString("opt_log", "True"); // a string where a bool belongs
    config.AddInt32("req_ram_amount", 64);
    EXPECT_FALSE(config.BoolValue("opt_log"));
    EXPECT_FALSE(config.BoolValue("opt_create_startup"));
    EXPECT_EQ(config.Int32Value("req_ram_amount"), 64);
    EXPECT_EQ(config.Int32Value("TWC:deinstaller_size"), 0);
    EXPECT_STREQ(config.StringValue("license"), "");
    EXPECT_STREQ(config.StringValue("req_ram_amount"), "");

    // The deinstaller is placed unless the package says false.
    EXPECT_TRUE(config.IncludeDeinstaller());
    config.AddBool("opt_include_deinstall", false);
    EXPECT_FALSE(config.IncludeDeinstaller());
    config.ReplaceBool("opt_include_deinstall", true);
    EXPECT_TRUE(config.IncludeDeinstaller());
}
