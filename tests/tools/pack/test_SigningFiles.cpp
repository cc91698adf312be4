// Secret keys and detached signatures in minisign's formats: what is written reads back,
// a wrong passphrase or a changed byte is refused with a reason, and a signed file's
// detached signature holds only for that file and key.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "InstallerSigning.h"
#include "SecretKey.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::pack::PassphraseSource;
using tarnw::pack::SecretKey;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

PassphraseSource Gives(const std::string& words) {
    return [words](std::string& passphrase) {
        passphrase = words;
        return true;
    };
}

SecretKey NewKey(const std::string& comment, fs::path* publicPath = nullptr) {
    fs::path folder = Sandbox::MakeFolder("key");
    SecretKey key = tarnw::pack::GenerateKeyPair((folder / "k.pub").string(),
                                                 (folder / "k.key").string(), comment, "");
    if (publicPath != nullptr)
        *publicPath = folder / "k.pub";
    return key;
}

} // namespace

TEST(SecretKeyFile, ReadsBackWithAndWithoutPassphraseAndRefusesWrongOnes) {
    SecretKey key = NewKey("Demo Works Ltd");
    SecretKey read;
    std::string error;
    std::string plain = tarnw::pack::SecretKeyFileText(key, "");
    ASSERT_TRUE(tarnw::pack::ParseSecretKey(plain, nullptr, read, error)) << error;
    EXPECT_EQ(read.key, key.key);
    EXPECT_EQ(read.id, key.id);
    EXPECT_EQ(read.comment, "Demo Works Ltd");

    std::string guarded = tarnw::pack::SecretKeyFileText(key, "open sesame", 524288, 16 << 20);
    EXPECT_FALSE(tarnw::pack::ParseSecretKey(guarded, nullptr, read, error));
    EXPECT_NE(error.find("passphrase"), std::string::npos) << error;
    EXPECT_FALSE(tarnw::pack::ParseSecretKey(guarded, Gives("open says me"), read, error));
    EXPECT_NE(error.find("wrong passphrase"), std::string::npos) << error;
    ASSERT_TRUE(tarnw::pack::ParseSecretKey(guarded, Gives("open sesame"), read, error)) << error;
    EXPECT_EQ(read.key, key.key);

    // A changed key byte fails the checksum; other shapes are refused by what they lack.
    std::string changed = plain;
    size_t at = changed.find('\n') + 100;
    changed[at] = changed[at] == 'A' ? 'B' : 'A';
    EXPECT_FALSE(tarnw::pack::ParseSecretKey(changed, nullptr, read, error));
    for (const std::string& text :
         {std::string(), std::string("untrusted comment: x"), plain.substr(plain.find('\n') + 1),
          plain.substr(0, plain.size() - 10) + "\n", std::string(5000, 'A')}) {
        EXPECT_FALSE(tarnw::pack::ParseSecretKey(text, nullptr, read, error)) << text;
    }
    // Limits a file names are bounded before any work is done for them.
    std::string raw;
    std::string line = guarded.substr(guarded.find('\n') + 1);
    line.pop_back();
    ASSERT_TRUE(Base64Decode(line, raw, 158));
    raw[6 + 32 + 8 + 7] = char(0x7f); // a memory limit of petabytes
    std::string huge = "untrusted comment: x\n" +
                       Base64Encode(reinterpret_cast<const uint8_t*>(raw.data()), raw.size()) +
                       "\n";
    EXPECT_FALSE(tarnw::pack::ParseSecretKey(huge, Gives("open sesame"), read, error));
    EXPECT_NE(error.find("out of range"), std::string::npos) << error;
}

TEST(DetachedSignature, HoldsForItsFileAndKeyOnly) {
    fs::path publicPath;
    SecretKey key = NewKey("Demo Works Ltd", &publicPath);
    SecretKey other = NewKey("Someone Else");
    fs::path folder = Sandbox::MakeFolder("signed");
    WriteFile(folder / "file", std::string(100000, 'x') + "end");
    tarnw::pack::WriteDetachedSignature((folder / "file").string(),
                                        (folder / "file.minisig").string(), key,
                                        "file:file\tsigner:Demo Works Ltd");
    std::string signature = ReadFile(folder / "file.minisig");
    std::string trusted, error;
    EXPECT_TRUE(tarnw::pack::VerifyDetachedSignature((folder / "file").string(), signature,
                                                     key.Public(), trusted, error))
        << error;
    EXPECT_EQ(trusted, "file:file\tsigner:Demo Works Ltd");
    EXPECT_FALSE(tarnw::pack::VerifyDetachedSignature((folder / "file").string(), signature,
                                                      other.Public(), trusted, error));
    EXPECT_NE(error.find("made by key"), std::string::npos) << error;

    // The trusted comment is signed too.
    std::string forged = signature;
    forged.replace(forged.find("signer:Demo"), 11, "signer:Evil");
    EXPECT_FALSE(tarnw::pack::VerifyDetachedSignature((folder / "file").string(), forged,
                                                      key.Public(), trusted, error));
    WriteFile(folder / "file", std::string(100000, 'x') + "END");
    EXPECT_FALSE(tarnw::pack::VerifyDetachedSignature((folder / "file").string(), signature,
                                                      key.Public(), trusted, error));

    tarnw::pack::DetachedSignature parsed;
    for (const std::string& text :
         {std::string(), signature.substr(signature.find('\n') + 1),
          signature.substr(0, signature.rfind("trusted comment")), std::string(20000, '\n')}) {
        EXPECT_FALSE(tarnw::pack::ParseDetachedSignature(text, parsed, error)) << text;
    }
}
