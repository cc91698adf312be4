#pragma once

// Tells the front-ends how a run goes: status texts and progress in bytes, as messages to
// the window ('isud', 'ispg') and as calls to the listeners of the other front-ends.
//
// Safe from any thread: the worker reports status and progress while the extraction's
// threads report progress, and a front-end may set or clear a listener meanwhile.
// Progress is delivered under the reporter's lock, so that reports arrive in order and
// never go back; a listener must therefore not set a listener itself.

#include <cstdarg>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/app/Messenger.h"
#include "platform/support/SupportDefs.h"

// Status message code of a running installation (string "message").
enum { kInstallStatusMessage = 'isud' };
// Progress of a running installation in bytes: int64 "done" of int64 "total".
enum { kInstallProgressMessage = 'ispg' };

class ProgressReporter {
public:
    using StatusListener = std::function<void(const char* text)>;
    using ProgressListener = std::function<void(int64 done, int64 total)>;
    // What an extraction reports: the bytes of an entry read so far, of its length.
    using ReadFollower = std::function<void(uint64 read, uint64 length)>;

    // Status texts are cut to this many bytes, the terminating zero included.
    static constexpr size_t kStatusTextSize = 100;
    // Within an item the front-ends hear of it every few megabytes.
    static constexpr int64 kReportStep = 4 * 1024 * 1024;

    // The window's messenger, or none: then only the listeners hear.
    void SetTarget(const BMessenger* target);
    void SetStatusListener(StatusListener listener);
    void SetProgressListener(ProgressListener listener);

    // Formats a status text (cut at a character boundary) and tells it.
    void Status(const char* format, va_list args);
    void Status(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // A run begins that will handle `total` planned bytes: nothing is done yet.
    void Start(int64 total);
    // `done` of the planned bytes; kept within what was reported before and the total.
    // Unless `force`d, told only when it has moved by a step since the last report.
    void Report(int64 done, bool force);
    // The planned bytes of one more item (or the deinstaller) are handled, however it
    // ended; told at once.
    void Handled(int64 bytes);
    // The planned bytes handled before the item being placed now.
    int64 HandledBytes() const;
    // Everything the run set out to do has been handled.
    void Finish();
    // Turns the bytes read of an entry `size` planned bytes long into progress after
    // what has been handled; empty for an item without planned bytes.
    ReadFollower FollowerFor(int64 size);

    int64 Total() const;
    int64 Done() const;

private:
    void Deliver(int64 done); // under fProgressLock

    mutable std::mutex fTargetLock; // the messenger and the status listener
    std::optional<BMessenger> fTarget;
    std::shared_ptr<const StatusListener> fStatusListener;

    mutable std::mutex fProgressLock;
    ProgressListener fProgressListener;
    int64 fTotal = 0;
    int64 fDone = 0;
    int64 fReported = -1;
    int64 fHandled = 0;
};
