#pragma once

// Where the run tells what went wrong and what it did: the installation's log (when the
// package keeps one), standard error, the front-end's record of failures (the transcript's
// "error" events), and the list of failures that makes a run incomplete. Every kind of
// report below goes to a fixed set of those, so the same failure is never told in two ways.
//
// The worker's: only the run's thread reports.

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

class RunReport {
public:
    RunReport() = default;
    ~RunReport();
    RunReport(const RunReport&) = delete;
    RunReport& operator=(const RunReport&) = delete;

    // The installation's log, written as the run goes; a log that cannot be made is not
    // kept, and the run goes on without it.
    void OpenLog(const char* path);
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Log(const char* format, va_list args);
    void CloseLog();
    bool HasLog() const { return fLog != nullptr; }

    // An item (or the deinstaller, or a menu entry) was not installed: in the failure list
    // as "leaf: reason", in the log, on standard error and to the front-end as
    // "leaf was not installed: reason". The user is told the leaves once each at the end.
    void ItemFailed(const std::string& leaf, const std::string& reason);
    // The path and reason behind an alert whose words are fixed: in the log, on standard
    // error and to the front-end.
    void Detail(const std::string& detail);
    // Something the run went on without: in the log and on standard error.
    void Notice(const std::string& sentence);
    // For whoever runs the installer from a terminal: on standard error only.
    void Warning(const std::string& text);
    // A failure already told (or with nothing more to tell) that makes the run incomplete.
    void ListFailure(const std::string& line);

    // "leaf: reason" of every failure, in the order they happened.
    const std::vector<std::string>& Failures() const { return fFailures; }
    // The leaves of the items that failed, each once.
    const std::vector<std::string>& FailedLeaves() const { return fFailedLeaves; }
    bool HasFailures() const { return !fFailures.empty(); }

private:
    FILE* fLog = nullptr;
    std::vector<std::string> fFailures;
    std::vector<std::string> fFailedLeaves;
};
