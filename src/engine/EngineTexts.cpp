#include "engine/EngineTexts.h"

#include <cstdarg>
#include <sys/stat.h>

#include "frontend/LibAlert.h"
#include "locale/xLocalize.h"

namespace {

struct Text {
    int32 id;
    const char* english;
};

const Text kTexts[] = {
    {1011, "Abort"},
    {1018, "Later"},
    {1019, "Run"},
    {1021, "Installation can not continue."},
    {1022, "You may run the application at your own risk."},
    {1023, "requires"},
    {1024, "suggests"},
    {1025, "required"},
    {1026, "suggested"},
    {1027, "Installation was stopped before it could complete."},
    {1028, "Continue"},
    {1029, "Restart Later"},
    {1030, "Restart Now"},
    {1031, "The application '%s' could not be found. The installation %s that this application "
           "be present for the installed software to work properly."},
    {1032, "Checking System Resources..."},
    {1033, "Creating deinstaller..."},
    {1034, "Do you wish to run '"},
    {1035, "' now?"},
    {1036, "Installing %d of %d (%s)"},
    {1037, "Installation Complete"},
    {1038, "Installation successfully completed."},
    {1039, "'%s' was unable to be run at this time."},
    {1040, "Failure to find selected installation folder. Unable to install files."},
    {1041, "Unable to create installation folder '%s'. Unable to install files."},
    {1042, "\n\nThe system needs to be restarted for the installation to take effect."},
    {1043, "The shared library '%s' could not be found. The installation %s that this library "
           "be present for the installed software to work properly."},
    {1044, "Installation %s %d MB of physical RAM, and only %d MB is available. %s"},
    {1045, "Installation %s %s of disk space, and the destination volume '%s' only has %s "
           "free."},
    {1240, "The installation could not be completed. These items were not installed:"},
    {1241, "The log in %s tells more."},
    {1120, "The installation did not complete. Undo it, so that everything is as it was before, "
           "or keep what was installed?"},
    {1121, "Undo"},
    {1122, "Keep"},
    {1123, "Undoing the installation..."},
    {1124, "These changes could not be undone:"},
    {1125, "Waiting for another installation into this folder to end..."},
    {1126, "An earlier installation into '%s' did not finish. It will be undone before this one "
           "begins."},
    {1127, "Undoing an earlier installation that did not finish..."},
    {1128, "'%s' is set aside and not acted on: it was not written by you, or other users could "
           "change it."},
    {1129, "'%s' is set aside and not acted on: it names '%s', which this installation cannot "
           "have made."},
    {1130, "Waiting for another installation into this folder (process %s) to end..."},
    {1131, "Another user's installation (process %s) is using '%s'. Try again when it has "
           "ended."},
    {1132, "'%s' is no file of this installer (a link, FIFO or device has its name). Nothing "
           "was installed."},
    {1100, "The installer file is damaged or incomplete. Please download it again."},
    {1101, "The installer file is damaged or incomplete: it should be %s bytes long, but it is "
           "%s bytes long. Please download it again."},
    {1110, "Installation %s room for %s new files and folders, and the destination volume '%s' "
           "only has room for %s more."},
    {1300, "The installer's signature does not match its contents: the file was changed after "
           "it was signed. Please download it again."},
    {1305, "Signed by %s"},
    {1306, "Not signed: nothing tells who made this installer."},
    {1307, "%s is installed in this place, signed by %s. This installer is signed by %s, so it "
           "may not come from the same maker. Install it anyway?"},
    {1308, "nobody (not signed)"},
    {1309, "Install Anyway"},
};

} // namespace

const char* EngineTexts::English(int32 id) {
    for (const Text& text : kTexts) {
        if (text.id == id)
            return text.english;
    }
    return "";
}

std::string EngineTexts::ConversionsOf(const char* format) {
    std::string conversions;
    for (const char* p = format; p != nullptr && *p != '\0'; p++) {
        if (*p != '%')
            continue;
        p++;
        if (*p == '\0')
            break;
        if (*p != '%')
            conversions += *p;
    }
    return conversions;
}

bool EngineTexts::ConversionsMatch(const char* format, const char* conversions) {
    if (format == nullptr)
        return false;
    const char* expected = conversions;
    for (const char* p = format; *p != '\0'; p++) {
        if (*p != '%')
            continue;
        p++;
        if (*p == '%')
            continue;
        if (*p == '\0' || *expected == '\0' || *p != *expected)
            return false;
        expected++;
    }
    return *expected == '\0';
}

std::string EngineTexts::Get(int32 id) {
    std::string text = static_cast<const char*>(fLocalize.GetString(id));
    if (text.empty())
        text = English(id);
    return text;
}

std::string EngineTexts::CheckedFormat(int32 id) {
    std::string format = Get(id);
    const char* english = English(id);
    if (!ConversionsMatch(format.c_str(), ConversionsOf(english).c_str()))
        format = english;
    return format;
}

std::string EngineTexts::Format(int32 id, ...) {
    std::string format = CheckedFormat(id);
    char text[kLibAlertTextSize];
    va_list args;
    va_start(args, id);
    LibFormatCut(text, sizeof(text), format.c_str(), args);
    va_end(args);
    return text;
}

std::string EngineTexts::ReplaceQuestion(const char* existingPath) {
    const char* kind = "file";
    struct stat info;
    if (existingPath != nullptr && lstat(existingPath, &info) == 0) {
        if (S_ISLNK(info.st_mode))
            kind = "symbolic link";
        else if (S_ISDIR(info.st_mode))
            kind = "folder";
    }
    std::string path = existingPath != nullptr ? existingPath : "";
    size_t slash = path.rfind('/');
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    return std::string("The ") + kind + " '" + leaf +
           "' already exists. Do you wish to replace existing";
}
