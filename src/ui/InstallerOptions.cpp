#include "ui/InstallerOptions.h"

#include "locale/xLocalize.h"
#include "ui/CommandLine.h"

bool InstallerCommandLine::Parse(int argc, const char* const* argv) {
    std::vector<OptionSpec> known = {
        {"help", false},           {"version", false}, {"info", false},
        {"list", false},           {"check", false},   {"target", true},
        {"accept-license", false}, {"group", true},    {"lang", true}};
    for (const OptionSpec& spec : FrontendOptions::Specs())
        known.push_back(spec);
    CommandLine line(std::move(known));
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
            fError =
                "options '--" + asked + "' and '--" + question.name + "' cannot be given together";
            return false;
        }
        asked = question.name;
        fOptions.action = question.action;
    }

    fOptions.target = line.Value("target");
    fOptions.acceptLicense = line.Has("accept-license");
    fOptions.group = line.Value("group");
    if (auto language = line.Value("lang")) {
        if (xLocalize::LanguageIndex(language->c_str()) < 0) {
            fError = "option '--lang': unknown language '" + *language +
                     "' (one of en fr es de it no sv da nl pt)";
            return false;
        }
        fOptions.language = language;
    }
    return fOptions.Read(line, fError);
}

std::string InstallerCommandLine::Usage(const std::string& program) {
    return "Usage: " + program +
           " [OPTION]...\n"
           "Installs the program this installer carries. Without options the installer\n"
           "opens its window (or a dialogue in the terminal) as usual.\n"
           "\n"
           "  --help               show this help and exit\n"
           "  --version            show the product's version and the installer's, and exit\n"
           "  --info               show the product, its company, items with sizes, install\n"
           "                       types and languages, and exit\n"
           "  --list               show the items, one a line, and exit\n"
           "  --check              check every checksum of this installer and exit:\n"
           "                       status 0 when it is whole, 9 when damaged or incomplete\n"
           "  --target DIR         install into the folder DIR\n"
           "  --accept-license     accept the licence\n"
           "  --group NAME         choose the install type NAME\n"
           "  --lang CODE          speak en, fr, es, de, it, no, sv, da, nl or pt\n"
           "  --answers FILE       read choices and answers from FILE\n"
           "  --transcript FILE    append a record of the run to FILE (JSON lines)\n"
           "  --frontend KIND      gui, console or unattended\n"
           "\n"
           "Options also take the form --option=VALUE, and win over the environment\n"
           "($TARNW_FRONTEND, $TARNW_ANSWERS, $TARNW_TRANSCRIPT) and the answers file.\n"
           "Exit status: 0 installed (or the question answered), 2 a wrong option or answers\n"
           "file, 9 the installer is damaged or incomplete; README lists the others.\n";
}
