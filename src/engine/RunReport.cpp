#include "engine/RunReport.h"

#include <algorithm>
#include <cstdarg>

#include "platform/interface/Frontend.h"

RunReport::~RunReport() {
    CloseLog();
}

void RunReport::OpenLog(const char* path) {
    CloseLog();
    if (path != nullptr)
        fLog = std::fopen(path, "w");
}

void RunReport::Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Log(format, args);
    va_end(args);
}

void RunReport::Log(const char* format, va_list args) {
    if (fLog != nullptr)
        std::vfprintf(fLog, format, args);
}

void RunReport::CloseLog() {
    if (fLog == nullptr)
        return;
    std::fclose(fLog);
    fLog = nullptr;
}

void RunReport::ItemFailed(const std::string& leaf, const std::string& reason) {
    fFailures.push_back(leaf + ": " + reason);
    if (std::find(fFailedLeaves.begin(), fFailedLeaves.end(), leaf) == fFailedLeaves.end())
        fFailedLeaves.push_back(leaf);
    Log("\t\t\tNot installed: %s\n", reason.c_str());
    ReportFailureDetail(leaf + " was not installed: " + reason);
}

void RunReport::Detail(const std::string& detail) {
    Log("\t%s\n", detail.c_str());
    ReportFailureDetail(detail);
}

void RunReport::Notice(const std::string& sentence) {
    Log("\t\t\t%s\n", sentence.c_str());
    std::fprintf(stderr, "%s\n", sentence.c_str());
}

void RunReport::Warning(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
}

void RunReport::ListFailure(const std::string& line) {
    fFailures.push_back(line);
}
