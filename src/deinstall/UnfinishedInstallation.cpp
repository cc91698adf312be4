#include "deinstall/UnfinishedInstallation.h"

#include <sys/stat.h>
#include <unistd.h>

#include "deinstall/DeinstallFlow.h"
#include "engine/RunLock.h"
#include "engine/RunScope.h"
#include "engine/RunUndo.h"
#include "ui/Transcript.h"

bool FindUnfinishedInstallation(const std::string& installFolder, const RunScope* scope,
                                JournalContents& contents, std::string& setAside,
                                std::string& stranger) {
    setAside.clear();
    stranger.clear();
    std::string path = Journal::PathFor(installFolder);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return false;
    std::string error;
    bool notOwn = false;
    if (!Journal::Load(path, contents, error, &notOwn)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        if (notOwn)
            setAside = path;
        return false;
    }
    if (contents.installFolder != installFolder || contents.committed)
        return false;
    if (scope != nullptr) {
        stranger = scope->FirstStranger(contents);
        if (!stranger.empty()) {
            setAside = path;
            return false;
        }
    }
    return true;
}

int UndoUnfinishedInstallation(const JournalContents& contents, const DeinstallTexts& texts,
                               Frontend& frontend, Transcript& transcript, FILE* out,
                               std::optional<bool> consent, RunLock& lock) {
    RunUndo undo(contents);
    std::string product = contents.product;
    FrontendRequest question;
    question.title = texts.Format(kTextTitle, product);
    question.text = texts.Format(kTextUnfinished, product);
    for (const std::string& path : undo.EntriesToRemove())
        question.text += "\n  " + path;
    for (const std::string& path : undo.EntriesToPutBack())
        question.text += "\n  " + path + " <-";
    question.buttons = {texts.Get(kTextCancel), texts.Get(kTextRemove)};
    question.shortcuts = {0, 0};
    question.icon = FrontendIcon::Warning;

    bool agreed;
    if (consent) {
        agreed = *consent;
        FrontendAnswer answer;
        answer.button = agreed ? 1 : 0;
        if (out != nullptr)
            std::fprintf(out, "%s -> %s\n", question.text.c_str(),
                         question.buttons[size_t(answer.button)].c_str());
        transcript.RecordAlert(question, answer);
    } else {
        agreed = frontend.Ask(question).button == 1;
    }

    FrontendRequest notice;
    notice.title = question.title;
    notice.buttons = {texts.Get(kTextOK)};
    notice.icon = FrontendIcon::Info;
    if (!agreed) {
        notice.text = texts.Get(kTextNothingRemoved);
        frontend.Ask(notice);
        return kDeinstallCancelled;
    }
    undo.Undo();
    unlink(Journal::PathFor(contents.installFolder).c_str());
    lock.Release();
    undo.RemoveFoldersLeftForLast();
    bool complete = undo.Problems().empty();
    if (complete) {
        notice.text = texts.Format(kTextUnfinishedUndone, product);
    } else {
        notice.text = texts.Format(kTextUnfinishedLeft, product);
        for (const std::string& problem : undo.Problems())
            notice.text += "\n  " + problem;
        notice.icon = FrontendIcon::Warning;
    }
    frontend.Ask(notice);
    return complete ? kDeinstallCompleted : kDeinstallIncomplete;
}
