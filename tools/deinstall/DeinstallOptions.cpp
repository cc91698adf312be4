#include "DeinstallOptions.h"

#include "ui/CommandLine.h"

bool DeinstallCommandLine::Parse(int argc, const char* const* argv) {
    std::vector<OptionSpec> known = {
        {"help", false}, {"version", false}, {"yes", false}, {"restore", false}};
    for (const OptionSpec& spec : FrontendOptions::Specs())
        known.push_back(spec);
    CommandLine line(std::move(known));
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
    return fOptions.Read(line, fError);
}

std::string DeinstallCommandLine::Usage(const std::string& program) {
    return "Usage: " + program +
           " [OPTION]...\n"
           "Removes what the installation of this product placed, and only that.\n"
           "\n"
           "  --help               show this help and exit\n"
           "  --version            show the product's version and the deinstaller's, and exit\n"
           "  --yes                remove without asking\n"
           "  --restore            put back the files the installation replaced\n"
           "  --answers FILE       read the decisions from FILE (remove: yes, restore: yes)\n"
           "  --transcript FILE    append a record of the run to FILE (JSON lines)\n"
           "  --frontend KIND      gui, console or unattended\n"
           "\n"
           "Options also take the form --option=VALUE, and win over the environment\n"
           "($TARNW_FRONTEND, $TARNW_ANSWERS, $TARNW_TRANSCRIPT) and the answers file.\n"
           "Exit status: 0 removed, 2 a wrong option or answers file, 4 not everything could\n"
           "be removed, 5 the deinstaller is damaged, 7 nothing was removed.\n";
}
