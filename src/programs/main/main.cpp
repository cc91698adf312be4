// The installer's entry point. Everything the installer installs is in its own
// resources; the command line and the environment choose the front-end and may answer
// its questions (ui/InstallerOptions.h). The same program is the deinstaller when its
// resources carry the deinstaller's role record (the copy an installation places in its
// folder).
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <string>
#include <unistd.h>

#include "DeinstallMain.h"
#include "files/InstallerIntegrity.h"
#include "files/ProgramRole.h"

#include "engine/StopSignals.h"
#include "ui/CommandLineTexts.h"
#include "ui/ExitStatus.h"
#include "ui/FrontendChoice.h"
#include "ui/InstallerFlow.h"
#include "ui/InstallerOptions.h"
#include "ui/InstallerReports.h"
#include "ui/InstallerStartUp.h"
#include "ui/Transcript.h"

#include "programs/window/WindowLoader.h"

namespace {

// The window's part is loaded only here, when a window may open: without a display, or
// without the libraries the window needs, the program goes on without them.
bool DisplayOpens() {
    return WindowLoader::Open().Opens();
}

std::string SelfPath() {
    char buffer[PATH_MAX + 1];
    ssize_t size = readlink("/proc/self/exe", buffer, PATH_MAX);
    return size < 0 ? std::string("/proc/self/exe") : std::string(buffer, size_t(size));
}

} // namespace

int main(int argc, char** argv) {
    // One heap for all threads: the threads that write items free what the installing
    // thread made, and a heap per thread kept about a fifth more memory at the peak of a
    // run of thousands of items, with no gain in speed.
    mallopt(M_ARENA_MAX, 1);
    if (RunsAsDeinstaller(SelfPath().c_str()))
        return RunDeinstaller(argc, argv);
    StopSignals::Start();
    // --lang, else the locale, else the language kept on the file, else English; the first
    // two hold for this run only.
    std::string language =
        RunLanguage(InstallerCommandLine::LanguageAsked(argc, argv), SelfPath().c_str());
    InstallerCommandLine commandLine(language);
    if (!commandLine.Parse(argc, argv)) {
        std::fprintf(stderr, "%s: %s\n%s\n", argv[0], commandLine.Error().c_str(),
                     CommandLineText(language, kCliTryHelp, {argv[0]}).c_str());
        return kExitUsage;
    }
    const InstallerOptions& options = commandLine.Options();
    // Whoever asks for a signer gets nothing else from an installer that another made.
    if (options.verifyKey &&
        (options.action == InstallerAction::Install || options.action == InstallerAction::Check)) {
        int status = CheckSignedBy(SelfPath(), *options.verifyKey, stderr, language);
        if (status != kExitCompleted) {
            Transcript transcript(options.TranscriptPath());
            transcript.RecordEvent("error", "not signed by the key " + *options.verifyKey);
            transcript.RecordEnd(status);
            return status;
        }
    }
    switch (options.action) {
    case InstallerAction::Help:
        std::fputs(InstallerCommandLine::Usage(argv[0], language).c_str(), stdout);
        return kExitCompleted;
    case InstallerAction::Version:
        return PrintVersion(SelfPath(), stdout, stderr);
    case InstallerAction::Info:
        return PrintInfo(SelfPath(), stdout, stderr, language);
    case InstallerAction::List:
        return PrintItemList(SelfPath(), stdout, stderr);
    case InstallerAction::Check:
        return CheckInstaller(SelfPath(), stdout, stderr, language);
    case InstallerAction::Install:
        break;
    }
    if (std::string problem = CheckInstallChoices(options, SelfPath(), language);
        !problem.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[0], problem.c_str());
        Transcript transcript(options.TranscriptPath());
        transcript.RecordEvent("error", problem);
        transcript.RecordEnd(kExitUsage);
        return kExitUsage;
    }

    FrontendKind kind;
    FrontendEnvironment environment =
        CurrentFrontendEnvironment(true, &DisplayOpens, options.RequestedFrontend());
    // A window asked for by name that cannot open is said so, and nothing is written.
    if (WindowAskedFor(environment) && !environment.displayOpens) {
        std::fprintf(stderr, "%s: %s\n", argv[0],
                     WindowProblemText(language, WindowLoader::Open()).c_str());
        return kExitNoWindow;
    }
    if (!ChooseFrontend(environment, kind)) {
        std::fprintf(stderr, "%s\n", CommandLineText(language, kCliFrontendVariable).c_str());
        return kExitUsage;
    }
    // A damaged installer file changes nothing: the front-end tells the user. A whole one
    // stamps its version record on itself; the type record in the user's folder waits for
    // a run to begin.
    IntegrityReport integrity = CheckInstallerFile(
        SelfPath().c_str(), [](type_code type, int32 id) { return !IsPayloadResource(type, id); },
        {}, ImageCheck::kChecked);
    if (!integrity.Broken())
        installer_start_up::RecordVersion();
    int status = kExitUsage;
    switch (kind) {
    case FrontendKind::Gui:
        status = WindowLoader::Open().entries->runInstaller(options);
        break;
    case FrontendKind::Console:
        status = RunConsoleInstaller(options);
        break;
    case FrontendKind::Unattended:
        status = RunUnattendedInstaller(options);
        break;
    }
    return status;
}
