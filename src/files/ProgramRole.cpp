#include "files/ProgramRole.h"

#include <cstring>

#include "platform/storage/File.h"
#include "platform/storage/Resources.h"

bool RunsAsDeinstaller(const char* programPath) {
    BFile file(programPath, B_READ_ONLY);
    if (file.InitCheck() != B_OK)
        return false;
    BResources resources(&file);
    size_t size = 0;
    const void* role = resources.LoadResource(kRoleResourceType, kRoleResourceId, &size);
    return role != nullptr && size == kDeinstallerRole.size() &&
           std::memcmp(role, kDeinstallerRole.data(), size) == 0;
}
