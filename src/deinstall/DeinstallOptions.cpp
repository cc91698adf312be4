#include "deinstall/DeinstallOptions.h"

#include "deinstall/DeinstallTexts.h"
#include "ui/CommandLine.h"

bool DeinstallCommandLine::Parse(int argc, const char* const* argv) {
    std::vector<OptionSpec> known = {
        {"help", false}, {"version", false}, {"yes", false}, {"restore", false}, {"lang", true}};
    for (const OptionSpec& spec : FrontendOptions::Specs())
        known.push_back(spec);
    CommandLine line(std::move(known), fLanguage);
    fOptions = DeinstallOptions();
    if (!line.Parse(argc, argv)) {
        fError = line.Error();
        return false;
    }
    if (line.Has("help"))
        fOptions.action = DeinstallAction::Help;
    else if (line.Has("version"))
        fOptions.action = DeinstallAction::Version;
    fOptions.yes = line.Has("yes");
    fOptions.restore = line.Has("restore");
    if (auto language = line.Value("lang")) {
        if (!DeinstallTexts::IsLanguage(*language)) {
            fError = DeinstallTexts(fLanguage).Fill(kTextUnknownLanguage, {*language});
            return false;
        }
        fOptions.language = language;
    }
    return fOptions.Read(line, fError);
}

std::string DeinstallCommandLine::Usage(const std::string& program, const std::string& language) {
    return DeinstallTexts(language).Fill(kTextUsage, {program});
}
