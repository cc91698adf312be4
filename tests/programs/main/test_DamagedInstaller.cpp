// Installers with changed bytes or cut short: refused with status 9 before anything is
// written, in every front-end, with a message that asks for a new download.
#include <gtest/gtest.h>

#include <cstring>
#include <elf.h>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "platform/storage/File.h"
#include "platform/storage/ResourceFormat.h"
#include "platform/storage/Resources.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/UnattendedRun.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

const std::string kBin = TARNW_BIN_DIR;
const fs::path kDemo = fs::path(TARNW_SOURCE_DIR) / "examples/demo/manifest.json";
const std::string kDamaged =
    "The installer file is damaged or incomplete. Please download it again.";

fs::path Build(const fs::path& manifest, const std::string& name) {
    fs::path installer = Sandbox::MakeFolder("installer") / name;
    auto result =
        RunProgram({kBin + "/tarnw-pack", "build", manifest.string(), "-o", installer.string()});
    EXPECT_EQ(result.status, 0) << result.output;
    return installer;
}

const std::string& DemoBytes() {
    static std::string bytes = ReadFile(Build(kDemo, "DemoInstaller"));
    return bytes;
}

fs::path WriteInstaller(const std::string& bytes) {
    fs::path path = Sandbox::MakeFolder("broken") / "DemoInstaller";
    WriteFile(path, bytes);
    fs::permissions(path, fs::perms(0755));
    return path;
}

// Every entry of the home folder, the system prefix and the folders given: kind, mode,
// a digest of the contents or the target, and user attributes.
std::map<std::string, std::string> Look(const std::vector<fs::path>& more = {}) {
    std::map<std::string, std::string> seen;
    std::vector<fs::path> roots = {Sandbox::Home(), Sandbox::Prefix()};
    roots.insert(roots.end(), more.begin(), more.end());
    for (const fs::path& root : roots) {
        for (auto it = fs::recursive_directory_iterator(root);
             it != fs::recursive_directory_iterator(); ++it) {
            struct stat st;
            lstat(it->path().c_str(), &st);
            std::string state = std::to_string(st.st_mode) + " ";
            if (it->is_symlink())
                state += "link " + fs::read_symlink(it->path()).string();
            else if (it->is_regular_file())
                state += "file " + std::to_string(std::hash<std::string>()(ReadFile(it->path())));
            char names[4096];
            ssize_t length = llistxattr(it->path().c_str(), names, sizeof names);
            for (ssize_t at = 0; length > 0 && at < length; at += ssize_t(strlen(names + at)) + 1)
                state += std::string(" attr ") + (names + at);
            seen[it->path().string()] = state;
        }
    }
    return seen;
}

// The entries that differ between two looks, one per line.
std::string Differences(const std::map<std::string, std::string>& before,
                        const std::map<std::string, std::string>& after) {
    std::string text;
    for (const auto& [path, state] : after) {
        auto found = before.find(path);
        if (found == before.end())
            text += "added " + path + "\n";
        else if (found->second != state)
            text += "changed " + path + "\n";
    }
    for (const auto& [path, state] : before)
        if (after.count(path) == 0)
            text += "removed " + path + "\n";
    return text;
}

struct Region {
    std::string what;
    uint64 offset;
    uint64 size;
};

// Where the resources, the index and the trailer of an installer lie.
std::vector<Region> Regions(const std::string& bytes) {
    fs::path path = WriteInstaller(bytes);
    BFile file(path.c_str(), B_READ_ONLY);
    BResources resources(&file);
    std::vector<Region> regions;
    struct Wanted {
        const char* what;
        type_code type;
        int32 id;
    };
    for (Wanted wanted :
         {Wanted{"configuration", B_STRING_TYPE, 2002},
          Wanted{"deinstaller record", B_RAW_TYPE, 2001}, Wanted{"first payload", B_RAW_TYPE, 2100},
          Wanted{"a text", B_STRING_TYPE, 1}}) {
        off_t offset = 0, size = 0;
        EXPECT_EQ(resources.GetResourceLocation(wanted.type, wanted.id, &offset, &size), B_OK);
        regions.push_back({wanted.what, uint64(offset), uint64(size)});
    }
    uint64 end = bytes.size();
    const uint8* trailer =
        reinterpret_cast<const uint8*>(bytes.data()) + end - resource_format::kTrailerSize;
    uint64 indexOffset = 0;
    for (int i = 7; i >= 0; i--)
        indexOffset = indexOffset << 8 | trailer[24 + i];
    regions.push_back({"index", indexOffset, end - resource_format::kTrailerSize - indexOffset});
    regions.push_back(
        {"trailer", end - resource_format::kTrailerSize, resource_format::kTrailerSize});
    return regions;
}

// Offsets in the program image that the system does not load to run it: the middle of
// each section that takes no memory (.comment, the section names...), and the last byte
// of the section headers.
std::vector<uint64> UnloadedImageBytes(const std::string& bytes) {
    std::vector<uint64> offsets;
    Elf64_Ehdr header;
    if (bytes.size() < sizeof header)
        return offsets;
    std::memcpy(&header, bytes.data(), sizeof header);
    for (uint16 i = 0; i < header.e_shnum; i++) {
        Elf64_Shdr section;
        uint64 at = header.e_shoff + uint64(i) * sizeof section;
        if (at + sizeof section > bytes.size())
            break;
        std::memcpy(&section, bytes.data() + at, sizeof section);
        if (section.sh_type != SHT_NOBITS && (section.sh_flags & SHF_ALLOC) == 0 &&
            section.sh_size > 0 && section.sh_offset + section.sh_size <= bytes.size())
            offsets.push_back(section.sh_offset + section.sh_size / 2);
    }
    uint64 end = header.e_shoff + uint64(header.e_shnum) * sizeof(Elf64_Shdr);
    if (header.e_shnum > 0 && end <= bytes.size())
        offsets.push_back(end - 1);
    return offsets;
}

uint64 ContainerStart(const std::string& bytes) {
    fs::path path = WriteInstaller(bytes);
    BFile file(path.c_str(), B_READ_ONLY);
    BResources resources(&file);
    return uint64(resources.ContainerStart());
}

std::vector<nlohmann::json> Alerts(const tarnw::test::UnattendedRun& run) {
    std::vector<nlohmann::json> alerts;
    for (const auto& event : run.transcript)
        if (event["event"] == "alert")
            alerts.push_back(event);
    return alerts;
}

class DamagedInstaller : public ::testing::Test {
protected:
    fs::path destination = Sandbox::MakeFolder("apps");
    std::string answers =
        "license: agree\ngroup: Full\ndestination: " + destination.string() + "\n";

    // Runs the installer and checks that it refused with status 9 and a stop alert with
    // `text` (or any text naming both sizes when `text` is empty), leaving the sandbox as
    // it was.
    void ExpectRefused(const std::string& bytes, const std::string& label, const std::string& text,
                       const std::vector<std::string>& mentioned = {}) {
        fs::path installer = WriteInstaller(bytes);
        auto before = Look({destination});
        auto run = tarnw::test::RunUnattended(installer, answers);
        EXPECT_EQ(run.status, 9) << label << "\n" << run.output;
        EXPECT_EQ(Differences(before, Look({destination})), "") << label;
        auto alerts = Alerts(run);
        ASSERT_EQ(alerts.size(), 1u) << label << "\n" << run.output;
        EXPECT_EQ(alerts[0]["icon"], "stop") << label;
        std::string shown = alerts[0]["text"];
        if (!text.empty()) {
            EXPECT_EQ(shown, text) << label;
        }
        for (const std::string& part : mentioned)
            EXPECT_NE(shown.find(part), std::string::npos) << label << ": " << shown;
        ASSERT_FALSE(run.transcript.empty());
        EXPECT_EQ(run.transcript.back(), nlohmann::json({{"event", "end"}, {"status", 9}}))
            << label;
    }
};

} // namespace

TEST_F(DamagedInstaller, AByteChangedAnywhereInTheContainerIsRefusedBeforeAnyWrite) {
    const std::string& original = DemoBytes();
    for (const Region& region : Regions(original)) {
        for (uint64 at : {uint64(0), region.size / 2, region.size - 1}) {
            std::string bytes = original;
            bytes[region.offset + at] ^= 0x55;
            ExpectRefused(bytes, region.what + " byte " + std::to_string(at), kDamaged);
        }
    }
    // The program image is copied to make the deinstaller: its head records its checksum.
    // Only bytes the system never loads are changed here (one that runs could crash the
    // program before it looks).
    ASSERT_GE(UnloadedImageBytes(original).size(), 2u);
    for (uint64 at : UnloadedImageBytes(original)) {
        std::string bytes = original;
        bytes[at] ^= 0x55;
        ExpectRefused(bytes, "program image byte " + std::to_string(at), kDamaged);
    }
}

TEST_F(DamagedInstaller, AFileCutShortSaysHowLongItShouldBe) {
    const std::string& original = DemoBytes();
    uint64 start = ContainerStart(original);
    std::string whole = std::to_string(original.size());
    for (uint64 length : {uint64(original.size()) - 1, uint64(original.size()) - 48,
                          (start + original.size()) / 2, start + resource_format::kHeadSize}) {
        ExpectRefused(original.substr(0, length), "cut at " + std::to_string(length), "",
                      {"damaged or incomplete", whole, std::to_string(length)});
    }
    // Cut inside the head, or inside the program's own section headers: the size it should
    // have is not known, the message is the same.
    for (uint64 length : {start + 10, start - 100})
        ExpectRefused(original.substr(0, length), "cut at " + std::to_string(length), kDamaged);
    // Bytes added at the end are damage too.
    ExpectRefused(original + "more", "four bytes added", kDamaged);
}

TEST_F(DamagedInstaller, ACutAtTheProgramImageOrAChangedHeadIsDamageForTheCheckAndTheRun) {
    const std::string& original = DemoBytes();
    uint64 start = ContainerStart(original);
    std::string image = original.substr(0, start);
    ExpectRefused(image, "cut at the end of the program image", kDamaged);
    auto check = RunProgram({WriteInstaller(image).string(), "--check"});
    EXPECT_EQ(check.status, 9) << check.output;

    // A changed magic in the head must not make the container one without a head, whose
    // program image goes unchecked: with an image byte changed as well it is refused.
    std::string bytes = original;
    bytes[start] ^= 0x01;
    ExpectRefused(bytes, "head magic changed", kDamaged);
    bytes[UnloadedImageBytes(original).front()] ^= 0x55;
    ExpectRefused(bytes, "head magic and an image byte changed", kDamaged);
    check = RunProgram({WriteInstaller(bytes).string(), "--check"});
    EXPECT_EQ(check.status, 9) << check.output;
}

TEST_F(DamagedInstaller, AnItemThatIsNotSelectedMayBeDamaged) {
    // The third item, the documentation, is not of the install type Typical.
    std::string bytes = DemoBytes();
    fs::path built = WriteInstaller(bytes);
    BFile file(built.c_str(), B_READ_ONLY);
    BResources resources(&file);
    off_t offset = 0, size = 0;
    ASSERT_EQ(resources.GetResourceLocation(B_RAW_TYPE, 2102, &offset, &size), B_OK);
    bytes[size_t(offset + size / 2)] ^= 0x55;
    auto run = tarnw::test::RunUnattended(
        WriteInstaller(bytes),
        "license: agree\ngroup: Typical\ndestination: " + destination.string() + "\n");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(destination / "Demo" / "demo-hello"));
    answers =
        "license: agree\ngroup: Documents\ndestination: " + Sandbox::MakeFolder("docs").string() +
        "\n";
    ExpectRefused(bytes, "damaged documentation selected", kDamaged);
}

TEST_F(DamagedInstaller, AMissingDeinstallerRecordFailsBeforeAnything) {
    fs::path installer = WriteInstaller(DemoBytes());
    {
        BFile file(installer.c_str(), B_READ_WRITE);
        BResources resources(&file);
        ASSERT_EQ(resources.RemoveResource(B_RAW_TYPE, 2001), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    ExpectRefused(ReadFile(installer), "no deinstaller record", kDamaged);
}

TEST_F(DamagedInstaller, TheConsoleRefusesACutFileToo) {
    const std::string& original = DemoBytes();
    fs::path installer = WriteInstaller(original.substr(0, original.size() - 1000));
    auto before = Look({destination});
    auto run = RunProgram({installer.string()}, "", {"TARNW_FRONTEND=console"});
    EXPECT_EQ(run.status, 9) << run.output;
    EXPECT_NE(run.output.find("damaged or incomplete"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find(std::to_string(original.size())), std::string::npos) << run.output;
    EXPECT_EQ(Differences(before, Look({destination})), "");
}

TEST_F(DamagedInstaller, TheMessageIsInTheUsersLanguage) {
    const std::string& original = DemoBytes();
    answers += "language: de\n";
    ExpectRefused(original.substr(0, original.size() - 5), "cut, in German", "",
                  {"beschädigt oder unvollständig", std::to_string(original.size())});
    std::string bytes = original;
    const Region& payload = Regions(original)[2];
    bytes[payload.offset + payload.size / 2] ^= 0x01;
    ExpectRefused(bytes, "changed, in German",
                  "Die Installationsdatei ist beschädigt oder unvollständig. Bitte laden Sie sie "
                  "erneut herunter.");
}
