#pragma once

// The one seam through which the engine, the foundation library and the alert functions
// talk to the user. A request is plain values; the gui, console and unattended
// front-ends (src/ui) answer it. With no front-end installed a request is written to
// standard error and answered with button 0.

#include <string>
#include <vector>

#include "platform/support/SupportDefs.h"

enum class FrontendIcon { None, Info, Idea, Warning, Stop };

struct FrontendRequest {
    std::string title;
    std::string text;
    std::vector<std::string> buttons;
    // One shortcut character per button, 0 for none.
    std::vector<char> shortcuts;
    FrontendIcon icon = FrontendIcon::None;
    // The button that Return presses in the window; -1 for the rightmost, as alerts have it.
    int32 defaultButton = -1;
    // False for alerts that run by themselves (LibInfoNoWait): the caller does not wait.
    bool waits = true;

    // The optional check box below the text ("Apply to all future collisions").
    bool hasBox = false;
    std::string boxLabel;
    bool boxChecked = false;

    // Set for the replace alert: the entry already at the destination and the new one.
    bool isReplace = false;
    std::string existingPath;
    std::string newPath;
    std::string language;

    // A question that an answers file decides by a key of its own ("on_failure: undo")
    // rather than by an answer line: the key, and the value that stands for each button.
    std::string answerKey;
    std::vector<std::string> answerValues;
};

struct FrontendAnswer {
    int32 button = 0;
    bool boxChecked = false;
};

class Frontend {
public:
    virtual ~Frontend() = default;

    // Asks the user; blocks the calling thread (any thread) until answered, unless
    // request.waits is false, in which case it returns at once with button 0.
    virtual FrontendAnswer Ask(const FrontendRequest& request) = 0;

    // A status text of a running installation ('isud'); front-ends show or record it.
    virtual void Status(const char* text) { (void)text; }

    // How far a running installation is: `done` bytes placed out of `total` to place.
    // Reported at each item and every few megabytes within one, never going back; the
    // last report of a run that went to its end has done == total.
    virtual void Progress(int64 done, int64 total) {
        (void)done;
        (void)total;
    }

    // The details of a failure the user was told about in words fixed by the design: the
    // path and the system's reason. Front-ends record it; the caller has already written
    // it to standard error.
    virtual void Error(const char* detail) { (void)detail; }
};

// Installs the process-wide front-end (not owned); nullptr removes it.
void SetFrontend(Frontend* frontend);
Frontend* CurrentFrontend();

// Asks the installed front-end, or answers button 0 after writing the request to
// standard error when none is installed.
FrontendAnswer AskFrontend(const FrontendRequest& request);

// Writes the details of a failure ("Unable to create installation folder '/x/y': Read-only
// file system") to standard error and hands them to the installed front-end.
void ReportFailureDetail(const std::string& detail);
