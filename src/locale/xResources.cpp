#include "locale/xResources.h"

#include <cstring>
#include <string>
#include <unistd.h>

#include "platform/app/Message.h"

namespace {

constexpr type_code kBitmapResourceType = 'BBMP';

std::string OwnExecutablePath() {
    char buffer[B_PATH_NAME_LENGTH];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0)
        return std::string();
    return std::string(buffer, static_cast<size_t>(length));
}

} // namespace

xResources::xResources(const uint32& openMode) : fOpen(false) {
    const std::string path = OwnExecutablePath();
    if (path.empty())
        return;
    if (fFile.SetTo(path.c_str(), openMode) == B_OK)
        fOpen = SetTo(&fFile, false) == B_OK;
}

xResources::xResources(const char* path, const uint32& openMode) : fOpen(false) {
    if (path == nullptr || *path == '\0')
        return;
    if (fFile.SetTo(path, openMode) == B_OK)
        fOpen = SetTo(&fFile, false) == B_OK;
}

xResources::~xResources() {
    Close();
}

LibString xResources::GetString(const char* name) {
    if (!fOpen || name == nullptr)
        return LibString();
    size_t size = 0;
    const void* data = LoadResource(B_STRING_TYPE, name, &size);
    if (data == nullptr || size == 0)
        return LibString();
    // The text ends at its NUL, or at the end of the resource when it has none.
    const char* text = static_cast<const char*>(data);
    const size_t length = strnlen(text, size);
    return LibString(std::string(text, length).c_str());
}

bool xResources::GetBitmapArchive(const char* name, BMessage& archive) {
    if (!fOpen || name == nullptr)
        return false;
    size_t size = 0;
    const void* data = LoadResource(kBitmapResourceType, name, &size);
    if (data == nullptr || size == 0)
        return false;
    return archive.Unflatten(static_cast<const char*>(data), size) == B_OK;
}

void xResources::Close() {
    if (!fOpen)
        return;
    Unset();
    fFile.Unset();
    fOpen = false;
}
