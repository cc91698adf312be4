#pragma once

// The deinstaller's command line. Without options it behaves as it always did; options
// win over the environment ($TARNW_FRONTEND, $TARNW_ANSWERS, $TARNW_TRANSCRIPT) and over
// the answers file:
//   --help, --version     tell something and remove nothing
//   --yes                 consent to the removal, as "remove: yes"
//   --restore             put saved files back, as "restore: yes"
//   --answers FILE, --transcript FILE, --frontend gui|console|unattended
//   --lang CODE           the run's language, for this run only

#include <optional>
#include <string>

#include "ui/CommandLine.h"

enum class DeinstallAction { Remove, Help, Version };

struct DeinstallOptions : FrontendOptions {
    DeinstallAction action = DeinstallAction::Remove;
    bool yes = false;
    bool restore = false;
    std::optional<std::string> language;
};

class DeinstallCommandLine {
public:
    // Messages are in `language` (ui/CommandLineTexts.h).
    explicit DeinstallCommandLine(std::string language = "en") : fLanguage(std::move(language)) {}

    // False on an unknown option or a bad value; Error() then names it (exit status 2).
    bool Parse(int argc, const char* const* argv);
    const DeinstallOptions& Options() const { return fOptions; }
    const std::string& Error() const { return fError; }

    // The help, in `language`.
    static std::string Usage(const std::string& program, const std::string& language = "en");

private:
    std::string fLanguage;
    DeinstallOptions fOptions;
    std::string fError;
};
