// How payload entries are unpacked: attributes carried in the archive and given by the
// run, the MIME type, all written before a file gets its place; the stricter rules for
// hostile archives; the order and memory of unpacking on several threads.

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <minizip/zip.h>

#include "archive/FileRegionSource.h"
#include "archive/MemorySource.h"
#include "archive/ZipDirectory.h"
#include "archive/ZipExtractor.h"
#include "archive/ZipFormat.h"
#include "archive/ZipPacker.h"
#include "platform/storage/Mime.h"
#include "platform/storage/Node.h"
#include "platform/storage/NodeInfo.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

struct Carried {
    std::string name;
    uint32_t type;
    std::string value;
};

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// The attribute extra field as the packer writes it.
std::string AttributeField(const std::vector<Carried>& attributes) {
    std::string data;
    for (const Carried& a : attributes) {
        Put16(data, static_cast<uint32_t>(a.name.size()));
        Put32(data, a.type);
        Put32(data, static_cast<uint32_t>(a.value.size()));
        data += a.name + a.value;
    }
    std::string field;
    Put16(field, 0x7754);
    Put16(field, static_cast<uint32_t>(data.size()));
    return field + data;
}

struct Crafted {
    Crafted(std::string n, std::string d, uint32_t m = 0100644, std::string extra = {})
        : name(std::move(n)), data(std::move(d)), mode(m), centralExtra(std::move(extra)) {}
    std::string name;
    std::string data;
    uint32_t mode;
    std::string centralExtra;
};

std::string Craft(const fs::path& archive, const std::vector<Crafted>& entries,
                  const char* comment = nullptr) {
    zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
    for (const Crafted& e : entries) {
        zip_fileinfo info = {};
        info.external_fa = e.mode << 16;
        zipOpenNewFileInZip4_64(zip, e.name.c_str(), &info, nullptr, 0,
                                e.centralExtra.empty() ? nullptr : e.centralExtra.data(),
                                static_cast<uInt>(e.centralExtra.size()), nullptr, Z_DEFLATED, 1, 0,
                                -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0, 3 << 8 | 30, 0, 0);
        zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, comment);
    return ReadFile(archive);
}

bool Extract(const std::string& bytes, const fs::path& destination, std::string* error,
             const char* expected = nullptr,
             const std::vector<ZipExtractor::Attribute>& attributes = {},
             std::vector<std::string>* created = nullptr) {
    MemorySource source(bytes.data(), bytes.size());
    ZipExtractor extractor(source);
    extractor.SetAttributes(attributes);
    bool ok = extractor.ExtractItem(destination.c_str(), expected);
    if (error)
        *error = extractor.Error();
    if (created)
        *created = extractor.Created();
    return ok;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

// An attribute's bytes and type as the node layer reads them; type 0 when it is missing.
std::pair<std::string, uint32> Attr(const fs::path& path, const char* name) {
    BNode node(path.c_str());
    attr_info info;
    if (node.GetAttrInfo(name, &info) != B_OK)
        return {"", 0};
    std::string value(static_cast<size_t>(info.size), '\0');
    node.ReadAttr(name, info.type, 0, value.data(), value.size());
    return {value, info.type};
}

// The node's MIME type as readers see it: stored, or shown by its content.
std::string Type(const fs::path& path) {
    BNode node(path.c_str());
    char type[B_MIME_TYPE_LENGTH] = {};
    return BNodeInfo(&node).GetType(type) == B_OK ? type : "";
}

bool UserAttributesWork(const fs::path& folder) {
    fs::path probe = folder / "probe";
    WriteFile(probe, "");
    bool ok = setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
    fs::remove(probe);
    return ok;
}

std::string Noise(size_t size, uint32_t seed) {
    std::string noise(size, '\0');
    for (char& c : noise) {
        seed = seed * 1103515245 + 12345;
        c = static_cast<char>(seed >> 24);
    }
    return noise;
}

} // namespace

// ---- attributes ----

TEST(ZipExtraction, CarriedAndRunAttributesAndTypesArriveOnEveryNode) {
    fs::path work = Sandbox::MakeFolder("attributes");
    if (!UserAttributesWork(work))
        GTEST_SKIP() << "the sandbox keeps no user attributes";
    int32_t priority = 7;
    std::string priorityBytes(reinterpret_cast<const char*>(&priority), 4);
    std::string bytes = Craft(
        work / "a.zip",
        {{"Item/", "", 040755, AttributeField({{"comment", B_STRING_TYPE, "a folder"}})},
         {"Item/run.sh", "#!/bin/sh\necho hi\n", 0100755,
          AttributeField({{"run_priority", B_INT32_TYPE, priorityBytes},
                          {"InstallBy", B_STRING_TYPE, "stale tag from the packing machine"}})},
         {"Item/page.html", "<html><body>hi</body></html>\n"},
         {"Item/typed", "plain", 0100644,
          AttributeField({{"mime_type", B_MIME_STRING_TYPE, "application/x-custom"}})},
         {"Item/link", "run.sh", 0120777, AttributeField({{"comment", B_STRING_TYPE, "l"}})},
         {"Item/sub/deep", "x"}});
    std::string error;
    std::vector<std::string> created;
    ASSERT_TRUE(Extract(bytes, work / "out", &error, "Item",
                        {{"InstallBy", B_STRING_TYPE, "Demo;1.0;;;;"}}, &created))
        << error;
    fs::path out = work / "out";
    EXPECT_EQ(Attr(out, "comment"), std::make_pair(std::string("a folder"), uint32(B_STRING_TYPE)));
    EXPECT_EQ(Attr(out / "run.sh", "run_priority"),
              std::make_pair(priorityBytes, uint32(B_INT32_TYPE)));
    // Types are stored only where the archive carries one; the others are what the
    // content shows, so every node still reads as its type.
    EXPECT_EQ(Type(out / "run.sh"), "application/x-shellscript");
    EXPECT_EQ(Type(out / "page.html"), "text/html");
    EXPECT_EQ(Type(out / "typed"), "application/x-custom");
    EXPECT_EQ(Type(out), B_DIRECTORY_MIME_TYPE);
    EXPECT_EQ(Type(out / "sub"), B_DIRECTORY_MIME_TYPE);
    EXPECT_EQ(Attr(out / "typed", "mime_type").first, "application/x-custom");
    for (const fs::path& node : {out, out / "run.sh", out / "page.html", out / "sub"})
        EXPECT_LT(getxattr(node.c_str(), "user.mime_type", nullptr, 0), 0) << node;
    // A folder made on the way to a file without an entry of its own is tagged too.
    // The run's tag replaces one carried in the archive, and leaves no type companion.
    for (const fs::path& node :
         {out, out / "run.sh", out / "page.html", out / "typed", out / "sub", out / "sub" / "deep"})
        EXPECT_EQ(Attr(node, "InstallBy"),
                  std::make_pair(std::string("Demo;1.0;;;;"), uint32(B_STRING_TYPE)))
            << node;
    EXPECT_LT(getxattr((out / "run.sh").c_str(), "user.tarnw.type.InstallBy", nullptr, 0), 0);
    // Links keep no user attributes on Linux; the link is placed all the same.
    EXPECT_TRUE(fs::is_symlink(out / "link"));
    EXPECT_EQ(created, (std::vector<std::string>{"", "run.sh", "page.html", "typed", "link", "sub",
                                                 "sub/deep"}));
}

TEST(ZipExtraction, MalformedAttributeFieldsAreRefusedAndWriteNothing) {
    fs::path work = Sandbox::MakeFolder("badattributes");
    std::string good = AttributeField({{"a", B_STRING_TYPE, "x"}});
    std::string overrun = good;
    overrun[2] = static_cast<char>(overrun[2] + 4); // the field claims bytes it lacks
    std::string recordOverrun = good;
    recordOverrun[4 + 6] = 9; // the value claims more than the field holds
    struct Case {
        const char* what;
        std::string field;
    };
    std::vector<Case> cases = {
        {"empty name", AttributeField({{"", B_STRING_TYPE, "x"}})},
        {"slash", AttributeField({{"a/b", B_STRING_TYPE, "x"}})},
        {"nul", AttributeField({{std::string("a\0b", 3), B_STRING_TYPE, "x"}})},
        {"companion", AttributeField({{"tarnw.type.a", B_RAW_TYPE, "RAWT"}})},
        {"twice", AttributeField({{"a", B_STRING_TYPE, "x"}, {"a", B_STRING_TYPE, "y"}})},
        {"two fields", good + good},
        {"record overrun", recordOverrun},
        {"cut record", good.substr(0, 2) + std::string("\x05\x00", 2) + good.substr(4, 5)},
        {"field overrun", overrun},
    };
    for (const Case& c : cases) {
        fs::path root = work / c.what;
        fs::create_directories(root);
        std::string bytes =
            Craft(root / "a.zip", {{"Item/", "", 040755}, {"Item/f", "data", 0100644, c.field}});
        std::string error;
        EXPECT_FALSE(Extract(bytes, root / "Item", &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_EQ(Names(root), std::vector<std::string>{"a.zip"}) << c.what << ": " << error;
    }
}

// ---- stricter payloads ----

TEST(ZipExtraction, AmbiguousArchivesAreRefused) {
    fs::path work = Sandbox::MakeFolder("ambiguous");
    struct Case {
        const char* what;
        std::string bytes;
        const char* expected;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"duplicate file",
         Craft(work / "d.zip", {{"Item/", "", 040755}, {"Item/a", "1"}, {"Item/a", "2"}}),
         nullptr});
    cases.push_back({"duplicate spelled differently",
                     Craft(work / "s.zip", {{"Item/a", "1"}, {"Item//./a", "2"}}), nullptr});
    cases.push_back({"file and folder of one name",
                     Craft(work / "f.zip", {{"Item/a", "1"}, {"Item/a/", "", 040755}}), nullptr});
    cases.push_back({"empty resource name", Craft(work / "e.zip", {{"Item", "1"}}), ""});
    // A whole archive in the comment: readers that take the last end record would
    // install the hidden one.
    std::string hidden = Craft(work / "h.zip", {{"Item", "hidden"}});
    std::string outer = Craft(work / "c.zip", {{"Item", "shown"}});
    outer[outer.size() - 2] = static_cast<char>(hidden.size() & 0xff);
    outer[outer.size() - 1] = static_cast<char>(hidden.size() >> 8);
    cases.push_back({"archive in the comment", outer + hidden, nullptr});
    cases.push_back({"end record in the comment",
                     Craft(work / "r.zip", {{"Item", "shown"}}, "PK\x05\x06 is not a comment"),
                     nullptr});
    for (const Case& c : cases) {
        fs::path root = Sandbox::MakeFolder("case");
        std::string error;
        EXPECT_FALSE(Extract(c.bytes, root / "Item", &error, c.expected)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_TRUE(Names(root).empty()) << c.what << ": " << error;
    }
    // A plain comment is fine.
    fs::path root = Sandbox::MakeFolder("comment");
    std::string plain = Craft(work / "p.zip", {{"Item", "shown"}}, "made by hand");
    std::string error;
    ASSERT_TRUE(Extract(plain, root / "Item", &error, "Item")) << error;
    EXPECT_EQ(ReadFile(root / "Item"), "shown");
}

TEST(ZipExtraction, FoldersKeepTheStickyBitAndSetIdBitsAreDropped) {
    fs::path work = Sandbox::MakeFolder("sticky");
    std::string bytes = Craft(work / "s.zip", {{"Item/", "", 041777},
                                               {"Item/spool/", "", 041733},
                                               {"Item/tool", "x", 0106755},
                                               {"Item/setgid/", "", 042755}});
    std::string error;
    ASSERT_TRUE(Extract(bytes, work / "Item", &error)) << error;
    struct stat st;
    ASSERT_EQ(stat((work / "Item").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01777u);
    ASSERT_EQ(stat((work / "Item" / "spool").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01733u);
    ASSERT_EQ(stat((work / "Item" / "tool").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ASSERT_EQ(stat((work / "Item" / "setgid").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

// ---- one pass, several threads ----

// Over an existing folder each file is written under a temporary name; everything about
// it (data, attributes, mode, times) is done before it appears under its own name.
TEST(ZipExtraction, FilesAppearOnlyWhenComplete) {
    fs::path work = Sandbox::MakeFolder("onepass");
    if (!UserAttributesWork(work))
        GTEST_SKIP() << "the sandbox keeps no user attributes";
    std::vector<Crafted> entries = {{"Item/", "", 040755}};
    for (int i = 0; i < 40; ++i)
        entries.push_back({"Item/f" + std::to_string(i), "contents " + std::to_string(i)});
    std::string bytes = Craft(work / "a.zip", entries);
    fs::create_directories(work / "Item");
    int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, (work / "Item").c_str(),
                                IN_ATTRIB | IN_MODIFY | IN_MOVED_TO | IN_CLOSE_WRITE),
              0);
    std::string error;
    ASSERT_TRUE(Extract(bytes, work / "Item", &error, "Item", {{"InstallBy", B_STRING_TYPE, "t"}}))
        << error;
    std::map<std::string, int> placed;
    alignas(inotify_event) char buffer[64 * 1024];
    ssize_t n;
    int events = 0;
    while ((n = read(watch, buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + n;) {
            auto* event = reinterpret_cast<inotify_event*>(p);
            std::string name = event->len > 0 ? event->name : "";
            ++events;
            if (name.rfind("f", 0) == 0) {
                EXPECT_EQ(placed.count(name), 0u) << name << " changed after it was placed";
                if (event->mask & IN_MOVED_TO)
                    placed[name] = 1;
            }
            p += sizeof(inotify_event) + event->len;
        }
    }
    close(watch);
    EXPECT_EQ(placed.size(), 40u);
    for (int i = 0; i < 40; ++i) {
        fs::path file = work / "Item" / ("f" + std::to_string(i));
        EXPECT_EQ(ReadFile(file), "contents " + std::to_string(i));
        EXPECT_EQ(Attr(file, "InstallBy").first, "t");
        EXPECT_EQ(Type(file), "text/plain");
    }
    // No temporary name is left behind.
    EXPECT_EQ(Names(work / "Item").size(), 40u);
}

namespace {

// The names that arrived in folder by a rename, and every name created there, since
// watch began.
struct FolderEvents {
    std::vector<std::string> movedIn;
    std::vector<std::string> created;
};

FolderEvents Drain(int watch) {
    FolderEvents events;
    alignas(inotify_event) char buffer[16 * 1024];
    ssize_t n;
    while ((n = read(watch, buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + n;) {
            auto* event = reinterpret_cast<inotify_event*>(p);
            std::string name = event->len > 0 ? event->name : "";
            if (event->mask & IN_MOVED_TO)
                events.movedIn.push_back(name);
            if (event->mask & IN_CREATE)
                events.created.push_back(name);
            p += sizeof(inotify_event) + event->len;
        }
    }
    return events;
}

bool ExtractInPlace(const std::string& bytes, const fs::path& destination, std::string* error,
                    std::optional<int64_t> accessed = {}, std::optional<int64_t> modified = {}) {
    MemorySource source(bytes.data(), bytes.size());
    ZipExtractor extractor(source);
    extractor.SetWriteInPlace(true);
    extractor.SetItemTimes(accessed, modified);
    extractor.SetAttributes({{"InstallBy", B_STRING_TYPE, "t"}});
    bool ok = extractor.ExtractItem(destination.c_str(), nullptr);
    *error = extractor.Error();
    return ok;
}

} // namespace

// Written in place, a new item appears under its own name straight away (no temporary
// name, no staging folder) with everything it is due: data, tag, mode and the item's own
// times. A name already taken is still replaced whole, and a damaged item leaves nothing.
TEST(ZipExtraction, ItemsWrittenInPlaceGetEverythingAndReplaceWhole) {
    fs::path work = Sandbox::MakeFolder("inplace");
    std::string file = Craft(work / "f.zip", {{"Tool", "tool bytes", 0100750}});
    std::vector<Crafted> tree = {{"Kit/", "", 040755}, {"Kit/lib/a", "a"}, {"Kit/b", "b"}};
    std::string folder = Craft(work / "d.zip", tree);
    tree.push_back({"Kit/lib/c", std::string(200000, 'c')});
    std::string damagedFolder = Craft(work / "x.zip", tree);
    size_t at = damagedFolder.find("Kit/lib/c");
    damagedFolder[at + 9 + 40] = static_cast<char>(damagedFolder[at + 9 + 40] ^ 0x55);
    fs::path out = work / "out";
    fs::create_directories(out);
    int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, out.c_str(), IN_CREATE | IN_MOVED_TO), 0);

    std::string error;
    ASSERT_TRUE(ExtractInPlace(file, out / "Tool", &error, 1000000000, 1200000000)) << error;
    ASSERT_TRUE(ExtractInPlace(folder, out / "Kit", &error, {}, 1300000000)) << error;
    FolderEvents events = Drain(watch);
    EXPECT_TRUE(events.movedIn.empty());
    EXPECT_EQ(events.created, (std::vector<std::string>{"Tool", "Kit"}));
    struct stat st;
    ASSERT_EQ(stat((out / "Tool").c_str(), &st), 0);
    EXPECT_EQ(ReadFile(out / "Tool"), "tool bytes");
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_EQ(st.st_atime, 1000000000);
    EXPECT_EQ(st.st_mtime, 1200000000);
    ASSERT_EQ(stat((out / "Kit").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1300000000);
    EXPECT_EQ(ReadFile(out / "Kit" / "lib" / "a"), "a");
    if (UserAttributesWork(work)) {
        EXPECT_EQ(Attr(out / "Tool", "InstallBy").first, "t");
        EXPECT_EQ(Attr(out / "Kit" / "lib", "InstallBy").first, "t");
    }

    // A second file item of the same name replaces the first in one rename.
    std::string newer = Craft(work / "g.zip", {{"Tool", "newer bytes"}});
    ASSERT_TRUE(ExtractInPlace(newer, out / "Tool", &error)) << error;
    events = Drain(watch);
    EXPECT_EQ(events.movedIn, (std::vector<std::string>{"Tool"}));
    EXPECT_EQ(ReadFile(out / "Tool"), "newer bytes");

    // A damaged folder item leaves nothing of itself; a damaged file item neither.
    EXPECT_FALSE(ExtractInPlace(damagedFolder, out / "Other", &error));
    EXPECT_NE(error.find("Kit/lib/c"), std::string::npos) << error;
    std::string damagedFile = Craft(work / "y.zip", {{"Big", std::string(300000, 'q')}});
    damagedFile[damagedFile.find("Big") + 3 + 30] ^= 0x55;
    EXPECT_FALSE(ExtractInPlace(damagedFile, out / "Big", &error));
    EXPECT_EQ(Names(out), (std::vector<std::string>{"Kit", "Tool"}));
    close(watch);
}

// Many files of every size, unpacked on several threads: each gets exactly its bytes,
// the paths are told in archive order, and of several damaged entries the first in the
// archive is the one reported.
TEST(ZipExtraction, ParallelUnpackingKeepsOrderAndReportsTheFirstFailure) {
    fs::path work = Sandbox::MakeFolder("parallel");
    fs::path item = work / "source" / "Item";
    std::vector<std::string> expected = {""};
    for (int folder = 0; folder < 4; ++folder) {
        std::string sub = "d" + std::to_string(folder);
        fs::create_directories(item / sub);
        expected.push_back(sub);
        for (int i = 0; i < 60; ++i) {
            // Mostly small, some over the whole-buffer limit, some stored.
            size_t size = i % 20 == 7 ? 1500000 + i : static_cast<size_t>(i * 97 % 5000);
            std::string data = i % 3 == 0 ? Noise(size, static_cast<uint32_t>(folder * 100 + i))
                                          : std::string(size, static_cast<char>('a' + i % 26));
            char leaf[16];
            snprintf(leaf, sizeof leaf, "f%03d", i);
            WriteFile(item / sub / leaf, data);
            expected.push_back(sub + "/" + leaf);
        }
    }
    int fd = open((work / "p.zip").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ZipPacker packer;
    ASSERT_TRUE(packer.Pack(item.c_str(), "Item", fd, 6)) << packer.Error();
    close(fd);
    std::string bytes = ReadFile(work / "p.zip");
    std::string error;
    std::vector<std::string> created;
    for (int round = 0; round < 3; ++round) {
        fs::path out = Sandbox::MakeFolder("out") / "Item";
        ASSERT_TRUE(Extract(bytes, out, &error, "Item", {}, &created)) << error;
        EXPECT_EQ(created, expected);
        for (const std::string& path : expected) {
            if (fs::is_regular_file(item / path)) {
                ASSERT_TRUE(ReadFile(item / path) == ReadFile(out / path)) << path;
            }
        }
    }

    // Damage two files' data, the later one in a small entry that finishes first.
    std::string damaged = bytes;
    for (const char* name : {"Item/d1/f007", "Item/d3/f050"}) {
        size_t at = damaged.find(name);
        ASSERT_NE(at, std::string::npos);
        // The first occurrence is the local header; its data follows name and extra.
        size_t extra = static_cast<unsigned char>(damaged[at - 2]) |
                       static_cast<unsigned char>(damaged[at - 1]) << 8;
        size_t data = at + strlen(name) + extra;
        damaged[data + 10] = static_cast<char>(damaged[data + 10] ^ 0x5a);
    }
    fs::path root = Sandbox::MakeFolder("damaged");
    EXPECT_FALSE(Extract(damaged, root / "Item", &error, "Item"));
    EXPECT_NE(error.find("Item/d1/f007"), std::string::npos) << error;
    EXPECT_TRUE(Names(root).empty());
}

namespace {

long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

} // namespace

// A large item is streamed through bounded buffers; the process's peak memory grows by
// far less than the item (a loose bound: the benchmark measures a 1 GiB item).
// A large file's pieces are inflated apart on several threads, trusting nothing: a table
// that does not add up is ignored (the file is read as one stream), and pieces that do
// not inflate as their table says, or damaged bytes, refuse the archive and leave nothing.
TEST(ZipExtraction, PiecesOfALargeFileAreInflatedApartAndChecked) {
    fs::path work = Sandbox::MakeFolder("pieces");
    std::string content;
    for (int i = 0; content.size() < 5 * 1024 * 1024 + 321; ++i)
        content += i % 3 == 0 ? Noise(4096, uint32_t(i)) : "text line " + std::to_string(i) + "\n";
    WriteFile(work / "Item", content);
    int fd = open((work / "a.zip").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ZipPacker packer;
    ASSERT_TRUE(packer.Pack((work / "Item").c_str(), "Item", fd, 6)) << packer.Error();
    close(fd);
    const std::string bytes = ReadFile(work / "a.zip");
    // Where the piece table's sizes lie in the archive.
    MemorySource source(bytes.data(), bytes.size());
    ZipDirectory directory(source);
    ZipDirectory::Entry entry;
    ASSERT_TRUE(directory.Open() && directory.Next(entry));
    size_t at = zipformat::PieceSizesOffset(entry.extra.data(), entry.extra.size());
    ASSERT_NE(at, SIZE_MAX);
    size_t table = size_t(entry.central) + 46 + entry.name.size() + at;
    auto sizeAt = [&](const std::string& b, size_t i) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(b.data()) + table + 4 * i;
        return uint32_t(p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24);
    };
    auto setSize = [&](std::string& b, size_t i, uint32_t v) {
        for (int k = 0; k < 4; ++k)
            b[table + 4 * i + k] = char(v >> (8 * k));
    };

    std::string error;
    ASSERT_TRUE(Extract(bytes, work / "whole", &error, "Item")) << error;
    EXPECT_TRUE(ReadFile(work / "whole") == content);

    // An empty table (as a packer leaves one it could not fill in) is no table.
    std::string empty = bytes;
    for (size_t i = 0; i < 6; ++i)
        setSize(empty, i, 0);
    ASSERT_TRUE(Extract(empty, work / "empty", &error, "Item")) << error;
    EXPECT_TRUE(ReadFile(work / "empty") == content);

    // Two sizes moved by a byte: the sum holds, the pieces no longer end where they should.
    std::string shifted = bytes;
    setSize(shifted, 1, sizeAt(bytes, 1) + 1);
    setSize(shifted, 2, sizeAt(bytes, 2) - 1);
    EXPECT_FALSE(Extract(shifted, work / "shifted", &error, "Item"));
    EXPECT_NE(error.find("is damaged"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(work / "shifted"));

    // A damaged byte in the middle of the third piece.
    std::string damaged = bytes;
    const unsigned char* local =
        reinterpret_cast<const unsigned char*>(bytes.data()) + entry.localHeader;
    size_t data = size_t(entry.localHeader) + 30 + size_t(local[26] | local[27] << 8) +
                  size_t(local[28] | local[29] << 8);
    size_t third = data + sizeAt(bytes, 0) + sizeAt(bytes, 1) + sizeAt(bytes, 2) / 2;
    damaged[third + 40] ^= 0x55;
    EXPECT_FALSE(Extract(damaged, work / "damaged", &error, "Item"));
    EXPECT_FALSE(fs::exists(work / "damaged"));
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(work))
        left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Item", "a.zip", "empty", "whole"}));
}

TEST(ZipExtraction, ALargeItemUnpacksInBoundedMemory) {
    fs::path work = Sandbox::MakeFolder("large");
    auto resetPeak = [] {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5";
        reset.close();
        return static_cast<bool>(reset);
    };
    if (!resetPeak())
        GTEST_SKIP() << "the peak memory cannot be reset here";
    // Packed from a sparse file, so the source takes no disk.
    fs::path source = work / "Big";
    int fd = open(source.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_EQ(ftruncate(fd, 192 << 20), 0);
    pwrite(fd, "end", 3, (192 << 20) - 3);
    close(fd);
    fd = open((work / "b.zip").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    ZipPacker packer;
    ASSERT_TRUE(packer.Pack(source.c_str(), "Big", fd, 1)) << packer.Error();
    fs::remove(source);
    resetPeak();
    long before = PeakKilobytes();
    FileRegionSource region(fd, 0, lseek(fd, 0, SEEK_END));
    ZipExtractor extractor(region);
    fs::create_directories(work / "out");
    ASSERT_TRUE(extractor.ExtractItem((work / "out" / "Big").c_str(), "Big")) << extractor.Error();
    close(fd);
    long after = PeakKilobytes();
    EXPECT_EQ(fs::file_size(work / "out" / "Big"), 192u << 20);
    EXPECT_LT(after - before, 64 * 1024)
        << "peak grew from " << before << " to " << after << " KiB";
    fs::remove(work / "out" / "Big");
}
