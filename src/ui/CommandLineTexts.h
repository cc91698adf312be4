#pragma once

// What the installer and the deinstaller say on their command line (the help, refusals of
// options, the reports of --info and --check) is said in the user's language: the one a
// language option names, else the one the environment asks for (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG, as gettext reads them), else the language the program's file keeps
// (the last chosen in the installer, the installation's in a deinstaller), else English.
// Only the ten languages of the catalogue count; "de_AT.UTF-8" is German, "nb" Norwegian.
// Option names, values and the lines meant for scripts are never translated.

#include <optional>
#include <string>
#include <vector>

#include "platform/support/SupportDefs.h"

// The language the environment asks for, when it is one of the ten; empty otherwise (also
// for the "C" and "POSIX" locales, which ask for none).
std::string EnvironmentLanguage();

// The language of the command line: `chosen` (a language option) when it is one of the
// ten, else EnvironmentLanguage(), else the "language" attribute of `executable` (read,
// never written), else "en".
std::string CommandLineLanguage(const std::optional<std::string>& chosen, const char* executable);

// The same language, for the whole run of the installer at `executable`: one that the
// language option or the environment asked for becomes the language of every catalogue
// text of that file in this process (window, console, alerts, engine), and is never
// stored on the file; only a choice in the language menu is.
std::string RunLanguage(const std::optional<std::string>& chosen, const char* executable);

// `format` with its %s and %d conversions replaced by `values` in order ("%%" gives "%").
// A conversion without a value stays as it is.
std::string FillText(const std::string& format, const std::vector<std::string>& values);

// The installer's catalogue text `id` in `language`, filled with `values`: the English
// text when the language has none, or one whose conversions differ from the English.
std::string CommandLineText(const std::string& language, int32 id,
                            const std::vector<std::string>& values = {});

// Ids of the installer's command-line texts in its catalogue.
enum CommandLineTextId : int32 {
    kCliInstallerUsage = 1160,      // %s program
    kCliTryHelp = 1161,             // %s program
    kCliUnexpectedArgument = 1162,  // %s word
    kCliUnknownOption = 1163,       // %s name
    kCliUnknownOptionNear = 1164,   // %s name, %s nearest
    kCliTakesNoValue = 1165,        // %s name
    kCliNeedsValue = 1166,          // %s name
    kCliNotTogether = 1167,         // %s name, %s name
    kCliUnknownLanguage = 1168,     // %s code
    kCliUnknownFrontend = 1169,     // %s kind
    kCliUnknownFrontendNear = 1170, // %s kind, %s nearest
    kCliNoTargetFolder = 1171,      // %s path, %s reason
    kCliTargetNotFolder = 1172,     // %s path
    kCliUnknownGroup = 1173,        // %s name
    kCliUnknownGroupNear = 1174,    // %s name, %s nearest
    kCliFrontendVariable = 1175,
    kCliInfoProduct = 1176,
    kCliInfoReleased = 1177,
    kCliInfoCompany = 1178,
    kCliInfoSupport = 1179,
    kCliInfoLicence = 1180,
    kCliInfoYes = 1181,
    kCliInfoNone = 1182,
    kCliInfoItems = 1183,
    kCliInfoBytes = 1184,    // %s byte count
    kCliInfoInGroups = 1185, // %s install types
    kCliInfoDeinstaller = 1186,
    kCliInfoTotal = 1187,
    kCliInfoInstallTypes = 1188,
    kCliInfoNoInstallTypes = 1189,
    kCliInfoLanguages = 1190,
    kCliCheckWhole = 1191,   // %s installer, %d count
    kCliCheckDamaged = 1192, // %s installer, %s reason
    kCliWindowNoDisplaySet = 1230,
    kCliWindowNoDisplay = 1231,  // %s display
    kCliWindowNoLibrary = 1232,  // %s library
    kCliWindowCannotOpen = 1233, // %s reason
    kCliSignedBy = 1301,
    kCliNotSigned = 1302,
    kCliNotSignedByKey = 1303, // %s installer, %s key id
    kCliUnreadableKey = 1304,  // %s key, %s reason
};
