#include "engine/StartupScript.h"

#include <gtest/gtest.h>

namespace {

// The StartUp block as it must appear in the boot script, tabs spelled out.
const char* kExpected =
    "#\n"
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
    "startup_folder=/home/u/StartUp\n"
    "if [ -d $startup_folder ]\n"
    "then\n"
    "\t#\n"
    "\t# Add items with attributes to file\n"
    "\t#\n"
    "\techo \"#!/bin/sh\" > /tmp/startup_pri_$$\n"
    "\t/bin/catattr run_priority \"$startup_folder\"/* 2>| /tmp/errs_$$ |\n"
    R"(	/bin/awk -F: '{printf("%s~\"%s\"\n",$NF,substr($1,0,length($1)-1));}' |)"
    "\n"
    "\tsort -n |\n"
    R"(	/bin/awk -F '~' '{printf("%s &\n",$2)}' >> /tmp/startup_pri_$$)"
    "\n"
    "\t#\n"
    "\t# get items that dont have the proper attributes\n"
    "\t#\n"
    "\techo \"#!/bin/sh\" > /tmp/startup_no_pri_$$\n"
    "\tsed -e 's/ file /~/' -e 's/ attribute /~/' /tmp/errs_$$ |\n"
    R"(	/bin/awk -F '~' '{printf("\""$2"\" &\n")}' >> /tmp/startup_no_pri_$$)"
    "\n"
    "\t#\n"
    "\t# Change permission\n"
    "\t#\n"
    "\t/bin/chmod a+x /tmp/startup_pri_$$\n"
    "\t/bin/chmod a+x /tmp/startup_no_pri_$$\n"
    "\t#\n"
    "\t# Execute files in background\n"
    "\t#\n"
    "\t/tmp/startup_pri_$$\n"
    "\t/bin/sleep 1\n"
    "\t/tmp/startup_no_pri_$$\n"
    "\t#\n"
    "\t# Clean up files\n"
    "\t#\n"
    "\t/bin/rm -f /tmp/startup_pri_$$\n"
    "\t/bin/rm -f /tmp/startup_no_pri_$$\n"
    "\t/bin/rm -f /tmp/errs_$$\n"
    "fi\n"
    "#";

} // namespace

TEST(StartupScript, BlockTextIsExact) {
    EXPECT_EQ(StartupBlockText("/home/u/StartUp", "help@example.com"), kExpected);
}

TEST(StartupScript, FolderWithShellCharactersStaysOneWord) {
    std::string text = StartupBlockText("/home/u/My Apps/$(rm -rf ~)/it's", "");
    EXPECT_NE(text.find("\nstartup_folder='/home/u/My Apps/$(rm -rf ~)/it'\\''s'\n"),
              std::string::npos);
    EXPECT_NE(text.find("# please contact .\n"), std::string::npos);
}

TEST(StartupScript, ShellWord) {
    EXPECT_EQ(ShellWord("/usr/local/bin"), "/usr/local/bin");
    EXPECT_EQ(ShellWord(""), "''");
    EXPECT_EQ(ShellWord("a b"), "'a b'");
    EXPECT_EQ(ShellWord("a;b"), "'a;b'");
}
