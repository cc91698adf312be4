#pragma once

// The installer's command line. Without options the installer behaves as it always did;
// options win over the environment ($TARNW_FRONTEND, $TARNW_ANSWERS, $TARNW_TRANSCRIPT)
// and over the answers file:
//   --help, --version, --info, --list, --check   tell something and install nothing
//   --target DIR        the destination folder, as "destination:" in the answers file
//   --accept-license    as "license: agree"
//   --group NAME        the install type, as "group:"
//   --lang CODE         the language, as "language:"
//   --answers FILE, --transcript FILE, --frontend gui|console|unattended

#include <optional>
#include <string>

enum class InstallerAction { Install, Help, Version, Info, List, Check };

struct InstallerOptions {
    InstallerAction action = InstallerAction::Install;
    std::optional<std::string> target;
    bool acceptLicense = false;
    std::optional<std::string> group;
    std::optional<std::string> language;
    std::optional<std::string> answers;
    std::optional<std::string> transcript;
    std::optional<std::string> frontend;

    // The answers file to read: --answers, else $TARNW_ANSWERS; empty when none.
    std::string AnswersPath() const;
    // The transcript to write: --transcript, else $TARNW_TRANSCRIPT; empty when none.
    std::string TranscriptPath() const;
    // The front-end asked for: --frontend, else $TARNW_FRONTEND (may be null).
    const char* RequestedFrontend() const;
};

class InstallerCommandLine {
public:
    // False on an unknown option or a bad value; Error() then names it (exit status 2).
    bool Parse(int argc, const char* const* argv);
    const InstallerOptions& Options() const { return fOptions; }
    const std::string& Error() const { return fError; }

    static std::string Usage(const std::string& program);

private:
    InstallerOptions fOptions;
    std::string fError;
};
