#include "locale/xLocalize.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <unistd.h>

#include "locale/Catalogue.h"
#include "platform/storage/Node.h"
#include "platform/storage/StorageDefs.h"

namespace {

constexpr const char* kLanguageAttribute = "language";
constexpr const char* kDefaultLanguage = "en";
// The attribute is read up to this many bytes.
constexpr size_t kLanguageReadLimit = 62;

// Languages that hold for an executable for the rest of the process without being stored
// on it: one the command line or the locale asked for, or one chosen in the language menu
// that could not be stored (read-only file, file system without attributes), so that the
// choice still changes every text made afterwards. They come before the attribute.
std::mutex gUnstoredLock;
std::map<std::string, std::string> gUnstoredLanguages;

bool UnstoredLanguage(const char* executable, std::string& code) {
    std::lock_guard<std::mutex> lock(gUnstoredLock);
    const auto found = gUnstoredLanguages.find(executable);
    if (found == gUnstoredLanguages.end())
        return false;
    code = found->second;
    return true;
}

void RememberUnstored(const char* executable, const char* code) {
    std::lock_guard<std::mutex> lock(gUnstoredLock);
    if (code != nullptr)
        gUnstoredLanguages[executable] = code;
    else
        gUnstoredLanguages.erase(executable);
}

LibString OwnExecutable() {
    char buffer[B_PATH_NAME_LENGTH];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length <= 0)
        return LibString();
    buffer[length] = '\0';
    return LibString(buffer);
}

} // namespace

xLocalize::xLocalize() : fResources(B_READ_ONLY), fExecutable(OwnExecutable()) {
    ObtainLanguage();
}

xLocalize::xLocalize(const char* executablePath)
    : fResources(executablePath, B_READ_ONLY), fExecutable(executablePath) {
    ObtainLanguage();
}

xLocalize::~xLocalize() {}

void xLocalize::ObtainLanguage() {
    fLanguage = kDefaultLanguage;
    std::string unstored;
    if (UnstoredLanguage(fExecutable.String(), unstored)) {
        fLanguage = unstored.c_str();
        return;
    }
    if (fExecutable.Length() == 0)
        return;
    BNode node(fExecutable.String());
    if (node.InitCheck() != B_OK)
        return;
    char buffer[kLanguageReadLimit];
    const ssize_t length =
        node.ReadAttr(kLanguageAttribute, B_STRING_TYPE, 0, buffer, sizeof(buffer));
    if (length == B_ENTRY_NOT_FOUND) {
        // First start: record the default so that the attribute exists from now on.
        node.WriteAttr(kLanguageAttribute, B_STRING_TYPE, 0, kDefaultLanguage,
                       strlen(kDefaultLanguage));
        return;
    }
    if (length <= 0)
        return;
    // The stored code has no NUL; one written by another tool may.
    std::string code(buffer, strnlen(buffer, static_cast<size_t>(length)));
    if (!catalogue::IsValidLanguage(code))
        return;
    fLanguage = code.c_str();
}

bool xLocalize::SetLanguage(const char* code) {
    if (code == nullptr || !catalogue::IsValidLanguage(code))
        return false;
    fLanguage = code;
    bool stored = false;
    if (fExecutable.Length() > 0) {
        BNode node(fExecutable.String());
        stored = node.InitCheck() == B_OK &&
                 node.WriteAttr(kLanguageAttribute, B_STRING_TYPE, 0, code, strlen(code)) ==
                     static_cast<ssize_t>(strlen(code));
    }
    RememberUnstored(fExecutable.String(), stored ? nullptr : code);
    return stored;
}

bool xLocalize::UseLanguage(const char* code) {
    if (!UseLanguageFor(fExecutable.String(), code))
        return false;
    fLanguage = code;
    return true;
}

bool xLocalize::UseLanguageFor(const char* executablePath, const char* code) {
    if (code == nullptr || !catalogue::IsValidLanguage(code))
        return false;
    RememberUnstored(executablePath != nullptr ? executablePath : "", code);
    return true;
}

LibString xLocalize::GetString(const int32& id) {
    const std::string name = catalogue::ResourceName(fLanguage.String(), id);
    if (fResources.IsOpen() && fResources.HasResource(B_STRING_TYPE, name.c_str()))
        return fResources.GetString(name.c_str());
    const char* builtin = catalogue::BuiltinText(fLanguage.String(), id);
    return LibString(builtin != nullptr ? builtin : "");
}

const char* xLocalize::LanguageCode(int32 menuIndex) {
    if (menuIndex < 0 || menuIndex >= 10)
        return kDefaultLanguage;
    return catalogue::kLanguages[menuIndex];
}

int32 xLocalize::LanguageIndex(const char* code) {
    if (code == nullptr)
        return -1;
    for (int32 i = 0; i < 10; ++i) {
        if (strcmp(code, catalogue::kLanguages[i]) == 0)
            return i;
    }
    return -1;
}
