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

    // Linux has no attribute lister of its own: a small reader in the block takes each
    // item's "run_priority" from its extended attribute with getfattr (when installed; an
    // item counts as having no priority otherwise). The value is a number in text or a
    // 32-bit integer in the machine's byte order, as the storage layer writes it. Every
    // path is quoted, the lists are made with mktemp, and the lists are run through the
    // shell, so a folder mounted without exec rights still works.
    const char* fragment[] = {
        "if [ -d \"$startup_folder\" ] && startup_pri=$(mktemp) &&",
        "\tstartup_no_pri=$(mktemp) && startup_errs=$(mktemp)",
        "then",
        "\t#",
        "\t# Read an item's run_priority: a number, or nothing",
        "\t#",
        "\tstartup_priority() {",
        "\t\tcommand -v getfattr >/dev/null 2>&1 || return 0",
        "\t\tset -- \"$(getfattr --absolute-names -e hex -n user.tarnw.type.run_priority -- "
        "\"$1\" 2>/dev/null |",
        "\t\t\tsed -n 's/^user\\.tarnw\\.type\\.run_priority=0x//p')\" \\",
        "\t\t\t\"$(getfattr --absolute-names -e hex -n user.run_priority -- \"$1\" 2>/dev/null |",
        "\t\t\tsed -n 's/^user\\.run_priority=0x//p')\"",
        "\t\tif [ \"$1\" = 4c4f4e47 ]",
        "\t\tthen",
        "\t\t\t[ ${#2} -eq 8 ] || return 0",
        "\t\t\tset -- $((0x${2#??????}$(echo \"$2\" | cut -c5-6)$(echo \"$2\" | cut "
        "-c3-4)${2%??????}))",
        "\t\t\t[ \"$1\" -lt 2147483648 ] || set -- $(($1 - 4294967296))",
        "\t\t\techo \"$1\"",
        "\t\t\treturn 0",
        "\t\tfi",
        "\t\tset -- \"$2\" \"\"",
        "\t\twhile [ -n \"$1\" ]",
        "\t\tdo",
        "\t\t\tcase $1 in",
        "\t\t\t3[0-9]*) set -- \"${1#??}\" \"$2$(echo \"$1\" | cut -c2)\" ;;",
        "\t\t\t2d*) set -- \"${1#??}\" \"$2-\" ;;",
        "\t\t\t00) set -- \"\" \"$2\" ;;",
        "\t\t\t*) return 0 ;;",
        "\t\t\tesac",
        "\t\tdone",
        "\t\tcase $2 in",
        "\t\t''|-|?*-*) ;;",
        "\t\t*) echo \"$2\" ;;",
        "\t\tesac",
        "\t}",
        "\t#",
        "\t# Add items with attributes to file",
        "\t#",
        "\techo \"#!/bin/sh\" > \"$startup_pri\"",
        "\tfor startup_item in \"$startup_folder\"/*",
        "\tdo",
        "\t\t[ -f \"$startup_item\" ] && [ -x \"$startup_item\" ] || continue",
        "\t\t# A name that spans lines cannot go through the sorted list.",
        "\t\t[ \"$(printf '%s' \"$startup_item\" | wc -l)\" -eq 0 ] || continue",
        "\t\tstartup_line=\"'$(printf '%s' \"$startup_item\" | sed \"s/'/'\\\\\\\\''/g\")' &\"",
        "\t\tstartup_value=$(startup_priority \"$startup_item\")",
        "\t\tif [ -n \"$startup_value\" ]",
        "\t\tthen",
        "\t\t\tprintf '%s %s\\n' \"$startup_value\" \"$startup_line\"",
        "\t\telse",
        "\t\t\tprintf '%s\\n' \"$startup_line\" >> \"$startup_errs\"",
        "\t\tfi",
        "\tdone |",
        "\tsort -n |",
        "\tsed -e 's/^[^ ]* //' >> \"$startup_pri\"",
        "\t#",
        "\t# get items that dont have the proper attributes",
        "\t#",
        "\techo \"#!/bin/sh\" > \"$startup_no_pri\"",
        "\tcat \"$startup_errs\" >> \"$startup_no_pri\"",
        "\t#",
        "\t# Change permission",
        "\t#",
        "\tchmod a+x \"$startup_pri\"",
        "\tchmod a+x \"$startup_no_pri\"",
        "\t#",
        "\t# Execute files in background",
        "\t#",
        "\t/bin/sh \"$startup_pri\"",
        "\tsleep 1",
        "\t/bin/sh \"$startup_no_pri\"",
        "\t#",
        "\t# Clean up files",
        "\t#",
        "\trm -f \"$startup_pri\"",
        "\trm -f \"$startup_no_pri\"",
        "\trm -f \"$startup_errs\"",
        "\tunset -f startup_priority",
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
