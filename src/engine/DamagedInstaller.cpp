#include "engine/DamagedInstaller.h"

#include <climits>
#include <cstdio>
#include <unistd.h>

#include "engine/EngineTexts.h"
#include "frontend/LibAlert.h"

std::string DamagedInstallerText(xLocalize& localize, const IntegrityReport& report) {
    EngineTexts texts(localize);
    if (report.signature.Mismatch())
        return texts.Get(1300);
    if (report.verdict == Integrity::kIncomplete && report.expectedSize > report.actualSize)
        return texts.Format(1101, std::to_string(report.expectedSize).c_str(),
                            std::to_string(report.actualSize).c_str());
    return texts.Get(1100);
}

void ReportDamagedInstaller(xLocalize& localize, const std::string& path,
                            const IntegrityReport& report) {
    std::fprintf(stderr, "%s: the installer file is %s: %s\n", path.c_str(),
                 report.verdict == Integrity::kIncomplete ? "incomplete" : "damaged",
                 report.reason.c_str());
    LibError("%s", DamagedInstallerText(localize, report).c_str());
}

std::string RunningProgramPath() {
    char buffer[PATH_MAX + 1];
    ssize_t size = readlink("/proc/self/exe", buffer, PATH_MAX);
    return size <= 0 ? std::string() : std::string(buffer, size_t(size));
}
