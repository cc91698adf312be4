// Feeds hostile attribute values (as another program or a damaged file system could
// leave them) to the readers of types, versions, signatures and supported types.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/app/Message.h"
#include "platform/storage/AppFileInfo.h"
#include "platform/storage/File.h"
#include "platform/storage/NodeInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string path;
    if (path.empty()) {
        const char* tmp = getenv("TMPDIR");
        path = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/fuzz-attr-" +
               std::to_string(getpid());
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            abort();
        close(fd);
        atexit([] { unlink(path.c_str()); });
    }
    // The first byte picks the attribute, the rest is its value.
    static const char* const kNames[] = {
        "user.mime_type",       "user.app_version",          "user.app_signature", "user.app_flags",
        "user.supported_types", "user.tarnw.type.mime_type", "user.preferred_app"};
    if (size == 0)
        return 0;
    const char* name = kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
    if (setxattr(path.c_str(), name, data + 1, size - 1, 0) != 0)
        return 0;

    BFile file(path.c_str(), B_READ_ONLY);
    BAppFileInfo info(&file);
    char text[B_MIME_TYPE_LENGTH];
    if (info.GetType(text) == B_OK && strlen(text) >= B_MIME_TYPE_LENGTH)
        abort();
    if (info.GetSignature(text) == B_OK && strlen(text) >= B_MIME_TYPE_LENGTH)
        abort();
    info.GetPreferredApp(text);
    version_info version;
    if (info.GetVersionInfo(&version, B_APP_VERSION_KIND) == B_OK &&
        (strlen(version.short_info) >= 64 || strlen(version.long_info) >= 256))
        abort();
    info.GetVersionInfo(&version, B_SYSTEM_VERSION_KIND);
    uint32 flags;
    info.GetAppFlags(&flags);
    BMessage types;
    info.GetSupportedTypes(&types);
    info.IsSupportedType("text/plain");
    attr_info attr;
    file.GetAttrInfo("mime_type", &attr);
    char attrName[B_ATTR_NAME_LENGTH];
    while (file.GetNextAttrName(attrName) == B_OK)
        if (strlen(attrName) >= B_ATTR_NAME_LENGTH)
            abort();
    removexattr(path.c_str(), name);
    return 0;
}
