#pragma once

// What every non-window front-end does around an installation: the transcript, the
// session, the language, and turning the worker's result into an exit status.

#include <string>

#include "engine/InstallSession.h"
#include "locale/xLocalize.h"
#include "ui/ExitStatus.h"
#include "ui/InstallerOptions.h"
#include "ui/Transcript.h"

class InstallerFlow {
public:
    // The transcript goes where the options (or the environment) say.
    explicit InstallerFlow(const InstallerOptions& options = {});

    InstallSession& Session() { return fSession; }
    Transcript& Record() { return fTranscript; }
    xLocalize& Localize() { return fLocalize; }
    LibString Text(int32 id) { return fLocalize.GetString(id); }

    // Installs `asker` (wrapped so that every question lands in the transcript) as the
    // process's front-end for as long as this object lives.
    void UseFrontend(Frontend& asker);
    ~InstallerFlow();

    // Loads the package; false when the installer is broken (the user was told).
    bool Load();
    // Runs the installation to its end and returns the exit status; records the end.
    int InstallAndWait();
    // Records the end of a run that never started.
    int End(int exitStatus);

private:
    InstallSession fSession;
    Transcript fTranscript;
    xLocalize fLocalize;
    std::unique_ptr<RecordingFrontend> fRecorder;
    bool fCompleted = false;
};

// The two terminal flows. Both return the installer's exit status.
int RunUnattendedInstaller(const InstallerOptions& options = {});
int RunConsoleInstaller(const InstallerOptions& options = {});
