// The system's requirements a package names, checked before a run: room on every volume,
// the package's own disk-space minimum, physical memory, shared libraries and applications.

#include "engine/EngineTexts.h"
#include "engine/InstallConfig.h"
#include "engine/InstallPaths.h"
#include "engine/LibSysInfo.h"
#include "engine/RequirementMath.h"
#include "frontend/LibAlert.h"
#include "lib/ByteText.h"
#include "lib/MessageFields.h"
#include "locale/xLocalize.h"
#include "platform/interface/Frontend.h"

int InstallConfig::CheckSystemResources() {
    std::unique_ptr<xLocalize> own;
    EngineTexts texts(Localize(own));

    // 1. Room for the selected items, the deinstaller and the log, on each volume that
    // receives some of them.
    std::string requires_ = texts.Get(1023);
    std::string suggests = texts.Get(1024);
    if (!RoomOnEveryVolume(texts, requires_))
        return kRequirementsNoDiskSpace;
    int64 freeBytes = InstallPaths::FreeBytes(fDestinationPath);
    std::string volumeName = InstallPaths::VolumeName(fDestinationPath);

    // 2. The package's own disk-space minimum.
    if (BoolValue("req_disk_space_needed")) {
        bool required = BoolValue("req_disk_space_required");
        BMessage amount;
        double value = 0;
        if (FindMessage("req_disk_space_amount", &amount) == B_OK)
            amount.FindDouble("value", &value);
        uint64 minimum = RequirementMath::DiskMinimum(value);
        if (!RequirementMath::Fits(freeBytes, minimum)) {
            LibError("%s", texts
                               .Format(1045, (required ? requires_ : suggests).c_str(),
                                       ByteText(minimum).c_str(), volumeName.c_str(),
                                       ByteText(uint64(freeBytes < 0 ? 0 : freeBytes)).c_str())
                               .c_str());
            return required ? kRequirementsNoDiskSpace : kRequirementsMet;
        }
    }

    // 3. Physical memory.
    if (BoolValue("req_ram_needed")) {
        bool required = BoolValue("req_ram_required");
        int32 amount = Int32Value("req_ram_amount");
        LibSysInfo info;
        if (!RequirementMath::MemoryMet(amount, info.PhysicalMemory())) {
            LibError("%s", texts
                               .Format(1044, (required ? requires_ : suggests).c_str(), int(amount),
                                       int(info.PhysicalMemory()),
                                       texts.Get(required ? 1021 : 1022).c_str())
                               .c_str());
            return required ? kRequirementsStop : kRequirementsMet;
        }
    }

    // 4. and 5. Shared libraries and applications: Abort, or Continue for a suggestion.
    auto askMissing = [&](const std::string& text, bool required) {
        FrontendRequest request;
        request.text = text;
        request.buttons.push_back(texts.Get(1011));
        request.shortcuts.push_back(0);
        if (!required) {
            request.buttons.push_back(texts.Get(1028));
            request.shortcuts.push_back(0);
        }
        request.icon = FrontendIcon::Info;
        return AskFrontend(request).button != 0;
    };

    BMessage libraries;
    if (FindMessage("req_shared_library", &libraries) == B_OK) {
        bool required = IsTrue(libraries, "req_shared_librry_req");
        const char* name = nullptr;
        for (int32 i = 0; libraries.FindString("req_shared_library_name", i, &name) == B_OK; i++) {
            if (name == nullptr || InstallPaths::LibraryPresent(name))
                continue;
            std::string text = texts.Format(1043, name, (required ? requires_ : suggests).c_str());
            if (!askMissing(text, required))
                return kRequirementsStop;
        }
    }

    BMessage applications;
    if (FindMessage("req_apps", &applications) == B_OK) {
        bool required = IsTrue(applications, "req_app_req");
        const char* entry = nullptr;
        for (int32 i = 0; applications.FindString("req_app_name", i, &entry) == B_OK; i++) {
            if (entry == nullptr)
                continue;
            std::string signature = InstallPaths::SignatureOf(entry);
            if (!signature.empty() && InstallPaths::ApplicationPresent(signature.c_str()))
                continue;
            std::string text = texts.Format(1031, entry, (required ? requires_ : suggests).c_str());
            if (!askMissing(text, required))
                return kRequirementsStop;
        }
    }
    return kRequirementsMet;
}
