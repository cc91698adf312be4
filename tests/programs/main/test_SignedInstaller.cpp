// Signed installers, built and run for real: keys that minisign reads and writes, the
// signature checked before anything is written, --verify-key, the signer remembered for
// the next version, the deinstaller's own check, and builds that give the same bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <elf.h>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/app/Message.h"
#include "platform/storage/File.h"
#include "platform/storage/ResourceFormat.h"
#include "platform/storage/Resources.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "support/UnattendedRun.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::RunProgram;
using tarnw::test::RunResult;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

const std::string kBin = TARNW_BIN_DIR;
const fs::path kDemoFolder = fs::path(TARNW_SOURCE_DIR) / "examples/demo";
const std::string kMismatch = "The installer's signature does not match its contents: the file "
                              "was changed after it was signed. Please download it again.";

RunResult Pack(std::vector<std::string> words, const std::vector<std::string>& environment = {},
               const std::string& input = "") {
    words.insert(words.begin(), kBin + "/tarnw-pack");
    return RunProgram(words, input, environment);
}

struct KeyPair {
    fs::path publicKey;
    fs::path secretKey;
};

KeyPair MakeKey(const std::string& comment) {
    fs::path folder = Sandbox::MakeFolder("key");
    KeyPair key{folder / "signer.pub", folder / "signer.key"};
    RunResult made =
        Pack({"keygen", "-p", key.publicKey.string(), "-s", key.secretKey.string(), "-c", comment});
    EXPECT_EQ(made.status, 0) << made.output;
    return key;
}

const KeyPair& Company() {
    static KeyPair key = MakeKey("Demo Works Ltd");
    return key;
}

fs::path Build(const std::string& name, const fs::path* secretKey,
               const fs::path& manifest = kDemoFolder / "manifest.json",
               const std::vector<std::string>& environment = {}) {
    fs::path installer = Sandbox::MakeFolder("installer") / name;
    std::vector<std::string> words = {"build", manifest.string(), "-o", installer.string()};
    if (secretKey != nullptr) {
        words.push_back("--sign");
        words.push_back(secretKey->string());
    }
    RunResult built = Pack(words, environment);
    EXPECT_EQ(built.status, 0) << built.output;
    return installer;
}

const std::string& SignedDemoBytes() {
    static std::string bytes = ReadFile(Build("SignedDemo", &Company().secretKey));
    return bytes;
}

fs::path WriteInstaller(const std::string& bytes, const std::string& name = "DemoInstaller") {
    fs::path path = Sandbox::MakeFolder("copy") / name;
    WriteFile(path, bytes);
    fs::permissions(path, fs::perms(0755));
    return path;
}

// Every entry below the folders given, with its mode, a digest of its contents or target
// and its user attributes.
std::map<std::string, std::string> Look(std::vector<fs::path> roots) {
    roots.push_back(Sandbox::Home());
    roots.push_back(Sandbox::Prefix());
    std::map<std::string, std::string> seen;
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

// The question about a change of signer, when the run asked it.
std::optional<nlohmann::json> SignerQuestion(const tarnw::test::UnattendedRun& run) {
    for (const auto& event : run.transcript)
        if (event["event"] == "alert" && event["text"].get<std::string>().find(
                                             "This installer is signed by") != std::string::npos)
            return event;
    return std::nullopt;
}

std::vector<nlohmann::json> Alerts(const tarnw::test::UnattendedRun& run) {
    std::vector<nlohmann::json> alerts;
    for (const auto& event : run.transcript)
        if (event["event"] == "alert")
            alerts.push_back(event);
    return alerts;
}

uint64 Number(const std::string& bytes, uint64 at) {
    uint64 value = 0;
    for (int i = 7; i >= 0; i--)
        value = value << 8 | uint8(bytes[at + uint64(i)]);
    return value;
}

struct Region {
    std::string what;
    uint64 offset;
    uint64 size;
};

// Where the parts of a signed installer lie: head, configuration, a payload, the
// signature block, the index and the trailer.
std::vector<Region> Regions(const std::string& bytes) {
    fs::path path = WriteInstaller(bytes);
    BFile file(path.c_str(), B_READ_ONLY);
    BResources resources(&file);
    std::vector<Region> regions;
    uint64 start = uint64(resources.ContainerStart());
    regions.push_back({"head", start, resource_format::kHeadSize});
    off_t offset = 0, size = 0;
    EXPECT_EQ(resources.GetResourceLocation(B_STRING_TYPE, 2002, &offset, &size), B_OK);
    regions.push_back({"configuration", uint64(offset), uint64(size)});
    EXPECT_EQ(resources.GetResourceLocation(B_RAW_TYPE, 2100, &offset, &size), B_OK);
    regions.push_back({"first payload", uint64(offset), uint64(size)});
    uint64 trailer = bytes.size() - resource_format::kTrailerSize;
    uint64 index = Number(bytes, trailer + 24);
    regions.push_back({"signature block", index - 1024, 1024});
    regions.push_back({"index", index, trailer - index});
    regions.push_back({"trailer", trailer, resource_format::kTrailerSize});
    return regions;
}

// Bytes of the program image the system does not load to run it (a changed byte there
// cannot crash the program before it looks at itself).
std::vector<uint64> UnloadedImageBytes(const std::string& bytes) {
    std::vector<uint64> offsets;
    Elf64_Ehdr header;
    std::memcpy(&header, bytes.data(), sizeof header);
    for (uint16 i = 0; i < header.e_shnum; i++) {
        Elf64_Shdr section;
        std::memcpy(&section, bytes.data() + header.e_shoff + uint64(i) * sizeof section,
                    sizeof section);
        if (section.sh_type != SHT_NOBITS && (section.sh_flags & SHF_ALLOC) == 0 &&
            section.sh_size > 0)
            offsets.push_back(section.sh_offset + section.sh_size / 2);
    }
    return offsets;
}

std::string Answers(const fs::path& destination, const std::string& more = "") {
    return "license: agree\ngroup: Full\ndestination: " + destination.string() + "\n" + more;
}

// The deinstaller's record of the demo installed into `destination`.
BMessage Record(const fs::path& destination) {
    BMessage record;
    std::string bytes = ReadFile(destination / "Demo" / ".Demo 1.0 Deinstaller.tarnw-record");
    EXPECT_EQ(record.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    return record;
}

std::string RecordedKey(const fs::path& destination) {
    const char* key = nullptr;
    return Record(destination).FindString("signer_key", &key) == B_OK ? key : "";
}

// The base64 line of a public key file.
std::string KeyLine(const fs::path& publicKey) {
    std::string text = ReadFile(publicKey);
    size_t start = text.find('\n') + 1;
    return text.substr(start, text.find('\n', start) - start);
}

} // namespace

TEST(SigningKeys, KeygenWritesMinisignKeysWithThePrivateOneForItsOwnerAlone) {
    const KeyPair& key = Company();
    struct stat st;
    ASSERT_EQ(stat(key.secretKey.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    std::string publicText = ReadFile(key.publicKey);
    EXPECT_EQ(publicText.rfind("untrusted comment: minisign public key ", 0), 0u) << publicText;
    EXPECT_EQ(KeyLine(key.publicKey).size(), 56u);
    EXPECT_EQ(ReadFile(key.secretKey).rfind("untrusted comment: Demo Works Ltd\n", 0), 0u);
    // Existing keys are never replaced.
    RunResult again =
        Pack({"keygen", "-p", key.publicKey.string(), "-s", key.secretKey.string(), "-c", "Other"});
    EXPECT_NE(again.status, 0);
    EXPECT_NE(again.output.find("exists already"), std::string::npos) << again.output;
}

TEST(SigningKeys, APassphraseProtectsTheSecretKey) {
    fs::path folder = Sandbox::MakeFolder("protected");
    WriteFile(folder / "words", "correct horse\n");
    WriteFile(folder / "wrong", "battery staple\n");
    RunResult made =
        Pack({"keygen", "-p", (folder / "k.pub").string(), "-s", (folder / "k.key").string(), "-c",
              "Guarded", "--passphrase-file", (folder / "words").string(), "--kdf", "interactive"});
    ASSERT_EQ(made.status, 0) << made.output;
    fs::path installer = WriteInstaller(ReadFile(tarnw::test::BuildDemo()));
    RunResult wrong = Pack({"sign", installer.string(), "-s", (folder / "k.key").string(),
                            "--passphrase-file", (folder / "wrong").string()});
    EXPECT_NE(wrong.status, 0);
    EXPECT_NE(wrong.output.find("wrong passphrase"), std::string::npos) << wrong.output;
    RunResult right = Pack({"sign", installer.string(), "-s", (folder / "k.key").string()}, {},
                           "correct horse\n");
    EXPECT_EQ(right.status, 0) << right.output;
    RunResult checked =
        RunProgram({installer.string(), "--check", "--verify-key", (folder / "k.pub").string()});
    EXPECT_EQ(checked.status, 0) << checked.output;
    // minisign takes the same passphrase for the same file.
    std::string minisign = tarnw::test::FindProgram("minisign");
    if (minisign.empty())
        GTEST_SKIP() << "minisign is not installed";
    RunResult signedByMinisign =
        RunProgram({minisign, "-S", "-s", (folder / "k.key").string(), "-m", installer.string(),
                    "-x", (folder / "by-minisign.minisig").string()},
                   "correct horse\n");
    EXPECT_EQ(signedByMinisign.status, 0) << signedByMinisign.output;
}

TEST(SigningKeys, MinisignAndTheBuilderCheckEachOthersSignatures) {
    std::string minisign = tarnw::test::FindProgram("minisign");
    if (minisign.empty())
        GTEST_SKIP() << "minisign is not installed";
    const KeyPair& ours = Company();
    fs::path installer = WriteInstaller(SignedDemoBytes(), "Installer");

    // Ours, checked by minisign (it looks for Installer.minisig beside the file).
    RunResult detached =
        Pack({"sign", installer.string(), "-s", ours.secretKey.string(), "--detached"});
    ASSERT_EQ(detached.status, 0) << detached.output;
    ASSERT_TRUE(fs::exists(installer.string() + ".minisig"));
    RunResult checked =
        RunProgram({minisign, "-V", "-p", ours.publicKey.string(), "-m", installer.string()});
    EXPECT_EQ(checked.status, 0) << checked.output;
    EXPECT_NE(checked.output.find("Demo Works Ltd"), std::string::npos) << checked.output;
    // ... and the key given as a string, as a download page would print it.
    RunResult inline_ =
        RunProgram({minisign, "-V", "-P", KeyLine(ours.publicKey), "-m", installer.string()});
    EXPECT_EQ(inline_.status, 0) << inline_.output;

    // minisign's signature with our key, checked by us.
    fs::path theirs = installer.string() + ".by-minisign";
    RunResult made = RunProgram({minisign, "-S", "-s", ours.secretKey.string(), "-m",
                                 installer.string(), "-x", theirs.string(), "-t", "release 1.0"});
    ASSERT_EQ(made.status, 0) << made.output;
    RunResult verified =
        Pack({"verify", installer.string(), "-p", ours.publicKey.string(), "-x", theirs.string()});
    EXPECT_EQ(verified.status, 0) << verified.output;
    EXPECT_NE(verified.output.find("release 1.0"), std::string::npos) << verified.output;

    // A key minisign made signs an installer that checks itself with that key.
    fs::path folder = Sandbox::MakeFolder("minisign-key");
    RunResult generated = RunProgram({minisign, "-G", "-W", "-p", (folder / "m.pub").string(), "-s",
                                      (folder / "m.key").string()});
    ASSERT_EQ(generated.status, 0) << generated.output;
    fs::path byTheirKey = WriteInstaller(ReadFile(tarnw::test::BuildDemo()));
    RunResult signedWithTheirs = Pack({"sign", byTheirKey.string(), "-s",
                                       (folder / "m.key").string(), "--signer", "Minisign User"});
    ASSERT_EQ(signedWithTheirs.status, 0) << signedWithTheirs.output;
    RunResult check =
        RunProgram({byTheirKey.string(), "--check", "--verify-key", (folder / "m.pub").string()});
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_NE(check.output.find("Minisign User"), std::string::npos) << check.output;

    // A changed byte fails both checks.
    std::string bytes = ReadFile(installer);
    bytes[bytes.size() / 2] ^= 1;
    WriteFile(installer, bytes);
    EXPECT_NE(RunProgram({minisign, "-V", "-p", ours.publicKey.string(), "-m", installer.string()})
                  .status,
              0);
    EXPECT_NE(
        Pack({"verify", installer.string(), "-p", ours.publicKey.string(), "-x", theirs.string()})
            .status,
        0);
}

TEST(SignedInstaller, InfoAndCheckNameTheSignerOrSayNotSigned) {
    fs::path signedOne = WriteInstaller(SignedDemoBytes());
    std::string keyId = ReadFile(Company().publicKey).substr(39, 16);
    for (const char* option : {"--info", "--check"}) {
        RunResult shown = RunProgram({signedOne.string(), option}, "", {"LANGUAGE=", "LANG=C"});
        EXPECT_EQ(shown.status, 0) << shown.output;
        EXPECT_NE(shown.output.find("Signed by: Demo Works Ltd (key " + keyId + ")"),
                  std::string::npos)
            << option << "\n"
            << shown.output;
        RunResult plain =
            RunProgram({tarnw::test::BuildDemo().string(), option}, "", {"LANGUAGE=", "LANG=C"});
        EXPECT_EQ(plain.status, 0) << plain.output;
        EXPECT_NE(plain.output.find("Signed by: not signed"), std::string::npos) << plain.output;
    }
    RunResult german = RunProgram({signedOne.string(), "--info", "--lang", "de"});
    EXPECT_NE(german.output.find("Signiert von: Demo Works Ltd"), std::string::npos)
        << german.output;
    // The console tells who signed before the licence.
    fs::path destination = Sandbox::MakeFolder("console");
    RunResult console =
        RunProgram({signedOne.string(), "--frontend", "console"}, "q\n", {"LANGUAGE=", "LANG=C"});
    size_t signer = console.output.find("Signed by Demo Works Ltd (key " + keyId + ")");
    EXPECT_NE(signer, std::string::npos) << console.output;
    EXPECT_LT(signer, console.output.find("Agree")) << console.output;
}

TEST(SignedInstaller, AChangedByteAnywhereIsRefusedBeforeAnyWrite) {
    const std::string& original = SignedDemoBytes();
    fs::path destination = Sandbox::MakeFolder("apps");
    auto expectRefused = [&](const std::string& bytes, const std::string& label,
                             bool signatureSays) {
        fs::path installer = WriteInstaller(bytes);
        auto before = Look({destination});
        auto run = tarnw::test::RunUnattended(installer, Answers(destination));
        EXPECT_EQ(run.status, 9) << label << "\n" << run.output;
        EXPECT_EQ(Look({destination}), before) << label;
        auto alerts = Alerts(run);
        ASSERT_EQ(alerts.size(), 1u) << label << "\n" << run.output;
        std::string text = alerts[0]["text"];
        if (signatureSays)
            EXPECT_EQ(text, kMismatch) << label;
        else
            EXPECT_NE(text.find("download it again"), std::string::npos) << label << ": " << text;
        RunResult check = RunProgram({installer.string(), "--check"});
        EXPECT_EQ(check.status, 9) << label << "\n" << check.output;
    };
    for (const Region& region : Regions(original)) {
        // The head, index and trailer carry checksums of their own, which speak first.
        bool own = region.what == "head" || region.what == "index" || region.what == "trailer";
        for (uint64 at : {uint64(0), region.size / 2, region.size - 1}) {
            std::string bytes = original;
            bytes[region.offset + at] ^= 0x20;
            expectRefused(bytes, region.what + " byte " + std::to_string(at), !own);
        }
    }
    ASSERT_GE(UnloadedImageBytes(original).size(), 2u);
    for (uint64 at : UnloadedImageBytes(original)) {
        std::string bytes = original;
        bytes[at] ^= 0x20;
        expectRefused(bytes, "program image byte " + std::to_string(at), true);
    }
}

TEST(SignedInstaller, VerifyKeyAcceptsOnlyTheKeyGiven) {
    fs::path signedOne = WriteInstaller(SignedDemoBytes());
    KeyPair other = MakeKey("Someone Else");
    fs::path destination = Sandbox::MakeFolder("apps");

    for (const std::string& key : {Company().publicKey.string(), KeyLine(Company().publicKey)}) {
        RunResult check = RunProgram({signedOne.string(), "--check", "--verify-key", key});
        EXPECT_EQ(check.status, 0) << check.output;
    }
    auto before = Look({destination});
    for (const fs::path& installer : {signedOne, tarnw::test::BuildDemo()}) {
        RunResult check =
            RunProgram({installer.string(), "--check", "--verify-key", other.publicKey.string()},
                       "", {"LANGUAGE=", "LANG=C"});
        EXPECT_EQ(check.status, 9) << check.output;
        EXPECT_NE(check.output.find("is not signed by the key"), std::string::npos) << check.output;
        fs::path folder = Sandbox::MakeFolder("run");
        WriteFile(folder / "answers", Answers(destination));
        RunResult run = RunProgram(
            {installer.string(), "--verify-key", other.publicKey.string()}, "",
            {"TARNW_FRONTEND=unattended", "TARNW_ANSWERS=" + (folder / "answers").string()});
        EXPECT_EQ(run.status, 9) << run.output;
    }
    EXPECT_EQ(Look({destination}), before);
    RunResult unreadable =
        RunProgram({signedOne.string(), "--check", "--verify-key", "/no/such/key.pub"});
    EXPECT_EQ(unreadable.status, 2) << unreadable.output;

    fs::path folder = Sandbox::MakeFolder("run");
    WriteFile(folder / "answers", Answers(destination));
    RunResult run =
        RunProgram({signedOne.string(), "--verify-key", Company().publicKey.string()}, "",
                   {"TARNW_FRONTEND=unattended", "TARNW_ANSWERS=" + (folder / "answers").string()});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(fs::exists(destination / "Demo" / "demo-hello"));
}

TEST(SignedInstaller, TheSignerIsRememberedAndAChangeIsAllowedOnlyOnPurpose) {
    fs::path destination = Sandbox::MakeFolder("apps");
    fs::path unsignedOne = tarnw::test::BuildDemo();
    fs::path signedOne = WriteInstaller(SignedDemoBytes());
    KeyPair other = MakeKey("Someone Else");
    fs::path otherOne = Build("OtherDemo", &other.secretKey);

    // Unsigned, then signed over it: allowed, and the key is remembered. (Installing again
    // into the same place is answered "Replace" when the installation folder is found.)
    const std::string again = "answer: Replace\n";
    ASSERT_EQ(tarnw::test::RunUnattended(unsignedOne, Answers(destination)).status, 0);
    EXPECT_EQ(RecordedKey(destination), "");
    auto over = tarnw::test::RunUnattended(signedOne, Answers(destination, again));
    ASSERT_EQ(over.status, 0) << over.output;
    EXPECT_FALSE(SignerQuestion(over)) << over.output;
    EXPECT_EQ(RecordedKey(destination), KeyLine(Company().publicKey));

    // Another signer, or none, is refused before anything is written.
    for (const fs::path& installer : {otherOne, unsignedOne}) {
        auto before = Look({destination});
        auto refused = tarnw::test::RunUnattended(installer, Answers(destination, again));
        EXPECT_EQ(refused.status, 7) << refused.output;
        EXPECT_EQ(Look({destination}), before) << installer;
        auto question = SignerQuestion(refused);
        ASSERT_TRUE(question) << refused.output;
        std::string text = (*question)["text"];
        EXPECT_NE(text.find("Demo is installed in this place, signed by Demo Works Ltd (key"),
                  std::string::npos)
            << text;
        EXPECT_NE(text.find(installer == otherOne ? "signed by Someone Else (key"
                                                  : "signed by nobody (not signed)"),
                  std::string::npos)
            << text;
        EXPECT_EQ((*question)["buttons"], nlohmann::json({"Cancel", "Install Anyway"}));
    }
    auto badAnswer =
        tarnw::test::RunUnattended(otherOne, Answers(destination, again + "signer_change: yes\n"));
    EXPECT_EQ(badAnswer.status, 2) << badAnswer.output;

    // Allowed by the answer: installed, and the new signer is the one remembered.
    auto allowed = tarnw::test::RunUnattended(
        otherOne, Answers(destination, again + "signer_change: allow\n"));
    EXPECT_EQ(allowed.status, 0) << allowed.output;
    EXPECT_TRUE(SignerQuestion(allowed)) << allowed.output;
    EXPECT_EQ(RecordedKey(destination), KeyLine(other.publicKey));
    // The same signer again is not asked about.
    auto same = tarnw::test::RunUnattended(otherOne, Answers(destination, again));
    EXPECT_EQ(same.status, 0) << same.output;
    EXPECT_FALSE(SignerQuestion(same)) << same.output;
}

TEST(SignedInstaller, TheConsoleAsksAboutAnotherSignerAndCancelsUnlessTold) {
    fs::path destination = Sandbox::MakeFolder("apps");
    ASSERT_EQ(
        tarnw::test::RunUnattended(WriteInstaller(SignedDemoBytes()), Answers(destination)).status,
        0);
    KeyPair other = MakeKey("Someone Else");
    fs::path otherOne = Build("OtherDemo", &other.secretKey);
    // Agree, keep the language, group and files, type the destination, replace the
    // installation folder, install; then the signer's question.
    const std::string dialogue = "1\n\n\n\n" + destination.string() + "\n2\n1\n";
    const std::vector<std::string> console = {"TARNW_FRONTEND=console", "LANGUAGE=", "LANG=C"};

    auto before = Look({destination});
    // An empty line is no answer, and the end of the input is Cancel.
    RunResult cancelled = RunProgram({otherOne.string()}, dialogue + "\n", console);
    EXPECT_EQ(cancelled.status, 7) << cancelled.output;
    size_t question =
        cancelled.output.find("Demo is installed in this place, signed by Demo Works");
    ASSERT_NE(question, std::string::npos) << cancelled.output;
    EXPECT_NE(cancelled.output.find("This installer is signed by Someone Else (key", question),
              std::string::npos)
        << cancelled.output;
    EXPECT_NE(cancelled.output.find("1) Cancel\n  2) Install Anyway", question), std::string::npos)
        << cancelled.output;
    EXPECT_EQ(Look({destination}), before);
    EXPECT_EQ(RecordedKey(destination), KeyLine(Company().publicKey));

    RunResult allowed = RunProgram({otherOne.string()}, dialogue + "2\n\n", console);
    EXPECT_EQ(allowed.status, 0) << allowed.output;
    EXPECT_EQ(RecordedKey(destination), KeyLine(other.publicKey));
}

TEST(SignedInstaller, TheDeinstallerChecksItsOwnProgramWithTheSignature) {
    fs::path destination = Sandbox::MakeFolder("apps");
    fs::path installer = WriteInstaller(SignedDemoBytes());
    ASSERT_EQ(tarnw::test::RunUnattended(installer, Answers(destination)).status, 0);
    fs::path deinstaller = destination / "Demo" / "Demo 1.0 Deinstaller";
    {
        BFile file(deinstaller.c_str(), B_READ_ONLY);
        BResources resources(&file);
        size_t size = 0;
        EXPECT_NE(resources.LoadResource('TWsg', 1, &size), nullptr);
        EXPECT_EQ(size, 1024u);
    }
    // A byte of its program changed: it removes nothing.
    std::string bytes = ReadFile(deinstaller);
    bytes[UnloadedImageBytes(bytes).front()] ^= 0x20;
    fs::path changed = destination / "Demo" / "Changed Deinstaller";
    WriteFile(changed, bytes);
    fs::permissions(changed, fs::perms(0755));
    auto before = Look({destination});
    auto refused = tarnw::test::RunUnattended(changed, "remove: yes\n");
    EXPECT_EQ(refused.status, 5) << refused.output;
    EXPECT_NE(refused.output.find("signature does not match"), std::string::npos) << refused.output;
    EXPECT_EQ(Look({destination}), before);
    fs::remove(changed);
    // The one placed removes the installation.
    auto removed = tarnw::test::RunUnattended(deinstaller, "remove: yes\n");
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_FALSE(fs::exists(destination / "Demo"));
}

TEST(ReproducibleBuild, SourcesWithOtherTimesGiveTheSameBytesUnsignedAndSigned) {
    // Two checkouts of the same sources made at different times.
    fs::path first = Sandbox::MakeFolder("checkout") / "demo";
    fs::path second = Sandbox::MakeFolder("checkout") / "demo";
    fs::copy(kDemoFolder, first, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    fs::copy(kDemoFolder, second, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    auto age = [](const fs::path& root, time_t when) {
        for (auto it = fs::recursive_directory_iterator(root);
             it != fs::recursive_directory_iterator(); ++it) {
            struct timeval times[2] = {{when, 0}, {when, 0}};
            lutimes(it->path().c_str(), times);
            // Another owner too, where we may give files away.
            if (geteuid() == 0)
                (void)lchown(it->path().c_str(), 65534, 65534);
        }
    };
    age(second, time(nullptr) - 3600);
    const std::string epoch = "SOURCE_DATE_EPOCH=1700000000"; // older than both copies

    for (const fs::path* key : {static_cast<const fs::path*>(nullptr), &Company().secretKey}) {
        std::string one = ReadFile(
            Build("One", key, first / "manifest.json", {epoch, "TZ=UTC", "LANG=C", "LC_ALL=C"}));
        std::string two = ReadFile(
            Build("Two", key, second / "manifest.json",
                  {epoch, "TZ=Pacific/Kiritimati", "LANG=de_DE.UTF-8", "LC_ALL=de_DE.UTF-8"}));
        EXPECT_FALSE(one.empty());
        EXPECT_TRUE(one == two) << (key ? "signed" : "unsigned") << ": the builds differ";
    }
    // Without the epoch the file times go into the archives.
    std::string one = ReadFile(Build("One", nullptr, first / "manifest.json"));
    std::string two = ReadFile(Build("Two", nullptr, second / "manifest.json"));
    EXPECT_FALSE(one == two);
}
