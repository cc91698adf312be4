#include "platform/interface/Frontend.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<Frontend*> gFrontend{nullptr};
}

void SetFrontend(Frontend* frontend) {
    gFrontend.store(frontend);
}

Frontend* CurrentFrontend() {
    return gFrontend.load();
}

FrontendAnswer AskFrontend(const FrontendRequest& request) {
    if (Frontend* frontend = gFrontend.load())
        return frontend->Ask(request);
    std::fprintf(stderr, "alert: %s\n", request.text.c_str());
    return FrontendAnswer{};
}

void ReportFailureDetail(const std::string& detail) {
    std::fprintf(stderr, "%s\n", detail.c_str());
    if (Frontend* frontend = gFrontend.load())
        frontend->Error(detail.c_str());
}
