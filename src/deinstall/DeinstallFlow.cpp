#include "deinstall/DeinstallFlow.h"

#include "ui/Transcript.h"

DeinstallFlow::DeinstallFlow(Deinstaller& deinstaller, const DeinstallTexts& texts,
                             Frontend& frontend, Transcript& transcript, FILE* out,
                             std::optional<UnattendedDecisions> decisions)
    : fDeinstaller(deinstaller), fTexts(texts), fFrontend(frontend), fTranscript(transcript),
      fOut(out), fDecisions(decisions) {}

std::vector<std::string> DeinstallFlow::RemovalLines() const {
    std::vector<std::string> lines;
    for (const PlanItem& item : fDeinstaller.Plan()) {
        if (item.state == PlanState::Remove)
            lines.push_back(DescribePlanItem(item));
    }
    return lines;
}

std::string DeinstallFlow::PlanText() const {
    const std::string product = fDeinstaller.Record().ProductName();
    std::string text;
    std::vector<std::string> removals = RemovalLines();
    if (removals.empty()) {
        text = fTexts.Format(kTextNothingLeft, product) + "\n";
    } else {
        text = fTexts.Format(kTextWillRemove, product) + "\n";
        for (const std::string& line : removals)
            text += "  " + line + "\n";
    }
    std::string stays;
    for (const PlanItem& item : fDeinstaller.Plan()) {
        if (item.state == PlanState::Retagged || item.state == PlanState::Untagged ||
            item.state == PlanState::LinkMoved)
            stays += "  " + DescribePlanItem(item) + "\n";
    }
    if (!stays.empty())
        text += "\n" + fTexts.Get(kTextStays) + "\n" + stays;
    for (const std::string& folder : fDeinstaller.ReplacedFolders())
        text += "\n" + fTexts.Format(kTextFolderReplaced, folder) + "\n";
    return text;
}

bool DeinstallFlow::Decide(const FrontendRequest& request, int yesButton, bool unattendedChoice) {
    if (!fDecisions)
        return fFrontend.Ask(request).button == yesButton;
    FrontendAnswer answer;
    answer.button = unattendedChoice ? yesButton : (yesButton == 0 ? 1 : 0);
    if (fOut != nullptr)
        std::fprintf(fOut, "%s -> %s\n", request.text.c_str(),
                     request.buttons[size_t(answer.button)].c_str());
    fTranscript.RecordAlert(request, answer);
    return unattendedChoice;
}

std::string DeinstallFlow::ResultText(const DeinstallOutcome& outcome) const {
    const std::string product = fDeinstaller.Record().ProductName();
    std::string text;
    if (outcome.failed.empty()) {
        text = fTexts.Format(kTextRemoved, product);
    } else {
        text = fTexts.Format(kTextIncomplete, product);
        for (const std::string& failure : outcome.failed)
            text += "\n  " + failure;
    }
    if (!outcome.restoreFailed.empty()) {
        text += "\n\n" + fTexts.Get(kTextNotRestored);
        for (const std::string& failure : outcome.restoreFailed)
            text += "\n  " + failure;
    }
    for (const std::string& folder : outcome.replaced)
        text += "\n\n" + fTexts.Format(kTextFolderReplaced, folder);
    if (!outcome.kept.empty()) {
        text += "\n\n" + fTexts.Get(kTextFoldersKept);
        for (const std::string& folder : outcome.kept)
            text += "\n  " + folder;
    }
    return text;
}

int DeinstallFlow::Run() {
    std::string plan = PlanText();
    if (fOut != nullptr) {
        std::fputs(plan.c_str(), fOut);
        std::fputs("\n", fOut);
        std::fflush(fOut);
    }
    fTranscript.RecordEvent("plan", plan);

    FrontendRequest consent = ConsentRequest();
    if (!Decide(consent, 1, fDecisions && fDecisions->remove)) {
        FrontendRequest notice;
        notice.title = consent.title;
        notice.text = fTexts.Get(kTextNothingRemoved);
        notice.buttons = {fTexts.Get(kTextOK)};
        notice.icon = FrontendIcon::Info;
        fFrontend.Ask(notice);
        return kDeinstallCancelled;
    }
    return Proceed();
}

FrontendRequest DeinstallFlow::ConsentRequest() const {
    const std::string product = fDeinstaller.Record().ProductName();
    FrontendRequest consent;
    consent.title = fTexts.Format(kTextTitle, product);
    consent.text = fTexts.Format(kTextAskRemove, product);
    consent.buttons = {fTexts.Get(kTextCancel), fTexts.Get(kTextRemove)};
    consent.shortcuts = {0, 0};
    consent.icon = FrontendIcon::Warning;
    return consent;
}

int DeinstallFlow::Proceed() {
    FrontendRequest consent = ConsentRequest();
    bool restore = false;
    if (!fDeinstaller.Restorable().empty()) {
        FrontendRequest question;
        question.title = consent.title;
        question.text = fTexts.Get(kTextAskRestore);
        for (const auto& saved : fDeinstaller.Restorable())
            question.text += "\n  " + saved.second;
        question.buttons = {fTexts.Get(kTextKeepSaved), fTexts.Get(kTextPutBack)};
        question.shortcuts = {0, 0};
        question.icon = FrontendIcon::Info;
        restore = Decide(question, 1, fDecisions && fDecisions->restore);
    }

    DeinstallOutcome outcome =
        fDeinstaller.Run(restore, [this](int index, int total, const std::string& name) {
            fFrontend.Status(fTexts.Progress(index, total, name).c_str());
        });

    // A swapped folder is told on its own as well: it may be an attack on this user.
    for (const std::string& folder : outcome.replaced) {
        std::string text = fTexts.Format(kTextFolderReplaced, folder);
        std::fprintf(stderr, "%s\n", text.c_str());
        fTranscript.RecordEvent("error", text);
    }

    FrontendRequest result;
    result.title = consent.title;
    result.text = ResultText(outcome);
    result.buttons = {fTexts.Get(kTextOK)};
    result.icon = outcome.Complete() ? FrontendIcon::Info : FrontendIcon::Warning;
    fFrontend.Ask(result);
    return outcome.Complete() ? kDeinstallCompleted : kDeinstallIncomplete;
}
