#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/storage/Directory.h"
#include "platform/storage/Entry.h"
#include "platform/storage/File.h"
#include "platform/storage/Mime.h"
#include "platform/storage/Node.h"
#include "support/Sandbox.h"

extern char** environ;

namespace fs = std::filesystem;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

fs::path NewFile(const std::string& contents = "data") {
    fs::path path = Sandbox::MakeFolder("attr") / "file";
    WriteFile(path, contents);
    return path;
}

// Runs a program and returns its standard output (empty when it could not run).
std::string Capture(const std::vector<std::string>& argv) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return "";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string out;
    char buffer[256];
    ssize_t n;
    while (rc == 0 && (n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    if (rc == 0)
        waitpid(pid, nullptr, 0);
    return out;
}

} // namespace

TEST(Attributes, ValuesAndTypesRoundTripExactly) {
    fs::path path = NewFile();
    BNode node(path.c_str());
    ASSERT_EQ(node.InitCheck(), B_OK);

    const char text[] = "Product;1.0;2024;Maker;help@example.org;";
    EXPECT_EQ(node.WriteAttr("InstallBy", B_STRING_TYPE, 0, text, strlen(text)),
              static_cast<ssize_t>(strlen(text)));
    int32 number = -123456;
    EXPECT_EQ(node.WriteAttr("count", B_INT32_TYPE, 0, &number, sizeof number), 4);
    const uint8 binary[] = {0, 1, 2, 0xff, 0, 7};
    EXPECT_EQ(node.WriteAttr("blob", B_RAW_TYPE, 0, binary, sizeof binary), 6);

    attr_info info;
    ASSERT_EQ(node.GetAttrInfo("InstallBy", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_STRING_TYPE));
    EXPECT_EQ(info.size, static_cast<off_t>(strlen(text)));
    ASSERT_EQ(node.GetAttrInfo("count", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_INT32_TYPE));

    // A fresh node sees the same bytes; the stored value is exactly the text.
    BNode again(path.c_str());
    char back[128] = {};
    EXPECT_EQ(again.ReadAttr("InstallBy", B_STRING_TYPE, 0, back, sizeof back),
              static_cast<ssize_t>(strlen(text)));
    EXPECT_STREQ(back, text);
    char raw[128];
    EXPECT_EQ(getxattr(path.c_str(), "user.InstallBy", raw, sizeof raw),
              static_cast<ssize_t>(strlen(text)));
    int32 numberBack = 0;
    EXPECT_EQ(again.ReadAttr("count", 0, 0, &numberBack, sizeof numberBack), 4);
    EXPECT_EQ(numberBack, number);
    uint8 binaryBack[16];
    ASSERT_EQ(again.ReadAttr("blob", 0, 0, binaryBack, sizeof binaryBack), 6);
    EXPECT_EQ(memcmp(binaryBack, binary, 6), 0);
    // Reading part of a value.
    EXPECT_EQ(again.ReadAttr("InstallBy", 0, 8, back, 3), 3);
    EXPECT_EQ(std::string(back, 3), "1.0");
    EXPECT_EQ(again.ReadAttr("InstallBy", 0, 1000, back, 3), 0);
}

TEST(Attributes, RewritingReplacesTypeAndSizeAndOffsetsExtend) {
    fs::path path = NewFile();
    BNode node(path.c_str());
    const char text[] = "a longer string value";
    node.WriteAttr("flag", B_STRING_TYPE, 0, text, strlen(text));
    bool yes = true;
    ASSERT_EQ(node.WriteAttr("flag", B_BOOL_TYPE, 0, &yes, 1), 1);
    attr_info info;
    ASSERT_EQ(node.GetAttrInfo("flag", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_BOOL_TYPE));
    EXPECT_EQ(info.size, 1);

    // Pieces written at increasing offsets build one value.
    std::string whole(2500, '\0');
    for (size_t i = 0; i < whole.size(); ++i)
        whole[i] = static_cast<char>('a' + i % 26);
    for (size_t offset = 0; offset < whole.size(); offset += 1024) {
        size_t piece = std::min<size_t>(1024, whole.size() - offset);
        ASSERT_EQ(node.WriteAttr("zip", B_RAW_TYPE, static_cast<off_t>(offset),
                                 whole.data() + offset, piece),
                  static_cast<ssize_t>(piece));
    }
    std::string back(3000, '\0');
    ASSERT_EQ(node.ReadAttr("zip", 0, 0, back.data(), back.size()), 2500);
    EXPECT_EQ(back.substr(0, 2500), whole);
}

namespace {

std::set<std::string> RawNames(const fs::path& path) {
    char list[4096];
    ssize_t n = llistxattr(path.c_str(), list, sizeof list);
    std::set<std::string> names;
    for (ssize_t at = 0; n > 0 && at < n; at += static_cast<ssize_t>(strlen(list + at)) + 1)
        names.insert(list + at);
    return names;
}

} // namespace

// Text and MIME types are stored as the value alone, so that a file's usual attributes
// fit in its inode; other types keep a companion, and the older form with a companion
// for every value still reads back.
TEST(Attributes, OnlyValuesOfAnUnimpliedTypeCarryACompanion) {
    fs::path path = NewFile();
    BNode node(path.c_str());
    const char identity[] = "Demo;1.0;";
    ASSERT_EQ(node.WriteAttr("InstallBy", B_STRING_TYPE, 0, identity, 9), 9);
    ASSERT_EQ(node.WriteAttr("mime_type", B_MIME_STRING_TYPE, 0, "text/plain", 10), 10);
    EXPECT_EQ(RawNames(path), (std::set<std::string>{"user.InstallBy", "user.mime_type"}));

    // A string that is not text, and raw bytes that are, need their type kept.
    ASSERT_EQ(node.WriteAttr("odd", B_STRING_TYPE, 0, "a\0b", 3), 3);
    ASSERT_EQ(node.WriteAttr("bytes", B_RAW_TYPE, 0, "abc", 3), 3);
    attr_info info;
    ASSERT_EQ(node.GetAttrInfo("odd", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_STRING_TYPE));
    ASSERT_EQ(node.GetAttrInfo("bytes", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_RAW_TYPE));

    // Retyping to the implied type drops the companion; retyping away adds it back.
    ASSERT_EQ(node.WriteAttr("bytes", B_STRING_TYPE, 0, "abc", 3), 3);
    EXPECT_EQ(RawNames(path).count("user.tarnw.type.bytes"), 0u);
    int32 number = 7;
    ASSERT_EQ(node.WriteAttr("InstallBy", B_INT32_TYPE, 0, &number, 4), 4);
    ASSERT_EQ(node.GetAttrInfo("InstallBy", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_INT32_TYPE));

    // The two-attribute form of earlier installations.
    ASSERT_EQ(setxattr(path.c_str(), "user.old", "text", 4, 0), 0);
    ASSERT_EQ(setxattr(path.c_str(), "user.tarnw.type.old", "RAWT", 4, 0), 0);
    ASSERT_EQ(node.GetAttrInfo("old", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_RAW_TYPE));
    ASSERT_EQ(setxattr(path.c_str(), "user.tarnw.type.old", "CSTR", 4, 0), 0);
    ASSERT_EQ(node.GetAttrInfo("old", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_STRING_TYPE));
    EXPECT_EQ(node.RemoveAttr("old"), B_OK);
    EXPECT_EQ(RawNames(path).count("user.tarnw.type.old"), 0u);
}

TEST(Attributes, MissingRemovedAndListed) {
    fs::path path = NewFile();
    BNode node(path.c_str());
    char buffer[B_ATTR_NAME_LENGTH];
    attr_info info;
    EXPECT_EQ(node.ReadAttr("nothing", 0, 0, buffer, sizeof buffer), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(node.GetAttrInfo("nothing", &info), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(node.RemoveAttr("nothing"), B_ENTRY_NOT_FOUND);

    node.WriteAttr("one", B_STRING_TYPE, 0, "1", 1);
    node.WriteAttr("two", B_STRING_TYPE, 0, "2", 1);
    // An attribute another tool wrote has no recorded type: text reads as a string,
    // anything else as raw bytes.
    ASSERT_EQ(setxattr(path.c_str(), "user.foreign", "x", 1, 0), 0);
    ASSERT_EQ(setxattr(path.c_str(), "user.binary", "x\0\xff", 3, 0), 0);

    std::set<std::string> names;
    while (node.GetNextAttrName(buffer) == B_OK)
        names.insert(buffer);
    EXPECT_EQ(names, (std::set<std::string>{"one", "two", "foreign", "binary"}));
    ASSERT_EQ(node.GetAttrInfo("foreign", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_STRING_TYPE));
    ASSERT_EQ(node.GetAttrInfo("binary", &info), B_OK);
    EXPECT_EQ(info.type, static_cast<uint32>(B_RAW_TYPE));

    EXPECT_EQ(node.RemoveAttr("one"), B_OK);
    EXPECT_EQ(node.GetAttrInfo("one", &info), B_ENTRY_NOT_FOUND);
    node.RewindAttrs();
    names.clear();
    while (node.GetNextAttrName(buffer) == B_OK)
        names.insert(buffer);
    EXPECT_EQ(names, (std::set<std::string>{"two", "foreign", "binary"}));
    // The companions holding types are not for writing by name.
    EXPECT_LT(node.WriteAttr("tarnw.type.two", B_RAW_TYPE, 0, "x", 1), 0);
}

TEST(Attributes, ClearErrorsWhereLinuxKeepsNone) {
    fs::path folder = Sandbox::MakeFolder("links");
    WriteFile(folder / "target", "x");
    fs::create_symlink(folder / "target", folder / "link");
    BEntry linkEntry((folder / "link").c_str());
    BNode link(&linkEntry);
    ASSERT_EQ(link.InitCheck(), B_OK);
    EXPECT_EQ(link.WriteAttr("InstallBy", B_STRING_TYPE, 0, "x", 1), B_ATTRIBUTES_NOT_SUPPORTED);
    char buffer[8];
    EXPECT_EQ(link.ReadAttr("InstallBy", B_STRING_TYPE, 0, buffer, 8), B_ATTRIBUTES_NOT_SUPPORTED);

    // Following the link reaches the file, which keeps attributes.
    BNode followed((folder / "link").c_str());
    EXPECT_EQ(followed.WriteAttr("InstallBy", B_STRING_TYPE, 0, "x", 1), 1);

    // procfs keeps no user attributes; nothing is written there.
    BNode proc("/proc/self/status");
    if (proc.InitCheck() == B_OK) {
        ssize_t result = proc.WriteAttr("probe", B_STRING_TYPE, 0, "x", 1);
        EXPECT_TRUE(result == B_ATTRIBUTES_NOT_SUPPORTED || result == B_PERMISSION_DENIED)
            << result;
    }
}

TEST(Attributes, GetfattrShowsTheText) {
    fs::path path = NewFile();
    BNode node(path.c_str());
    node.WriteAttr("InstallBy", B_STRING_TYPE, 0, "Demo;1.0;", 9);
    std::string out = Capture(
        {"getfattr", "--absolute-names", "--only-values", "-n", "user.InstallBy", path.string()});
    if (out.empty())
        GTEST_SKIP() << "getfattr is not installed";
    EXPECT_EQ(out, "Demo;1.0;");
}

TEST(Attributes, RunningProgramKeepsAttributesWritable) {
    // Linux refuses to open a running program for writing; the file is opened read-only
    // so that its attributes can still be written, and data writes say why they fail.
    fs::path copy = Sandbox::MakeFolder("running") / "sleeper";
    fs::copy_file("/bin/sleep", copy);
    char* args[] = {const_cast<char*>(copy.c_str()), const_cast<char*>("30"), nullptr};
    pid_t pid;
    ASSERT_EQ(posix_spawn(&pid, copy.c_str(), nullptr, nullptr, args, environ), 0);
    usleep(100000);

    BFile file(copy.c_str(), B_READ_WRITE);
    EXPECT_EQ(file.InitCheck(), B_OK);
    EXPECT_FALSE(file.IsWritable());
    EXPECT_EQ(file.Write("x", 1), B_BUSY);
    EXPECT_EQ(file.WriteAttr("language", B_STRING_TYPE, 0, "no", 2), 2);
    char language[4] = {};
    EXPECT_EQ(file.ReadAttr("language", B_STRING_TYPE, 0, language, 3), 2);
    EXPECT_STREQ(language, "no");

    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}
