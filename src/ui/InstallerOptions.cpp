#include "ui/InstallerOptions.h"

#include "locale/xLocalize.h"
#include "ui/CommandLine.h"
#include "ui/CommandLineTexts.h"

bool InstallerCommandLine::Parse(int argc, const char* const* argv) {
    std::vector<OptionSpec> known = {
        {"help", false},  {"version", false},  {"info", false},           {"list", false},
        {"check", false}, {"target", true},    {"accept-license", false}, {"group", true},
        {"lang", true},   {"verify-key", true}};
    for (const OptionSpec& spec : FrontendOptions::Specs())
        known.push_back(spec);
    CommandLine line(std::move(known), fLanguage);
    fOptions = InstallerOptions();
    if (!line.Parse(argc, argv)) {
        fError = line.Error();
        return false;
    }

    // --help and --version answer whatever else is given; of the other questions only
    // one can be answered at a time.
    if (line.Has("help")) {
        fOptions.action = InstallerAction::Help;
        return true;
    }
    if (line.Has("version")) {
        fOptions.action = InstallerAction::Version;
        return true;
    }
    const struct {
        const char* name;
        InstallerAction action;
    } questions[] = {{"info", InstallerAction::Info},
                     {"list", InstallerAction::List},
                     {"check", InstallerAction::Check}};
    std::string asked;
    for (const auto& question : questions) {
        if (!line.Has(question.name))
            continue;
        if (!asked.empty()) {
            fError = CommandLineText(fLanguage, kCliNotTogether, {asked, question.name});
            return false;
        }
        asked = question.name;
        fOptions.action = question.action;
    }

    fOptions.target = line.Value("target");
    fOptions.acceptLicense = line.Has("accept-license");
    fOptions.group = line.Value("group");
    fOptions.verifyKey = line.Value("verify-key");
    if (auto language = line.Value("lang")) {
        if (xLocalize::LanguageIndex(language->c_str()) < 0) {
            fError = CommandLineText(fLanguage, kCliUnknownLanguage, {*language});
            return false;
        }
        fOptions.language = language;
    }
    return fOptions.Read(line, fError);
}

std::string InstallerCommandLine::Usage(const std::string& program, const std::string& language) {
    return CommandLineText(language, kCliInstallerUsage, {program});
}

std::optional<std::string> InstallerCommandLine::LanguageAsked(int argc, const char* const* argv) {
    std::optional<std::string> asked;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) {
        std::string word = argv[i];
        std::optional<std::string> value;
        if (word.rfind("--lang=", 0) == 0)
            value = word.substr(7);
        else if (word == "--lang" && i + 1 < argc && argv[i + 1] != nullptr)
            value = argv[++i];
        // The last one given wins, as on a line that is read.
        if (value && xLocalize::LanguageIndex(value->c_str()) >= 0)
            asked = value;
    }
    return asked;
}
