// Hostile bytes as an installer file: the integrity check reads the ELF headers, the head
// and the trailer, and must answer without reading out of bounds. A file that checks as
// sound must open as a resource container.
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "files/InstallerIntegrity.h"
#include "platform/storage/File.h"
#include "platform/storage/Resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* tmp = getenv("TMPDIR");
    std::string path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                       "/fuzz-integrity-" + std::to_string(getpid());
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        abort();
    for (size_t done = 0; done < size;) {
        ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            abort();
        done += size_t(n);
    }
    close(fd);
    IntegrityReport report = CheckInstallerFile(
        path.c_str(), [](type_code, int32) { return true; }, {}, ImageCheck::kChecked);
    if (report.Sound()) {
        BFile file(path.c_str(), B_READ_ONLY);
        BResources resources(&file);
        if (resources.InitCheck() != B_OK)
            abort();
    }
    if (report.verdict == Integrity::kIncomplete && report.expectedSize != 0 &&
        report.expectedSize <= report.actualSize)
        abort();
    unlink(path.c_str());
    return 0;
}
