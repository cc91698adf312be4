// The console installer: the window's dialogue in a terminal. Licence (paged), language,
// install type, files, destination, then the run with a progress line; every question of
// the run is asked through the console front-end with numbered buttons.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/ioctl.h>
#include <unistd.h>

#include "engine/SignerRecord.h"
#include "lib/ByteText.h"
#include "lib/LibString.h"
#include "ui/ConsoleFrontend.h"
#include "ui/InstallerFlow.h"

namespace {

const char* LanguageName(const char* code) {
    static const struct {
        const char* code;
        const char* name;
    } kNames[] = {{"en", "English"},    {"fr", "Français"}, {"es", "Español"}, {"de", "Deutsch"},
                  {"it", "Italiano"},   {"no", "Norsk"},    {"sv", "Svenska"}, {"da", "Dansk"},
                  {"nl", "Nederlands"}, {"pt", "Português"}};
    for (const auto& entry : kNames)
        if (std::string(entry.code) == code)
            return entry.name;
    return code;
}

int PageLines() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 6)
        return size.ws_row - 3;
    return 20;
}

std::string Bytes(int64 bytes) {
    return ByteText(uint64(bytes < 0 ? 0 : bytes));
}

class ConsoleDialogue {
public:
    ConsoleDialogue(InstallerFlow& flow, ConsoleFrontend& console)
        : fFlow(flow), fSession(flow.Session()), fConsole(console), fOut(console.Out()) {}

    // False when the user left; the exit status is then in `status`.
    bool ShowLicense(int& status) {
        std::string license = fSession.License();
        if (license.empty())
            return true;
        std::printf("\n== %s ==\n\n", fFlow.Text(1001).String());
        std::istringstream lines(license);
        std::string line;
        int shown = 0;
        const int page = PageLines();
        bool skip = false;
        while (std::getline(lines, line)) {
            std::fprintf(fOut, "%s\n", line.c_str());
            if (!skip && ++shown % page == 0 && lines.peek() != EOF) {
                std::fprintf(fOut, "-- more: Enter for the next page, 'e' for the end --");
                std::string answer;
                if (!fConsole.ReadLine(answer))
                    break;
                skip = !answer.empty() && (answer[0] == 'e' || answer[0] == 'E');
            }
        }
        std::fprintf(fOut, "\n  1) %s\n  2) Quit\n", fFlow.Text(1008).String());
        if (fConsole.Choose("Choose: ", 2, {'a', 'q'}, 1, false) != 0) {
            std::fprintf(fOut, "The licence was not accepted; nothing was installed.\n");
            status = kExitLicenseDeclined;
            return false;
        }
        return true;
    }

    void ChooseLanguage() {
        std::fprintf(fOut, "\nLanguage (now %s):\n", LanguageName(fFlow.Localize().Language()));
        for (int32 i = 0; i < 10; ++i)
            std::fprintf(fOut, "  %2d) %s\n", i + 1, LanguageName(xLocalize::LanguageCode(i)));
        int current = xLocalize::LanguageIndex(fFlow.Localize().Language());
        int chosen =
            fConsole.Choose("Choose (Enter keeps it): ", 10, {}, current < 0 ? 0 : current);
        // Only a change is stored on the installer file: keeping the language the locale
        // chose stores nothing.
        if (chosen != current)
            fFlow.Localize().SetLanguage(xLocalize::LanguageCode(chosen));
    }

    void ChooseGroup() {
        if (fSession.CountGroups() == 0)
            return;
        std::fprintf(fOut, "\n== %s ==\n", fFlow.Text(1003).String());
        for (int32 i = 0; i < fSession.CountGroups(); ++i) {
            std::fprintf(fOut, "  %d) %s", i + 1, fSession.GroupName(i).c_str());
            if (!fSession.GroupDescription(i).empty())
                std::fprintf(fOut, " - %s", fSession.GroupDescription(i).c_str());
            std::fputc('\n', fOut);
        }
        int current = fSession.SelectedGroup() < 0 ? 0 : fSession.SelectedGroup();
        fSession.SelectGroup(
            fConsole.Choose("Choose (Enter keeps it): ", fSession.CountGroups(), {}, current));
    }

    void ChooseFiles() {
        for (;;) {
            std::fprintf(fOut, "\n== %s ==\n", fFlow.Text(1004).String());
            for (int32 i = 0; i < fSession.CountFiles(); ++i)
                std::fprintf(fOut, "  [%c] %d) %-40s %s\n", fSession.IsSelected(i) ? 'x' : ' ',
                             i + 1, fSession.FileLeaf(i).c_str(),
                             Bytes(fSession.FileSize(i)).c_str());
            std::fprintf(fOut, "  Total: %s\n", Bytes(fSession.SelectedSize()).c_str());
            std::fprintf(fOut, "Type +N to add or -N to remove a file, Enter to go on: ");
            std::string line;
            if (!fConsole.ReadLine(line) || line.empty())
                return;
            std::istringstream words(line);
            std::string word;
            while (words >> word) {
                if (word.size() < 2 || (word[0] != '+' && word[0] != '-'))
                    continue;
                int index = std::atoi(word.c_str() + 1) - 1;
                if (index >= 0 && index < fSession.CountFiles())
                    fSession.SetSelected(index, word[0] == '+');
            }
        }
    }

    void ChooseDestination() {
        fSession.CheckDestinationFolder(false);
        for (;;) {
            std::fprintf(fOut, "\nDestination folder: %s\n", fSession.DestinationPath().c_str());
            std::fprintf(fOut, "%s (Enter keeps it): ", fFlow.Text(1005).String());
            std::string line;
            if (!fConsole.ReadLine(line) || line.empty())
                return;
            std::string previous = fSession.DestinationPath();
            fSession.SetDestination(line.c_str());
            if (fSession.CheckDestinationFolder(true))
                return;
            fSession.SetDestination(previous.c_str());
        }
    }

    bool ConfirmInstall() {
        while (!fSession.CanInstall()) {
            std::fprintf(fOut, "\nNo file is selected.\n");
            ChooseFiles();
            // At the end of the input nothing more can be chosen: asking again would loop.
            if (!fSession.CanInstall() &&
                (fConsole.InputEnded() || !fConsole.AskYesNo("Choose files again?", true)))
                return false;
        }
        std::fprintf(fOut, "\n  1) %s\n  2) Quit\n", fFlow.Text(1007).String());
        return fConsole.Choose("Choose: ", 2, {'i', 'q'}, 1, false) == 0;
    }

private:
    InstallerFlow& fFlow;
    InstallSession& fSession;
    ConsoleFrontend& fConsole;
    FILE* fOut;
};

} // namespace

int RunConsoleInstaller(const InstallerOptions& options) {
    InstallerFlow flow(options);
    ConsoleFrontend console;
    flow.UseFrontend(console);
    InstallSession& session = flow.Session();
    if (!flow.Load())
        return flow.End(session.Damaged() ? kExitDamaged : kExitBrokenInstaller);

    PackageConfig& config = session.Engine();
    std::printf("%s %s\n", config.StringValue("app_name"), config.StringValue("version"));
    std::printf("%s\n", SignerRecord::Notice(flow.Localize(), session.Signature()).c_str());

    // What the command line chose is not asked again.
    ConsoleDialogue dialogue(flow, console);
    int status = kExitCompleted;
    if (!options.acceptLicense && !dialogue.ShowLicense(status))
        return flow.End(status);
    if (options.language)
        flow.Localize().UseLanguage(options.language->c_str());
    else
        dialogue.ChooseLanguage();
    if (session.CountGroups() > 0)
        session.SelectGroup(0);
    if (options.group) {
        int32 group = -1;
        for (int32 i = 0; i < session.CountGroups(); ++i)
            if (session.GroupName(i) == *options.group)
                group = i;
        if (group < 0) {
            std::fprintf(stderr, "the package has no install type \"%s\"\n",
                         options.group->c_str());
            flow.Record().RecordEvent("error",
                                      "the package has no install type \"" + *options.group + "\"");
            return flow.End(kExitUsage);
        }
        session.SelectGroup(group);
    } else {
        dialogue.ChooseGroup();
    }
    dialogue.ChooseFiles();
    session.SetDefaultDestination();
    if (options.target) {
        session.SetDestination(options.target->c_str());
        session.CheckDestinationFolder(false);
    } else {
        dialogue.ChooseDestination();
    }
    for (;;) {
        if (!dialogue.ConfirmInstall())
            return flow.End(kExitCancelled);
        int result = flow.InstallAndWait();
        console.EndStatusLine();
        // A failed run goes back to the choices, as the window returns to Install.
        if (result == kExitCompleted || result == kExitCancelled || result == kExitStopped ||
            result == kExitDamaged)
            return result;
        if (!console.AskYesNo("Change the destination and try again?", false))
            return result;
        dialogue.ChooseDestination();
    }
}
