#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/storage/Crc32.h"
#include "platform/storage/File.h"
#include "platform/storage/ResourceFormat.h"
#include "platform/storage/Resources.h"
#include "support/Sandbox.h"

extern char** environ;

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

fs::path CopyOfTrue() {
    fs::path path = Sandbox::MakeFolder("res") / "program";
    fs::copy_file("/bin/true", path);
    return path;
}

int RunProgram(const fs::path& program) {
    char* args[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, args, environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Text(const void* data, size_t size) {
    return std::string(static_cast<const char*>(data), size);
}

long MaxRssKiB() {
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

TEST(Resources, ProgramKeepsRunningWithResourcesAddedAndRemoved) {
    fs::path path = CopyOfTrue();
    const uintmax_t imageSize = fs::file_size(path);
    chmod(path.c_str(), 0751);
    setxattr(path.c_str(), "user.language", "de", 2, 0);
    {
        BFile file(path.c_str(), B_READ_WRITE);
        BResources resources(&file);
        ASSERT_EQ(resources.InitCheck(), B_OK);
        EXPECT_FALSE(resources.HasResource(B_STRING_TYPE, 2002));
        ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 2002, "config", 7, "TWC:configuration"),
                  B_OK);
        ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 2100, "zipbytes", 8, "readme.txt"), B_OK);
        ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 1, "Install", 8, "en:1007"), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    EXPECT_EQ(RunProgram(path), 0);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, static_cast<fs::perms>(0751));
    char language[4] = {};
    EXPECT_EQ(getxattr(path.c_str(), "user.language", language, 3), 2) << "attributes kept";
    // No temporary file is left beside the program.
    EXPECT_EQ(std::distance(fs::directory_iterator(path.parent_path()), fs::directory_iterator()),
              1);

    {
        BFile file(path.c_str(), B_READ_ONLY);
        BResources resources(&file);
        ASSERT_EQ(resources.InitCheck(), B_OK);
        size_t size = 0;
        const void* config = resources.LoadResource(B_STRING_TYPE, 2002, &size);
        ASSERT_NE(config, nullptr);
        EXPECT_EQ(Text(config, size), std::string("config", 7));
        void* byName = resources.FindResource(B_STRING_TYPE, "en:1007", &size);
        ASSERT_NE(byName, nullptr);
        EXPECT_STREQ(static_cast<char*>(byName), "Install");
        free(byName);
        int32 id = 0;
        EXPECT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, "readme.txt", &id, &size));
        EXPECT_EQ(id, 2100);
        EXPECT_EQ(size, 8u);
        type_code type;
        const char* name;
        ASSERT_TRUE(resources.GetResourceInfo(1, &type, &id, &name, &size));
        EXPECT_EQ(type, static_cast<type_code>(B_RAW_TYPE));
        EXPECT_STREQ(name, "readme.txt");
        EXPECT_FALSE(resources.GetResourceInfo(3, &type, &id, &name, &size));
        ASSERT_TRUE(resources.GetResourceInfo(config, &type, &id, &size, &name));
        EXPECT_EQ(id, 2002);
        // The payload can be read straight from the file.
        off_t offset, length;
        ASSERT_EQ(resources.GetResourceLocation(B_RAW_TYPE, 2100, &offset, &length), B_OK);
        EXPECT_GE(static_cast<uintmax_t>(offset), imageSize);
        EXPECT_EQ(ReadFile(path).substr(static_cast<size_t>(offset), static_cast<size_t>(length)),
                  "zipbytes");
        // Read-only resources refuse changes.
        EXPECT_EQ(resources.AddResource(B_RAW_TYPE, 9, "x", 1), B_NOT_ALLOWED);
    }

    {
        BFile file(path.c_str(), B_READ_WRITE);
        BResources resources(&file);
        ASSERT_EQ(resources.RemoveResource(B_RAW_TYPE, 2100), B_OK);
        EXPECT_EQ(resources.RemoveResource(B_RAW_TYPE, 2100), B_BAD_VALUE);
        // Replacing keeps one resource per type and id.
        ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 2002, "newer", 6, "TWC:configuration"),
                  B_OK);
    } // written by the destructor
    {
        BFile file(path.c_str(), B_READ_ONLY);
        BResources resources(&file);
        EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 2100));
        EXPECT_TRUE(resources.HasResource(B_STRING_TYPE, "en:1007"));
        size_t size = 0;
        const void* config = resources.LoadResource(B_STRING_TYPE, 2002, &size);
        ASSERT_NE(config, nullptr);
        EXPECT_EQ(Text(config, size), std::string("newer", 6));
        int32 count = 0;
        while (resources.GetResourceInfo(count, nullptr, nullptr, nullptr, nullptr))
            ++count;
        EXPECT_EQ(count, 2);
    }
    EXPECT_EQ(RunProgram(path), 0);

    // Removing everything gives back the bare program.
    {
        BFile file(path.c_str(), B_READ_WRITE);
        BResources resources(&file);
        resources.RemoveResource(B_STRING_TYPE, 2002);
        resources.RemoveResource(B_STRING_TYPE, 1);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    EXPECT_EQ(fs::file_size(path), imageSize);
    EXPECT_EQ(ReadFile(path), ReadFile("/bin/true"));
}

TEST(Resources, PartialReadsAndWritesInsideAResource) {
    fs::path path = Sandbox::MakeFolder("res") / "plain";
    WriteFile(path, "not a program");
    BFile file(path.c_str(), B_READ_WRITE);
    BResources resources(&file);
    ASSERT_EQ(resources.InitCheck(), B_OK);
    ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 2001, "0123456789", 10, "deinstall"), B_OK);
    ASSERT_EQ(resources.Sync(), B_OK);
    // Written in pieces, as a packer does with a big archive.
    ASSERT_EQ(resources.WriteResource(B_RAW_TYPE, 2001, "abc", 8, 3), B_OK);
    EXPECT_EQ(resources.WriteResource(B_RAW_TYPE, 7, "abc", 0, 3), B_BAD_VALUE);
    char buffer[16] = {};
    size_t got = 0;
    ASSERT_EQ(resources.ReadResource(B_RAW_TYPE, 2001, buffer, 6, 16, &got), B_OK);
    EXPECT_EQ(std::string(buffer, got), "67abc");
    ASSERT_EQ(resources.Sync(), B_OK);
    ASSERT_EQ(resources.ReadResource(B_RAW_TYPE, 2001, buffer, 0, 4, &got), B_OK);
    EXPECT_EQ(std::string(buffer, got), "0123");
    EXPECT_EQ(resources.ReadResource(B_RAW_TYPE, 2001, buffer, 50, 4, &got), B_OK);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(resources.VerifyResource(B_RAW_TYPE, 2001), B_OK);
    // The file before the container is untouched.
    EXPECT_EQ(ReadFile(path).substr(0, 13), "not a program");
}

TEST(Resources, StreamedFromAFileAndAPipe) {
    fs::path folder = Sandbox::MakeFolder("res");
    fs::path path = folder / "plain";
    WriteFile(path, "head");
    std::string payload(300000, '\0');
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>(i * 7 + i / 251);
    WriteFile(folder / "payload.zip", payload);
    {
        BFile file(path.c_str(), B_READ_WRITE);
        BResources resources(&file);
        ASSERT_EQ(resources.AddResourceFromFile(B_RAW_TYPE, 2100, (folder / "payload.zip").c_str(),
                                                "payload"),
                  B_OK);
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        ASSERT_EQ(write(pipeFds[1], "streamed bytes", 14), 14);
        close(pipeFds[1]);
        ASSERT_EQ(resources.AddResourceFromStream(B_RAW_TYPE, 2101, pipeFds[0], "stream"), B_OK);
        close(pipeFds[0]);
        EXPECT_EQ(resources.ResourceSize(B_RAW_TYPE, 2100), 300000);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    BFile file(path.c_str(), B_READ_ONLY);
    BResources resources(&file);
    size_t size;
    void* data = resources.FindResource(B_RAW_TYPE, "payload", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Text(data, size), payload);
    free(data);
    const void* streamed = resources.LoadResource(B_RAW_TYPE, 2101, &size);
    ASSERT_NE(streamed, nullptr);
    EXPECT_EQ(Text(streamed, size), "streamed bytes");
}

TEST(Resources, GigabytePayloadWithBoundedMemory) {
    fs::path folder = Sandbox::MakeFolder("big");
    fs::path source = folder / "payload";
    const off_t kSize = off_t(1) << 30;
    {
        // Sparse, with a few marked places to read back.
        int fd = open(source.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, kSize), 0);
        for (off_t mark : {off_t(0), kSize / 2 + 12345, kSize - 8})
            ASSERT_EQ(pwrite(fd, "MARKMARK", 8, mark), 8);
        close(fd);
    }
    fs::path program = folder / "installer";
    fs::copy_file("/bin/true", program);
    long before = MaxRssKiB();
    {
        BFile file(program.c_str(), B_READ_WRITE);
        BResources resources(&file);
        ASSERT_EQ(resources.AddResourceFromFile(B_RAW_TYPE, 2100, source.c_str(), "payload"), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    BFile file(program.c_str(), B_READ_ONLY);
    BResources resources(&file);
    ASSERT_EQ(resources.ResourceSize(B_RAW_TYPE, 2100), kSize);
    char buffer[8];
    size_t got;
    for (off_t mark : {off_t(0), kSize / 2 + 12345, kSize - 8}) {
        ASSERT_EQ(resources.ReadResource(B_RAW_TYPE, 2100, buffer, mark, 8, &got), B_OK);
        EXPECT_EQ(std::string(buffer, got), "MARKMARK") << mark;
    }
    ASSERT_EQ(resources.ReadResource(B_RAW_TYPE, 2100, buffer, 4096, 8, &got), B_OK);
    EXPECT_EQ(std::string(buffer, got), std::string(8, '\0'));
    EXPECT_LT(MaxRssKiB() - before, 64 * 1024) << "KiB of peak memory grew while copying 1 GiB";
    EXPECT_EQ(RunProgram(program), 0);
}

namespace {

// A file with a program part and a small valid container, and its layout.
struct Fixture {
    fs::path path;
    std::string bytes;
};

Fixture MakeContainer() {
    Fixture f;
    f.path = Sandbox::MakeFolder("hostile") / "file";
    WriteFile(f.path, "IMAGE");
    {
        BFile file(f.path.c_str(), B_READ_WRITE);
        BResources resources(&file);
        resources.AddResource(B_RAW_TYPE, 1, "first", 5, "one");
        resources.AddResource(B_RAW_TYPE, 2, "second", 6, "two");
        resources.Sync();
    }
    f.bytes = ReadFile(f.path);
    return f;
}

status_t OpenAfter(const Fixture& f, const std::string& bytes) {
    WriteFile(f.path, bytes);
    BFile file(f.path.c_str(), B_READ_WRITE);
    BResources resources(&file);
    return resources.InitCheck();
}

void PutLE32(std::string& s, size_t at, uint32 v) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>(v >> (8 * i));
}

} // namespace

TEST(Resources, DamagedContainersAreRefusedAndLeftAlone) {
    Fixture f = MakeContainer();
    ASSERT_EQ(OpenAfter(f, f.bytes), B_OK);
    const size_t trailer = f.bytes.size() - resource_format::kTrailerSize;

    std::string bad = f.bytes;
    bad[trailer + 12] ^= 1; // count, without fixing the trailer's CRC
    EXPECT_EQ(OpenAfter(f, bad), B_BAD_DATA);
    EXPECT_EQ(ReadFile(f.path), bad) << "a refused container is never rewritten";

    bad = f.bytes;
    bad[trailer - 3] ^= 0x40; // inside the index: its CRC no longer matches
    EXPECT_EQ(OpenAfter(f, bad), B_BAD_DATA);

    // An index whose entry points past the data, with every CRC made to match.
    bad = f.bytes;
    uint64 indexOffset = 0;
    for (int i = 0; i < 8; ++i)
        indexOffset |= uint64(uint8(bad[trailer + 24 + i])) << (8 * i);
    PutLE32(bad, static_cast<size_t>(indexOffset) + 8, 0x7fffffff);
    size_t indexSize = trailer - static_cast<size_t>(indexOffset);
    PutLE32(bad, trailer + 36, crc32_update(0, bad.data() + indexOffset, indexSize));
    PutLE32(bad, trailer + 40, crc32_update(0, bad.data() + trailer, 40));
    EXPECT_EQ(OpenAfter(f, bad), B_BAD_DATA);

    // Truncated: the trailer is gone, so this is a file without resources.
    EXPECT_EQ(OpenAfter(f, f.bytes.substr(0, f.bytes.size() - 1)), B_OK);

    // Damaged resource bytes are noticed when the whole resource is read.
    bad = f.bytes;
    size_t at = bad.find("second");
    bad[at] = 'S';
    WriteFile(f.path, bad);
    BFile file(f.path.c_str(), B_READ_ONLY);
    BResources resources(&file);
    ASSERT_EQ(resources.InitCheck(), B_OK);
    size_t size;
    EXPECT_EQ(resources.LoadResource(B_RAW_TYPE, 2, &size), nullptr);
    EXPECT_EQ(resources.FindResource(B_RAW_TYPE, 2, &size), nullptr);
    EXPECT_EQ(resources.VerifyResource(B_RAW_TYPE, 2), B_BAD_DATA);
    EXPECT_NE(resources.LoadResource(B_RAW_TYPE, 1, &size), nullptr);
}

TEST(Resources, ALargeResourceCheckedInHalvesFindsAChangedByteInEither) {
    std::string data(40u << 20, '\0');
    for (size_t i = 0; i < data.size(); i++)
        data[i] = char((i * 2654435761u) >> 13);
    EXPECT_EQ(crc32_combine_lengths(crc32_update(0, data.data(), 1000),
                                    crc32_update(0, data.data() + 1000, data.size() - 1000),
                                    data.size() - 1000),
              crc32_update(0, data.data(), data.size()));
    fs::path path = Sandbox::MakeFolder("halves") / "program";
    WriteFile(path, "#!/bin/sh\n");
    {
        BFile file(path.c_str(), B_READ_WRITE);
        BResources resources(&file);
        ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 7, data.data(), data.size(), "big"), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    std::string whole = ReadFile(path);
    size_t start = whole.find(data.substr(0, 64));
    ASSERT_NE(start, std::string::npos);
    for (size_t at : {size_t(0), data.size() / 2 - 1, data.size() / 2, data.size() - 1}) {
        std::string bytes = whole;
        for (bool changed : {false, true}) {
            if (changed)
                bytes[start + at] ^= 0x10;
            WriteFile(path, bytes);
            BFile file(path.c_str(), B_READ_ONLY);
            BResources resources(&file);
            ASSERT_EQ(resources.InitCheck(), B_OK);
            EXPECT_EQ(resources.VerifyResource(B_RAW_TYPE, 7), changed ? B_BAD_DATA : B_OK)
                << "byte " << at;
        }
    }
}

TEST(Resources, ClobberStartsAnEmptyContainer) {
    Fixture f = MakeContainer();
    std::string bad = f.bytes;
    bad[bad.size() - resource_format::kTrailerSize - 2] ^= 1;
    WriteFile(f.path, bad);
    {
        BFile file(f.path.c_str(), B_READ_WRITE);
        BResources resources(&file, true);
        ASSERT_EQ(resources.InitCheck(), B_OK);
        EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 1));
        ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 3, "third", 5, "three"), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    BFile file(f.path.c_str(), B_READ_ONLY);
    BResources resources(&file);
    ASSERT_EQ(resources.InitCheck(), B_OK);
    EXPECT_TRUE(resources.HasResource(B_RAW_TYPE, "three"));
    EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 1));
    EXPECT_EQ(ReadFile(f.path).substr(0, 5), "IMAGE");
}

TEST(Resources, SourceThatShrankFailsTheWriteAndKeepsTheOriginal) {
    fs::path folder = Sandbox::MakeFolder("shrink");
    fs::path path = folder / "program";
    WriteFile(path, "IMAGE");
    WriteFile(folder / "payload", std::string(10000, 'p'));
    BFile file(path.c_str(), B_READ_WRITE);
    BResources resources(&file);
    ASSERT_EQ(resources.AddResourceFromFile(B_RAW_TYPE, 2100, (folder / "payload").c_str()), B_OK);
    fs::resize_file(folder / "payload", 100);
    EXPECT_EQ(resources.Sync(), B_IO_ERROR);
    EXPECT_EQ(ReadFile(path), "IMAGE");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)
        << "no temporary file is left behind";
}

TEST(Resources, ProgramFileWrittenWholeFromAnImageAndResources) {
    fs::path source = CopyOfTrue();
    {
        BFile file(source.c_str(), B_READ_WRITE);
        BResources resources(&file);
        ASSERT_EQ(resources.AddResource('TEST', 7, "old", 3, "old"), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    BFile sourceFile(source.c_str(), B_READ_ONLY);
    BResources sourceResources(&sourceFile);
    const off_t image = sourceResources.ContainerStart();
    ASSERT_EQ(uintmax_t(image), fs::file_size("/bin/true"));

    fs::path folder = Sandbox::MakeFolder("placed");
    fs::path target = folder / "copy";
    WriteFile(target, "an older file in the way");
    int fd = open(source.c_str(), O_RDONLY);
    std::vector<NewResource> parts = {{'ROLE', 1, "role", "deinstaller"},
                                      {B_STRING_TYPE, 2, "text", std::string(100000, 'x')}};
    ASSERT_EQ(write_program_file(target.c_str(), fd, image, parts, 0750), B_OK);

    // The image comes over byte for byte, the old container does not, and the result runs.
    EXPECT_EQ(ReadFile(target).substr(0, size_t(image)), ReadFile("/bin/true"));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0750));
    EXPECT_EQ(RunProgram(target), 0);
    BFile placed(target.c_str(), B_READ_ONLY);
    BResources placedResources(&placed);
    size_t size = 0;
    const void* role = placedResources.LoadResource('ROLE', 1, &size);
    ASSERT_NE(role, nullptr);
    EXPECT_EQ(Text(role, size), "deinstaller");
    EXPECT_EQ(placedResources.ResourceSize(B_STRING_TYPE, 2), 100000);
    EXPECT_FALSE(placedResources.HasResource('TEST', 7));
    EXPECT_EQ(placedResources.ContainerStart(), image);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

    // Where it cannot be written, nothing is left behind, not even the temporary file.
    fs::path missing = folder / "no such folder" / "copy";
    EXPECT_NE(write_program_file(missing.c_str(), fd, image, parts, 0755), B_OK);
    std::vector<NewResource> badName = {{'ROLE', 1, std::string(300, 'n'), "x"}};
    EXPECT_EQ(write_program_file((folder / "other").c_str(), fd, image, badName, 0755),
              B_NAME_TOO_LONG);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    close(fd);
}

// Thousands of resources, as an installer of many items holds: each is found by its type
// and id, ids of one type never answer for another, and replacing or removing one leaves
// the others, and their order, as they were.
TEST(Resources, ManyResourcesAreFoundByTypeAndIdThroughChanges) {
    fs::path path = CopyOfTrue();
    auto text = [](type_code type, int32 id, int version) {
        return std::to_string(type) + ":" + std::to_string(id) + ":" + std::to_string(version);
    };
    auto expect = [&](BResources& resources, const char* when) {
        for (int32 id = -1500; id < 1500; ++id) {
            for (type_code type : {type_code(B_RAW_TYPE), type_code(B_STRING_TYPE)}) {
                bool removed = type == B_RAW_TYPE && id % 11 == 0;
                int version = id % 7 == 0 ? 2 : 1;
                size_t size = 0;
                const void* data = resources.LoadResource(type, id, &size);
                if (removed) {
                    EXPECT_EQ(data, nullptr) << when << " " << id;
                    continue;
                }
                ASSERT_NE(data, nullptr) << when << " " << type << " " << id;
                EXPECT_EQ(Text(data, size), text(type, id, version)) << when;
            }
        }
        // Replaced ones keep their place: -1498 (replaced) is still the third raw one.
        int32 first = 0;
        const char* name = nullptr;
        size_t length = 0;
        ASSERT_TRUE(
            resources.GetResourceInfo(type_code(B_RAW_TYPE), int32(2), &first, &name, &length));
        EXPECT_EQ(first, -1498) << when;
    };
    {
        BFile file(path.c_str(), B_READ_WRITE);
        BResources resources(&file);
        for (int32 id = -1500; id < 1500; ++id) {
            for (type_code type : {type_code(B_RAW_TYPE), type_code(B_STRING_TYPE)}) {
                std::string value = text(type, id, 1);
                ASSERT_EQ(resources.AddResource(type, id, value.data(), value.size()), B_OK);
            }
        }
        for (int32 id = -1500; id < 1500; ++id) {
            for (type_code type : {type_code(B_RAW_TYPE), type_code(B_STRING_TYPE)}) {
                if (id % 7 == 0) {
                    std::string value = text(type, id, 2);
                    ASSERT_EQ(resources.AddResource(type, id, value.data(), value.size()), B_OK);
                }
            }
            if (id % 11 == 0) {
                ASSERT_EQ(resources.RemoveResource(B_RAW_TYPE, id), B_OK);
            }
        }
        expect(resources, "before writing");
        ASSERT_EQ(resources.Sync(), B_OK);
        expect(resources, "after writing");
    }
    BFile file(path.c_str(), B_READ_ONLY);
    BResources resources(&file);
    ASSERT_EQ(resources.InitCheck(), B_OK);
    expect(resources, "read again");
}
