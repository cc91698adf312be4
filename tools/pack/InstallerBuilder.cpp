#include "InstallerBuilder.h"

#include <climits>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

#include "ConfigBuilder.h"
#include "InstallerSigning.h"
#include "files/InstallerIntegrity.h"
#include "files/LibAppResource.h"
#include "files/ProgramRole.h"
#include "locale/CatalogueResources.h"
#include "package/PackageConfig.h"
#include "platform/app/Message.h"
#include "platform/storage/File.h"
#include "platform/storage/Resources.h"

namespace fs = std::filesystem;

namespace tarnw::pack {

namespace {

fs::path OwnFolder() {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : self.parent_path();
}

fs::path FromEnvironmentOr(const char* variable, const char* name) {
    if (const char* value = std::getenv(variable); value != nullptr && *value != '\0')
        return value;
    return OwnFolder() / name;
}

void Require(bool ok, const std::string& what) {
    if (!ok)
        throw std::runtime_error(what);
}

// Removes the temporary output unless the build got through.
class TemporaryOutput {
public:
    explicit TemporaryOutput(fs::path final) : fFinal(std::move(final)) {
        fPath = fFinal;
        fPath += ".tarnw-pack-" + std::to_string(getpid());
    }
    ~TemporaryOutput() {
        if (!fCommitted) {
            std::error_code ignored;
            fs::remove(fPath, ignored);
        }
    }
    const fs::path& Path() const { return fPath; }
    void Commit() {
        fs::rename(fPath, fFinal);
        fCommitted = true;
    }

private:
    fs::path fFinal;
    fs::path fPath;
    bool fCommitted = false;
};

// Marks the copied program as packed, so that the copy cut back to its program image is
// known for a damaged installer rather than taken for a bare program.
void MarkPacked(const fs::path& installer) {
    uint64 imageSize = fs::file_size(installer);
    {
        BFile file(installer.c_str(), B_READ_ONLY);
        BResources existing(&file);
        if (existing.InitCheck() == B_OK && existing.ContainerStart() >= 0)
            imageSize = uint64(existing.ContainerStart());
    }
    int fd = open(installer.c_str(), O_RDWR | O_CLOEXEC);
    Require(fd >= 0, "cannot open " + installer.string() + " for writing");
    bool marked = MarkImagePacked(fd, imageSize);
    close(fd);
    Require(marked, "the installer program " + installer.string() +
                        " is not a Tarnwhistle program image (its mark is missing)");
}

} // namespace

fs::path DefaultStub() {
    return FromEnvironmentOr("TARNW_STUB", "tarnwhistle");
}

void BuildInstaller(const Manifest& manifest, const BuildOptions& options) {
    fs::path stub = options.stub.empty() ? DefaultStub() : options.stub;
    Require(fs::is_regular_file(stub), "installer program not found: " + stub.string());
    bool carryDeinstaller = manifest.Bool("opt_include_deinstall", true);

    if (options.output.has_parent_path())
        fs::create_directories(options.output.parent_path());
    TemporaryOutput output(options.output);
    fs::copy_file(stub, output.Path(), fs::copy_options::overwrite_existing);
    fs::permissions(output.Path(), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    MarkPacked(output.Path());

    LibAppResource resources(output.Path().c_str(), B_READ_WRITE);
    Require(resources.IsAttached(), "cannot open " + output.Path().string() + " for writing");

    int level = manifest.Int("opt_compression", 6);
    level = level < 0 ? 0 : (level > 9 ? 9 : level);

    // The configuration first, so that a reader finds it at the front of the index.
    // The deinstaller is the installer program itself: the run places a copy of the
    // program image with the deinstaller's few resources, so it weighs about the stub.
    int32_t deinstallerSize = 0;
    if (carryDeinstaller) {
        auto size = fs::file_size(stub) + kDeinstallerResourceAllowance;
        deinstallerSize = size > uintmax_t(INT32_MAX) ? INT32_MAX : int32_t(size);
    }
    BMessage config;
    BuildConfiguration(manifest, deinstallerSize, config);
    ssize_t flatSize = config.FlattenedSize();
    std::string flat(size_t(flatSize), '\0');
    Require(config.Flatten(flat.data(), flatSize) == B_OK, "cannot flatten the configuration");
    Require(resources.AddResource(kConfigurationResourceType, kConfigurationResourceId, flat.data(),
                                  flat.size(), kConfigurationResourceName) == B_OK,
            "cannot add the configuration");

    // Not a second program: a small record saying that the run places the deinstaller.
    if (carryDeinstaller)
        Require(resources.AddResource(kDeinstallerResourceType, kDeinstallerResourceId,
                                      kDeinstallerRecord.data(), kDeinstallerRecord.size(),
                                      kDeinstallerResourceName) == B_OK,
                "cannot add the deinstaller record");

    for (size_t i = 0; i < manifest.files.size(); ++i) {
        const fs::path& source = manifest.files[i].source;
        std::string leaf = source.filename().string();
        Require(
            resources.AddEntry(source.c_str(), kFirstPayloadId + int32_t(i), leaf.c_str(), level),
            "cannot pack " + source.string() + ": " + resources.LastError());
    }

    Require(catalogue::WriteResources(resources) == B_OK, "cannot add the string catalogue");

    Require(resources.Sync() == B_OK, "cannot write " + output.Path().string());
    if (options.signingKey != nullptr)
        SignInstaller(output.Path().string(), *options.signingKey, options.signer);
    output.Commit();
}

} // namespace tarnw::pack
