#include "engine/StartupScript.h"

#include <cstdio>

std::string ShellWord(const std::string& text) {
    bool plain = !text.empty();
    for (char c : text) {
        bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '/' || c == '.' || c == '_' || c == '-' || c == '+' || c == ',' ||
                    c == ':' || c == '@' || c == '%';
        if (!safe) {
            plain = false;
            break;
        }
    }
    if (plain)
        return text;
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += "'";
    return quoted;
}

std::string StartupBlockText(const char* folder, const char* supportEmail) {
    const char* header[] = {
        "#",
        "# This section was placed by Tarnwhistle.",
        "# If you are having trouble with these commands,",
        nullptr, // the contact line
        "#",
        "# These commands gathers items in the start-up file at boot time",
        "# Applications that have an attribute of 'run_priority' get placed",
        "# in the first file, and all others are placed in the second file.",
        "# Those with a run_priority are sorted so those with the lowest priority",
        "# are run first.",
        "#",
        "# Any alterations done in this section may be lost",
        "# during the next installation of this product.",
        "#",
    };
    std::string text;
    for (const char* line : header) {
        if (line == nullptr) {
            text += "# please contact ";
            text += supportEmail != nullptr ? supportEmail : "";
            text += ".";
        } else {
            text += line;
        }
        text += "\n";
    }

    // A folder path is written as one shell word, so a blank or a quote in it cannot turn
    // into a command at boot time; ordinary paths appear as they are.
    text += "startup_folder=";
    text += ShellWord(folder != nullptr ? folder : "");
    text += "\n";

    // The three awk programs hold backslashes, quotes and percent signs; they are spelled
    // out here exactly as they must appear in the script.
    const char* fragment[] = {
        "if [ -d $startup_folder ]",
        "then",
        "\t#",
        "\t# Add items with attributes to file",
        "\t#",
        "\techo \"#!/bin/sh\" > /tmp/startup_pri_$$",
        "\t/bin/catattr run_priority \"$startup_folder\"/* 2>| /tmp/errs_$$ |",
        "\t/bin/awk -F: '{printf(\"%s~\\\"%s\\\"\\n\",$NF,substr($1,0,length($1)-1));}' |",
        "\tsort -n |",
        "\t/bin/awk -F '~' '{printf(\"%s &\\n\",$2)}' >> /tmp/startup_pri_$$",
        "\t#",
        "\t# get items that dont have the proper attributes",
        "\t#",
        "\techo \"#!/bin/sh\" > /tmp/startup_no_pri_$$",
        "\tsed -e 's/ file /~/' -e 's/ attribute /~/' /tmp/errs_$$ |",
        "\t/bin/awk -F '~' '{printf(\"\\\"\"$2\"\\\" &\\n\")}' >> /tmp/startup_no_pri_$$",
        "\t#",
        "\t# Change permission",
        "\t#",
        "\t/bin/chmod a+x /tmp/startup_pri_$$",
        "\t/bin/chmod a+x /tmp/startup_no_pri_$$",
        "\t#",
        "\t# Execute files in background",
        "\t#",
        "\t/tmp/startup_pri_$$",
        "\t/bin/sleep 1",
        "\t/tmp/startup_no_pri_$$",
        "\t#",
        "\t# Clean up files",
        "\t#",
        "\t/bin/rm -f /tmp/startup_pri_$$",
        "\t/bin/rm -f /tmp/startup_no_pri_$$",
        "\t/bin/rm -f /tmp/errs_$$",
        "fi",
        "#",
    };
    bool first = true;
    for (const char* line : fragment) {
        if (!first)
            text += "\n";
        text += line;
        first = false;
    }
    return text;
}
