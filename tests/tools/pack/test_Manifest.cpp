#include <gtest/gtest.h>

#include "Manifest.h"
#include "support/Sandbox.h"

using namespace tarnw::pack;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

std::string ErrorOf(const std::string& text, const std::filesystem::path& folder) {
    try {
        ParseManifest(text, folder);
    } catch (const ManifestError& error) {
        return error.what();
    }
    return "";
}

class ManifestTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = Sandbox::MakeFolder("manifest");
        WriteFile(folder / "a.txt", "hello");
        WriteFile(folder / "licence.txt", "Be nice.");
    }
    std::filesystem::path folder;
};

} // namespace

TEST_F(ManifestTest, ReadsScalarsGroupsFoldersAndFilesWithDefaults) {
    Manifest manifest = ParseManifest(R"json({
        "app_name": "Demo", "opt_created_folder": "Demo", "opt_log": true,
        "req_ram_amount": 64, "req_disk_space_amount": 5000000000,
        "license_file": "licence.txt",
        "groups": [{"name": "Typical", "description": "Most"}],
        "custom_folders": [{"name": "Docs", "root": "Common Documentation", "sub_dir": "Demo"},
                           {"name": "Two", "root": 3006}],
        "req_apps": {"required": true, "names": ["Tracker (application/x-vnd.Be-TRAK)"]},
        "files": [{"source": "a.txt", "groups": ["Typical"]}]
    })json",
                                      folder);
    EXPECT_EQ(manifest.String("app_name"), "Demo");
    EXPECT_TRUE(manifest.Bool("opt_log"));
    EXPECT_EQ(manifest.Int("req_ram_amount"), 64);
    EXPECT_EQ(manifest.String("license"), "Be nice.");
    ASSERT_TRUE(manifest.diskSpaceAmount.has_value());
    EXPECT_DOUBLE_EQ(*manifest.diskSpaceAmount, 5000000000.0);
    ASSERT_EQ(manifest.customFolders.size(), 2u);
    EXPECT_EQ(manifest.customFolders[0].root, 2009);
    EXPECT_TRUE(manifest.customFolders[0].replace);
    EXPECT_EQ(manifest.customFolders[1].root, 3006);
    EXPECT_TRUE(manifest.apps.present);
    EXPECT_TRUE(manifest.apps.required);
    ASSERT_EQ(manifest.files.size(), 1u);
    const ManifestFile& file = manifest.files[0];
    EXPECT_EQ(file.source, folder / "a.txt");
    EXPECT_EQ(file.destination, "User Selected");
    EXPECT_EQ(file.destinationExists, "Replace");
    EXPECT_EQ(file.link, "None");
    EXPECT_TRUE(file.deinstallable);
    EXPECT_FALSE(file.autoLaunch);
}

TEST_F(ManifestTest, ErrorsNameTheOffendingKey) {
    const std::string base = R"("opt_created_folder": "Demo")";
    EXPECT_NE(ErrorOf("{" + base + R"(, "app_nmae": "x"})", folder).find("app_nmae: unknown key"),
              std::string::npos);
    EXPECT_NE(ErrorOf("{" + base + R"(, "opt_log": "yes"})", folder).find("opt_log"),
              std::string::npos);
    EXPECT_NE(ErrorOf("{" + base + R"(, "req_ram_amount": 1.5})", folder).find("req_ram_amount"),
              std::string::npos);
    EXPECT_NE(ErrorOf("{" + base + R"(, "files": [{"source": "missing.bin"}]})", folder)
                  .find("files[0].source: source not found"),
              std::string::npos);
    EXPECT_NE(ErrorOf("{" + base + R"(, "files": [{"source": "a.txt", "colour": 1}]})", folder)
                  .find("files[0].colour: unknown key"),
              std::string::npos);
    EXPECT_NE(
        ErrorOf("{" + base + R"(, "files": [{"source": "a.txt", "groups": ["Nope"]}]})", folder)
            .find("Nope"),
        std::string::npos);
    EXPECT_NE(
        ErrorOf("{" + base + R"(, "files": [{"source": "a.txt", "destination_exists": "prompt"}]})",
                folder)
            .find("destination_exists"),
        std::string::npos);
    EXPECT_NE(
        ErrorOf("{" + base + R"(, "custom_folders": [{"name": "x", "root": "Nowhere"}]})", folder)
            .find("custom_folders[0].root"),
        std::string::npos);
    EXPECT_NE(ErrorOf(R"({"app_name": "x"})", folder).find("opt_created_folder"),
              std::string::npos);
    EXPECT_NE(ErrorOf("{ not json", folder).find("not valid JSON"), std::string::npos);
    EXPECT_NE(ErrorOf("{" + base + R"(, "license": "a", "license_file": "licence.txt"})", folder)
                  .find("license_file"),
              std::string::npos);
}

TEST_F(ManifestTest, NamesThatCannotBecomeFilesAreRefused) {
    // "<app_name> <version> Deinstaller" gets a hidden record beside it: 255 bytes at most.
    std::string fits(255 - std::string(".  Deinstaller.tarnw-record").size() - 3, 'a');
    EXPECT_EQ(ErrorOf(R"({"opt_created_folder": "Demo", "version": "1.0", "app_name": ")" + fits +
                          R"("})",
                      folder),
              "");
    EXPECT_NE(ErrorOf(R"({"opt_created_folder": "Demo", "version": "1.0", "app_name": ")" + fits +
                          R"(a"})",
                      folder)
                  .find("app_name: is too long"),
              std::string::npos);
    // Without a deinstaller the name makes no file.
    EXPECT_EQ(ErrorOf(R"({"opt_created_folder": "Demo", "opt_include_deinstall": false,
                          "app_name": ")" +
                          fits + R"(a"})",
                      folder),
              "");
    std::string folderName(255 - std::string("..tarnw-journal").size() + 1, 'f');
    EXPECT_NE(ErrorOf(R"({"opt_created_folder": ")" + folderName + R"("})", folder)
                  .find("opt_created_folder: is too long"),
              std::string::npos);
}
