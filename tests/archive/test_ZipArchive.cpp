// Packing and unpacking payload archives: round trips of real trees (also through
// Info-ZIP's unzip), and hostile archives that must be refused without writing anything
// outside the destination.

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include "archive/FileRegionSource.h"
#include "archive/MemorySource.h"
#include "archive/ZipContents.h"
#include "archive/ZipDirectory.h"
#include "archive/ZipExtractor.h"
#include "archive/ZipPacker.h"
#include "support/Sandbox.h"

extern char** environ;

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

void SetTimes(const fs::path& path, time_t modified) {
    struct timespec times[2] = {{modified - 100, 0}, {modified, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// A tree with the cases that matter: empty, small, compressible and incompressible
// files over the whole-buffer limit, nested and empty folders, links, odd modes.
fs::path MakeTree(const fs::path& root) {
    fs::path item = root / "Product";
    fs::create_directories(item / "lib" / "deep" / "deeper");
    fs::create_directories(item / "empty");
    WriteFile(item / "readme.txt", "hello\n");
    WriteFile(item / "zero", "");
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += std::to_string(i) + "\n";
    WriteFile(item / "lib" / "numbers.txt", text);
    std::string noise(3 * 1024 * 1024 + 17, '\0');
    uint32_t state = 12345;
    for (char& c : noise) {
        state = state * 1103515245 + 12345;
        c = static_cast<char>(state >> 24);
    }
    WriteFile(item / "lib" / "deep" / "noise.bin", noise);
    WriteFile(item / "lib" / "deep" / "deeper" / "tool", "#!/bin/sh\necho hi\n");
    chmod((item / "lib" / "deep" / "deeper" / "tool").c_str(), 0755);
    chmod((item / "readme.txt").c_str(), 0600);
    fs::create_symlink("numbers.txt", item / "lib" / "numbers.link");
    fs::create_symlink("../../readme.txt", item / "lib" / "deep" / "up.link");
    fs::create_symlink("missing-but-inside", item / "dangling");
    chmod((item / "lib" / "deep").c_str(), 0750);
    for (const auto& entry : fs::recursive_directory_iterator(item))
        SetTimes(entry.path(), 1000000000 + static_cast<time_t>(entry.path().string().size()));
    SetTimes(item, 999999999);
    return item;
}

// Compares two trees: names, kinds, bytes, modes, link texts and modification times.
void ExpectSameTree(const fs::path& a, const fs::path& b) {
    struct stat sa, sb;
    ASSERT_EQ(lstat(a.c_str(), &sa), 0) << a;
    ASSERT_EQ(lstat(b.c_str(), &sb), 0) << b;
    EXPECT_EQ(sa.st_mode, sb.st_mode) << b;
    if (!S_ISLNK(sa.st_mode)) {
        EXPECT_EQ(sa.st_mtime, sb.st_mtime) << b;
    }
    if (S_ISLNK(sa.st_mode)) {
        EXPECT_EQ(fs::read_symlink(a), fs::read_symlink(b)) << b;
    } else if (S_ISREG(sa.st_mode)) {
        EXPECT_TRUE(ReadFile(a) == ReadFile(b)) << b;
    } else if (S_ISDIR(sa.st_mode)) {
        std::vector<std::string> na, nb;
        for (const auto& e : fs::directory_iterator(a))
            na.push_back(e.path().filename());
        for (const auto& e : fs::directory_iterator(b))
            nb.push_back(e.path().filename());
        std::sort(na.begin(), na.end());
        std::sort(nb.begin(), nb.end());
        ASSERT_EQ(na, nb) << b;
        for (const auto& name : na)
            ExpectSameTree(a / name, b / name);
    }
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool Pack(const fs::path& item, const fs::path& archive, int level, std::string* error = nullptr,
          const char* stored = nullptr) {
    int fd = open(archive.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ZipPacker packer;
    bool ok = packer.Pack(item.c_str(), stored, fd, level);
    close(fd);
    if (error)
        *error = packer.Error();
    return ok;
}

bool Extract(const fs::path& archive, const fs::path& destination, std::string* error = nullptr,
             const char* expected = nullptr) {
    int fd = open(archive.c_str(), O_RDONLY);
    FileRegionSource source(fd, 0, static_cast<off_t>(fs::file_size(archive)));
    ZipExtractor extractor(source);
    bool ok = extractor.ExtractItem(destination.c_str(), expected);
    close(fd);
    if (error)
        *error = extractor.Error();
    return ok;
}

int RunTool(std::vector<std::string> args, const fs::path& folder) {
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A hand-made archive entry; the fields an attacker controls.
struct Crafted {
    std::string name;
    std::string data;
    uint32_t mode = 0100644; // S_IFREG | 0644
    bool wrongCrc = false;
};

fs::path Craft(const fs::path& archive, const std::vector<Crafted>& entries) {
    zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
    for (const Crafted& e : entries) {
        zip_fileinfo info = {};
        info.external_fa = e.mode << 16;
        zipOpenNewFileInZip4_64(zip, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0,
                                1, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, 3 << 8 | 30, 0,
                                0);
        zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size()));
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(e.data.data()),
                          static_cast<uInt>(e.data.size()));
        zipCloseFileInZipRaw64(zip, e.data.size(), e.wrongCrc ? crc ^ 1 : crc);
    }
    zipClose(zip, nullptr);
    return archive;
}

// Files, folders, links and their bytes (a link's are its target's length).
struct Tally {
    int files = 0, folders = 0, links = 0;
    uint64_t bytes = 0;
    bool operator==(const Tally&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Tally& t) {
    return out << t.files << " files, " << t.folders << " folders, " << t.links << " links, "
               << t.bytes << " bytes";
}

Tally TallyOf(const fs::path& tree) {
    Tally tally;
    auto add = [&tally](const fs::path& path) {
        struct stat info;
        ASSERT_EQ(lstat(path.c_str(), &info), 0) << path;
        if (S_ISDIR(info.st_mode)) {
            tally.folders++;
            return;
        }
        (S_ISLNK(info.st_mode) ? tally.links : tally.files)++;
        tally.bytes += uint64_t(info.st_size);
    };
    add(tree);
    for (const auto& entry : fs::recursive_directory_iterator(tree))
        add(entry.path());
    return tally;
}

Tally ListedIn(const fs::path& archive) {
    int fd = open(archive.c_str(), O_RDONLY);
    FileRegionSource source(fd, 0, static_cast<off_t>(fs::file_size(archive)));
    std::vector<ZipContents::Entry> entries;
    std::string error;
    EXPECT_TRUE(ZipContents::List(source, entries, error)) << error;
    close(fd);
    Tally tally;
    for (const ZipContents::Entry& entry : entries) {
        if (entry.kind == ZipContents::Kind::Folder) {
            tally.folders++;
            continue;
        }
        (entry.kind == ZipContents::Kind::Link ? tally.links : tally.files)++;
        tally.bytes += entry.size;
    }
    return tally;
}

} // namespace

TEST(ZipArchive, FolderRoundTripKeepsBytesModesLinksAndTimes) {
    fs::path work = Sandbox::MakeFolder("zip");
    fs::path item = MakeTree(work / "source");
    for (int level : {0, 1, 9}) {
        fs::path archive = work / ("p" + std::to_string(level) + ".zip");
        std::string error;
        ASSERT_TRUE(Pack(item, archive, level, &error)) << error;
        fs::path out = work / ("out" + std::to_string(level));
        fs::create_directory(out);
        ASSERT_TRUE(Extract(archive, out / "Installed", &error, "Product")) << error;
        ExpectSameTree(item, out / "Installed");
        // Nothing but the item is left in the destination's folder.
        EXPECT_EQ(Names(out), std::vector<std::string>{"Installed"});
    }
}

TEST(ZipArchive, InfoZipUnzipReadsWhatWePack) {
    if (access("/usr/bin/unzip", X_OK) != 0)
        GTEST_SKIP() << "no unzip";
    fs::path work = Sandbox::MakeFolder("infozip");
    fs::path item = MakeTree(work / "source");
    ASSERT_TRUE(Pack(item, work / "p.zip", 6));
    fs::create_directory(work / "out");
    ASSERT_EQ(RunTool({"unzip", "-q", (work / "p.zip").string()}, work / "out"), 0);
    ExpectSameTree(item, work / "out" / "Product");
    // -t checks every CRC.
    EXPECT_EQ(RunTool({"unzip", "-tq", (work / "p.zip").string()}, work), 0);
}

TEST(ZipArchive, WeReadWhatInfoZipPacks) {
    if (access("/usr/bin/zip", X_OK) != 0)
        GTEST_SKIP() << "no zip";
    fs::path work = Sandbox::MakeFolder("fromzip");
    fs::path item = MakeTree(work / "source");
    ASSERT_EQ(RunTool({"zip", "-qry", (work / "z.zip").string(), "Product"}, work / "source"), 0);
    std::string error;
    ASSERT_TRUE(Extract(work / "z.zip", work / "Product", &error)) << error;
    ExpectSameTree(item, work / "Product");
}

TEST(ZipArchive, SingleFileReplacesExistingFileAtomically) {
    fs::path work = Sandbox::MakeFolder("single");
    WriteFile(work / "data.txt", "new contents");
    ASSERT_TRUE(Pack(work / "data.txt", work / "f.zip", 9));
    WriteFile(work / "target", "old");
    std::string error;
    ASSERT_TRUE(Extract(work / "f.zip", work / "target", &error)) << error;
    EXPECT_EQ(ReadFile(work / "target"), "new contents");
    EXPECT_EQ(Names(work), (std::vector<std::string>{"data.txt", "f.zip", "target"}));
}

TEST(ZipArchive, FolderItemMergesIntoExistingFolderButNeverReplacesAFile) {
    fs::path work = Sandbox::MakeFolder("merge");
    fs::create_directories(work / "src" / "Item");
    WriteFile(work / "src" / "Item" / "a", "A");
    ASSERT_TRUE(Pack(work / "src" / "Item", work / "i.zip", 6));
    fs::create_directories(work / "dest");
    WriteFile(work / "dest" / "keep", "mine");
    std::string error;
    ASSERT_TRUE(Extract(work / "i.zip", work / "dest", &error)) << error;
    EXPECT_EQ(ReadFile(work / "dest" / "a"), "A");
    EXPECT_EQ(ReadFile(work / "dest" / "keep"), "mine");

    WriteFile(work / "plain", "file");
    EXPECT_FALSE(Extract(work / "i.zip", work / "plain", &error));
    EXPECT_EQ(ReadFile(work / "plain"), "file");
}

TEST(ZipArchive, PackerRefusesLinksPointingOutOfTheItem) {
    fs::path work = Sandbox::MakeFolder("outlink");
    fs::create_directories(work / "Item");
    fs::create_symlink("/etc/passwd", work / "Item" / "abs");
    std::string error;
    EXPECT_FALSE(Pack(work / "Item", work / "o.zip", 6, &error));
    EXPECT_NE(error.find("abs"), std::string::npos) << error;
}

// Each hostile archive is refused, leaves nothing at the destination, nothing beside it
// and nothing anywhere above it.
TEST(ZipArchive, HostileArchivesAreRefusedAndWriteNothing) {
    fs::path work = Sandbox::MakeFolder("hostile");
    struct Case {
        const char* what;
        std::vector<Crafted> entries;
    };
    const uint32_t kLink = 0120777, kDir = 040755;
    std::vector<Case> cases = {
        {"dot-dot", {{"Item/", "", kDir}, {"Item/../../escaped", "x"}}},
        {"leading dot-dot", {{"../escaped", "x"}}},
        {"absolute", {{"/tmp/escaped", "x"}}},
        {"absolute link", {{"Item/", "", kDir}, {"Item/l", "/etc", kLink}}},
        {"climbing link", {{"Item/", "", kDir}, {"Item/l", "../../escaped", kLink}}},
        // Each link is harmless as text; together they lead out of the item.
        {"link chain",
         {{"Item/", "", kDir},
          {"Item/x/", "", kDir},
          {"Item/x/up", "..", kLink},
          {"Item/y", "x/up/..", kLink}}},
        // Writing through a link that was placed earlier in the same archive.
        {"write through link",
         {{"Item/", "", kDir},
          {"Item/sub/", "", kDir},
          {"Item/l", "sub", kLink},
          {"Item/l/f", "x"}}},
        {"crc mismatch",
         {{"Item/", "", kDir}, {"Item/a", "good"}, {"Item/b", "bad", 0100644, true}}},
        {"two items", {{"Item/a", "x"}, {"Other/b", "y"}}},
        {"file and folder", {{"Item", "x"}, {"Item/b", "y"}}},
        {"device", {{"Item/", "", kDir}, {"Item/dev", "", 020644}}},
        {"top-level link", {{"Item", "/etc/passwd", kLink}}},
    };
    for (const Case& c : cases) {
        fs::path root = work / c.what;
        fs::create_directories(root / "dest");
        fs::path archive = Craft(root / "a.zip", c.entries);
        std::string error;
        EXPECT_FALSE(Extract(archive, root / "dest" / "Item", &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_TRUE(Names(root / "dest").empty()) << c.what << ": " << error;
        EXPECT_EQ(Names(root), (std::vector<std::string>{"a.zip", "dest"})) << c.what;
        EXPECT_FALSE(fs::exists(work / "escaped")) << c.what;
    }
    EXPECT_FALSE(fs::exists("/tmp/escaped"));
}

TEST(ZipArchive, DamagedAndTruncatedArchivesAreRefusedCleanly) {
    fs::path work = Sandbox::MakeFolder("damaged");
    fs::path item = MakeTree(work / "source");
    ASSERT_TRUE(Pack(item, work / "good.zip", 6));
    std::string bytes = ReadFile(work / "good.zip");
    std::vector<std::string> variants = {"", "PK", bytes.substr(0, bytes.size() / 2),
                                         bytes.substr(0, bytes.size() - 10),
                                         bytes.substr(bytes.size() / 3)};
    std::string flipped = bytes;
    flipped[flipped.size() / 2] ^= 0x55; // inside the big incompressible file
    variants.push_back(flipped);
    for (size_t i = 0; i < variants.size(); ++i) {
        fs::path root = work / ("v" + std::to_string(i));
        fs::create_directories(root);
        MemorySource source(variants[i].data(), variants[i].size());
        ZipExtractor extractor(source);
        EXPECT_FALSE(extractor.ExtractItem((root / "Product").c_str(), nullptr)) << i;
        EXPECT_FALSE(extractor.Error().empty()) << i;
        EXPECT_TRUE(Names(root).empty()) << i;
    }
}

TEST(ZipArchive, ExtractAllOverwritesBesideTheArchive) {
    fs::path work = Sandbox::MakeFolder("all");
    fs::path archive = Craft(work / "m.zip", {{"one", "1"}, {"two/three", "3"}});
    WriteFile(work / "one", "old");
    int fd = open(archive.c_str(), O_RDONLY);
    FileRegionSource source(fd, 0, static_cast<off_t>(fs::file_size(archive)));
    ZipExtractor extractor(source);
    EXPECT_TRUE(extractor.ExtractAll(work.c_str())) << extractor.Error();
    close(fd);
    EXPECT_EQ(ReadFile(work / "one"), "1");
    EXPECT_EQ(ReadFile(work / "two" / "three"), "3");
}

TEST(ZipArchive, ReadsAnArchiveInTheMiddleOfALargerFile) {
    fs::path work = Sandbox::MakeFolder("region");
    WriteFile(work / "Item", "payload bytes");
    ASSERT_TRUE(Pack(work / "Item", work / "i.zip", 9));
    std::string container = std::string(1000, 'E') + ReadFile(work / "i.zip") + "TRAILER";
    WriteFile(work / "container", container);
    int fd = open((work / "container").c_str(), O_RDONLY);
    FileRegionSource source(fd, 1000, static_cast<off_t>(fs::file_size(work / "i.zip")));
    ZipExtractor extractor(source);
    fs::create_directory(work / "out");
    EXPECT_TRUE(extractor.ExtractItem((work / "out" / "Item").c_str(), "Item"))
        << extractor.Error();
    close(fd);
    EXPECT_EQ(ReadFile(work / "out" / "Item"), "payload bytes");
}

namespace {

struct Bytes {
    std::string data;
    void U16(uint32_t v) {
        data += static_cast<char>(v & 0xff);
        data += static_cast<char>((v >> 8) & 0xff);
    }
    void U32(uint32_t v) {
        U16(v & 0xffff);
        U16(v >> 16);
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
};

// One stored file whose sizes and offset live only in Zip64 records, with a Zip64 end
// record, as archives beyond 4 GiB are written.
std::string Zip64Archive(const std::string& name, const std::string& content) {
    uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(content.data()),
                                               static_cast<uInt>(content.size())));
    Bytes b;
    b.U32(0x04034b50);
    b.U16(45);
    b.U16(0);
    b.U16(0);
    b.U32(0);
    b.U32(crc);
    b.U32(0xffffffff);
    b.U32(0xffffffff);
    b.U16(static_cast<uint32_t>(name.size()));
    b.U16(20);
    b.data += name;
    b.U16(1);
    b.U16(16);
    b.U64(content.size());
    b.U64(content.size());
    b.data += content;
    uint64_t central = b.data.size();
    b.U32(0x02014b50);
    b.U16(3 << 8 | 45);
    b.U16(45);
    b.U16(0);
    b.U16(0);
    b.U32(0);
    b.U32(crc);
    b.U32(0xffffffff);
    b.U32(0xffffffff);
    b.U16(static_cast<uint32_t>(name.size()));
    b.U16(28);
    b.U16(0);
    b.U16(0);
    b.U16(0);
    b.U32(0100640u << 16);
    b.U32(0xffffffff);
    b.data += name;
    b.U16(1);
    b.U16(24);
    b.U64(content.size());
    b.U64(content.size());
    b.U64(0);
    uint64_t centralSize = b.data.size() - central;
    uint64_t zip64End = b.data.size();
    b.U32(0x06064b50);
    b.U64(44);
    b.U16(45);
    b.U16(45);
    b.U32(0);
    b.U32(0);
    b.U64(1);
    b.U64(1);
    b.U64(centralSize);
    b.U64(central);
    b.U32(0x07064b50);
    b.U32(0);
    b.U64(zip64End);
    b.U32(1);
    b.U32(0x06054b50);
    b.U16(0);
    b.U16(0);
    b.U16(0xffff);
    b.U16(0xffff);
    b.U32(0xffffffff);
    b.U32(0xffffffff);
    b.U16(0);
    return b.data;
}

} // namespace

TEST(ZipArchive, Zip64RecordsAndDataBeforeTheArchiveAreRead) {
    fs::path work = Sandbox::MakeFolder("zip64");
    std::string archive = Zip64Archive("Big", "sizes in Zip64 records");
    // Alone, and behind other data as in a self-extracting file.
    for (const std::string& bytes : {archive, std::string(5000, 'S') + archive}) {
        fs::path out = Sandbox::MakeFolder("zip64out");
        MemorySource source(bytes.data(), bytes.size());
        ZipExtractor extractor(source);
        ASSERT_TRUE(extractor.ExtractItem((out / "Big").c_str(), "Big")) << extractor.Error();
        EXPECT_EQ(ReadFile(out / "Big"), "sizes in Zip64 records");
        EXPECT_EQ(fs::status(out / "Big").permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
    if (access("/usr/bin/unzip", X_OK) == 0) {
        WriteFile(work / "z64.zip", archive);
        EXPECT_EQ(RunTool({"unzip", "-tq", (work / "z64.zip").string()}, work), 0);
    }
    // A Zip64 record too short for the fields it must carry.
    std::string cut = archive;
    size_t at = cut.find(std::string("\x01\x00\x18\x00", 4), cut.find("PK\x01\x02"));
    ASSERT_NE(at, std::string::npos);
    cut[at + 2] = 8;
    MemorySource source(cut.data(), cut.size());
    ZipExtractor extractor(source);
    EXPECT_FALSE(extractor.ExtractItem((work / "cut").c_str(), nullptr));
    EXPECT_FALSE(fs::exists(work / "cut"));
}

TEST(ZipArchive, MoreThan65535EntriesAreCountedRight) {
    fs::path work = Sandbox::MakeFolder("many");
    fs::create_directories(work / "Item");
    for (int i = 0; i < 65536; ++i) {
        int fd =
            open((work / "Item" / ("f" + std::to_string(i))).c_str(), O_CREAT | O_WRONLY, 0644);
        close(fd);
    }
    std::string error;
    ASSERT_TRUE(Pack(work / "Item", work / "m.zip", 6, &error)) << error;
    std::string bytes = ReadFile(work / "m.zip");
    MemorySource source(bytes.data(), bytes.size());
    ZipDirectory directory(source);
    ASSERT_TRUE(directory.Open()) << directory.Error();
    EXPECT_EQ(directory.Count(), 65537u);
    ZipDirectory::Entry entry;
    uint64_t seen = 0;
    while (directory.Next(entry))
        ++seen;
    EXPECT_EQ(seen, 65537u);
    EXPECT_TRUE(directory.Error().empty()) << directory.Error();
    if (access("/usr/bin/unzip", X_OK) == 0) {
        EXPECT_EQ(RunTool({"unzip", "-tq", (work / "m.zip").string()}, work), 0);
    }
}

TEST(ZipArchive, AnEndRecordThatHidesEntriesIsRefused) {
    fs::path work = Sandbox::MakeFolder("hidden");
    std::string bytes = ReadFile(Craft(work / "h.zip", {{"Item/a", "1"}, {"Item/b", "2"}}));
    size_t end = bytes.rfind("PK\x05\x06");
    ASSERT_NE(end, std::string::npos);
    bytes[end + 8] = 1;  // entries on this disk
    bytes[end + 10] = 1; // entries in all
    MemorySource source(bytes.data(), bytes.size());
    ZipExtractor extractor(source);
    EXPECT_FALSE(extractor.ExtractItem((work / "Item").c_str(), nullptr));
    EXPECT_FALSE(fs::exists(work / "Item"));
}

TEST(ZipArchive, EntriesSharingBytesAreRefused) {
    fs::path work = Sandbox::MakeFolder("overlap");
    std::string bytes =
        ReadFile(Craft(work / "o.zip", {{"Item/a", std::string(1000, 'a')}, {"Item/b", "b"}}));
    // Point the second entry at the first entry's header and data.
    size_t second = bytes.find("PK\x01\x02", bytes.find("PK\x01\x02") + 4);
    ASSERT_NE(second, std::string::npos);
    for (int i = 0; i < 4; ++i)
        bytes[second + 42 + i] = 0;
    MemorySource source(bytes.data(), bytes.size());
    ZipExtractor extractor(source);
    EXPECT_FALSE(extractor.ExtractItem((work / "Item").c_str(), nullptr));
    EXPECT_NE(extractor.Error().find("overlap"), std::string::npos) << extractor.Error();
    EXPECT_FALSE(fs::exists(work / "Item"));
}

TEST(ZipArchive, TheDirectoryAloneTellsWhatUnpackingMakes) {
    fs::path work = Sandbox::MakeFolder("contents");
    fs::path item = MakeTree(work / "source");
    Tally tree = TallyOf(item);
    ASSERT_TRUE(Pack(item, work / "p.zip", 6));
    EXPECT_EQ(ListedIn(work / "p.zip"), tree);
    // Info-ZIP's own archives, which name folders with a trailing slash.
    if (access("/usr/bin/zip", X_OK) == 0) {
        ASSERT_EQ(RunTool({"zip", "-qry", (work / "z.zip").string(), "Product"}, work / "source"),
                  0);
        EXPECT_EQ(ListedIn(work / "z.zip"), tree);
    }
    int fd = open((work / "p.zip").c_str(), O_RDONLY);
    FileRegionSource cut(fd, 0, static_cast<off_t>(fs::file_size(work / "p.zip")) - 10);
    std::vector<ZipContents::Entry> entries;
    std::string error;
    EXPECT_FALSE(ZipContents::List(cut, entries, error));
    EXPECT_FALSE(error.empty());
    close(fd);
}
