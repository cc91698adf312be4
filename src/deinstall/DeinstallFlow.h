#pragma once

// One run of the deinstaller, the same in every front-end: show what will be removed and
// what stays, ask for consent, remove with progress, offer to put saved files back, and
// tell the result. Questions go through the front-end seam; in an unattended run the
// answers file decides ("remove: yes" consents, "restore: yes" puts saved files back) and
// the decisions are recorded in the transcript like answered questions.

#include <cstdio>
#include <optional>
#include <string>

#include "deinstall/DeinstallTexts.h"
#include "deinstall/Deinstaller.h"
#include "platform/interface/Frontend.h"

class Transcript;

// Exit statuses of the deinstaller.
enum DeinstallExitStatus {
    kDeinstallCompleted = 0,  // everything it meant to remove is gone
    kDeinstallUsage = 2,      // the answers file is unreadable or wrong
    kDeinstallIncomplete = 4, // some entries could not be removed or put back
    kDeinstallDamaged = 5,    // the deinstaller carries no usable configuration
    kDeinstallCancelled = 7,  // the user did not consent; nothing was removed
    // Another run holds the installation folder (another user's, or one that was not
    // waited for to the end), or the lock's name is taken: nothing was removed.
    kDeinstallBusy = 8,
    kDeinstallNoWindow = 10, // the window was asked for and cannot open; nothing was removed
};

struct UnattendedDecisions {
    bool remove = false;
    bool restore = false;
};

class DeinstallFlow {
public:
    // `out` receives the list of what will be removed (console and unattended runs); null
    // for the window, which shows the list itself. `decisions` set makes the run unattended.
    DeinstallFlow(Deinstaller& deinstaller, const DeinstallTexts& texts, Frontend& frontend,
                  Transcript& transcript, FILE* out,
                  std::optional<UnattendedDecisions> decisions = std::nullopt);

    // The list shown before consent: what will go, and what stays and why.
    std::string PlanText() const;
    // Lines of what will be removed.
    std::vector<std::string> RemovalLines() const;

    // The whole run; returns the exit status.
    int Run();

    // The consent question (the window asks it with its own buttons).
    FrontendRequest ConsentRequest() const;
    // Everything after consent: the restore question, the removal with progress, the
    // result. Returns the exit status.
    int Proceed();

private:
    bool Decide(const FrontendRequest& request, int yesButton, bool unattendedChoice);
    std::string ResultText(const DeinstallOutcome& outcome) const;

    Deinstaller& fDeinstaller;
    const DeinstallTexts& fTexts;
    Frontend& fFrontend;
    Transcript& fTranscript;
    FILE* fOut;
    std::optional<UnattendedDecisions> fDecisions;
};
