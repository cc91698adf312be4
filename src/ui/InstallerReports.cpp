#include "ui/InstallerReports.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "engine/InstallSession.h"
#include "files/InstallerIntegrity.h"
#include "files/ProgramRole.h"
#include "lib/ByteText.h"
#include "lib/LibNearestName.h"
#include "lib/LibString.h"
#include "locale/xLocalize.h"
#include "package/PackageConfig.h"
#include "platform/storage/File.h"
#include "platform/storage/Resources.h"
#include "ui/CommandLineTexts.h"
#include "ui/ExitStatus.h"
#include "ui/InstallerOptions.h"

namespace {

std::string Bytes(int64 bytes) {
    return ByteText(uint64(bytes < 0 ? 0 : bytes));
}

// Loads the package without asking anyone: a broken installer is reported on `err`.
bool LoadPackage(InstallSession& session, const std::string& installer, FILE* err) {
    PackageConfig probe;
    BFile file(installer.c_str(), B_READ_ONLY);
    BResources resources;
    if (file.InitCheck() != B_OK || resources.SetTo(&file) != B_OK ||
        !probe.LoadConfiguration(resources)) {
        std::fprintf(err,
                     "%s: Error obtaining configuration in installer. The installer was "
                     "improperly built.\n",
                     installer.c_str());
        return false;
    }
    return session.Load(installer.c_str());
}

std::string SignerLine(const std::string& installer, const std::string& language) {
    SignatureReport signature = CheckInstallerSignature(installer.c_str());
    return CommandLineText(language, kCliSignedBy) + ": " +
           (signature.Signed() ? signature.SignerText() : CommandLineText(language, kCliNotSigned));
}

std::string ProductLine(PackageConfig& config) {
    std::string line = config.StringValue("app_name");
    const char* version = config.StringValue("version");
    if (version[0] != '\0')
        line += std::string(line.empty() ? "" : " ") + version;
    return line;
}

} // namespace

int PrintVersion(const std::string& installer, FILE* out, FILE* err) {
    InstallSession session;
    if (!LoadPackage(session, installer, err))
        return kExitBrokenInstaller;
    std::fprintf(out, "%s\n", ProductLine(session.Engine()).c_str());
    std::fprintf(out, "Tarnwhistle installer %s\n", kInstallerVersionText);
    return kExitCompleted;
}

int PrintInfo(const std::string& installer, FILE* out, FILE* err, const std::string& language) {
    InstallSession session;
    if (!LoadPackage(session, installer, err))
        return kExitBrokenInstaller;
    auto text = [&](int32 id, const std::vector<std::string>& values = {}) {
        return CommandLineText(language, id, values);
    };
    PackageConfig& config = session.Engine();
    std::fprintf(out, "%s: %s\n", text(kCliInfoProduct).c_str(), ProductLine(config).c_str());
    for (auto [label, key] : {std::pair{kCliInfoReleased, "release_date"},
                              {kCliInfoCompany, "company"},
                              {kCliInfoSupport, "support_email"}}) {
        const char* value = config.StringValue(key);
        if (value[0] != '\0')
            std::fprintf(out, "%s: %s\n", text(label).c_str(), value);
    }
    std::fprintf(out, "%s\n", SignerLine(installer, language).c_str());
    std::fprintf(out, "%s: %s\n", text(kCliInfoLicence).c_str(),
                 text(session.License().empty() ? kCliInfoNone : kCliInfoYes).c_str());

    std::fprintf(out, "%s:\n", text(kCliInfoItems).c_str());
    int64 total = 0;
    for (int32 i = 0; i < session.CountFiles(); ++i) {
        std::string groups;
        for (int32 g = 0; g < session.CountGroups(); ++g)
            if (session.FileInGroup(i, g))
                groups += (groups.empty() ? "" : ", ") + session.GroupName(g);
        int32 size = session.FileSize(i);
        total += size > 0 ? size : 0;
        std::fprintf(out, "  %-32s %10s  (%s)%s\n", session.FileLeaf(i).c_str(),
                     Bytes(size).c_str(), text(kCliInfoBytes, {std::to_string(size)}).c_str(),
                     groups.empty() ? "" : ("  " + text(kCliInfoInGroups, {groups})).c_str());
    }
    int32 deinstaller = session.Engine().DeinstallerSize();
    if (config.IncludeDeinstaller() && deinstaller > 0) {
        total += deinstaller;
        std::fprintf(out, "  %-32s %10s  (%s)\n", text(kCliInfoDeinstaller).c_str(),
                     Bytes(deinstaller).c_str(),
                     text(kCliInfoBytes, {std::to_string(deinstaller)}).c_str());
    }
    std::fprintf(out, "  %-32s %10s  (%s)\n", text(kCliInfoTotal).c_str(), Bytes(total).c_str(),
                 text(kCliInfoBytes, {std::to_string(total)}).c_str());

    std::fprintf(out, "%s:\n", text(kCliInfoInstallTypes).c_str());
    if (session.CountGroups() == 0)
        std::fprintf(out, "  %s\n", text(kCliInfoNoInstallTypes).c_str());
    for (int32 g = 0; g < session.CountGroups(); ++g) {
        std::fprintf(out, "  %s", session.GroupName(g).c_str());
        if (!session.GroupDescription(g).empty())
            std::fprintf(out, " - %s", session.GroupDescription(g).c_str());
        std::fputc('\n', out);
    }
    std::fprintf(out, "%s:", text(kCliInfoLanguages).c_str());
    for (int32 i = 0; i < 10; ++i)
        std::fprintf(out, " %s", xLocalize::LanguageCode(i));
    std::fputc('\n', out);
    return kExitCompleted;
}

int PrintItemList(const std::string& installer, FILE* out, FILE* err) {
    InstallSession session;
    if (!LoadPackage(session, installer, err))
        return kExitBrokenInstaller;
    for (int32 i = 0; i < session.CountFiles(); ++i)
        std::fprintf(out, "%s\n", session.FileLeaf(i).c_str());
    return kExitCompleted;
}

int CheckInstaller(const std::string& installer, FILE* out, FILE* err,
                   const std::string& language) {
    // The reasons are details for whoever looks into the file, and stay as they are.
    auto damaged = [&](const std::string& reason) {
        std::fprintf(err, "%s\n",
                     CommandLineText(language, kCliCheckDamaged, {installer, reason}).c_str());
        return int(kExitDamaged);
    };
    // A file cut short is told apart from one changed, with the size it should have.
    IntegrityReport report = CheckInstallerFile(
        installer.c_str(), [](type_code, int32) { return true; }, {}, ImageCheck::kChecked);
    if (report.Broken())
        return damaged(report.reason);
    BFile file(installer.c_str(), B_READ_ONLY);
    if (file.InitCheck() != B_OK)
        return damaged(std::string("cannot be read (") + strerror(-file.InitCheck()) + ")");
    BResources resources;
    if (resources.SetTo(&file) != B_OK)
        return damaged("its resources cannot be read: the file is cut short or overwritten");

    // Every resource was verified above, once; here they are only counted.
    int32 count = 0;
    type_code type = 0;
    int32 id = 0;
    const char* name = nullptr;
    size_t length = 0;
    while (resources.GetResourceInfo(count, &type, &id, &name, &length))
        ++count;
    PackageConfig config;
    if (!config.LoadConfiguration(resources))
        return damaged("its configuration is missing");
    for (int32 i = 0; i < config.CountInstallFiles(); ++i) {
        BMessage record;
        config.GetInstallFile(i, record);
        const char* fileName = nullptr;
        record.FindString("file_name", &fileName);
        if (!resources.HasResource(B_RAW_TYPE, kFirstPayloadResourceId + i))
            return damaged("the data of item " +
                           std::string(fileName != nullptr ? PackageConfig::LeafOf(fileName) : "") +
                           " is missing");
    }
    if (config.IncludeDeinstaller() && !resources.HasResource(B_RAW_TYPE, kDeinstallerResourceId))
        return damaged("its deinstaller is missing");
    std::fprintf(
        out, "%s\n",
        CommandLineText(language, kCliCheckWhole, {installer, std::to_string(count)}).c_str());
    std::fprintf(out, "%s\n", SignerLine(installer, language).c_str());
    return kExitCompleted;
}

int CheckSignedBy(const std::string& installer, const std::string& key, FILE* err,
                  const std::string& language) {
    SigningKey wanted;
    std::string error;
    if (!LoadSigningKey(key, wanted, error)) {
        std::fprintf(err, "%s\n",
                     CommandLineText(language, kCliUnreadableKey, {key, error}).c_str());
        return kExitUsage;
    }
    SignatureReport signature = CheckInstallerSignature(installer.c_str());
    if (signature.Mismatch()) {
        std::fprintf(
            err, "%s\n",
            CommandLineText(language, kCliCheckDamaged,
                            {installer, "the signature does not match: " + signature.reason})
                .c_str());
        return kExitDamaged;
    }
    if (!signature.Signed() || !(signature.key == wanted)) {
        std::fprintf(
            err, "%s\n%s\n",
            CommandLineText(language, kCliNotSignedByKey, {installer, wanted.IdText()}).c_str(),
            SignerLine(installer, language).c_str());
        return kExitDamaged;
    }
    return kExitCompleted;
}

std::string CheckInstallChoices(const InstallerOptions& options, const std::string& installer,
                                const std::string& language) {
    if (options.target) {
        struct stat info;
        if (stat(options.target->c_str(), &info) != 0)
            return CommandLineText(language, kCliNoTargetFolder,
                                   {*options.target, std::strerror(errno)});
        if (!S_ISDIR(info.st_mode))
            return CommandLineText(language, kCliTargetNotFolder, {*options.target});
    }
    if (options.group) {
        InstallSession session;
        PackageConfig probe;
        BFile file(installer.c_str(), B_READ_ONLY);
        BResources resources;
        // A broken installer is told about by the front-end that runs.
        if (file.InitCheck() != B_OK || resources.SetTo(&file) != B_OK ||
            !probe.LoadConfiguration(resources) || !session.Load(installer.c_str()))
            return "";
        std::vector<std::string> names;
        for (int32 g = 0; g < session.CountGroups(); ++g)
            names.push_back(session.GroupName(g));
        if (std::find(names.begin(), names.end(), *options.group) == names.end()) {
            if (auto nearest = LibNearestName(*options.group, names))
                return CommandLineText(language, kCliUnknownGroupNear, {*options.group, *nearest});
            return CommandLineText(language, kCliUnknownGroup, {*options.group});
        }
    }
    return "";
}
