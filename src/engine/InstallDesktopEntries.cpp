// The step of InstallConfig that gives the installed programs menu entries and icons, and
// the deinstaller one of its own.

#include <cstring>

#include "engine/DesktopEntries.h"
#include "engine/InstallConfig.h"
#include "engine/InstallPaths.h"
#include "lib/MessageFields.h"
#include "locale/Catalogue.h"
#include "locale/xLocalize.h"

namespace {

// The desktop names Norwegian Bokmål "nb"; the catalogue calls it "no".
std::string DesktopLanguage(const char* code) {
    return std::strcmp(code, "no") == 0 ? "nb" : code;
}

// A catalogue text in every language but English, with `product` put in for "%s".
std::vector<std::pair<std::string, std::string>> Translations(int32 id,
                                                              const std::string& product) {
    std::vector<std::pair<std::string, std::string>> result;
    for (int32 index = 0; index < 10; index++) {
        const char* code = xLocalize::LanguageCode(index);
        if (std::strcmp(code, "en") == 0)
            continue;
        const char* format = catalogue::BuiltinText(code, id);
        if (format == nullptr || std::strstr(format, "%s") == nullptr)
            continue;
        std::string text = format;
        text.replace(text.find("%s"), 2, product);
        result.push_back({DesktopLanguage(code), text});
    }
    return result;
}

std::string English(int32 id, const std::string& product) {
    const char* format = catalogue::BuiltinText("en", id);
    std::string text = format != nullptr ? format : "%s";
    size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, product);
    return text;
}

} // namespace

void InstallConfig::PlaceDesktopEntries() {
    BMessage entries;
    bool deinstallerEntry = false;
    FindBool("deinstaller_menu_entry", &deinstallerEntry);
    if (FindMessage("desktop_entries", &entries) != B_OK && !deinstallerEntry)
        return;
    std::shared_ptr<const InstallRecords> records = Records();

    DesktopEntries desktop([this](const std::string& folder) { MakeFolder(folder); });
    desktop.SetBeforeWrite([this](const std::string& path) { return KeepBeforeEdit(path); });
    bool wroteAny = false;
    std::string productIcon;
    auto place = [&](const DesktopEntryPlan& plan, bool tag) {
        std::vector<std::string> written;
        std::string error;
        bool placed = desktop.Place(plan, written, error);
        for (const std::string& path : written) {
            wroteAny = true;
            Log("\t\tMenu entry file %s\n", path.c_str());
            if (tag)
                AddDeinstallTag(path.c_str(), fRun->identity.c_str());
        }
        if (!placed)
            Failure(plan.name, "its menu entry could not be written: " + error);
        return placed;
    };

    BMessage entry;
    for (int32 i = 0; entries.FindMessage("desktop_entry", i, &entry) == B_OK; i++) {
        DesktopEntryPlan plan;
        plan.id = StringOf(entry, "entry_id");
        plan.name = StringOf(entry, "entry_name");
        plan.comment = StringOf(entry, "entry_comment");
        plan.arguments = StringsOf(entry, "entry_arg");
        plan.categories = StringsOf(entry, "entry_category");
        entry.FindBool("entry_terminal", &plan.terminal);

        int32 item = -1;
        entry.FindInt32("entry_item", &item);
        const InstallRecords::Item* record = records->At(item);
        if (record == nullptr || !record->selected || fRun->failedItems.count(item) != 0) {
            Log("\t\tNo menu entry for %s: its program was not installed\n", plan.name.c_str());
            continue;
        }
        std::string inside;
        if (!InstallPaths::CleanRelative(StringOf(entry, "entry_path"), inside)) {
            Failure(plan.name, "its menu entry names a program outside its item");
            continue;
        }
        plan.program = InstallPaths::Join(record->fileName, inside);
        if (inside.empty())
            plan.program = record->fileName;
        if (!InstallPaths::EntryExists(plan.program)) {
            Failure(plan.name, "its menu entry's program " + plan.program + " is not there");
            continue;
        }

        const void* icon = nullptr;
        ssize_t iconBytes = 0;
        if (entry.FindData("entry_icon", B_RAW_TYPE, &icon, &iconBytes) == B_OK && iconBytes > 0) {
            plan.iconType = StringOf(entry, "entry_icon_type");
            int32 size = 0;
            entry.FindInt32("entry_icon_size", &size);
            plan.iconSize = size;
            plan.iconData.assign(static_cast<const char*>(icon), size_t(iconBytes));
            plan.iconName = plan.id;
        }
        if (place(plan, record->deinstallable) && productIcon.empty())
            productIcon = plan.iconName;
    }

    if (deinstallerEntry && !fRun->deinstallerPath.empty() &&
        InstallPaths::EntryExists(fRun->deinstallerPath)) {
        std::string product = StringValue("app_name");
        DesktopEntryPlan plan;
        plan.id = StringValue("deinstaller_menu_id");
        plan.name = English(1200, product);
        plan.localizedNames = Translations(1200, product);
        plan.comment = English(1201, product);
        plan.localizedComments = Translations(1201, product);
        plan.program = fRun->deinstallerPath;
        plan.categories = {"System"};
        plan.iconName = productIcon;
        place(plan, true);
    }

    if (wroteAny) {
        // The caches the desktop's tools rewrite go back with an undo too.
        KeepBeforeEdit(InstallPaths::Join(DesktopEntries::ApplicationsFolder(), "mimeinfo.cache"));
        KeepBeforeEdit(InstallPaths::Join(DesktopEntries::IconThemeFolder(), "icon-theme.cache"));
        std::vector<std::string> ran;
        DesktopEntries::Refresh(DesktopEntries::ApplicationsFolder(),
                                DesktopEntries::IconThemeFolder(), ran);
        for (const std::string& line : ran)
            Log("\t\tRefreshed: %s\n", line.c_str());
    }
}
