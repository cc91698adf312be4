#pragma once

// Answers every question from the answers file, in order; a question with no answer left
// gets button 0, the safe choice everywhere. A notice with one button only takes an
// answer line that names that button. Each question and its answer is printed so
// that a log of the run shows what was decided.

#include <cstdio>

#include "platform/interface/Frontend.h"
#include "ui/AnswersFile.h"

class UnattendedFrontend : public Frontend {
public:
    UnattendedFrontend(AnswersFile& answers, FILE* out = stdout);

    FrontendAnswer Ask(const FrontendRequest& request) override;
    void Status(const char* text) override;
    // A line at every tenth of the way: "Progress: 45% 1.2 MB / 2.7 MB".
    void Progress(int64 done, int64 total) override;

private:
    AnswersFile& fAnswers;
    FILE* fOut;
    int fLastTenth = -1;
};
