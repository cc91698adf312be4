#pragma once

// Long options in GNU form: "--name", "--name VALUE" and "--name=VALUE". The program
// names the options it knows; anything else on the command line (an unknown option, a
// missing or unwanted value, a word that is no option) is refused with a message that
// names it, before the program does anything, in the language given to the parser
// (ui/CommandLineTexts.h).

#include <map>
#include <optional>
#include <string>
#include <vector>

struct OptionSpec {
    const char* name; // without the leading "--"
    bool takesValue;
};

class CommandLine {
public:
    explicit CommandLine(std::vector<OptionSpec> known, std::string language = "en");

    // Reads argv[1] to argv[argc - 1]. False on the first problem, with Error() set.
    bool Parse(int argc, const char* const* argv);
    const std::string& Error() const { return fError; }

    bool Has(const std::string& name) const;
    // The value of an option that takes one; the last given wins.
    std::optional<std::string> Value(const std::string& name) const;
    // The options given, in the order given (repeats included).
    const std::vector<std::string>& Given() const { return fOrder; }
    // The language its messages are in.
    const std::string& Language() const { return fLanguage; }

private:
    const OptionSpec* Find(const std::string& name) const;

    std::vector<OptionSpec> fKnown;
    std::string fLanguage;
    std::map<std::string, std::string> fValues;
    std::vector<std::string> fOrder;
    std::string fError;
};

// The options every front-end program takes: --answers FILE, --transcript FILE and
// --frontend gui|console|unattended. Each wins over its variable in the environment.
struct FrontendOptions {
    std::optional<std::string> answers;
    std::optional<std::string> transcript;
    std::optional<std::string> frontend;

    // The answers file to read: --answers, else $TARNW_ANSWERS; empty when none.
    std::string AnswersPath() const;
    // The transcript to write: --transcript, else $TARNW_TRANSCRIPT; empty when none.
    std::string TranscriptPath() const;
    // The front-end asked for: --frontend, else $TARNW_FRONTEND (may be null).
    const char* RequestedFrontend() const;

    // The specs of the three options, to add to a program's own.
    static std::vector<OptionSpec> Specs();
    // Takes the three options from a parsed line. False when --frontend names no
    // front-end; error then names it, in the line's language.
    bool Read(const CommandLine& line, std::string& error);
};
