#include "ui/InstallerStartUp.h"

#include "platform/storage/MimeType.h"
#include "storage/LibAppResource.h"

namespace installer_start_up {

void RecordVersionAndType() {
    LibSetAppVersion(1, 3, 1, "Installer", "V1.3.1 Install BeOS applications", 5, 0);
    BMimeType(kDocumentType).SetPreferredApp(kSignature, B_OPEN);
}

} // namespace installer_start_up
