#include "ui/UnattendedFrontend.h"

#include <mutex>

#include "ui/ConsoleFrontend.h"

namespace {
std::mutex gOutputLock;
}

UnattendedFrontend::UnattendedFrontend(AnswersFile& answers, FILE* out)
    : fAnswers(answers), fOut(out) {}

FrontendAnswer UnattendedFrontend::Ask(const FrontendRequest& request) {
    FrontendAnswer answer;
    if (!request.answerKey.empty()) {
        // Decided by a key of its own; without it, the first button (the safe choice).
        if (auto value = fAnswers.Value(request.answerKey)) {
            for (size_t i = 0; i < request.answerValues.size() && i < request.buttons.size(); i++)
                if (request.answerValues[i] == *value)
                    answer.button = int32(i);
        }
        std::lock_guard<std::mutex> guard(gOutputLock);
        std::fprintf(fOut, "%s\n", request.text.c_str());
        if (!request.buttons.empty())
            std::fprintf(fOut, "  -> %s\n", request.buttons[size_t(answer.button)].c_str());
        std::fflush(fOut);
        return answer;
    }
    // A message with a single button (OK) takes an answer line only when the line names
    // that button, so that scripts need not foresee every notice.
    const AlertAnswer* next = fAnswers.PeekAnswer();
    bool takesAnswer = request.waits && !request.buttons.empty() && next != nullptr &&
                       (request.buttons.size() > 1 || next->choice == request.buttons[0]);
    if (takesAnswer) {
        if (auto given = fAnswers.NextAnswer()) {
            int button = AnswersFile::ButtonFor(*given, request.buttons);
            if (button < 0) {
                std::lock_guard<std::mutex> guard(gOutputLock);
                std::fprintf(fOut, "answer \"%s\" names no button; choosing \"%s\"\n",
                             given->choice.c_str(), request.buttons[0].c_str());
                button = 0;
            }
            answer.button = button;
            answer.boxChecked = request.hasBox && given->applyToAll;
        }
    }
    std::lock_guard<std::mutex> guard(gOutputLock);
    std::fprintf(fOut, "%s\n", request.text.c_str());
    if (!request.buttons.empty() && request.waits)
        std::fprintf(fOut, "  -> %s%s\n", request.buttons[size_t(answer.button)].c_str(),
                     answer.boxChecked ? " (apply to all)" : "");
    std::fflush(fOut);
    return answer;
}

void UnattendedFrontend::Status(const char* text) {
    std::lock_guard<std::mutex> guard(gOutputLock);
    std::fprintf(fOut, "%s\n", text != nullptr ? text : "");
    std::fflush(fOut);
}

void UnattendedFrontend::Progress(int64 done, int64 total) {
    int tenth = total > 0 ? int(double(done) * 10.0 / double(total)) : 10;
    std::lock_guard<std::mutex> guard(gOutputLock);
    // A new run starts counting again.
    if (done == 0)
        fLastTenth = -1;
    if (tenth == fLastTenth)
        return;
    fLastTenth = tenth;
    std::fprintf(fOut, "Progress: %s\n", ConsoleFrontend::ProgressText(done, total).c_str());
    std::fflush(fOut);
}
