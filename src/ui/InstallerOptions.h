#pragma once

// The installer's command line. Without options the installer behaves as it always did;
// options win over the environment ($TARNW_FRONTEND, $TARNW_ANSWERS, $TARNW_TRANSCRIPT)
// and over the answers file:
//   --help, --version, --info, --list, --check   tell something and install nothing
//   --target DIR        the destination folder, as "destination:" in the answers file
//   --accept-license    as "license: agree"
//   --group NAME        the install type, as "group:"
//   --lang CODE         the language, as "language:"
//   --verify-key KEY    end with status 9 unless the installer is signed by KEY (a minisign
//                       public key file, or the key itself)
//   --answers FILE, --transcript FILE, --frontend gui|console|unattended

#include <optional>
#include <string>

#include "ui/CommandLine.h"

enum class InstallerAction { Install, Help, Version, Info, List, Check };

struct InstallerOptions : FrontendOptions {
    InstallerAction action = InstallerAction::Install;
    std::optional<std::string> target;
    bool acceptLicense = false;
    std::optional<std::string> group;
    std::optional<std::string> language;
    std::optional<std::string> verifyKey;
};

class InstallerCommandLine {
public:
    // Messages are in `language` (ui/CommandLineTexts.h).
    explicit InstallerCommandLine(std::string language = "en") : fLanguage(std::move(language)) {}

    // False on an unknown option or a bad value; Error() then names it (exit status 2).
    bool Parse(int argc, const char* const* argv);
    const InstallerOptions& Options() const { return fOptions; }
    const std::string& Error() const { return fError; }

    // The help, in `language`.
    static std::string Usage(const std::string& program, const std::string& language = "en");
    // The language a "--lang CODE" or "--lang=CODE" among the words asks for, even on a line
    // that is refused for another reason; nothing when none names one of the ten.
    static std::optional<std::string> LanguageAsked(int argc, const char* const* argv);

private:
    std::string fLanguage;
    InstallerOptions fOptions;
    std::string fError;
};
