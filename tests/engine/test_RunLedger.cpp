#include "engine/RunLedger.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/InstalledRecord.h"
#include "platform/app/Message.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

RunLedger Filled(const std::string& root) {
    RunLedger ledger;
    ledger.tagged = {root + "/Tool", root + "/Tool/bin", root + "/Tool/bin/tool"};
    ledger.scriptEdits = {{"/home/u/config/boot/UserBootscript", "StartUpFolder"}};
    ledger.links = {{"/home/u/bin/tool", root + "/Tool/bin/tool"}};
    ledger.saved = {{root + "/Tool/Saved Files/prod.conf", "/home/u/.config/prod.conf"},
                    {root + "/Tool/Saved Files/prod copy.conf", "/home/u/.config/x/prod.conf"}};
    ledger.createdFolders = {"/home/u/apps", "/home/u/apps/tools"};
    ledger.createdEntries = {"/home/u/.local/share/mime/packages/tarnw.xml"};
    ledger.createdFiles = {"/home/u/config/boot/UserBootscript"};
    ledger.hookEntries = {
        {"/home/u/.config/autostart/tarnw-boot.desktop", "/home/u/config/boot/UserBootscript"}};
    ledger.hookBlocks = {{"/home/u/.profile", "TarnwBoot", "/home/u/config/boot/UserBootscript"}};
    return ledger;
}

} // namespace

TEST(RunLedger, WhatItWritesIntoTheDeinstallersRecordReadsBackUnchanged) {
    fs::path folder = Sandbox::MakeFolder("installation");
    fs::path deinstaller = folder / "Tool 1.0 Deinstaller";
    WriteFile(deinstaller, "a deinstaller");
    RunLedger ledger = Filled(folder.string());

    BMessage record;
    record.AddString("install_folder", folder.c_str());
    ledger.AddTo(record);
    std::string error;
    ASSERT_TRUE(InstalledRecord::Write(deinstaller, record, error)) << error;
    BMessage read;
    ASSERT_TRUE(InstalledRecord::Read(deinstaller, read, error)) << error;
    EXPECT_EQ(RunLedger::From(read), ledger);
    EXPECT_STREQ(read.GetString("install_folder", ""), folder.c_str());

    // Nothing made, nothing listed.
    BMessage empty;
    RunLedger().AddTo(empty);
    EXPECT_EQ(empty.CountNames(B_ANY_TYPE), 0);
    EXPECT_EQ(RunLedger::From(empty), RunLedger());
}

// A record is untrusted: a pair with a half missing is not half taken over.
TEST(RunLedger, ARecordWithHalfAPairListsOnlyWholeOnes) {
    BMessage record;
    record.AddString("saved", "/i/Saved Files/a");
    record.AddString("saved_from", "/home/u/a");
    record.AddString("saved", "/i/Saved Files/b");
    record.AddString("link", "/home/u/bin/tool");
    record.AddString("hook_block", "/home/u/.profile");
    record.AddString("hook_block_tag", "TarnwBoot");
    record.AddInt32("path", 7); // of the wrong type: not a path
    RunLedger ledger = RunLedger::From(record);
    EXPECT_EQ(ledger.saved, (std::vector<RunLedger::PathPair>{{"/i/Saved Files/a", "/home/u/a"}}));
    EXPECT_TRUE(ledger.links.empty());
    EXPECT_TRUE(ledger.hookBlocks.empty());
    EXPECT_TRUE(ledger.tagged.empty());
}
