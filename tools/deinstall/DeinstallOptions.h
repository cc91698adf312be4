#pragma once

// The deinstaller's command line. Without options it behaves as it always did; options
// win over the environment ($TARNW_FRONTEND, $TARNW_ANSWERS, $TARNW_TRANSCRIPT) and over
// the answers file:
//   --help, --version     tell something and remove nothing
//   --yes                 consent to the removal, as "remove: yes"
//   --restore             put saved files back, as "restore: yes"
//   --answers FILE, --transcript FILE, --frontend gui|console|unattended

#include <optional>
#include <string>

enum class DeinstallAction { Remove, Help, Version };

struct DeinstallOptions {
    DeinstallAction action = DeinstallAction::Remove;
    bool yes = false;
    bool restore = false;
    std::optional<std::string> answers;
    std::optional<std::string> transcript;
    std::optional<std::string> frontend;

    // --answers, else $TARNW_ANSWERS ("" when none); the same for the transcript.
    std::string AnswersPath() const;
    std::string TranscriptPath() const;
    // --frontend, else $TARNW_FRONTEND (may be null).
    const char* RequestedFrontend() const;
};

class DeinstallCommandLine {
public:
    // False on an unknown option or a bad value; Error() then names it (exit status 2).
    bool Parse(int argc, const char* const* argv);
    const DeinstallOptions& Options() const { return fOptions; }
    const std::string& Error() const { return fError; }

    static std::string Usage(const std::string& program);

private:
    DeinstallOptions fOptions;
    std::string fError;
};
