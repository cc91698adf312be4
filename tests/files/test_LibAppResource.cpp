// Payload entries in and out of a program's resources, and the typed look-ups.

#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files/LibAppResource.h"
#include "platform/storage/AppFileInfo.h"
#include "platform/storage/File.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Path.h"
#include "support/Sandbox.h"

extern char** environ;

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

// A real program to carry resources; it must still run afterwards.
fs::path MakeProgram(const fs::path& folder) {
    fs::path program = folder / "installer";
    fs::copy_file("/bin/true", program);
    return program;
}

int Exec(const fs::path& program) {
    std::string path = program.string();
    char* argv[] = {path.data(), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

size_t CountEntries(const fs::path& folder) {
    if (!fs::exists(folder))
        return 0;
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

} // namespace

TEST(LibAppResource, PayloadEntriesRoundTripThroughTheProgramFile) {
    fs::path work = Sandbox::MakeFolder("payload");
    fs::path program = MakeProgram(work);
    fs::create_directories(work / "Product" / "bin");
    std::string big(40000, 'x');
    WriteFile(work / "Product" / "bin" / "tool", big);
    chmod((work / "Product" / "bin" / "tool").c_str(), 0755);
    fs::create_symlink("bin/tool", work / "Product" / "run");
    {
        LibAppResource resources(program.c_str(), B_READ_WRITE);
        ASSERT_TRUE(resources.IsAttached());
        ASSERT_TRUE(resources.AddEntry((work / "Product").c_str(), 2100, "Product", 9))
            << resources.LastError();
        // Packing again under the same id replaces the entry.
        ASSERT_TRUE(resources.AddEntry((work / "Product").c_str(), 2100, "Product", 1))
            << resources.LastError();
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    EXPECT_EQ(Exec(program), 0);

    BPath temp;
    find_directory(B_COMMON_TEMP_DIRECTORY, &temp, true);
    size_t tempBefore = CountEntries(temp.Path());

    LibAppResource resources(program.c_str(), B_READ_ONLY);
    int32 count = 0;
    for (int32 i = 0; i < 100; ++i) {
        type_code type;
        int32 id;
        const char* name;
        size_t size;
        if (resources.GetResourceInfo(i, &type, &id, &name, &size) && type == B_RAW_TYPE)
            ++count;
    }
    EXPECT_EQ(count, 1);

    fs::create_directory(work / "install");
    ASSERT_TRUE(resources.ExtractEntry(2100, (work / "install" / "Product").c_str(), true))
        << resources.LastError();
    EXPECT_EQ(ReadFile(work / "install" / "Product" / "bin" / "tool"), big);
    EXPECT_TRUE(fs::is_symlink(work / "install" / "Product" / "run"));
    EXPECT_EQ(fs::status(work / "install" / "Product" / "bin" / "tool").permissions() &
                  fs::perms::owner_exec,
              fs::perms::owner_exec);

    // Unpacking off: the entry's bytes as they are.
    ASSERT_TRUE(resources.ExtractEntry(2100, (work / "install" / "raw.zip").c_str(), false));
    size_t size = 0;
    void* bytes = resources.FindResource(B_RAW_TYPE, 2100, &size);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(ReadFile(work / "install" / "raw.zip"), std::string(static_cast<char*>(bytes), size));
    free(bytes);

    // A missing entry installs nothing and is not an error; no temporary file either. The
    // checked call tells it apart from an item put in place.
    EXPECT_TRUE(resources.ExtractEntry(2999, (work / "install" / "none").c_str(), true));
    Result<LibAppResource::Extracted> missing = resources.ExtractEntry(
        2999, (work / "install" / "none").c_str(), LibAppResource::ExtractOptions{});
    ASSERT_TRUE(missing);
    EXPECT_EQ(*missing, LibAppResource::Extracted::NoSuchPayload);
    EXPECT_FALSE(fs::exists(work / "install" / "none"));
    EXPECT_EQ(CountEntries(temp.Path()), tempBefore);
}

// The run's attributes go on what one extraction unpacks, and only on that; the paths it
// made are told; an entry without a name matches no item.
TEST(LibAppResource, EntryAttributesAndExtractedPathsBelongToOneExtraction) {
    fs::path work = Sandbox::MakeFolder("tagged");
    fs::path program = MakeProgram(work);
    fs::create_directories(work / "Product" / "docs");
    WriteFile(work / "Product" / "docs" / "read.txt", "read me\n");
    {
        LibAppResource resources(program.c_str(), B_READ_WRITE);
        ASSERT_TRUE(resources.AddEntry((work / "Product").c_str(), 2100, "Product", 6))
            << resources.LastError();
        ASSERT_EQ(resources.Sync(), B_OK);
        // The same archive as an entry without a name.
        size_t size = 0;
        void* bytes = resources.FindResource(B_RAW_TYPE, 2100, &size);
        ASSERT_NE(bytes, nullptr);
        ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 2101, bytes, size, ""), B_OK);
        free(bytes);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    LibAppResource resources(program.c_str(), B_READ_ONLY);
    fs::create_directory(work / "install");
    LibAppResource::ExtractOptions tagged;
    tagged.attributes = {{"InstallBy", B_STRING_TYPE, "Product;1;;;;"}};
    Result<LibAppResource::Extracted> placed =
        resources.ExtractEntry(2100, (work / "install" / "Product").c_str(), tagged);
    ASSERT_TRUE(placed) << placed.Error().Text();
    EXPECT_EQ(*placed, LibAppResource::Extracted::Placed);
    EXPECT_EQ(resources.ExtractedPaths(), (std::vector<std::string>{"", "docs", "docs/read.txt"}));
    char tag[32] = {};
    ssize_t n = getxattr((work / "install" / "Product" / "docs" / "read.txt").c_str(),
                         "user.InstallBy", tag, sizeof tag - 1);
    if (n >= 0 || errno != ENOTSUP) {
        EXPECT_STREQ(tag, "Product;1;;;;");
        ASSERT_TRUE(resources.ExtractEntry(2100, (work / "install" / "Again").c_str(), true))
            << resources.LastError();
        EXPECT_LT(getxattr((work / "install" / "Again").c_str(), "user.InstallBy", tag, sizeof tag),
                  0);
    }
    EXPECT_FALSE(resources.ExtractEntry(2101, (work / "install" / "Unnamed").c_str(), true));
    EXPECT_FALSE(fs::exists(work / "install" / "Unnamed"));
}

TEST(LibAppResource, DamagedEntryIsReportedAndLeavesNothing) {
    fs::path work = Sandbox::MakeFolder("damaged");
    fs::path program = MakeProgram(work);
    {
        LibAppResource resources(program.c_str(), B_READ_WRITE);
        std::string junk = "PK\3\4 this is not really an archive";
        ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 2101, junk.data(), junk.size(), "Item"), B_OK);
    }
    LibAppResource resources(program.c_str(), B_READ_ONLY);
    fs::create_directory(work / "install");
    EXPECT_FALSE(resources.ExtractEntry(2101, (work / "install" / "Item").c_str(), true));
    EXPECT_STRNE(resources.LastError(), "");
    Result<LibAppResource::Extracted> damaged = resources.ExtractEntry(
        2101, (work / "install" / "Item").c_str(), LibAppResource::ExtractOptions{});
    ASSERT_FALSE(damaged);
    EXPECT_EQ(damaged.Error().path, (work / "install" / "Item").string());
    EXPECT_EQ(damaged.Error().reason, resources.LastError());
    EXPECT_EQ(CountEntries(work / "install"), 0u);
}

TEST(LibAppResource, UnattachedObjectFindsNothing) {
    fs::path work = Sandbox::MakeFolder("unattached");
    LibAppResource resources((work / "missing").c_str(), B_READ_ONLY);
    EXPECT_FALSE(resources.IsAttached());
    EXPECT_EQ(resources.FindString(2002), nullptr);
    EXPECT_TRUE(resources.ExtractEntry(2100, (work / "x").c_str(), true));
    Result<LibAppResource::Extracted> none =
        resources.ExtractEntry(2100, (work / "x").c_str(), LibAppResource::ExtractOptions{});
    ASSERT_TRUE(none);
    EXPECT_EQ(*none, LibAppResource::Extracted::NoSuchPayload);
    EXPECT_FALSE(fs::exists(work / "x"));
    EXPECT_FALSE(resources.AddEntry(work.c_str(), 2100, "x", 9));
}

TEST(LibAppResource, TypedLookupsNeedTheExactSize) {
    fs::path work = Sandbox::MakeFolder("typed");
    fs::path program = MakeProgram(work);
    LibAppResource resources(program.c_str(), B_READ_WRITE);
    int64 eight = 5;
    int32 four = -9;
    resources.AddResource(B_INT32_TYPE, 1, &eight, sizeof(eight));
    resources.AddResource(B_INT32_TYPE, 2, &four, sizeof(four));
    resources.AddResource(B_STRING_TYPE, 3, "", 0);
    resources.AddResource(B_STRING_TYPE, 4, "hello", 5);
    float edges[4] = {1, 2, 30, 40};
    resources.AddResource(B_RECT_TYPE, 5, edges, sizeof(edges));
    ASSERT_EQ(resources.Sync(), B_OK);

    int32 out = 77;
    EXPECT_FALSE(LibFindLongResource(resources, 1, out));
    EXPECT_EQ(out, 77);
    EXPECT_TRUE(LibFindLongResource(resources, 2, out));
    EXPECT_EQ(out, -9);
    EXPECT_EQ(resources.FindString(3), nullptr);
    std::unique_ptr<char[]> text = resources.FindString(4);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text.get(), "hello");
    char buffer[16] = "junk";
    EXPECT_TRUE(LibFindStringResource(resources, 3, buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(LibFindStringResource(resources, 99, buffer));
    BRect rect;
    EXPECT_TRUE(LibFindRectResource(resources, 5, rect));
    EXPECT_EQ(rect.right, 30);

    // A copy carries the bytes and the name.
    fs::path other = work / "other";
    fs::copy_file("/bin/true", other);
    LibAppResource target(other.c_str(), B_READ_WRITE);
    resources.AddResource(B_STRING_TYPE, 2002, "config", 6, "TWC:configuration");
    ASSERT_EQ(resources.Sync(), B_OK);
    EXPECT_TRUE(resources.CopyResource(2002, B_STRING_TYPE, target));
    ASSERT_EQ(target.Sync(), B_OK);
    const char* name = nullptr;
    size_t size = 0;
    ASSERT_TRUE(target.GetResourceInfo(B_STRING_TYPE, 2002, &name, &size));
    EXPECT_STREQ(name, "TWC:configuration");
    EXPECT_EQ(size, 6u);
}

TEST(LibAppResource, VersionTexts) {
    fs::path work = Sandbox::MakeFolder("version");
    fs::path program = MakeProgram(work);
    auto stamp = [&](uint32 variety, uint32 internal) {
        BFile file(program.c_str(), B_READ_WRITE);
        BAppFileInfo info(&file);
        version_info version = {};
        version.major = 1;
        version.middle = 3;
        version.minor = 1;
        version.variety = variety;
        version.internal = internal;
        ASSERT_EQ(info.SetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
    };
    EXPECT_STREQ(LibGetAppVersion(program.c_str()), "");
    stamp(2, 4);
    EXPECT_STREQ(LibGetAppVersion(program.c_str()), "1.3.1 Beta 4");
    stamp(5, 0);
    EXPECT_STREQ(LibGetAppVersion(program.c_str()), "1.3.1");
    stamp(0, 12);
    EXPECT_STREQ(LibGetAppVersion(program.c_str()), "1.3.1 Dev 12");
}
