#pragma once

// Asks in the terminal: the text, the buttons numbered from 1, and the check box as a
// yes/no question. A status text rewrites one progress line, which also shows how far the
// run is: "Installing 2 of 3 (demo)  45% 1.2 MB / 2.7 MB".

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/interface/Frontend.h"

class ConsoleFrontend : public Frontend {
public:
    ConsoleFrontend(FILE* in = stdin, FILE* out = stdout);

    FrontendAnswer Ask(const FrontendRequest& request) override;
    void Status(const char* text) override;
    void Progress(int64 done, int64 total) override;

    // Reads one line; false at the end of input.
    bool ReadLine(std::string& line);
    // Whether a read has met the end of the input.
    bool InputEnded() const { return fInputEnded; }
    // Shows a prompt and reads a choice of 1..count (or a shortcut letter); returns the
    // zero-based index, or `fallback` at the end of input and, when enterChooses, for an
    // empty line.
    int Choose(const std::string& prompt, int count, const std::vector<char>& shortcuts,
               int fallback, bool enterChooses = true);
    bool AskYesNo(const std::string& question, bool fallback);

    FILE* Out() const { return fOut; }
    // Ends a progress line before other output.
    void EndStatusLine();
    // "45% 1.2 MB / 2.7 MB".
    static std::string ProgressText(int64 done, int64 total);

private:
    FILE* fIn;
    FILE* fOut;
    bool fStatusLineOpen = false;
    bool fInputEnded = false;
    std::string fStatusText;
    std::string fProgressText;
    std::recursive_mutex fLock;
};
