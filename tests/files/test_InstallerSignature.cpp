// The signature block, public keys and the tree digest: hostile bytes refused field by
// field, and the digest of a file's ranges independent of how the hashing is split.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sodium.h>
#include <unistd.h>

#include "files/InstallerSignature.h"
#include "files/SigningKey.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
namespace sb = signature_block;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

struct Signed {
    sb::Block block;
    std::vector<uint8_t> bytes;
    std::array<uint8_t, 64> secret{};
};

Signed MakeBlock(const std::string& signer = "Demo Works Ltd") {
    EXPECT_GE(sodium_init(), 0);
    Signed made;
    crypto_sign_keypair(made.block.key.key.data(), made.secret.data());
    made.block.key.id = {1, 2, 3, 4, 5, 6, 7, 8};
    made.block.signedSize = 5000;
    made.block.imageSize = 3000;
    made.block.signer = signer;
    made.block.installerDigest.fill(0x11);
    made.block.imageDigest.fill(0x22);
    made.bytes = sb::Encode(made.block);
    crypto_sign_detached(made.bytes.data() + sb::kSignedSize, nullptr, made.bytes.data(),
                         sb::kSignedSize, made.secret.data());
    return made;
}

} // namespace

TEST(SignatureBlock, EncodesParsesAndHoldsOnlyForItsOwnBytes) {
    Signed made = MakeBlock();
    ASSERT_EQ(made.bytes.size(), 1024u);
    sb::Block parsed;
    std::string reason;
    ASSERT_EQ(sb::Parse(made.bytes.data(), made.bytes.size(), parsed, reason), B_OK) << reason;
    EXPECT_EQ(parsed.signer, "Demo Works Ltd");
    EXPECT_EQ(parsed.key, made.block.key);
    EXPECT_EQ(parsed.signedSize, 5000u);
    EXPECT_EQ(parsed.imageSize, 3000u);
    EXPECT_TRUE(sb::SignatureHolds(made.bytes.data(), made.bytes.size(), parsed.key));
    // Every signed byte counts, the signer's name and the digests among them.
    for (size_t at : {size_t(20), size_t(80), size_t(150), size_t(210), size_t(951)}) {
        std::vector<uint8_t> changed = made.bytes;
        changed[at] ^= 1;
        EXPECT_FALSE(sb::SignatureHolds(changed.data(), changed.size(), parsed.key)) << at;
    }
    SigningKey other = parsed.key;
    other.key[0] ^= 1;
    EXPECT_FALSE(sb::SignatureHolds(made.bytes.data(), made.bytes.size(), other));
}

TEST(SignatureBlock, RefusesMalformedBlocks) {
    Signed made = MakeBlock();
    auto refused = [](std::vector<uint8_t> bytes, const char* what) {
        sb::Block parsed;
        std::string reason;
        EXPECT_EQ(sb::Parse(bytes.data(), bytes.size(), parsed, reason), B_BAD_DATA) << what;
        EXPECT_FALSE(reason.empty()) << what;
    };
    auto with = [&made](size_t at, uint8_t value) {
        std::vector<uint8_t> bytes = made.bytes;
        bytes[at] = value;
        return bytes;
    };
    refused(std::vector<uint8_t>(made.bytes.begin(), made.bytes.end() - 1), "one byte short");
    refused(with(0, 'X'), "magic");
    refused(with(1023, 'X'), "end magic");
    refused(with(8, 2), "version");
    refused(with(16, 'X'), "algorithm");
    refused(with(78, 0), "piece size too small");
    refused(with(79, 0x10), "piece size too large");
    refused(with(72, 0xff), "image larger than the file");
    refused(with(209, 1), "signer longer than 255 bytes");
    refused(with(211, '\n'), "control character in the signer");
    refused(with(208, 3), "signer shorter than its bytes");
    refused(with(900, 1), "reserved bytes");
    SigningKey key;
    std::string error;
    EXPECT_FALSE(sb::SignatureHolds(nullptr, 0, key));
}

TEST(SigningKeys, ParsesKeyFilesAndLinesAndRefusesOthers) {
    SigningKey key;
    key.id = {0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23, 0x01};
    key.key.fill(7);
    EXPECT_EQ(key.IdText(), "0123456789ABCDEF");
    std::string line = key.Base64();
    EXPECT_EQ(line.size(), 56u);
    EXPECT_EQ(line.substr(0, 2), "RW"); // "Ed" in base64, as every minisign key begins
    SigningKey parsed;
    std::string error;
    for (const std::string& text :
         {line, line + "\n", SigningKeyFileText(key, "minisign public key 0123456789ABCDEF"),
          "untrusted comment: x\r\n" + line + "\r\n"}) {
        ASSERT_TRUE(ParseSigningKey(text, parsed, error)) << text << ": " << error;
        EXPECT_EQ(parsed, key);
    }
    for (const std::string& text : std::vector<std::string>{
             std::string(), "untrusted comment: only a comment", line.substr(0, 52),
             line.substr(0, 55) + "!", line + "AAAA", std::string(5000, 'A')}) {
        EXPECT_FALSE(ParseSigningKey(text, parsed, error)) << text;
    }
    std::string bytes;
    EXPECT_FALSE(Base64Decode("QQ=A", bytes, 10));
    EXPECT_FALSE(Base64Decode("Q===", bytes, 10));
    EXPECT_FALSE(Base64Decode("QUJD", bytes, 2));
    ASSERT_TRUE(Base64Decode("QUI=", bytes, 10));
    EXPECT_EQ(bytes, "AB");

    fs::path file = Sandbox::MakeFolder("keys") / "signer.pub";
    WriteFile(file, SigningKeyFileText(key, "comment"));
    EXPECT_TRUE(LoadSigningKey(file.string(), parsed, error)) << error;
    EXPECT_TRUE(LoadSigningKey(line, parsed, error)) << error;
    EXPECT_FALSE(LoadSigningKey((file.parent_path() / "missing.pub").string(), parsed, error));
    EXPECT_NE(error.find("missing.pub"), std::string::npos) << error;
}

TEST(TreeDigest, DependsOnTheBytesAloneNotOnRangesOrThreads) {
    fs::path path = Sandbox::MakeFolder("digest") / "data";
    std::string data(3 * 65536 + 123, '\0');
    for (size_t i = 0; i < data.size(); i++)
        data[i] = char((i * 7919) >> 3);
    WriteFile(path, data + "GAP!" + data);
    int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    uint64_t n = data.size();
    sb::Digest one, two, three, whole;
    std::string error;
    ASSERT_TRUE(sb::DigestOf(fd, {{0, n}, {n + 4, n}}, 65536, 1, one, error)) << error;
    ASSERT_TRUE(sb::DigestOf(fd, {{0, 1000}, {1000, n - 1000}, {n + 4, n}}, 65536, 3, two, error));
    EXPECT_EQ(one, two);
    ASSERT_TRUE(sb::DigestOf(fd, {{0, n + 4 + n}}, 65536, 2, whole, error));
    EXPECT_NE(one, whole); // the gap's bytes count when they are in a range
    ASSERT_TRUE(sb::DigestOf(fd, {{0, n}, {n + 4, n}}, 131072, 2, three, error));
    EXPECT_NE(one, three); // the piece size is part of the digest
    EXPECT_FALSE(sb::DigestOf(fd, {{0, 10 * n}}, 65536, 2, three, error));
    close(fd);
}
