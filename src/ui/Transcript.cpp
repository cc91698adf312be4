#include "ui/Transcript.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "ui/ReplaceTexts.h"

using json = nlohmann::json;

namespace {

const char* IconName(FrontendIcon icon) {
    switch (icon) {
    case FrontendIcon::Stop:
        return "stop";
    case FrontendIcon::Info:
    case FrontendIcon::Idea:
        return "info";
    case FrontendIcon::Warning:
        return "warning";
    case FrontendIcon::None:
        break;
    }
    return "none";
}

std::string Dump(const json& object) {
    // Bytes that are not UTF-8 are replaced rather than failing the whole line.
    return object.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace

Transcript::Transcript(std::string path) : fPath(std::move(path)) {}

Transcript Transcript::FromEnvironment() {
    const char* path = std::getenv("TARNW_TRANSCRIPT");
    return Transcript(path != nullptr ? path : "");
}

void Transcript::Append(const std::string& line) {
    if (fPath.empty())
        return;
    std::lock_guard<std::mutex> guard(fLock);
    int fd = ::open(fPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    std::string text = line + "\n";
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written <= 0)
            break;
        data += written;
        left -= size_t(written);
    }
    ::close(fd);
}

void Transcript::RecordStatus(const std::string& text) {
    // A run sends a status for every entry it places or removes: nothing is built for a
    // transcript nobody asked for.
    if (!IsActive())
        return;
    Append(Dump({{"event", "status"}, {"text", text}}));
}

void Transcript::RecordAlert(const FrontendRequest& request, const FrontendAnswer& answer) {
    if (!IsActive())
        return;
    json object = {{"event", "alert"},
                   {"title", request.title},
                   {"icon", IconName(request.icon)},
                   {"text", request.text},
                   {"buttons", request.buttons}};
    if (request.hasBox)
        object["box"] = request.boxLabel;
    object["answer"] = answer.button;
    object["checked"] = request.hasBox && answer.boxChecked;
    Append(Dump(object));
}

void Transcript::RecordEnd(int status) {
    Append(Dump({{"event", "end"}, {"status", status}}));
}

void Transcript::RecordProgress(int64 done, int64 total) {
    if (!IsActive())
        return;
    Append(Dump({{"event", "progress"}, {"done", done}, {"total", total}}));
}

void Transcript::RecordEvent(const std::string& event, const std::string& text) {
    // The plan of a large removal is a long text.
    if (!IsActive())
        return;
    Append(Dump({{"event", event}, {"text", text}}));
}

FrontendRequest CompleteRequest(const FrontendRequest& request) {
    if (!request.isReplace || !request.buttons.empty())
        return request;
    FrontendRequest complete = request;
    const ReplaceTexts& texts = ReplaceTextsFor(request.language.c_str());
    if (complete.title.empty())
        complete.title = "ReplaceAlert";
    if (complete.text.empty())
        complete.text = ReplaceQuestion(request.existingPath.c_str(), request.language.c_str());
    complete.buttons = {texts.dontReplace, texts.replace};
    complete.shortcuts = {'d', 'r'};
    complete.icon = FrontendIcon::Warning;
    if (complete.hasBox)
        complete.boxLabel = texts.applyToAll;
    return complete;
}

RecordingFrontend::RecordingFrontend(Frontend& inner, Transcript& transcript)
    : fInner(inner), fTranscript(transcript) {}

FrontendAnswer RecordingFrontend::Ask(const FrontendRequest& request) {
    FrontendRequest complete = CompleteRequest(request);
    FrontendAnswer answer = fInner.Ask(complete);
    if (!complete.hasBox)
        answer.boxChecked = false;
    fTranscript.RecordAlert(complete, answer);
    return answer;
}

void RecordingFrontend::Status(const char* text) {
    fTranscript.RecordStatus(text != nullptr ? text : "");
    fInner.Status(text);
}

void RecordingFrontend::Progress(int64 done, int64 total) {
    fTranscript.RecordProgress(done, total);
    fInner.Progress(done, total);
}

void RecordingFrontend::Error(const char* detail) {
    fTranscript.RecordEvent("error", detail != nullptr ? detail : "");
    fInner.Error(detail);
}
