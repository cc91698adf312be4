#include "engine/ScriptBlockEditor.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

std::string Script(const char* name) {
    return (Sandbox::MakeFolder("scripts") / name).string();
}

} // namespace

TEST(ScriptBlockEditor, NewFileWithoutSampleStartsWithEmptyLine) {
    std::string path = Script("UserBootscript");
    EXPECT_TRUE(ScriptBlockEditor::Edit(path, "Tool", "echo one\necho two"));
    EXPECT_EQ(ReadFile(path), "\n#BEGIN_Tool\necho one\necho two\n#END_Tool\n");
    // There was nothing to keep.
    EXPECT_FALSE(fs::exists(path + ".orig"));
}

TEST(ScriptBlockEditor, MissingFileStartsFromItsSample) {
    std::string path = Script(".profile");
    WriteFile(path + ".sample", "# sample\n");
    ScriptBlockEditor::Edit(path, "T", "x=1");
    EXPECT_EQ(ReadFile(path), "# sample\n#BEGIN_T\nx=1\n#END_T\n");
    EXPECT_EQ(ReadFile(path + ".sample"), "# sample\n");
}

TEST(ScriptBlockEditor, LastLineWithoutNewlineGetsOne) {
    std::string path = Script("UserSetupEnvironment");
    WriteFile(path, "export A=1");
    ScriptBlockEditor::Edit(path, "T", "export B=2");
    EXPECT_EQ(ReadFile(path), "export A=1\n#BEGIN_T\nexport B=2\n#END_T\n");
}

TEST(ScriptBlockEditor, SecondEditReplacesTheBlockAndKeepsThePreviousFile) {
    std::string path = Script("UserBootscript");
    WriteFile(path, "start\n");
    ScriptBlockEditor::Edit(path, "T", "first");
    std::string afterFirst = ReadFile(path);
    WriteFile(path, afterFirst + "tail\n");
    ScriptBlockEditor::Edit(path, "T", "second");
    EXPECT_EQ(ReadFile(path), "start\ntail\n#BEGIN_T\nsecond\n#END_T\n");
    EXPECT_EQ(ReadFile(path + ".orig"), afterFirst + "tail\n");
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(ScriptBlockEditor, BeginWithoutEndLeavesTheFileAndAppends) {
    std::string path = Script("UserBootscript");
    WriteFile(path, "#BEGIN_T\nkept\n");
    ScriptBlockEditor::Edit(path, "T", "new");
    EXPECT_EQ(ReadFile(path), "#BEGIN_T\nkept\n#BEGIN_T\nnew\n#END_T\n");
}

TEST(ScriptBlockEditor, AnotherPackagesBlockWithALongerTagIsKept) {
    // Replacing block X leaves block XY alone: a marker must stand alone on its line.
    std::string path = Script("UserBootscript");
    WriteFile(path, "a\n#BEGIN_XY\nxy\n#END_XY\nb\n#BEGIN_X\nx\n#END_X\n");
    ScriptBlockEditor::Edit(path, "X", "x2");
    EXPECT_EQ(ReadFile(path), "a\n#BEGIN_XY\nxy\n#END_XY\nb\n#BEGIN_X\nx2\n#END_X\n");
    // A marker with surrounding blanks or a CR still counts.
    WriteFile(path, "a\n  #BEGIN_X \r\nx\n#END_X\r\n");
    ScriptBlockEditor::Edit(path, "X", nullptr);
    EXPECT_EQ(ReadFile(path), "a\n");
}

TEST(ScriptBlockEditor, NullContentsOnlyRemove) {
    std::string path = Script("UserBootscript");
    WriteFile(path, "a\n#BEGIN_T\nold\n#END_T\nb\n");
    EXPECT_FALSE(ScriptBlockEditor::Edit(path, "T", nullptr));
    EXPECT_EQ(ReadFile(path), "a\nb\n");
    EXPECT_FALSE(ScriptBlockEditor::HasBlock(path, "T"));
}

TEST(ScriptBlockEditor, RemovingABlockKeepsTheFilesPermissions) {
    std::string path = Script("UserBootscript");
    WriteFile(path, "#!/bin/sh\n#BEGIN_T\nold\n#END_T\n");
    chmod(path.c_str(), 0750);
    ScriptBlockEditor::Edit(path, "T", "new");
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0750u);
    EXPECT_EQ(ReadFile(path), "#!/bin/sh\n#BEGIN_T\nnew\n#END_T\n");
}

TEST(ScriptBlockEditor, LongLinesAreKeptWhole) {
    std::string path = Script("UserBootscript");
    std::string longLine(2000, 'a');
    WriteFile(path, longLine + "#END_T\n" + "\n");
    ScriptBlockEditor::Edit(path, "T", "c");
    EXPECT_EQ(ReadFile(path), longLine + "#END_T\n\n#BEGIN_T\nc\n#END_T\n");
}
