// TarnDeinstall: removes what an installation placed and tagged, undoes its start-up
// blocks and, on request, puts back what it replaced. The installer program takes this role
// when its resources carry the deinstaller's role record: the installer places a copy of
// itself in the installation folder with that record, its configuration, the list of what
// was installed and the language of the installation.
//
// Front-end from $TARNW_FRONTEND as in the installer: "console" (a dialogue in the
// terminal) or "unattended" (decisions from $TARNW_ANSWERS: "remove: yes" consents,
// "restore: yes" puts saved files back, "language: CODE"); without it the console when
// standard input and output are terminals, else unattended. $TARNW_TRANSCRIPT records the
// run as JSON lines. Command-line options (DeinstallOptions.h) win over all of these;
// --yes asks nothing and opens no window unless --frontend gui asks for one.

#include <algorithm>
#include <atomic>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "DeinstallMain.h"
#include "deinstall/DeinstallFlow.h"
#include "deinstall/DeinstallOptions.h"
#include "deinstall/DeinstallRecord.h"
#include "deinstall/DeinstallTexts.h"
#include "deinstall/Deinstaller.h"
#include "deinstall/UnfinishedInstallation.h"
#include "engine/RunLock.h"
#include "engine/RunScope.h"
#include "engine/SignerRecord.h"
#include "engine/StopSignals.h"
#include "files/LibAppResource.h"
#include "ui/AnswersFile.h"
#include "ui/CommandLineTexts.h"
#include "ui/ConsoleFrontend.h"
#include "ui/FrontendChoice.h"
#include "ui/InstallerOptions.h"
#include "ui/Transcript.h"
#include "ui/UnattendedFrontend.h"

#include "programs/window/WindowLoader.h"

namespace {

const std::set<std::string>& DeinstallerKeys() {
    static const std::set<std::string> keys = {"remove", "restore", "language", "answer"};
    return keys;
}

std::string SelfPath() {
    char buffer[PATH_MAX + 1];
    ssize_t size = readlink("/proc/self/exe", buffer, PATH_MAX);
    return size < 0 ? std::string() : std::string(buffer, size_t(size));
}

// "yes" (any case) or "true" consents; anything else does not.
bool IsYes(const AnswersFile& answers, const char* key) {
    auto value = answers.Value(key);
    if (!value)
        return false;
    std::string lower;
    for (char c : *value)
        lower += char(std::tolower(static_cast<unsigned char>(c)));
    return lower == "yes" || lower == "true";
}

// The buttons of the deinstaller's questions, in its language and in English.
std::vector<std::string> ButtonLabels(const DeinstallTexts& texts) {
    std::vector<std::string> labels;
    DeinstallTexts english("en");
    for (const DeinstallTexts* language : {&texts, static_cast<const DeinstallTexts*>(&english)})
        for (int32 id : {kTextOK, kTextCancel, kTextRemove, kTextKeepSaved, kTextPutBack}) {
            std::string label = language->Get(id);
            if (std::find(labels.begin(), labels.end(), label) == labels.end())
                labels.push_back(label);
        }
    return labels;
}

// Tells what a one-button notice says without waiting for its button; questions are
// passed on as they are.
class TellingFrontend : public Frontend {
public:
    explicit TellingFrontend(Frontend& inner) : fInner(inner) {}
    FrontendAnswer Ask(const FrontendRequest& request) override {
        if (request.buttons.size() > 1)
            return fInner.Ask(request);
        FrontendRequest notice = request;
        notice.waits = false;
        return fInner.Ask(notice);
    }
    void Status(const char* text) override { fInner.Status(text); }
    void Progress(int64 done, int64 total) override { fInner.Progress(done, total); }
    void Error(const char* detail) override { fInner.Error(detail); }

private:
    Frontend& fInner;
};

// The window's part is loaded only when a window may open.
bool DisplayOpens() {
    return WindowLoader::Open().Opens();
}

int Finish(Transcript& transcript, int status) {
    transcript.RecordEnd(status);
    return status;
}

// Tells on standard error and in the transcript, without a question to answer.
void Report(Transcript& transcript, const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    transcript.RecordEvent("error", text);
}

std::string OwnSignatureProblem(const std::string& self) {
    LibAppResource resources(self.c_str(), uint32(B_READ_ONLY));
    size_t size = 0;
    const void* block = resources.IsAttached() ? resources.LoadResource(kSignatureResourceType,
                                                                        kSignatureResourceId, &size)
                                               : nullptr;
    if (block == nullptr)
        return "";
    SignatureReport report =
        CheckProgramSignature(self.c_str(), std::string(static_cast<const char*>(block), size));
    return report.Mismatch() ? report.reason : "";
}

int Refuse(Transcript& transcript, int status, const std::string& reason) {
    Report(transcript, reason);
    return Finish(transcript, status);
}

} // namespace

int RunDeinstaller(int argc, char** argv) {
    std::string self = SelfPath();
    // The language is taken as the installer takes it: --lang, else the locale, else the
    // installation's (kept on this file), else English; the first two for this run only.
    DeinstallTexts said(RunLanguage(InstallerCommandLine::LanguageAsked(argc, argv), self.c_str()));
    DeinstallCommandLine commandLine(said.Language());
    if (!commandLine.Parse(argc, argv)) {
        std::fprintf(stderr, "%s: %s\n%s\n", argv[0], commandLine.Error().c_str(),
                     said.Fill(kTextTryHelp, {argv[0]}).c_str());
        return kDeinstallUsage;
    }
    const DeinstallOptions& options = commandLine.Options();
    if (options.action == DeinstallAction::Help) {
        std::fputs(DeinstallCommandLine::Usage(argv[0], said.Language()).c_str(), stdout);
        return kDeinstallCompleted;
    }
    if (options.action == DeinstallAction::Version) {
        DeinstallRecord record;
        std::string error;
        if (!self.empty() && LoadDeinstallRecord(self.c_str(), record, error))
            std::printf("%s\n", record.ProductName().c_str());
        std::printf("Tarnwhistle deinstaller 1.3.1\n");
        return kDeinstallCompleted;
    }

    Transcript transcript(options.TranscriptPath());
    // A deinstaller placed by a signed installer carries the installer's signature, which
    // covers this same program image: a changed program removes nothing.
    if (std::string problem = OwnSignatureProblem(self); !problem.empty())
        return Refuse(transcript, kDeinstallDamaged, said.Fill(kTextSignatureMismatch, {problem}));

    FrontendKind kind = FrontendKind::Unattended;
    bool guiBuilt = true;
    // --yes removes without asking, so it opens no window (nor the display) unless
    // --frontend gui asks for one; a window asked for by the environment yields to it.
    if (options.yes && !options.frontend)
        guiBuilt = false;
    FrontendEnvironment environment =
        CurrentFrontendEnvironment(guiBuilt, &DisplayOpens, options.RequestedFrontend());
    // A window asked for by name that cannot open is said so, and nothing is removed.
    if (guiBuilt && WindowAskedFor(environment) && !environment.displayOpens)
        return Refuse(transcript, kDeinstallNoWindow,
                      WindowProblemText(said.Language(), WindowLoader::Open()));
    if (!ChooseFrontend(environment, kind))
        return Refuse(transcript, kDeinstallUsage,
                      said.Fill(kTextUnknownFrontend, {environment.requested}));

    AnswersFile answers;
    if (kind == FrontendKind::Unattended) {
        std::string path = options.AnswersPath();
        AnswersFileError error;
        if (!path.empty() && !answers.Load(path, DeinstallerKeys(), &error))
            return Refuse(transcript, kDeinstallUsage,
                          error.line > 0
                              ? said.Fill(kTextAnswersFileLine,
                                          {path, std::to_string(error.line), error.message})
                              : said.Fill(kTextAnswersFile, {path, error.message}));
    }

    // A language the answers file names is a choice for the run, as --lang is, which wins.
    std::string language = said.Language();
    if (auto chosen = answers.Value("language"); chosen && !options.language) {
        if (!DeinstallTexts::IsLanguage(*chosen))
            return Refuse(transcript, kDeinstallUsage, said.Fill(kTextUnknownLanguage, {*chosen}));
        language = *chosen;
    }
    DeinstallTexts texts(language);
    if (std::string problem = answers.CheckAnswerLabels(ButtonLabels(texts)); !problem.empty())
        return Refuse(transcript, kDeinstallUsage,
                      said.Fill(kTextAnswersFile, {options.AnswersPath(), problem}));

    // Never beside a running installation into the same folder: it would take away what
    // the run is placing. The wait ends on SIGINT, SIGTERM and SIGHUP with nothing removed.
    std::string installFolder = self.substr(0, self.rfind('/'));
    RunLock runLock;
    JournalContents unfinished;
    bool isUnfinished = false;
    if (!installFolder.empty()) {
        std::string lockPath = Journal::LockPathFor(installFolder);
        std::atomic<bool> stopped{false};
        StopSignals::Start();
        StopSignals::SetHandler([&stopped](int) { stopped = true; });
        bool locked = runLock.Acquire(
            lockPath,
            [&](pid_t holder) {
                std::string text =
                    holder != 0 ? texts.Format(kTextWaitingForProcess, std::to_string(holder))
                                : texts.Get(kTextWaitingForInstallation);
                std::fprintf(stderr, "%s\n", text.c_str());
            },
            [&] { return stopped.load(); });
        StopSignals::SetHandler(nullptr);
        if (!locked) {
            std::string holder =
                runLock.Holder() != 0 ? std::to_string(runLock.Holder()) : std::string("?");
            std::string reason =
                runLock.Why() == RunLock::Refusal::Foreign
                    ? texts.Fill(kTextForeignLock, {holder, lockPath})
                : runLock.Why() == RunLock::Refusal::NotAFile
                    ? texts.Format(kTextLockNotAFile, lockPath)
                    : texts.Get(kTextNothingRemoved) + " (" + runLock.Error() + ")";
            return Refuse(transcript, kDeinstallBusy, reason);
        }
        RunScope scope;
        bool hasScope = !self.empty() && LoadDeinstallScope(self.c_str(), scope);
        std::string setAside;
        std::string stranger;
        isUnfinished = FindUnfinishedInstallation(installFolder, hasScope ? &scope : nullptr,
                                                  unfinished, setAside, stranger);
        if (!setAside.empty())
            Report(transcript, stranger.empty()
                                   ? texts.Format(kTextSetAside, setAside)
                                   : texts.Fill(kTextSetAsideStranger, {setAside, stranger}));
        // A finished installation is removed by its list; the lock file must not keep the
        // folder it lies in from going.
        if (!isUnfinished)
            runLock.Release();
    }

    DeinstallRecord record;
    std::string error;
    bool loaded = !self.empty() && LoadDeinstallRecord(self.c_str(), record, error);
    if (!loaded && !record.setAside.empty())
        Report(transcript,
               record.stranger.empty()
                   ? texts.Format(kTextSetAside, record.setAside)
                   : texts.Fill(kTextSetAsideStranger, {record.setAside, record.stranger}));

    if (kind == FrontendKind::Gui) {
        const WindowEntries& window = *WindowLoader::Open().entries;
        if (isUnfinished)
            return Finish(transcript, window.runDeinstallerAlerts(transcript, [&](Frontend& f) {
                return UndoUnfinishedInstallation(unfinished, texts, f, transcript, nullptr,
                                                  std::nullopt, runLock);
            }));
        if (!loaded) {
            std::fprintf(stderr, "%s\n", error.c_str());
            window.showDeinstallerDamaged(texts, transcript);
            return Finish(transcript, kDeinstallDamaged);
        }
        Deinstaller deinstaller(record, self);
        return Finish(transcript, window.runDeinstaller(deinstaller, texts, transcript));
    }

    ConsoleFrontend console;
    UnattendedFrontend unattended(answers);
    // With --yes nothing waits for the user in the terminal either, not even an OK.
    TellingFrontend consoleTelling(console);
    Frontend& inner = kind != FrontendKind::Console ? static_cast<Frontend&>(unattended)
                      : options.yes                 ? static_cast<Frontend&>(consoleTelling)
                                                    : static_cast<Frontend&>(console);
    RecordingFrontend frontend(inner, transcript);
    SetFrontend(&frontend);

    if (isUnfinished) {
        std::optional<bool> consent;
        if (kind != FrontendKind::Console || options.yes)
            consent = options.yes || IsYes(answers, "remove");
        int status = UndoUnfinishedInstallation(unfinished, texts, frontend, transcript, stdout,
                                                consent, runLock);
        SetFrontend(nullptr);
        return Finish(transcript, status);
    }

    if (!loaded) {
        std::fprintf(stderr, "%s\n", error.c_str());
        FrontendRequest notice;
        notice.text = texts.Get(kTextDamaged);
        notice.buttons = {texts.Get(kTextOK)};
        notice.icon = FrontendIcon::Stop;
        frontend.Ask(notice);
        SetFrontend(nullptr);
        return Finish(transcript, kDeinstallDamaged);
    }

    std::optional<UnattendedDecisions> decisions;
    // --yes decides the run in the terminal too: nothing is asked.
    if (kind != FrontendKind::Console || options.yes)
        decisions = UnattendedDecisions{options.yes || IsYes(answers, "remove"),
                                        options.restore || IsYes(answers, "restore")};
    Deinstaller deinstaller(record, self);
    DeinstallFlow flow(deinstaller, texts, frontend, transcript, stdout, decisions);
    int status = flow.Run();
    SetFrontend(nullptr);
    return Finish(transcript, status);
}
