#include "ui/InstallerStartUp.h"

#include <string>
#include <unistd.h>
#include <vector>

#include "files/LibAppResource.h"
#include "platform/storage/MimeType.h"

namespace installer_start_up {

void RecordVersion() {
    LibSetAppVersion(1, 3, 1, "Installer", "V1.3.1 Install BeOS applications", 5, 0);
}

std::vector<std::string> PlannedTypeRecord() {
    std::vector<std::string> missing;
    BMimeType type(kDocumentType);
    for (std::string level = type.DatabaseFile();
         level.size() > 1 && access(level.c_str(), F_OK) != 0;
         level = level.substr(0, level.rfind('/') == 0 ? 1 : level.rfind('/')))
        missing.insert(missing.begin(), level);
    return missing;
}

void RecordType() {
    BMimeType(kDocumentType).SetPreferredApp(kSignature, B_OPEN);
}

} // namespace installer_start_up
