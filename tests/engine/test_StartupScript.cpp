#include "engine/StartupScript.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/storage/Node.h"
#include "platform/support/TypeConstants.h"
#include "support/Process.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using namespace tarnw::test;

namespace {

const char* kHeader = "#\n"
                      "# This section was placed by Tarnwhistle.\n"
                      "# If you are having trouble with these commands,\n"
                      "# please contact help@example.com.\n"
                      "#\n"
                      "# These commands gathers items in the start-up file at boot time\n"
                      "# Applications that have an attribute of 'run_priority' get placed\n"
                      "# in the first file, and all others are placed in the second file.\n"
                      "# Those with a run_priority are sorted so those with the lowest priority\n"
                      "# are run first.\n"
                      "#\n"
                      "# Any alterations done in this section may be lost\n"
                      "# during the next installation of this product.\n"
                      "#\n"
                      "startup_folder=/home/u/StartUp\n";

// A StartUp folder whose path needs quoting, with a boot script holding the block.
struct StartupFolder {
    fs::path root = Sandbox::MakeFolder("boot");
    fs::path folder = root / "My Apps" / "it's $(x)" / "StartUp";
    fs::path log = root / "ran.log";
    fs::path bootscript = root / "UserBootscript";

    StartupFolder() {
        fs::create_directories(folder);
        WriteFile(bootscript, StartupBlockText(folder.c_str(), "") + "\n");
    }
    // An executable item that appends `word` to the log; `extra` is more shell.
    fs::path AddProgram(const std::string& leaf, const std::string& word,
                        const std::string& extra = "") {
        fs::path item = folder / leaf;
        WriteFile(item, "#!/bin/sh\necho " + word + " >> '" + log.string() + "'\n" + extra);
        fs::permissions(item, fs::perms::owner_all);
        return item;
    }
    RunResult RunBootscript(const std::vector<std::string>& environment = {}) {
        return RunProgram({"/bin/sh", bootscript.string()}, "", environment);
    }
    // The log once `lines` lines have arrived (the items run in the background).
    std::string WaitForLog(size_t lines) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::string text;
        while (std::chrono::steady_clock::now() < end) {
            text = fs::exists(log) ? ReadFile(log) : "";
            if (static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= lines)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return text;
    }
};

void SetPriority(const fs::path& item, int32 priority) {
    BNode node(item.c_str());
    ASSERT_EQ(node.WriteAttr("run_priority", B_INT32_TYPE, 0, &priority, sizeof(priority)),
              (ssize_t)sizeof(priority));
}

void SetPriorityText(const fs::path& item, const std::string& priority) {
    BNode node(item.c_str());
    ASSERT_EQ(
        node.WriteAttr("run_priority", B_STRING_TYPE, 0, priority.c_str(), priority.size() + 1),
        (ssize_t)priority.size() + 1);
}

} // namespace

TEST(StartupScript, KeepsItsHeaderSectionsAndEnd) {
    std::string text = StartupBlockText("/home/u/StartUp", "help@example.com");
    EXPECT_EQ(text.rfind(kHeader, 0), 0u) << text;
    size_t at = 0;
    for (const char* section :
         {"\tif", "# Add items with attributes to file", "# get items that dont have the",
          "# Change permission", "# Execute files in background", "# Clean up files"}) {
        at = text.find(section, at);
        ASSERT_NE(at, std::string::npos) << section;
    }
    EXPECT_EQ(text.substr(text.size() - 5), "\nfi\n#");
    EXPECT_EQ(text.find("catattr"), std::string::npos);
    EXPECT_EQ(text.find("/tmp/"), std::string::npos) << "temporary files come from mktemp";
}

TEST(StartupScript, FolderWithShellCharactersStaysOneWord) {
    std::string text = StartupBlockText("/home/u/My Apps/$(rm -rf ~)/it's", "");
    EXPECT_NE(text.find("\nstartup_folder='/home/u/My Apps/$(rm -rf ~)/it'\\''s'\n"),
              std::string::npos);
    EXPECT_NE(text.find("# please contact .\n"), std::string::npos);
    EXPECT_NE(text.find("[ -d \"$startup_folder\" ]"), std::string::npos);
}

TEST(StartupScript, ShellWord) {
    EXPECT_EQ(ShellWord("/usr/local/bin"), "/usr/local/bin");
    EXPECT_EQ(ShellWord(""), "''");
    EXPECT_EQ(ShellWord("a b"), "'a b'");
    EXPECT_EQ(ShellWord("a;b"), "'a;b'");
}

// The block as the boot script runs it: items with odd names start, lowest priority first
// (as a 32-bit number or as text), then the others; nothing else runs, nothing is printed,
// and the temporary lists are gone afterwards.
TEST(StartupScriptRun, StartsTheItemsInPriorityOrderWithoutErrors) {
    if (FindProgram("getfattr").empty())
        GTEST_SKIP() << "getfattr is not installed";
    StartupFolder startup;
    // The first item copies the lists while they exist, to show their order.
    fs::path lists = startup.root / "lists";
    fs::path first = startup.AddProgram("first 'one'", "first",
                                        "cat \"$TMPDIR\"/tmp.* > '" + lists.string() + "'\n");
    SetPriorityText(first, "-3");
    SetPriority(startup.AddProgram("second$(x)", "second"), 5);
    startup.AddProgram("plain", "plain");
    SetPriorityText(startup.AddProgram("odd priority", "odd"), "5x");
    WriteFile(startup.folder / "readme", "not a program");
    fs::create_directory(startup.folder / "a folder");

    size_t tempBefore = std::distance(fs::directory_iterator(Sandbox::Temp()), {});
    RunResult run = startup.RunBootscript();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");

    // The items run side by side; their order shows in the list they were started from.
    std::string log = startup.WaitForLog(4);
    EXPECT_NE(log.find("first\n"), std::string::npos);
    EXPECT_NE(log.find("second\n"), std::string::npos);
    EXPECT_NE(log.find("plain\n"), std::string::npos);
    EXPECT_NE(log.find("odd\n"), std::string::npos);
    std::string order = ReadFile(lists);
    size_t firstAt = order.find("first");
    size_t secondAt = order.find("second$(x)");
    ASSERT_NE(firstAt, std::string::npos) << order;
    ASSERT_NE(secondAt, std::string::npos) << order;
    EXPECT_LT(firstAt, secondAt) << order;
    EXPECT_EQ(order.find("readme"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(Sandbox::Temp()), {}), (long)tempBefore);
}

TEST(StartupScriptRun, WithoutAnAttributeReaderEveryItemStillStarts) {
    // A PATH holding every tool the block uses but getfattr.
    fs::path tools = Sandbox::MakeFolder("tools");
    for (const char* tool : {"mktemp", "sort", "sed", "cat", "chmod", "sleep", "rm", "wc", "cut"}) {
        std::string found = FindProgram(tool);
        ASSERT_FALSE(found.empty()) << tool;
        fs::create_symlink(found, tools / tool);
    }
    StartupFolder startup;
    SetPriority(startup.AddProgram("a", "a"), 1);
    startup.AddProgram("b c", "b");
    RunResult run = startup.RunBootscript({"PATH=" + tools.string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
    std::string log = startup.WaitForLog(2);
    EXPECT_NE(log.find("a\n"), std::string::npos) << log;
    EXPECT_NE(log.find("b\n"), std::string::npos) << log;
}

TEST(StartupScriptRun, AMissingFolderDoesNothing) {
    StartupFolder startup;
    fs::remove_all(startup.folder);
    RunResult run = startup.RunBootscript();
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, "");
}
