#pragma once

// The transcript of a run: every status text, every question with its answer, and the end
// of the run, appended as one JSON object a line to the file named by $TARNW_TRANSCRIPT.

#include <mutex>
#include <string>

#include "platform/interface/Frontend.h"

class Transcript {
public:
    // Opens nothing when path is empty; every call is then a no-op.
    explicit Transcript(std::string path);
    // From $TARNW_TRANSCRIPT.
    static Transcript FromEnvironment();

    bool IsActive() const { return !fPath.empty(); }

    void RecordStatus(const std::string& text);
    void RecordAlert(const FrontendRequest& request, const FrontendAnswer& answer);
    void RecordEnd(int status);
    // {"event":"progress","done":N,"total":M}: bytes placed out of bytes to place.
    void RecordProgress(int64 done, int64 total);
    // Any other event with one text field, e.g. {"event":"error","text":...}.
    void RecordEvent(const std::string& event, const std::string& text);

private:
    void Append(const std::string& line);

    std::string fPath;
    std::mutex fLock;
};

// Completes a request that only names the colliding entries (the replace question) with its
// text, buttons, shortcuts and box label in the request's language.
FrontendRequest CompleteRequest(const FrontendRequest& request);

// Wraps the front-end that really asks: completes each request, records it with its answer
// in the transcript, and passes status texts on.
class RecordingFrontend : public Frontend {
public:
    RecordingFrontend(Frontend& inner, Transcript& transcript);

    FrontendAnswer Ask(const FrontendRequest& request) override;
    void Status(const char* text) override;
    void Progress(int64 done, int64 total) override;
    // Recorded as {"event":"error","text":...}.
    void Error(const char* detail) override;

private:
    Frontend& fInner;
    Transcript& fTranscript;
};
