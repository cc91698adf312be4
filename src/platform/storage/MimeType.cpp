#include "platform/storage/MimeType.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/storage/Directory.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Node.h"
#include "platform/storage/NodeInfo.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;

namespace {

bool IsTokenChar(char c) {
    if (static_cast<unsigned char>(c) <= 32 || static_cast<unsigned char>(c) >= 127)
        return false;
    return strchr("()<>@,;:\\\"/[]?=", c) == nullptr;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

struct Description {
    const char* type;
    const char* shortDescription;
};

const Description kDescriptions[] = {
    {"application/x-vnd.Be-directory", "Folder"},
    {"application/x-vnd.Be-elfexecutable", "Application"},
    {"application/x-vnd.Be-symlink", "Symbolic Link"},
    {"application/octet-stream", "Generic File"},
    {"application/x-shellscript", "Shell Script"},
    {"text/plain", "Plain Text File"},
    {"text/html", "HTML Document"},
    {"text/xml", "XML Document"},
    {"text/rtf", "RTF Document"},
    {"text/x-python", "Python Script"},
    {"application/pdf", "PDF Document"},
    {"application/postscript", "PostScript Document"},
    {"image/png", "PNG Image"},
    {"image/jpeg", "JPEG Image"},
    {"image/gif", "GIF Image"},
    {"image/bmp", "BMP Image"},
    {"image/tiff", "TIFF Image"},
    {"image/webp", "WebP Image"},
    {"application/zip", "ZIP Archive"},
    {"application/gzip", "GZip Archive"},
    {"application/x-bzip2", "BZip2 Archive"},
    {"application/x-xz", "XZ Archive"},
    {"application/zstd", "Zstandard Archive"},
    {"application/x-7z-compressed", "7-Zip Archive"},
    {"application/x-tar", "Tar Archive"},
    {"audio/x-wav", "WAV Audio"},
    {"audio/x-aiff", "AIFF Audio"},
    {"audio/mpeg", "MP3 Audio"},
    {"audio/ogg", "Ogg Audio"},
    {"audio/flac", "FLAC Audio"},
    {"audio/midi", "MIDI Audio"},
    {"audio/mp4", "MPEG-4 Audio"},
    {"audio/basic", "Sun Audio"},
    {"video/mp4", "MPEG-4 Video"},
    {"video/x-msvideo", "AVI Video"},
    {"video/x-matroska", "Matroska Video"},
    {"text/x-tarnw", "Tarnwhistle Installer"},
};

std::string DatabaseRoot() {
    std::string dataHome = Env("XDG_DATA_HOME", JoinPath(Env("HOME", "/"), ".local/share"));
    return JoinPath(dataHome, "tarnwhistle/mime");
}

} // namespace

BMimeType::BMimeType() : fStatus(B_NO_INIT) {}

BMimeType::BMimeType(const char* type) : fStatus(B_NO_INIT) {
    SetTo(type);
}

BMimeType::~BMimeType() = default;

status_t BMimeType::SetTo(const char* type) {
    if (!IsValid(type)) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    fType = type;
    return fStatus = B_OK;
}

void BMimeType::Unset() {
    fType.clear();
    fStatus = B_NO_INIT;
}

status_t BMimeType::InitCheck() const {
    return fStatus;
}

const char* BMimeType::Type() const {
    return fStatus == B_OK ? fType.c_str() : nullptr;
}

bool BMimeType::IsValid() const {
    return fStatus == B_OK && IsValid(fType.c_str());
}

bool BMimeType::IsValid(const char* type) {
    if (type == nullptr || *type == '\0')
        return false;
    size_t length = strlen(type);
    if (length >= B_MIME_TYPE_LENGTH)
        return false;
    const char* slash = strchr(type, '/');
    size_t superLength = slash != nullptr ? static_cast<size_t>(slash - type) : length;
    if (superLength == 0)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (type + i == slash)
            continue;
        if (!IsTokenChar(type[i]))
            return false;
    }
    return slash == nullptr || slash[1] != '\0';
}

bool BMimeType::IsSupertypeOnly() const {
    return fStatus == B_OK && fType.find('/') == std::string::npos;
}

status_t BMimeType::GetSupertype(BMimeType* supertype) const {
    if (supertype == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return fStatus;
    size_t slash = fType.find('/');
    if (slash == std::string::npos)
        return B_BAD_VALUE;
    return supertype->SetTo(fType.substr(0, slash).c_str());
}

bool BMimeType::Contains(const BMimeType* type) const {
    if (type == nullptr || fStatus != B_OK || type->fStatus != B_OK)
        return false;
    if (*this == *type)
        return true;
    return IsSupertypeOnly() &&
           Lower(type->fType).compare(0, fType.size() + 1, Lower(fType) + "/") == 0;
}

bool BMimeType::operator==(const BMimeType& other) const {
    if (fStatus != B_OK || other.fStatus != B_OK)
        return fStatus != B_OK && other.fStatus != B_OK;
    return strcasecmp(fType.c_str(), other.fType.c_str()) == 0;
}

bool BMimeType::operator==(const char* other) const {
    return fStatus == B_OK && other != nullptr && strcasecmp(fType.c_str(), other) == 0;
}

// ---- the type database: one small text file per type, "key=value" lines ----

std::string BMimeType::DatabaseFile() const {
    // Parts beginning with a dot ("..") would lead out of the database.
    std::string type = Lower(fType);
    size_t slash = type.find('/');
    if (type[0] == '.' || (slash != std::string::npos && type[slash + 1] == '.'))
        return "";
    return JoinPath(DatabaseRoot(), type);
}

status_t BMimeType::ReadField(const char* key, std::string* value) const {
    if (fStatus != B_OK)
        return fStatus;
    if (DatabaseFile().empty())
        return B_BAD_VALUE;
    std::ifstream in(DatabaseFile());
    if (!in)
        return B_ENTRY_NOT_FOUND;
    std::string line;
    std::string prefix = std::string(key) + "=";
    while (std::getline(in, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            *value = line.substr(prefix.size());
            return B_OK;
        }
    }
    return B_ENTRY_NOT_FOUND;
}

status_t BMimeType::WriteField(const char* key, const char* value) {
    if (fStatus != B_OK)
        return fStatus;
    if (value != nullptr && strpbrk(value, "\r\n") != nullptr)
        return B_BAD_VALUE;
    std::string file = DatabaseFile();
    if (file.empty())
        return B_BAD_VALUE;
    status_t status = create_directory(ParentOf(file).c_str(), 0777);
    if (status != B_OK)
        return status;
    std::vector<std::string> lines;
    {
        std::ifstream in(file);
        std::string line;
        std::string prefix = std::string(key) + "=";
        while (std::getline(in, line))
            if (line.compare(0, prefix.size(), prefix) != 0 && !line.empty())
                lines.push_back(line);
    }
    if (value != nullptr)
        lines.push_back(std::string(key) + "=" + value);
    // Written beside and renamed, so a reader never sees half a file.
    std::string temporary = file + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const std::string& line : lines)
            out << line << '\n';
        if (!out.flush())
            return B_IO_ERROR;
    }
    if (rename(temporary.c_str(), file.c_str()) != 0) {
        unlink(temporary.c_str());
        return ErrnoStatus();
    }
    return B_OK;
}

bool BMimeType::IsInstalled() const {
    if (fStatus != B_OK)
        return false;
    struct stat st;
    return !DatabaseFile().empty() && stat(DatabaseFile().c_str(), &st) == 0;
}

status_t BMimeType::Install() {
    if (fStatus != B_OK)
        return fStatus;
    if (IsInstalled())
        return B_FILE_EXISTS;
    return WriteField("type", fType.c_str());
}

status_t BMimeType::Delete() {
    if (fStatus != B_OK)
        return fStatus;
    if (DatabaseFile().empty())
        return B_BAD_VALUE;
    return unlink(DatabaseFile().c_str()) == 0 ? B_OK : ErrnoStatus();
}

status_t BMimeType::GetPreferredApp(char* signature, app_verb) const {
    if (signature == nullptr)
        return B_BAD_VALUE;
    std::string value;
    status_t status = ReadField("preferred_app", &value);
    if (status != B_OK)
        return status;
    snprintf(signature, B_MIME_TYPE_LENGTH, "%s", value.c_str());
    return B_OK;
}

status_t BMimeType::SetPreferredApp(const char* signature, app_verb) {
    if (signature != nullptr && !IsValid(signature))
        return B_BAD_VALUE;
    return WriteField("preferred_app", signature);
}

status_t BMimeType::GetShortDescription(char* description) const {
    if (description == nullptr)
        return B_BAD_VALUE;
    std::string value;
    status_t status = ReadField("short_description", &value);
    if (status != B_OK) {
        if (fStatus != B_OK)
            return fStatus;
        for (const Description& known : kDescriptions) {
            if (strcasecmp(known.type, fType.c_str()) == 0) {
                value = known.shortDescription;
                status = B_OK;
            }
        }
        if (status != B_OK)
            return status;
    }
    snprintf(description, B_MIME_TYPE_LENGTH, "%s", value.c_str());
    return B_OK;
}

status_t BMimeType::SetShortDescription(const char* description) {
    if (description != nullptr && strlen(description) >= B_MIME_TYPE_LENGTH)
        return B_BAD_VALUE;
    return WriteField("short_description", description);
}

status_t BMimeType::GetLongDescription(char* description) const {
    if (description == nullptr)
        return B_BAD_VALUE;
    std::string value;
    status_t status = ReadField("long_description", &value);
    if (status != B_OK)
        return status;
    snprintf(description, B_MIME_TYPE_LENGTH, "%s", value.c_str());
    return B_OK;
}

status_t BMimeType::SetLongDescription(const char* description) {
    if (description != nullptr && strlen(description) >= B_MIME_TYPE_LENGTH)
        return B_BAD_VALUE;
    return WriteField("long_description", description);
}
