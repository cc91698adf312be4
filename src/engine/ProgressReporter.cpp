#include "engine/ProgressReporter.h"

#include <algorithm>
#include <cstdarg>

#include "frontend/LibAlert.h"
#include "platform/app/Message.h"

void ProgressReporter::SetTarget(const BMessenger* target) {
    std::lock_guard<std::mutex> lock(fTargetLock);
    if (target != nullptr)
        fTarget = *target;
    else
        fTarget.reset();
}

void ProgressReporter::SetStatusListener(StatusListener listener) {
    std::shared_ptr<const StatusListener> shared;
    if (listener)
        shared = std::make_shared<const StatusListener>(std::move(listener));
    std::lock_guard<std::mutex> lock(fTargetLock);
    fStatusListener = std::move(shared);
}

void ProgressReporter::SetProgressListener(ProgressListener listener) {
    std::lock_guard<std::mutex> lock(fProgressLock);
    fProgressListener = std::move(listener);
}

void ProgressReporter::Status(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Status(format, args);
    va_end(args);
}

void ProgressReporter::Status(const char* format, va_list args) {
    char text[kStatusTextSize];
    LibFormatCut(text, sizeof(text), format, args);
    // Told outside the lock: a listener may stop the run, or look at the reporter.
    std::shared_ptr<const StatusListener> listener;
    std::optional<BMessenger> target;
    {
        std::lock_guard<std::mutex> lock(fTargetLock);
        listener = fStatusListener;
        target = fTarget;
    }
    if (listener)
        (*listener)(text);
    if (!target)
        return;
    BMessage message(kInstallStatusMessage);
    message.AddString("message", text);
    target->SendMessage(&message, static_cast<BHandler*>(nullptr), B_INFINITE_TIMEOUT);
}

void ProgressReporter::Start(int64 total) {
    {
        std::lock_guard<std::mutex> lock(fProgressLock);
        fTotal = std::max<int64>(total, 0);
        fDone = 0;
        fReported = -1;
        fHandled = 0;
    }
    Report(0, true);
}

void ProgressReporter::Report(int64 done, bool force) {
    std::lock_guard<std::mutex> lock(fProgressLock);
    done = std::clamp(done, fDone, fTotal);
    fDone = done;
    if (done == fReported || (!force && done - fReported < kReportStep))
        return;
    fReported = done;
    Deliver(done);
}

void ProgressReporter::Deliver(int64 done) {
    if (fProgressListener)
        fProgressListener(done, fTotal);
    std::optional<BMessenger> target;
    {
        std::lock_guard<std::mutex> lock(fTargetLock);
        target = fTarget;
    }
    if (!target)
        return;
    BMessage message(kInstallProgressMessage);
    message.AddInt64("done", done);
    message.AddInt64("total", fTotal);
    target->SendMessage(&message, static_cast<BHandler*>(nullptr), B_INFINITE_TIMEOUT);
}

void ProgressReporter::Handled(int64 bytes) {
    int64 handled = 0;
    {
        std::lock_guard<std::mutex> lock(fProgressLock);
        fHandled += std::max<int64>(bytes, 0);
        handled = fHandled;
    }
    Report(handled, true);
}

int64 ProgressReporter::HandledBytes() const {
    std::lock_guard<std::mutex> lock(fProgressLock);
    return fHandled;
}

void ProgressReporter::Finish() {
    Report(Total(), true);
}

ProgressReporter::ReadFollower ProgressReporter::FollowerFor(int64 size) {
    if (size <= 0)
        return nullptr;
    int64 base = HandledBytes();
    // The entry's compressed bytes read stand for the share of the item placed.
    return [this, base, size](uint64 read, uint64 length) {
        if (length > 0)
            Report(base + int64(double(size) * double(std::min(read, length)) / double(length)),
                   false);
    };
}

int64 ProgressReporter::Total() const {
    std::lock_guard<std::mutex> lock(fProgressLock);
    return fTotal;
}

int64 ProgressReporter::Done() const {
    std::lock_guard<std::mutex> lock(fProgressLock);
    return fDone;
}
