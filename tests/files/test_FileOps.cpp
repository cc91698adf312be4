// The file operations the installation uses to place, move, remove and inspect entries.

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "files/LibFileOps.h"
#include "platform/storage/FindDirectory.h"
#include "platform/storage/Node.h"
#include "platform/storage/NodeInfo.h"
#include "platform/storage/Path.h"
#include "support/Sandbox.h"

extern char** environ;

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

bool HasUserAttributes(const fs::path& file) {
    return setxattr(file.c_str(), "user.tarnw.probe", "1", 1, 0) == 0;
}

std::string Attribute(const fs::path& file, const char* name) {
    char value[256];
    ssize_t n = getxattr(file.c_str(), name, value, sizeof(value));
    return n < 0 ? std::string("<none>") : std::string(value, static_cast<size_t>(n));
}

fs::path TrashFiles() {
    BPath trash;
    find_directory(B_TRASH_DIRECTORY, &trash, true);
    return trash.Path();
}

// Runs `step` on a thread of its own as the user nobody (65534): the raw system calls
// change that thread's credentials alone, so the test process stays root. Empty when this
// process may not change users.
template <typename Step> auto AsOtherUser(Step step) -> std::optional<decltype(step())> {
    std::optional<decltype(step())> result;
    std::thread([&] {
        if (syscall(SYS_setgroups, 0, nullptr) != 0 ||
            syscall(SYS_setresgid, 65534, 65534, 65534) != 0 ||
            syscall(SYS_setresuid, 65534, 65534, 65534) != 0)
            return;
        result.emplace(step());
    }).join();
    return result;
}

// A tmpfs mounted over `path` for as long as it lives.
class Mounted {
public:
    Mounted(const fs::path& path, const char* options) : fPath(path) {
        fs::create_directories(path);
        fMounted = geteuid() == 0 && mount("tmpfs", path.c_str(), "tmpfs", 0, options) == 0;
    }
    ~Mounted() {
        if (fMounted)
            umount2(fPath.c_str(), MNT_DETACH);
    }
    bool Ok() const { return fMounted; }

private:
    fs::path fPath;
    bool fMounted = false;
};

time_t ModifiedTime(const fs::path& path) {
    struct stat st;
    lstat(path.c_str(), &st);
    return st.st_mtime;
}

} // namespace

TEST(FileOps, CopyKeepsBytesModesTimesLinksAndAttributes) {
    fs::path work = Sandbox::MakeFolder("copy");
    fs::create_directories(work / "src" / "sub");
    WriteFile(work / "src" / "sub" / "data", std::string(300000, 'd'));
    chmod((work / "src" / "sub" / "data").c_str(), 0640);
    fs::create_symlink("sub/data", work / "src" / "link");
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    utimensat(AT_FDCWD, (work / "src" / "sub" / "data").c_str(), times, 0);
    bool attributes = HasUserAttributes(work / "src" / "sub" / "data");
    if (attributes)
        setxattr((work / "src" / "sub" / "data").c_str(), "user.mime_type", "text/x-test", 11, 0);

    ASSERT_TRUE(LibCopy((work / "src").c_str(), (work / "copy").c_str()));
    EXPECT_EQ(ReadFile(work / "copy" / "sub" / "data"), std::string(300000, 'd'));
    EXPECT_EQ(fs::status(work / "copy" / "sub" / "data").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(ModifiedTime(work / "copy" / "sub" / "data"), 1000000000);
    EXPECT_TRUE(fs::is_symlink(work / "copy" / "link"));
    EXPECT_EQ(fs::read_symlink(work / "copy" / "link"), "sub/data");
    if (attributes) {
        EXPECT_EQ(Attribute(work / "copy" / "sub" / "data", "user.mime_type"), "text/x-test");
    }

    // An existing folder receives the source under its own name, as cp does.
    fs::create_directory(work / "into");
    ASSERT_TRUE(LibCopy((work / "src").c_str(), (work / "into").c_str()));
    EXPECT_TRUE(fs::exists(work / "into" / "src" / "sub" / "data"));

    // Copying a folder into itself is refused instead of running away.
    EXPECT_FALSE(LibCopy((work / "src").c_str(), (work / "src" / "sub").c_str()));
    EXPECT_FALSE(fs::exists(work / "src" / "sub" / "src"));
    EXPECT_FALSE(LibCopy((work / "missing").c_str(), (work / "x").c_str()));
}

TEST(FileOps, MoveRenamesReplacesAndMovesIntoFolders) {
    fs::path work = Sandbox::MakeFolder("move");
    WriteFile(work / "a", "A");
    WriteFile(work / "b", "B");
    ASSERT_TRUE(LibMove((work / "a").c_str(), (work / "b").c_str()));
    EXPECT_EQ(ReadFile(work / "b"), "A");
    EXPECT_FALSE(fs::exists(work / "a"));

    fs::create_directory(work / "folder");
    ASSERT_TRUE(LibMove((work / "b").c_str(), (work / "folder").c_str()));
    EXPECT_EQ(ReadFile(work / "folder" / "b"), "A");

    // A file never replaces a folder, and a failed move keeps the source.
    WriteFile(work / "c", "C");
    fs::create_directories(work / "dest" / "c" / "inner");
    EXPECT_FALSE(LibMove((work / "c").c_str(), (work / "dest").c_str()));
    EXPECT_EQ(ReadFile(work / "c"), "C");
    EXPECT_TRUE(fs::exists(work / "dest" / "c" / "inner"));
    EXPECT_FALSE(LibMove((work / "nothing").c_str(), (work / "dest").c_str()));
}

TEST(FileOps, AMoveAsItIsToAnotherVolumeAndBackAddsNoType) {
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a volume needs root";
    fs::path work = Sandbox::MakeFolder("asis");
    fs::path volume = work / "volume";
    fs::create_directory(volume);
    ASSERT_EQ(mount("tmpfs", volume.c_str(), "tmpfs", 0, "size=1m"), 0) << strerror(errno);
    WriteFile(work / "settings", "old=1\n");
    WriteFile(work / "other", "old=1\n");
    if (HasUserAttributes(work / "settings")) {
        removexattr((work / "settings").c_str(), "user.tarnw.probe");
        // Saved on another volume and put back: as it was, with no type of its own.
        EXPECT_TRUE(LibMoveAsIs((work / "settings").c_str(), (volume / "saved").c_str()));
        EXPECT_TRUE(LibMoveAsIs((volume / "saved").c_str(), (work / "settings").c_str()));
        EXPECT_EQ(ReadFile(work / "settings"), "old=1\n");
        EXPECT_EQ(Attribute(work / "settings", "user.mime_type"), "<none>");
        // A placing move gives what it brings over the type its content shows.
        EXPECT_TRUE(LibMove((work / "other").c_str(), (volume / "other").c_str()));
        BNode moved((volume / "other").c_str());
        char type[B_MIME_TYPE_LENGTH] = {};
        EXPECT_EQ(BNodeInfo(&moved).GetType(type), B_OK);
        EXPECT_STREQ(type, "text/plain");
    }
    umount2(volume.c_str(), MNT_DETACH);
}

TEST(FileOps, TrashUsesFreeCopyNamesAndWritesTrashInfo) {
    fs::path work = Sandbox::MakeFolder("trash");
    fs::path files = TrashFiles();
    fs::create_directories(files);
    WriteFile(files / "a", "first");
    WriteFile(files / "a copy", "second");
    WriteFile(work / "a", "third");
    LibTrash(BPath((work / "a").c_str()), false);
    EXPECT_FALSE(fs::exists(work / "a"));
    EXPECT_EQ(ReadFile(files / "a copy 1"), "third");
    EXPECT_EQ(ReadFile(files / "a"), "first");
    std::string info = ReadFile(files.parent_path() / "info" / "a copy 1.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=", 0), 0u) << info;
    EXPECT_NE(info.find((work / "a").string()), std::string::npos) << info;
    EXPECT_NE(info.find("DeletionDate="), std::string::npos);

    // Overwriting replaces what the Trash holds under that name, folders included.
    fs::create_directories(files / "f" / "old");
    fs::create_directories(work / "f" / "new");
    LibTrash(BPath((work / "f").c_str()), true);
    EXPECT_TRUE(fs::exists(files / "f" / "new"));
    EXPECT_FALSE(fs::exists(files / "f" / "old"));
}

TEST(FileOps, DuplicateAndUnlink) {
    fs::path work = Sandbox::MakeFolder("dup");
    WriteFile(work / "a", "A");
    WriteFile(work / "a copy", "taken");
    LibDuplicate((work / "a").c_str());
    EXPECT_FALSE(fs::exists(work / "a"));
    EXPECT_EQ(ReadFile(work / "a copy 1"), "A");
    EXPECT_EQ(ReadFile(work / "a copy"), "taken");

    // Removal never follows a link into what it points at.
    fs::create_directories(work / "keep");
    WriteFile(work / "keep" / "precious", "P");
    fs::create_directories(work / "gone");
    fs::create_directory_symlink(work / "keep", work / "gone" / "link");
    LibUnlink((work / "gone").c_str());
    EXPECT_FALSE(fs::exists(work / "gone"));
    EXPECT_EQ(ReadFile(work / "keep" / "precious"), "P");
}

TEST(FileOps, ARenameRefusedByTheSystemNamesThePathAndItsReason) {
    fs::path work = Sandbox::MakeFolder("dup-refused");
    fs::path locked = work / "locked";
    WriteFile(locked / "a", "A");
    // The other user reaches the folder through the sandbox.
    for (fs::path level = work; level != Sandbox::Root().parent_path();
         level = level.parent_path()) {
        struct stat info;
        if (stat(level.c_str(), &info) == 0 && (info.st_mode & S_IXOTH) == 0)
            chmod(level.c_str(), (info.st_mode & 07777) | 0711);
    }
    chmod(locked.c_str(), 0555);
    std::string a = (locked / "a").string();
    auto duplicate = [&] {
        // Only when this user can see the entry at all is the refusal the folder's mode.
        bool visible = access(a.c_str(), F_OK) == 0;
        return std::make_pair(visible, LibDuplicateEntry(a.c_str()));
    };
    auto outcome = geteuid() == 0 ? AsOtherUser(duplicate) : std::make_optional(duplicate());
    chmod(locked.c_str(), 0755);
    if (!outcome || !outcome->first)
        GTEST_SKIP() << "no other user can be taken on, or it cannot reach the sandbox";
    const Result<std::string>& renamed = outcome->second;
    ASSERT_FALSE(renamed);
    EXPECT_EQ(renamed.Error().path, a);
    EXPECT_EQ(renamed.Error().to, (locked / "a copy").string());
    EXPECT_EQ(renamed.Error().error, EACCES);
    EXPECT_EQ(renamed.Error().Text(), "cannot move \"" + a + "\" to \"" +
                                          (locked / "a copy").string() + "\": Permission denied");
    EXPECT_EQ(ReadFile(locked / "a"), "A");
    EXPECT_FALSE(fs::exists(locked / "a copy"));

    // What worked gives the new name; what is not there says so.
    Result<std::string> free = LibDuplicateEntry(a.c_str());
    ASSERT_TRUE(free) << free.Error().Text();
    EXPECT_EQ(free.Value(), (locked / "a copy").string());
    Result<std::string> gone = LibDuplicateEntry(a.c_str());
    ASSERT_FALSE(gone);
    EXPECT_EQ(gone.Error().error, ENOENT);
}

TEST(FileOps, TrashingIntoAFullVolumeNamesWhyAndLeavesEverythingAsItWas) {
    fs::path files = TrashFiles();
    fs::path trash = files.parent_path();
    fs::path work = Sandbox::MakeFolder("trash-full");
    WriteFile(work / "item", "mine");
    {
        Mounted volume(trash, "size=256k");
        if (!volume.Ok())
            GTEST_SKIP() << "mounting a volume needs root";
        fs::create_directories(files);
        fs::create_directories(trash / "info");
        std::string filler(64 * 1024, 'x');
        for (int i = 0; i < 100; i++) {
            int fd = open((trash / ("filler" + std::to_string(i))).c_str(),
                          O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            ssize_t written = fd >= 0 ? write(fd, filler.data(), filler.size()) : -1;
            if (fd >= 0)
                close(fd);
            if (written < ssize_t(filler.size()))
                break;
        }

        Result<std::string> trashed = LibTrashEntry(BPath((work / "item").c_str()), false);
        ASSERT_FALSE(trashed);
        EXPECT_EQ(trashed.Error().error, ENOSPC);
        EXPECT_NE(trashed.Error().Text().find("No space left on device"), std::string::npos)
            << trashed.Error().Text();
        EXPECT_EQ(trashed.Error().path, (trash / "info" / "item.trashinfo").string());
        EXPECT_EQ(ReadFile(work / "item"), "mine");
        EXPECT_FALSE(fs::exists(trash / "info" / "item.trashinfo"));
        EXPECT_FALSE(fs::exists(files / "item"));
    }
    // With room again the same call puts it there and says where.
    Result<std::string> trashed = LibTrashEntry(BPath((work / "item").c_str()), false);
    ASSERT_TRUE(trashed) << trashed.Error().Text();
    EXPECT_EQ(ReadFile(trashed.Value()), "mine");
    EXPECT_FALSE(fs::exists(work / "item"));
}

TEST(FileOps, MkdirCreatesParentsOnceWithTheModesTheUmaskAllows) {
    fs::path work = Sandbox::MakeFolder("mkdir");
    fs::path deep = work / "x" / "y" / "z";
    mode_t saved = umask(022);
    EXPECT_TRUE(Libmkdir(deep.c_str()));
    umask(077);
    EXPECT_TRUE(Libmkdir((work / "private").c_str()));
    umask(saved);
    EXPECT_TRUE(fs::is_directory(deep));
    struct stat st;
    for (const fs::path& made : {work / "x", work / "x" / "y", deep}) {
        stat(made.c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0755u) << made;
    }
    stat((work / "private").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    WriteFile(deep / "f", "f");
    EXPECT_FALSE(Libmkdir(deep.c_str()));
    EXPECT_TRUE(fs::exists(deep / "f"));
    // A failure to create is not reported as success.
    WriteFile(work / "file", "");
    EXPECT_FALSE(Libmkdir((work / "file" / "sub").c_str()));
}

TEST(FileOps, UniqueNamesCountUpInTheTemporaryFolder) {
    BPath first, second;
    LibUniqueName(first, "zip");
    LibUniqueName(second, "zip");
    BPath temp;
    find_directory(B_COMMON_TEMP_DIRECTORY, &temp);
    EXPECT_EQ(fs::path(first.Path()).parent_path(), fs::path(temp.Path()));
    std::string a = first.Leaf(), b = second.Leaf();
    ASSERT_EQ(a.rfind("zip", 0), 0u);
    int n1 = std::stoi(a.substr(3, 1)), n2 = std::stoi(b.substr(3, 1));
    EXPECT_NE(a, b);
    EXPECT_TRUE(n2 == n1 + 1 || n2 == 1) << a << " " << b;
    std::string pid = std::to_string(getpid());
    EXPECT_NE(a.find(pid), std::string::npos);

    BPath folder("/some/folder");
    LibUniqueName(folder, "p");
    EXPECT_EQ(std::string(folder.Path()).rfind("/some/folder/p", 0), 0u);
}

TEST(FileOps, FindEnvFileSearchesEachEntryInOrder) {
    fs::path work = Sandbox::MakeFolder("env");
    fs::create_directories(work / "x");
    fs::create_directories(work / "y");
    BPath found;
    std::string list = (work / "x").string() + "::" + (work / "y").string();
    setenv("TARNW_TEST_PATH", list.c_str(), 1);
    WriteFile(work / "y" / "zip", "");
    ASSERT_TRUE(LibFindEnvFile("TARNW_TEST_PATH", "zip", found));
    EXPECT_EQ(fs::path(found.Path()), work / "y" / "zip");
    WriteFile(work / "x" / "zip", "");
    ASSERT_TRUE(LibFindEnvFile("TARNW_TEST_PATH", "zip", found));
    EXPECT_EQ(fs::path(found.Path()), work / "x" / "zip");
    EXPECT_FALSE(LibFindEnvFile("TARNW_TEST_PATH", "unzip", found));
    unsetenv("TARNW_TEST_PATH");
    EXPECT_FALSE(LibFindEnvFile("TARNW_TEST_PATH", "zip", found));
}

TEST(FileOps, KindTextsAndSizes) {
    fs::path work = Sandbox::MakeFolder("kind");
    WriteFile(work / "text.txt", "plain words\n");
    fs::create_symlink("text.txt", work / "link");
    fs::create_directory(work / "folder");
    WriteFile(work / "folder" / "one", std::string(10, '1'));
    WriteFile(work / "folder" / "two", std::string(10, '2'));
    char buffer[B_MIME_TYPE_LENGTH];
    entry_ref ref;
    ASSERT_TRUE(LibGetEntryRef((work / "text.txt").c_str(), ref));
    LibGetMimeType(ref, buffer, true);
    EXPECT_STREQ(buffer, "Unknown");
    ASSERT_TRUE(LibGetEntryRef((work / "link").c_str(), ref));
    LibGetMimeType(ref, buffer, true);
    EXPECT_STREQ(buffer, "Symbolic Link");
    ASSERT_TRUE(LibGetEntryRef((work / "folder").c_str(), ref));
    LibGetMimeType(ref, buffer, true);
    EXPECT_STREQ(buffer, "Folder");
    ASSERT_TRUE(LibGetEntryRef("/proc/self/exe", ref));
    LibGetMimeType(ref, buffer, false);

    struct stat st;
    stat((work / "folder").c_str(), &st);
    EXPECT_EQ(LibEntrySize((work / "folder").c_str(), false), st.st_size + 20);
    EXPECT_EQ(LibEntrySize((work / "nothing").c_str(), true), 0);
}

TEST(FileOps, SymLinkReplacesAnExistingLink) {
    fs::path work = Sandbox::MakeFolder("ln");
    WriteFile(work / "t1", "1");
    WriteFile(work / "t2", "2");
    ASSERT_TRUE(LibSymLink((work / "t1").c_str(), (work / "l").c_str()));
    ASSERT_TRUE(LibSymLink((work / "t2").c_str(), (work / "l").c_str()));
    EXPECT_EQ(ReadFile(work / "l"), "2");
    EXPECT_FALSE(LibSymLink((work / "t2").c_str(), (work / "no" / "such" / "l").c_str()));
}

TEST(FileOps, ZipUnzipAndTarWorkWithoutChangingTheWorkingDirectory) {
    fs::path work = Sandbox::MakeFolder("arch");
    fs::create_directories(work / "Item" / "sub");
    WriteFile(work / "Item" / "sub" / "f", "content");
    char before[4096];
    ASSERT_NE(getcwd(before, sizeof(before)), nullptr);

    fs::create_directory(work / "out");
    ASSERT_TRUE(LibZip((work / "out" / "i.zip").c_str(), BPath((work / "Item").c_str()), 9));
    ASSERT_TRUE(LibUnzip((work / "out" / "i.zip").c_str()));
    EXPECT_EQ(ReadFile(work / "out" / "Item" / "sub" / "f"), "content");

    ASSERT_TRUE(LibTar((work / "Item").c_str(), (work / "i.tar").c_str()));
    char after[4096];
    ASSERT_NE(getcwd(after, sizeof(after)), nullptr);
    EXPECT_STREQ(before, after);

    if (access("/usr/bin/tar", X_OK) == 0) {
        fs::create_directory(work / "untar");
        std::string archive = (work / "i.tar").string(), folder = (work / "untar").string();
        char* argv[] = {const_cast<char*>("tar"),
                        const_cast<char*>("-xf"),
                        archive.data(),
                        const_cast<char*>("-C"),
                        folder.data(),
                        nullptr};
        pid_t pid;
        ASSERT_EQ(posix_spawn(&pid, "/usr/bin/tar", nullptr, nullptr, argv, environ), 0);
        int status;
        waitpid(pid, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_EQ(ReadFile(work / "untar" / "Item" / "sub" / "f"), "content");
    }
}

TEST(FileOps, OpenEntryRunsTheOpenerWithThePath) {
    fs::path work = Sandbox::MakeFolder("open");
    WriteFile(work / "doc", "d");
    EXPECT_FALSE(LibOpenEntry((work / "absent").c_str()));
    ASSERT_TRUE(LibOpenEntry((work / "doc").c_str()));
    std::string log;
    for (int i = 0; i < 100 && log.find("doc") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (fs::exists(Sandbox::CommandLog()))
            log = ReadFile(Sandbox::CommandLog());
    }
    EXPECT_NE(log.find((work / "doc").string()), std::string::npos) << log;
}

TEST(FileOps, DatesTypesAndAttributeSizes) {
    fs::path work = Sandbox::MakeFolder("dates");
    WriteFile(work / "f", "0123456789");
    // 2001-09-09 01:46:40 UTC
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    utimensat(AT_FDCWD, (work / "f").c_str(), times, 0);
    LibDateTime modified = LibLastModifiedDate((work / "f").c_str(), false);
    EXPECT_EQ(modified.GetYear(), 2001);
    EXPECT_EQ(modified.GetMonth(), 9);
    EXPECT_EQ(modified.GetDay(), 9);
    EXPECT_EQ(modified.GetHours(), 1);
    LibDateTime missing = LibLastModifiedDate((work / "absent").c_str(), false);
    EXPECT_EQ(missing.GetYear(), 1970);
    EXPECT_EQ(LibCreationDate((work / "absent").c_str(), true).GetYear(), 1970);
    EXPECT_GE(LibCreationDate((work / "f").c_str(), true).GetYear(), 2001);

    if (!HasUserAttributes(work / "f"))
        GTEST_SKIP() << "no user extended attributes here";
    removexattr((work / "f").c_str(), "user.tarnw.probe");
    LibSetFileType((work / "f").c_str(), "text/x-tarnw", "application/x-vnd.Test-App");
    EXPECT_EQ(Attribute(work / "f", "user.mime_type"), "text/x-tarnw");
    entry_ref ref;
    ASSERT_TRUE(LibGetEntryRef((work / "f").c_str(), ref));
    char type[B_MIME_TYPE_LENGTH];
    LibGetMimeType(ref, type, false);
    EXPECT_STREQ(type, "text/x-tarnw");
    // Data plus every attribute's bytes.
    int64 withAttributes = LibEntrySize((work / "f").c_str(), true);
    EXPECT_GE(withAttributes, 10 + (int64)strlen("text/x-tarnw"));
    EXPECT_EQ(LibEntrySize((work / "f").c_str(), false), 10);
}

TEST(FileOps, UniqueNameCounterWrapsAfter10000) {
    std::string pid = std::to_string(getpid());
    bool sawLast = false, wrapped = false;
    for (int i = 0; i < 10001 && !wrapped; ++i) {
        BPath path;
        LibUniqueName(path, "w");
        std::string leaf = path.Leaf();
        if (sawLast)
            wrapped = leaf.rfind("w1" + pid, 0) == 0;
        sawLast = leaf.rfind("w10000" + pid, 0) == 0;
    }
    EXPECT_TRUE(wrapped);
}
