#include "ui/ConsoleFrontend.h"

#include <cctype>
#include <cstring>

#include "lib/ByteText.h"

namespace {

const char* IconPrefix(FrontendIcon icon) {
    switch (icon) {
    case FrontendIcon::Stop:
        return "Error: ";
    case FrontendIcon::Warning:
        return "Warning: ";
    default:
        return "";
    }
}

} // namespace

ConsoleFrontend::ConsoleFrontend(FILE* in, FILE* out) : fIn(in), fOut(out) {}

void ConsoleFrontend::EndStatusLine() {
    std::lock_guard<std::recursive_mutex> guard(fLock);
    if (fStatusLineOpen) {
        std::fputc('\n', fOut);
        fStatusLineOpen = false;
    }
}

bool ConsoleFrontend::ReadLine(std::string& line) {
    line.clear();
    std::fflush(fOut);
    int c;
    bool any = false;
    while ((c = std::fgetc(fIn)) != EOF) {
        any = true;
        if (c == '\n')
            break;
        line.push_back(char(c));
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (!any)
        fInputEnded = true;
    return any;
}

int ConsoleFrontend::Choose(const std::string& prompt, int count,
                            const std::vector<char>& shortcuts, int fallback, bool enterChooses) {
    std::lock_guard<std::recursive_mutex> guard(fLock);
    std::string line;
    for (;;) {
        std::fprintf(fOut, "%s", prompt.c_str());
        if (!ReadLine(line))
            return fallback;
        if (line.empty() && enterChooses)
            return fallback;
        char* end = nullptr;
        long number = std::strtol(line.c_str(), &end, 10);
        if (end != line.c_str() && *end == '\0' && number >= 1 && number <= count)
            return int(number - 1);
        if (line.size() == 1)
            for (size_t i = 0; i < shortcuts.size() && int(i) < count; ++i)
                if (shortcuts[i] != 0 && std::tolower(static_cast<unsigned char>(shortcuts[i])) ==
                                             std::tolower(static_cast<unsigned char>(line[0])))
                    return int(i);
        std::fprintf(fOut, "Please type a number from 1 to %d.\n", count);
    }
}

bool ConsoleFrontend::AskYesNo(const std::string& question, bool fallback) {
    std::lock_guard<std::recursive_mutex> guard(fLock);
    std::string line;
    for (;;) {
        std::fprintf(fOut, "%s [%s] ", question.c_str(), fallback ? "Y/n" : "y/N");
        if (!ReadLine(line) || line.empty())
            return fallback;
        char c = char(std::tolower(static_cast<unsigned char>(line[0])));
        if (c == 'y')
            return true;
        if (c == 'n')
            return false;
    }
}

FrontendAnswer ConsoleFrontend::Ask(const FrontendRequest& request) {
    std::lock_guard<std::recursive_mutex> guard(fLock);
    EndStatusLine();
    FrontendAnswer answer;
    std::fprintf(fOut, "\n%s%s\n", IconPrefix(request.icon), request.text.c_str());
    if (request.isReplace && !request.existingPath.empty())
        std::fprintf(fOut, "  existing: %s\n  new:      %s\n", request.existingPath.c_str(),
                     request.newPath.c_str());
    if (!request.waits || request.buttons.empty())
        return answer;
    if (request.buttons.size() == 1) {
        std::fprintf(fOut, "[%s] ", request.buttons[0].c_str());
        std::string ignored;
        ReadLine(ignored);
        answer.button = 0;
    } else {
        for (size_t i = 0; i < request.buttons.size(); ++i)
            std::fprintf(fOut, "  %zu) %s\n", i + 1, request.buttons[i].c_str());
        answer.button = Choose("Choose: ", int(request.buttons.size()), request.shortcuts, 0);
    }
    if (request.hasBox)
        answer.boxChecked = AskYesNo(request.boxLabel + "?", false);
    return answer;
}

void ConsoleFrontend::Status(const char* text) {
    std::lock_guard<std::recursive_mutex> guard(fLock);
    fStatusText = text != nullptr ? text : "";
    std::fprintf(fOut, "\r\033[K%s%s%s", fStatusText.c_str(), fProgressText.empty() ? "" : "  ",
                 fProgressText.c_str());
    std::fflush(fOut);
    fStatusLineOpen = true;
}

void ConsoleFrontend::Progress(int64 done, int64 total) {
    std::lock_guard<std::recursive_mutex> guard(fLock);
    fProgressText = ProgressText(done, total);
    Status(fStatusText.c_str());
}

std::string ConsoleFrontend::ProgressText(int64 done, int64 total) {
    auto bytes = [](int64 value) { return ByteText(uint64(value < 0 ? 0 : value)); };
    int percent = total > 0 ? int(double(done) * 100.0 / double(total)) : 100;
    return std::to_string(percent) + "% " + bytes(done) + " / " + bytes(total);
}
