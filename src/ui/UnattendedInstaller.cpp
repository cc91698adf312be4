// The unattended installer: every choice comes from the answers file ($TARNW_ANSWERS),
// every question is answered from it in order, and nothing is asked on the terminal.
#include <cstdio>
#include <cstdlib>

#include "ui/AnswerLabels.h"
#include "ui/AnswersFile.h"
#include "ui/InstallerFlow.h"
#include "ui/UnattendedFrontend.h"
#include "ui/VolumeHome.h"

namespace {

int Refuse(InstallerFlow& flow, int status, const std::string& reason) {
    std::fprintf(stderr, "%s\n", reason.c_str());
    flow.Record().RecordEvent("error", reason);
    return flow.End(status);
}

int FindGroup(InstallSession& session, const std::string& name) {
    for (int32 i = 0; i < session.CountGroups(); ++i)
        if (session.GroupName(i) == name)
            return i;
    return -1;
}

int FindFile(InstallSession& session, const std::string& leaf) {
    for (int32 i = 0; i < session.CountFiles(); ++i)
        if (session.FileLeaf(i) == leaf)
            return i;
    return -1;
}

std::vector<std::string> GroupNames(InstallSession& session) {
    std::vector<std::string> names;
    for (int32 i = 0; i < session.CountGroups(); ++i)
        names.push_back(session.GroupName(i));
    return names;
}

std::vector<std::string> FileLeaves(InstallSession& session) {
    std::vector<std::string> names;
    for (int32 i = 0; i < session.CountFiles(); ++i)
        names.push_back(session.FileLeaf(i));
    return names;
}

std::vector<std::string> LanguageCodes() {
    std::vector<std::string> codes;
    for (int32 i = 0; i < 10; ++i)
        codes.push_back(xLocalize::LanguageCode(i));
    return codes;
}

} // namespace

int RunUnattendedInstaller(const InstallerOptions& options) {
    AnswersFile answers;
    AnswersFileError error;
    std::string answersPath = options.AnswersPath();
    bool answersOk =
        answersPath.empty() || answers.Load(answersPath, AnswersFile::InstallerKeys(), &error);
    if (options.target)
        answers.Set("destination", *options.target);
    if (options.acceptLicense)
        answers.Set("license", "agree");
    if (options.group)
        answers.Set("group", *options.group);
    if (options.language)
        answers.Set("language", *options.language);

    InstallerFlow flow(options);
    UnattendedFrontend asker(answers);
    flow.UseFrontend(asker);
    if (!answersOk)
        return Refuse(flow, kExitUsage,
                      std::string("answers file ") + answersPath +
                          (error.line > 0 ? ", line " + std::to_string(error.line) : "") + ": " +
                          error.message);

    if (auto onFailure = answers.Value("on_failure")) {
        if (*onFailure != "undo" && *onFailure != "keep")
            return Refuse(flow, kExitUsage,
                          "on_failure must be undo or keep, not \"" + *onFailure + "\"");
    }

    if (auto signerChange = answers.Value("signer_change")) {
        if (*signerChange != "cancel" && *signerChange != "allow")
            return Refuse(flow, kExitUsage,
                          "signer_change must be allow or cancel, not \"" + *signerChange + "\"");
    }

    if (auto language = answers.Value("language")) {
        if (xLocalize::LanguageIndex(language->c_str()) < 0)
            return Refuse(flow, kExitUsage,
                          UnknownNameMessage("unknown language", *language, LanguageCodes()));
        // For this run only: an unattended run changes nothing of the file's.
        flow.Localize().UseLanguage(language->c_str());
    }
    // A misspelt answer would otherwise fall back to the first button in the middle of
    // the run: it is refused before anything happens.
    if (std::string problem =
            answers.CheckAnswerLabels(InstallerButtonLabels(flow.Localize().Language()));
        !problem.empty())
        return Refuse(flow, kExitUsage, "answers file " + answersPath + ", " + problem);

    InstallSession& session = flow.Session();
    if (!flow.Load())
        return flow.End(session.Damaged() ? kExitDamaged : kExitBrokenInstaller);

    if (!session.License().empty() && !answers.Is("license", "agree"))
        return Refuse(flow, kExitLicenseDeclined,
                      "The package has a licence and the answers file does not accept it "
                      "(\"license: agree\"); nothing was installed.");

    // Install type first, as the window selects the first group when it opens.
    int group = session.CountGroups() > 0 ? 0 : -1;
    if (auto name = answers.Value("group")) {
        group = FindGroup(session, *name);
        if (group < 0)
            return Refuse(
                flow, kExitUsage,
                UnknownNameMessage("the package has no install type", *name, GroupNames(session)));
    }
    if (group >= 0)
        session.SelectGroup(group);
    for (const auto& toggle : answers.FileToggles()) {
        int file = FindFile(session, toggle.leaf);
        if (file < 0)
            return Refuse(
                flow, kExitUsage,
                UnknownNameMessage("the package has no file", toggle.leaf, FileLeaves(session)));
        session.SetSelected(file, toggle.select);
    }

    session.SetDefaultDestination();
    auto destination = answers.Value("destination");
    auto volumeName = answers.Value("volume");
    if (volumeName) {
        VolumeChoice volume;
        if (!FindVolume(*volumeName, volume))
            return Refuse(flow, kExitUsage, "no mounted volume is named \"" + *volumeName + "\"");
        PackageConfig& config = session.Engine();
        if ((volume.removable && !config.BoolValue("req_removable_vol_ok")) ||
            (volume.shared && !config.BoolValue("req_shared_vol_ok")))
            return Refuse(flow, kExitUsage,
                          "this package may not be installed on the volume \"" + *volumeName +
                              "\"");
        session.SetDestination(volume.homeFolder.c_str());
    }
    if (destination) {
        // A folder chosen in the folder panel: where the installation folder exists already,
        // the panel asks, and Cancel ends the run; it never falls back to another folder.
        session.SetDestination(destination->c_str());
        if (!session.CheckDestinationFolder(true))
            return Refuse(flow, kExitCancelled,
                          "The installation folder already exists in " + *destination +
                              " and the answer was not to replace it; nothing was installed.");
    } else {
        // Accepting the licence (or choosing a volume) tells the user about an existing
        // installation folder; the run then moves it to the Trash.
        session.CheckDestinationFolder(false);
    }

    if (!session.CanInstall())
        return Refuse(flow, kExitCancelled, "No file is selected; nothing was installed.");
    return flow.InstallAndWait();
}
