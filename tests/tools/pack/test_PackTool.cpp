// Builds the demo package with the real tarnw-pack and inspects the installer it writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "locale/Catalogue.h"
#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;

namespace {

const std::string kPack = std::string(TARNW_BIN_DIR) + "/tarnw-pack";

class PackToolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        installer = new fs::path(Sandbox::MakeFolder("pack") / "DemoInstaller");
        auto result = RunProgram({kPack, "build",
                                  std::string(TARNW_SOURCE_DIR) + "/examples/demo/manifest.json",
                                  "-o", installer->string()});
        buildOutput = new std::string(result.output);
        built = result.status == 0;
    }
    static void TearDownTestSuite() {
        delete installer;
        delete buildOutput;
    }
    void SetUp() override { ASSERT_TRUE(built) << *buildOutput; }

    static fs::path* installer;
    static std::string* buildOutput;
    static bool built;
};

fs::path* PackToolTest::installer = nullptr;
std::string* PackToolTest::buildOutput = nullptr;
bool PackToolTest::built = false;

} // namespace

TEST_F(PackToolTest, ListShowsConfigurationPayloadsDeinstallerAndCatalogue) {
    auto result = RunProgram({kPack, "list", installer->string()});
    ASSERT_EQ(result.status, 0) << result.output;
    std::istringstream lines(result.output);
    std::string line;
    std::map<std::string, std::string> byKey;
    int catalogue = 0;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string type, id, size, name;
        std::getline(fields, type, '\t');
        std::getline(fields, id, '\t');
        std::getline(fields, size, '\t');
        std::getline(fields, name);
        byKey[type + " " + id] = name;
        if (type == "CSTR" && name.size() > 3 && name.find(':') != std::string::npos &&
            name.rfind("TWC:", 0) != 0)
            ++catalogue;
    }
    EXPECT_EQ(byKey["CSTR 2002"], "TWC:configuration");
    EXPECT_EQ(byKey["RAWT 2001"], "TarnDeinstall");
    EXPECT_EQ(byKey["RAWT 2100"], "demo-hello");
    EXPECT_EQ(byKey["RAWT 2101"], "demo-greet.sh");
    EXPECT_EQ(byKey["RAWT 2102"], "Demo Documentation");
    EXPECT_EQ(catalogue, int(catalogue::BuiltinEntries().size()));
    EXPECT_EQ(byKey["CSTR 1"], "en:1000");
}

TEST_F(PackToolTest, ConfigPrintsEveryRecordAndKey) {
    auto result = RunProgram({kPack, "config", installer->string()});
    ASSERT_EQ(result.status, 0) << result.output;
    for (const char* expected :
         {"app_name (CSTR) = \"Demo\"", "opt_created_folder (CSTR) = \"Demo\"", "install_file[0]",
          "install_file[2]", "\"Typical;Full;\"", "destination (CSTR) = \"Demo Docs\"",
          "custom_root_dir (LONG) = 2009", "TWC:deinstaller_size (LONG)", "audio_data (MSGG)",
          "about_image (MSGG)", "_cspace (LONG) = 8", "edit_profile_tag (CSTR) = \"DemoPath\""})
        EXPECT_NE(result.output.find(expected), std::string::npos) << expected;
    // The building machine's folders stay on the building machine.
    EXPECT_EQ(result.output.find(TARNW_SOURCE_DIR), std::string::npos);
    EXPECT_NE(result.output.find("file_name (CSTR) = \"bin/demo-hello\""), std::string::npos);
}

TEST_F(PackToolTest, VerifyPassesAndFailsOnceAPayloadByteChanges) {
    auto good = RunProgram({kPack, "verify", installer->string()});
    EXPECT_EQ(good.status, 0) << good.output;

    fs::path damaged = installer->parent_path() / "Damaged";
    fs::copy_file(*installer, damaged, fs::copy_options::overwrite_existing);
    fs::path payload = installer->parent_path() / "payload.zip";
    ASSERT_EQ(RunProgram({kPack, "extract", installer->string(), "RAWT", "2101", payload.string()})
                  .status,
              0);
    std::string zip = tarnw::test::ReadFile(payload);
    std::string whole = tarnw::test::ReadFile(damaged);
    size_t at = whole.find(zip);
    ASSERT_NE(at, std::string::npos);
    whole[at + zip.size() / 2] ^= 0x20;
    tarnw::test::WriteFile(damaged, whole);
    auto bad = RunProgram({kPack, "verify", damaged.string()});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.output.find("2101"), std::string::npos) << bad.output;
}

TEST_F(PackToolTest, ExtractedPayloadIsAZipThatUnzipReads) {
    fs::path payload = installer->parent_path() / "docs.zip";
    ASSERT_EQ(RunProgram({kPack, "extract", installer->string(), "RAWT", "2102", payload.string()})
                  .status,
              0);
    if (!fs::exists("/usr/bin/unzip"))
        GTEST_SKIP() << "unzip is not installed";
    auto listing = RunProgram({"/usr/bin/unzip", "-l", payload.string()});
    EXPECT_EQ(listing.status, 0) << listing.output;
    EXPECT_NE(listing.output.find("Demo Documentation/Guide/faq.txt"), std::string::npos)
        << listing.output;
}

TEST_F(PackToolTest, BadUsageAndMissingResourcesAreReported) {
    auto usage = RunProgram({kPack, "list"});
    EXPECT_EQ(usage.status, 2);
    auto missing = RunProgram({kPack, "extract", installer->string(), "RAWT", "2999", "/dev/null"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("no resource RAWT 2999"), std::string::npos);
}
