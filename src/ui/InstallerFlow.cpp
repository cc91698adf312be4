#include "ui/InstallerFlow.h"

#include <cstring>

#include "engine/StopSignals.h"
#include "ui/InstallerStartUp.h"

int ExitStatusForResult(int result, bool completed) {
    switch (result) {
    case 0:
        return completed ? kExitCompleted : kExitCancelled;
    case 1:
        return kExitNoFolder;
    case 2:
        return kExitStopped;
    case 3:
        return kExitNoDiskSpace;
    case 4:
        return kExitIncomplete;
    case kInstallDamaged:
        return kExitDamaged;
    default:
        return kExitIncomplete;
    }
}

InstallerFlow::InstallerFlow(const InstallerOptions& options)
    : fTranscript(options.TranscriptPath()) {
    fLocalize.ObtainLanguage();
}

InstallerFlow::~InstallerFlow() {
    if (fRecorder && CurrentFrontend() == fRecorder.get())
        SetFrontend(nullptr);
}

void InstallerFlow::UseFrontend(Frontend& asker) {
    fRecorder = std::make_unique<RecordingFrontend>(asker, fTranscript);
    SetFrontend(fRecorder.get());
}

bool InstallerFlow::Load() {
    if (!fSession.Load())
        return false;
    fSession.Engine().SetStartRecord(installer_start_up::PlannedTypeRecord,
                                     installer_start_up::RecordType);
    return true;
}

int InstallerFlow::InstallAndWait() {
    // The run reached its end when it announced "Installation Complete" in the language
    // it ran in; a run ended at a requirements question answers 0 without it.
    std::string complete = fLocalize.GetString(1037).String();
    fCompleted = false;
    Frontend* outer = CurrentFrontend();
    class Watcher : public Frontend {
    public:
        Watcher(Frontend* inner, const std::string& complete, bool& seen)
            : fInner(inner), fComplete(complete), fSeen(seen) {}
        FrontendAnswer Ask(const FrontendRequest& request) override {
            return fInner != nullptr ? fInner->Ask(request) : FrontendAnswer{};
        }
        void Status(const char* text) override {
            if (text != nullptr && fComplete == text)
                fSeen = true;
            if (fInner != nullptr)
                fInner->Status(text);
        }
        void Progress(int64 done, int64 total) override {
            if (fInner != nullptr)
                fInner->Progress(done, total);
        }
        void Error(const char* detail) override {
            if (fInner != nullptr)
                fInner->Error(detail);
        }

    private:
        Frontend* fInner;
        const std::string& fComplete;
        bool& fSeen;
    } watcher(outer, complete, fCompleted);
    SetFrontend(&watcher);
    // A signal stops the run as Stop does; the run then offers to undo itself.
    InstallConfig& engine = fSession.Engine();
    StopSignals::SetHandler([&engine](int) { engine.RequestStop(); });
    int result = fSession.InstallAndWait();
    StopSignals::SetHandler(nullptr);
    SetFrontend(outer);
    // A damaged installer file ends before its run begins: the end is its exit status.
    fTranscript.RecordEnd(result == kInstallDamaged ? kExitDamaged : result);
    return ExitStatusForResult(result, fCompleted);
}

int InstallerFlow::End(int exitStatus) {
    fTranscript.RecordEnd(exitStatus);
    return exitStatus;
}
