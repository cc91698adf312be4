#pragma once

// What the installer tells on its command line without installing anything: its version,
// a description of the package, the list of its items, and whether its file is whole.
// Each writes to `out` (problems to `err`) and returns the exit status. The words around
// the package's own texts are in `language` (ui/CommandLineTexts.h); --version and --list
// print only names, for scripts.

#include <cstdio>
#include <string>

// "Product VERSION" and the installer's own version.
int PrintVersion(const std::string& installer, FILE* out, FILE* err);
// Product, company, items with their sizes, install types and languages.
int PrintInfo(const std::string& installer, FILE* out, FILE* err,
              const std::string& language = "en");
// The items' names, one a line.
int PrintItemList(const std::string& installer, FILE* out, FILE* err);
// Checks every resource against its checksum, and that every item, the deinstaller and
// the configuration are there: 0 when whole, kExitDamaged (9) otherwise.
int CheckInstaller(const std::string& installer, FILE* out, FILE* err,
                   const std::string& language = "en");
// --verify-key: 0 when the installer is signed by `key` (a public key file or the key
// itself) and its signature matches; kExitDamaged (9) when it is not, kExitUsage (2)
// when the key cannot be read. What is wrong goes to `err`.
int CheckSignedBy(const std::string& installer, const std::string& key, FILE* err,
                  const std::string& language = "en");

// The installer's own version, as stamped into its version record.
constexpr const char* kInstallerVersionText = "1.3.1";

struct InstallerOptions;

// The values of options that name something outside the command line (the destination
// folder, the install type) checked before anything happens. Empty when all is well,
// else the message naming the option, in `language` (the installer then ends with status 2).
std::string CheckInstallChoices(const InstallerOptions& options, const std::string& installer,
                                const std::string& language = "en");
