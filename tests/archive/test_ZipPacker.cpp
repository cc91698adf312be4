// Packing on several threads and carrying node attributes: the archive does not depend
// on how many workers made it, pieces of large files join into one valid stream, and
// every attribute arrives in the entry's own field, exactly as documented.

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <zlib.h>

#include "archive/FileRegionSource.h"
#include "archive/MemorySource.h"
#include "archive/ZipAttributes.h"
#include "archive/ZipDirectory.h"
#include "archive/ZipExtractor.h"
#include "archive/ZipFormat.h"
#include "archive/ZipPacker.h"
#include "platform/storage/Node.h"
#include "platform/support/SupportDefs.h"
#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

std::string Noise(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1103515245 + 12345;
        c = static_cast<char>(seed >> 24);
    }
    return bytes;
}

// Text that compresses well but not trivially.
std::string Text(size_t size) {
    std::string text;
    for (int i = 0; text.size() < size; ++i)
        text += "line " + std::to_string(i * 7919 % 100003) + " of the generated text\n";
    text.resize(size);
    return text;
}

// Many small files, files just below and above the one-piece limit, and large files of
// several pieces, compressible and not.
fs::path MakeTree(const fs::path& root) {
    fs::path item = root / "Item";
    for (int folder = 0; folder < 8; ++folder) {
        fs::path dir = item / ("f" + std::to_string(folder));
        fs::create_directories(dir);
        for (int file = 0; file < 40; ++file)
            WriteFile(dir / ("n" + std::to_string(file)),
                      Text(size_t(file * 997 + folder * 13)) + Noise(size_t(file * 31), file));
    }
    WriteFile(item / "below", Text(1024 * 1024));
    WriteFile(item / "above", Text(1024 * 1024 + 1));
    WriteFile(item / "large.txt", Text(5 * 1024 * 1024 + 12345));
    WriteFile(item / "large.bin", Noise(3 * 1024 * 1024 + 7, 99));
    fs::create_symlink("large.txt", item / "link");
    return item;
}

bool Pack(const fs::path& item, const fs::path& archive, int level, unsigned threads,
          std::string* error = nullptr) {
    int fd = open(archive.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ZipPacker packer(threads);
    bool ok = packer.Pack(item.c_str(), nullptr, fd, level);
    close(fd);
    if (error != nullptr)
        *error = packer.Error();
    return ok;
}

bool Extract(const fs::path& archive, const fs::path& destination, std::string* error) {
    int fd = open(archive.c_str(), O_RDONLY);
    FileRegionSource source(fd, 0, static_cast<off_t>(fs::file_size(archive)));
    ZipExtractor extractor(source);
    bool ok = extractor.ExtractItem(destination.c_str(), nullptr);
    close(fd);
    *error = extractor.Error();
    return ok;
}

// The central directory's entries by name.
std::map<std::string, ZipDirectory::Entry> Directory(const std::string& archive) {
    MemorySource source(archive.data(), archive.size());
    ZipDirectory directory(source);
    std::map<std::string, ZipDirectory::Entry> entries;
    EXPECT_TRUE(directory.Open()) << directory.Error();
    ZipDirectory::Entry entry;
    while (directory.Next(entry))
        entries[entry.name] = entry;
    EXPECT_EQ(directory.Error(), "");
    return entries;
}

uint32_t Little(const unsigned char* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | p[i];
    return value;
}

// The data of extra field `id` in an extra block ("" and false when absent).
bool FindField(const std::vector<unsigned char>& extra, uint16_t id, std::string& data) {
    for (size_t at = 0; at + 4 <= extra.size();) {
        uint32_t fieldId = Little(&extra[at], 2), size = Little(&extra[at + 2], 2);
        if (at + 4 + size > extra.size())
            return false;
        if (fieldId == id) {
            data.assign(reinterpret_cast<const char*>(&extra[at + 4]), size);
            return true;
        }
        at += 4 + size;
    }
    return false;
}

struct Record {
    uint32_t type;
    std::string value;
};

// Decodes the attribute field as documented; fails the test on any malformed record.
std::map<std::string, Record> Records(const std::string& field) {
    std::map<std::string, Record> records;
    const auto* p = reinterpret_cast<const unsigned char*>(field.data());
    size_t at = 0;
    while (at < field.size()) {
        EXPECT_LE(at + 10, field.size());
        if (at + 10 > field.size())
            break;
        uint32_t nameLength = Little(p + at, 2), type = Little(p + at + 2, 4),
                 valueLength = Little(p + at + 6, 4);
        EXPECT_LE(at + 10 + nameLength + valueLength, field.size());
        if (at + 10 + nameLength + valueLength > field.size())
            break;
        std::string name = field.substr(at + 10, nameLength);
        EXPECT_FALSE(records.count(name)) << name;
        records[name] = {type, field.substr(at + 10 + nameLength, valueLength)};
        at += 10 + nameLength + valueLength;
    }
    return records;
}

} // namespace

TEST(ZipPacker, TheArchiveIsTheSameWhateverTheNumberOfWorkers) {
    fs::path work = Sandbox::MakeFolder("parallel");
    fs::path item = MakeTree(work / "source");
    // Entries carry access times, and the first reading of a new file moves its access time
    // on: a first packing settles them, so that the two compared see the same tree.
    std::string warmUpError;
    ASSERT_TRUE(Pack(item, work / "warm.zip", 0, 1, &warmUpError)) << warmUpError;
    for (int level : {0, 6}) {
        std::string error;
        ASSERT_TRUE(Pack(item, work / "one.zip", level, 1, &error)) << error;
        ASSERT_TRUE(Pack(item, work / "four.zip", level, 4, &error)) << error;
        const std::string one = ReadFile(work / "one.zip");
        EXPECT_TRUE(one == ReadFile(work / "four.zip")) << "level " << level;

        // Entries appear in the order of the walk, each with its whole data.
        fs::path out = work / ("out" + std::to_string(level));
        fs::create_directory(out);
        ASSERT_TRUE(Extract(work / "four.zip", out / "Item", &error)) << error;
        for (const char* name : {"below", "above", "large.txt", "large.bin", "f3/n17"})
            EXPECT_TRUE(ReadFile(item / name) == ReadFile(out / "Item" / name)) << name;
        EXPECT_EQ(fs::read_symlink(out / "Item" / "link"), "large.txt");
        if (access("/usr/bin/unzip", X_OK) == 0) {
            auto test =
                tarnw::test::RunProgram({"/usr/bin/unzip", "-tqq", (work / "four.zip").string()});
            EXPECT_EQ(test.status, 0) << test.output;
        }
    }
}

// The pieces of a large file are compressed apart, each on its own: the result must be
// one stream nearly as small as compressing the file in one go, whose pieces the
// directory lists so that they can be inflated apart.
TEST(ZipPacker, PiecesOfALargeFileJoinIntoOneCompactStream) {
    fs::path work = Sandbox::MakeFolder("pieces");
    fs::create_directories(work / "Item");
    const std::string text = Text(6 * 1024 * 1024 + 5);
    WriteFile(work / "Item" / "text", text);
    std::string error;
    ASSERT_TRUE(Pack(work / "Item", work / "a.zip", 6, 2, &error)) << error;
    auto entries = Directory(ReadFile(work / "a.zip"));
    ASSERT_TRUE(entries.count("Item/text"));
    const ZipDirectory::Entry& entry = entries["Item/text"];
    EXPECT_EQ(entry.method, 8u);
    EXPECT_EQ(entry.size, text.size());
    EXPECT_EQ(entry.crc, crc32(0, reinterpret_cast<const Bytef*>(text.data()), uInt(text.size())));

    z_stream stream{};
    ASSERT_EQ(deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<unsigned char> whole(deflateBound(&stream, uLong(text.size())));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = uInt(text.size());
    stream.next_out = whole.data();
    stream.avail_out = uInt(whole.size());
    ASSERT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    const double oneGo = double(stream.total_out);
    deflateEnd(&stream);
    EXPECT_LT(double(entry.compressedSize), oneGo * 1.01);

    uint32_t pieceSize = 0;
    std::vector<uint32_t> pieces;
    ASSERT_TRUE(zipformat::ParsePieces(entry.extra.data(), entry.extra.size(), entry.size,
                                       entry.compressedSize, pieceSize, pieces));
    EXPECT_EQ(pieceSize, 1024u * 1024u);
    EXPECT_EQ(pieces.size(), 7u);
    if (access("/usr/bin/unzip", X_OK) == 0) {
        auto test = tarnw::test::RunProgram({"/usr/bin/unzip", "-tqq", (work / "a.zip").string()});
        EXPECT_EQ(test.status, 0) << test.output;
    }

    fs::create_directory(work / "out");
    ASSERT_TRUE(Extract(work / "a.zip", work / "out" / "Item", &error)) << error;
    EXPECT_TRUE(ReadFile(work / "out" / "Item" / "text") == text);
}

// A refusal late in the walk, with pieces of earlier files still out on the workers:
// the packer waits for them and reports the refusal, not some later damage.
TEST(ZipPacker, AFailureWithWorkOutstandingIsReportedCleanly) {
    fs::path work = Sandbox::MakeFolder("failure");
    fs::path item = MakeTree(work / "source");
    fs::create_symlink("../../outside", item / "zz.link");
    for (unsigned threads : {1u, 4u}) {
        std::string error;
        EXPECT_FALSE(Pack(item, work / "a.zip", 6, threads, &error));
        EXPECT_NE(error.find("zz.link"), std::string::npos) << error;
        EXPECT_NE(error.find("outside"), std::string::npos) << error;
    }
    // The same packer object works again afterwards.
    fs::remove(item / "zz.link");
    ZipPacker packer(2);
    int fd = open((work / "b.zip").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    fs::create_symlink("../../outside", item / "zz.link");
    EXPECT_FALSE(packer.Pack(item.c_str(), nullptr, fd, 6));
    close(fd);
    fs::remove(item / "zz.link");
    fd = open((work / "b.zip").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    EXPECT_TRUE(packer.Pack(item.c_str(), nullptr, fd, 6)) << packer.Error();
    close(fd);
    EXPECT_EQ(Directory(ReadFile(work / "b.zip")).count("Item/large.bin"), 1u);
}

TEST(ZipPacker, AttributesOfFilesAndFoldersTravelInTheirOwnCentralField) {
    fs::path work = Sandbox::MakeFolder("attributes");
    fs::path item = work / "Item";
    fs::create_directories(item / "sub");
    WriteFile(item / "tool", "#!/bin/sh\n");
    WriteFile(item / "plain", "nothing carried\n");
    fs::create_symlink("tool", item / "link");
    {
        BNode node((item / "tool").c_str());
        int32 priority = 7;
        ASSERT_EQ(node.WriteAttr("run_priority", B_INT32_TYPE, 0, &priority, 4), 4);
        ASSERT_EQ(node.WriteAttr("note", B_STRING_TYPE, 0, "hi", 3), 3);
        BNode folder((item / "sub").c_str());
        ASSERT_EQ(folder.WriteAttr("colour", 'RGBC', 0, "\x01\x02\x03\x04", 4), 4);
    }
    // Written by another program: no type beside it.
    if (setxattr((item / "sub").c_str(), "user.foreign", "raw", 3, 0) != 0)
        GTEST_SKIP() << "no user attributes here";

    std::string error;
    ASSERT_TRUE(Pack(item, work / "a.zip", 6, 2, &error)) << error;
    const std::string archive = ReadFile(work / "a.zip");
    auto entries = Directory(archive);

    std::string field;
    ASSERT_TRUE(FindField(entries["Item/tool"].extra, zipattributes::kFieldId, field));
    auto records = Records(field);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records["run_priority"].type, uint32_t(B_INT32_TYPE));
    EXPECT_EQ(records["run_priority"].value, std::string("\x07\0\0\0", 4));
    EXPECT_EQ(records["note"].type, uint32_t(B_STRING_TYPE));
    EXPECT_EQ(records["note"].value, std::string("hi\0", 3));
    // Records come sorted by name; the times field is still there.
    EXPECT_EQ(field.substr(10, 4), "note");
    std::string times;
    EXPECT_TRUE(FindField(entries["Item/tool"].extra, 0x5455, times));

    ASSERT_TRUE(FindField(entries["Item/sub/"].extra, zipattributes::kFieldId, field));
    records = Records(field);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records["colour"].type, uint32_t('RGBC'));
    // Whatever type the node layer gives an attribute written without one.
    attr_info foreign;
    ASSERT_EQ(BNode((item / "sub").c_str()).GetAttrInfo("foreign", &foreign), B_OK);
    EXPECT_EQ(records["foreign"].type, foreign.type);
    EXPECT_EQ(records["foreign"].value, "raw");
    for (const auto& [name, record] : records)
        EXPECT_EQ(name.find("tarnw."), std::string::npos) << name;

    // Nothing for entries without attributes, and never in a local header.
    EXPECT_FALSE(FindField(entries["Item/plain"].extra, zipattributes::kFieldId, field));
    EXPECT_FALSE(FindField(entries["Item/link"].extra, zipattributes::kFieldId, field));
    MemorySource source(archive.data(), archive.size());
    ZipDirectory directory(source);
    ASSERT_TRUE(directory.Open());
    uint64_t offset = 0;
    std::vector<unsigned char> local;
    ASSERT_TRUE(directory.DataOffset(entries["Item/tool"], offset, local));
    EXPECT_FALSE(FindField(local, zipattributes::kFieldId, field));

    // Other readers skip the field.
    if (access("/usr/bin/unzip", X_OK) == 0) {
        auto test = tarnw::test::RunProgram({"/usr/bin/unzip", "-tqq", (work / "a.zip").string()});
        EXPECT_EQ(test.status, 0) << test.output;
    }

    // Our own reader takes the field as written, and extraction puts every attribute back
    // with its type.
    std::vector<zipformat::CarriedAttribute> carried;
    std::string reason;
    ASSERT_TRUE(zipformat::ParseAttributes(entries["Item/tool"].extra.data(),
                                           entries["Item/tool"].extra.size(), carried, reason))
        << reason;
    EXPECT_EQ(carried.size(), 2u);
    fs::create_directory(work / "out");
    ASSERT_TRUE(Extract(work / "a.zip", work / "out" / "Item", &error)) << error;
    BNode tool((work / "out" / "Item" / "tool").c_str());
    int32 priority = 0;
    attr_info info;
    ASSERT_EQ(tool.GetAttrInfo("run_priority", &info), B_OK);
    EXPECT_EQ(info.type, uint32(B_INT32_TYPE));
    EXPECT_EQ(tool.ReadAttr("run_priority", B_INT32_TYPE, 0, &priority, 4), 4);
    EXPECT_EQ(priority, 7);
    char note[8] = {};
    EXPECT_EQ(tool.ReadAttr("note", B_STRING_TYPE, 0, note, sizeof(note)), 3);
    EXPECT_STREQ(note, "hi");
    BNode folder((work / "out" / "Item" / "sub").c_str());
    ASSERT_EQ(folder.GetAttrInfo("colour", &info), B_OK);
    EXPECT_EQ(info.type, uint32('RGBC'));
}

TEST(ZipPacker, AttributesThatCannotBeCarriedAreRefusedWithThePath) {
    using zipattributes::Attribute;
    std::vector<unsigned char> field;
    std::string error;
    EXPECT_TRUE(zipattributes::EncodeField({}, field, error));
    EXPECT_TRUE(field.empty());

    std::vector<Attribute> fits{
        {"a", B_RAW_TYPE, std::vector<unsigned char>(zipattributes::kMaxFieldData - 11)}};
    ASSERT_TRUE(zipattributes::EncodeField(fits, field, error)) << error;
    EXPECT_EQ(field.size(), zipattributes::kMaxFieldData + 4);
    EXPECT_EQ(Little(&field[2], 2), zipattributes::kMaxFieldData);
    fits[0].value.push_back(0);
    EXPECT_FALSE(zipattributes::EncodeField(fits, field, error));
    EXPECT_NE(error.find("bytes"), std::string::npos) << error;

    const std::string longest(zipattributes::kMaxNameLength, 'n');
    EXPECT_TRUE(zipattributes::EncodeField({{longest, B_RAW_TYPE, {}}}, field, error));
    for (const std::string& bad :
         {std::string(), std::string("a/b"), longest + "n", std::string("tarnw.type.x")}) {
        error.clear();
        EXPECT_FALSE(zipattributes::EncodeField({{bad, B_RAW_TYPE, {}}}, field, error)) << bad;
        EXPECT_FALSE(error.empty());
    }

    // Through the packer: a file whose attributes together exceed one field. ext4 keeps
    // no more than a block of them, so this part runs on a tmpfs of its own (as root).
    fs::path work = Sandbox::MakeFolder("toolarge");
    if (geteuid() != 0 || mount("tarnw-test", work.c_str(), "tmpfs", 0, "size=16m") != 0)
        GTEST_SKIP() << "no tmpfs to hold large attributes";
    struct Unmount {
        fs::path point;
        ~Unmount() { umount2(point.c_str(), MNT_DETACH); }
    } unmount{work};
    fs::create_directories(work / "Item");
    WriteFile(work / "Item" / "heavy", "x");
    const std::string value(30000, 'v');
    for (const char* name : {"user.one", "user.two", "user.three"}) {
        if (setxattr((work / "Item" / "heavy").c_str(), name, value.data(), value.size(), 0) != 0)
            GTEST_SKIP() << "this file system keeps no attributes that large";
    }
    EXPECT_FALSE(Pack(work / "Item", work / "a.zip", 6, 2, &error));
    EXPECT_NE(error.find((work / "Item" / "heavy").string()), std::string::npos) << error;
}
