#include "ui/InstallerStartUp.h"

#include <string>
#include <unistd.h>
#include <vector>

#include "platform/storage/MimeType.h"
#include "storage/LibAppResource.h"

namespace installer_start_up {

namespace {

// The type record and the folders made for it by this process, outer folders first.
std::vector<std::string> gMade;

void RememberMissingLevels(const std::string& file) {
    gMade.clear();
    for (std::string level = file; level.size() > 1 && access(level.c_str(), F_OK) != 0;
         level = level.substr(0, level.rfind('/') == 0 ? 1 : level.rfind('/')))
        gMade.insert(gMade.begin(), level);
}

} // namespace

void RecordVersionAndType() {
    LibSetAppVersion(1, 3, 1, "Installer", "V1.3.1 Install BeOS applications", 5, 0);
    BMimeType type(kDocumentType);
    RememberMissingLevels(type.DatabaseFile());
    if (type.SetPreferredApp(kSignature, B_OPEN) != B_OK)
        gMade.clear();
}

const std::vector<std::string>& MadeAtStart() {
    return gMade;
}

void TakeBackType() {
    for (auto made = gMade.rbegin(); made != gMade.rend(); ++made) {
        if (made == gMade.rbegin())
            unlink(made->c_str());
        else
            rmdir(made->c_str());
    }
    gMade.clear();
}

} // namespace installer_start_up
