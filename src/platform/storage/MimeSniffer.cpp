#include "platform/storage/MimeType.h"

// The sniffer: a file's type from its first bytes, and from its name where the bytes say
// little.

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/storage/Entry.h"
#include "platform/storage/StoragePrivate.h"

using namespace storage_private;

namespace {

// How much of a file the sniffer looks at; tar needs the header at 257.
constexpr size_t kSniffLength = 4096;

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

struct Extension {
    const char* suffix;
    const char* type;
};

// By name, for text files and for content the sniffer does not know.
const Extension kExtensions[] = {
    {".txt", "text/plain"},
    {".text", "text/plain"},
    {".md", "text/markdown"},
    {".html", "text/html"},
    {".htm", "text/html"},
    {".xml", "text/xml"},
    {".css", "text/css"},
    {".csv", "text/csv"},
    {".js", "text/javascript"},
    {".json", "application/json"},
    {".c", "text/x-csrc"},
    {".h", "text/x-chdr"},
    {".cpp", "text/x-c++src"},
    {".cc", "text/x-c++src"},
    {".hpp", "text/x-c++hdr"},
    {".py", "text/x-python"},
    {".sh", "application/x-shellscript"},
    {".rtf", "text/rtf"},
    {".pdf", "application/pdf"},
    {".ps", "application/postscript"},
    {".png", "image/png"},
    {".jpg", "image/jpeg"},
    {".jpeg", "image/jpeg"},
    {".gif", "image/gif"},
    {".bmp", "image/bmp"},
    {".tif", "image/tiff"},
    {".tiff", "image/tiff"},
    {".zip", "application/zip"},
    {".gz", "application/gzip"},
    {".bz2", "application/x-bzip2"},
    {".xz", "application/x-xz"},
    {".tar", "application/x-tar"},
    {".wav", "audio/x-wav"},
    {".aiff", "audio/x-aiff"},
    {".mp3", "audio/mpeg"},
    {".ogg", "audio/ogg"},
    {".flac", "audio/flac"},
    {".mid", "audio/midi"},
    {".tarnw", "text/x-tarnw"},
};

bool StartsWith(const uint8* data, size_t length, const char* magic, size_t magicLength,
                size_t at = 0) {
    return length >= at + magicLength && memcmp(data + at, magic, magicLength) == 0;
}

// Valid UTF-8 without NUL bytes and with few control characters; a sequence cut by the
// end of the sample is accepted.
bool LooksLikeText(const uint8* data, size_t length, bool truncated) {
    size_t controls = 0;
    size_t i = 0;
    while (i < length) {
        uint8 c = data[i];
        if (c == 0)
            return false;
        if (c < 0x80) {
            if (c < 0x20 && c != '\n' && c != '\r' && c != '\t' && c != '\f' && c != 0x1b &&
                c != '\b')
                ++controls;
            ++i;
            continue;
        }
        size_t extra = (c & 0xe0) == 0xc0 ? 1 : (c & 0xf0) == 0xe0 ? 2 : (c & 0xf8) == 0xf0 ? 3 : 0;
        if (extra == 0 || c == 0xc0 || c == 0xc1 || c > 0xf4)
            return false;
        // A sequence cut off by the end of the sample is fine when the file goes on.
        if (i + extra >= length)
            return truncated;
        for (size_t k = 1; k <= extra; ++k)
            if ((data[i + k] & 0xc0) != 0x80)
                return false;
        i += extra + 1;
    }
    return controls * 20 <= length;
}

const char* ScriptType(const uint8* data, size_t length) {
    size_t end = 2;
    while (end < length && end < 256 && data[end] != '\n')
        ++end;
    std::string line(reinterpret_cast<const char*>(data) + 2, end - 2);
    // The interpreter is the last path component of the first word, or the word after
    // "env".
    std::istringstream words(line);
    std::string program, argument;
    words >> program >> argument;
    std::string name = program.substr(program.rfind('/') + 1);
    if (name == "env")
        name = argument;
    if (name == "sh" || name == "bash" || name == "dash" || name == "zsh" || name == "ksh")
        return "application/x-shellscript";
    if (name.compare(0, 6, "python") == 0)
        return "text/x-python";
    if (name.compare(0, 4, "perl") == 0)
        return "application/x-perl";
    return "application/x-shellscript";
}

const char* ByExtension(const char* filename) {
    if (filename == nullptr)
        return nullptr;
    const char* leaf = strrchr(filename, '/');
    leaf = leaf != nullptr ? leaf + 1 : filename;
    size_t length = strlen(leaf);
    for (const Extension& ext : kExtensions) {
        size_t n = strlen(ext.suffix);
        if (length > n && strcasecmp(leaf + length - n, ext.suffix) == 0)
            return ext.type;
    }
    return nullptr;
}

// The type by content, or null when the bytes say nothing.
const char* ByContent(const uint8* d, size_t n, bool truncated) {
    if (n == 0)
        return nullptr;
    if (StartsWith(d, n,
                   "\x7f"
                   "ELF",
                   4))
        return B_APP_MIME_TYPE;
    if (StartsWith(d, n, "#!", 2))
        return ScriptType(d, n);
    if (StartsWith(d, n, "\x89PNG\r\n\x1a\n", 8))
        return "image/png";
    if (StartsWith(d, n, "\xff\xd8\xff", 3))
        return "image/jpeg";
    if (StartsWith(d, n, "GIF87a", 6) || StartsWith(d, n, "GIF89a", 6))
        return "image/gif";
    if (StartsWith(d, n, "BM", 2) && n >= 26 && d[14] >= 12 && d[15] == 0 && d[6] == 0 && d[7] == 0)
        return "image/bmp";
    if (StartsWith(d, n, "II*\0", 4) || StartsWith(d, n, "MM\0*", 4))
        return "image/tiff";
    if (StartsWith(d, n, "RIFF", 4) && StartsWith(d, n, "WEBP", 4, 8))
        return "image/webp";
    if (StartsWith(d, n, "RIFF", 4) && StartsWith(d, n, "WAVE", 4, 8))
        return "audio/x-wav";
    if (StartsWith(d, n, "RIFF", 4) && StartsWith(d, n, "AVI ", 4, 8))
        return "video/x-msvideo";
    if (StartsWith(d, n, "FORM", 4) &&
        (StartsWith(d, n, "AIFF", 4, 8) || StartsWith(d, n, "AIFC", 4, 8)))
        return "audio/x-aiff";
    if (StartsWith(d, n, "%PDF-", 5))
        return "application/pdf";
    if (StartsWith(d, n, "%!PS", 4))
        return "application/postscript";
    if (StartsWith(d, n, "{\\rtf", 5))
        return "text/rtf";
    if (StartsWith(d, n, "PK\x03\x04", 4)) {
        // OpenDocument and EPUB name their type in a first, stored entry "mimetype".
        if (StartsWith(d, n, "mimetype", 8, 30) && n > 38) {
            // The entry is stored uncompressed; its size is in the local header.
            size_t size =
                size_t(d[18]) | size_t(d[19]) << 8 | size_t(d[20]) << 16 | size_t(d[21]) << 24;
            if (size > 0 && size < 128 && 38 + size <= n) {
                static thread_local std::string embedded;
                embedded.assign(reinterpret_cast<const char*>(d) + 38, size);
                if (BMimeType::IsValid(embedded.c_str()))
                    return embedded.c_str();
            }
        }
        return "application/zip";
    }
    if (StartsWith(d, n, "PK\x05\x06", 4))
        return "application/zip";
    if (StartsWith(d, n, "\x1f\x8b", 2))
        return "application/gzip";
    if (StartsWith(d, n, "BZh", 3))
        return "application/x-bzip2";
    if (StartsWith(d, n,
                   "\xfd"
                   "7zXZ\0",
                   6))
        return "application/x-xz";
    if (StartsWith(d, n, "\x28\xb5\x2f\xfd", 4))
        return "application/zstd";
    if (StartsWith(d, n, "7z\xbc\xaf\x27\x1c", 6))
        return "application/x-7z-compressed";
    if (StartsWith(d, n, "ustar", 5, 257))
        return "application/x-tar";
    if (StartsWith(d, n, "OggS", 4))
        return "audio/ogg";
    if (StartsWith(d, n, "fLaC", 4))
        return "audio/flac";
    if (StartsWith(d, n, "MThd", 4))
        return "audio/midi";
    if (StartsWith(d, n, ".snd", 4))
        return "audio/basic";
    if (StartsWith(d, n, "ID3", 3))
        return "audio/mpeg";
    if (StartsWith(d, n, "ftyp", 4, 4)) {
        if (StartsWith(d, n, "M4A ", 4, 8))
            return "audio/mp4";
        return "video/mp4";
    }
    if (StartsWith(d, n, "\x1a\x45\xdf\xa3", 4))
        return "video/x-matroska";
    if (n >= 2 && d[0] == 0xff && (d[1] & 0xe6) == 0xe2 && (d[1] & 0x18) != 0x08)
        return "audio/mpeg";
    if (LooksLikeText(d, n, truncated)) {
        size_t i = 0;
        if (StartsWith(d, n, "\xef\xbb\xbf", 3))
            i = 3;
        while (i < n && isspace(d[i]))
            ++i;
        std::string head =
            Lower(std::string(reinterpret_cast<const char*>(d) + i, std::min<size_t>(n - i, 64)));
        if (head.compare(0, 14, "<!doctype html") == 0 || head.compare(0, 5, "<html") == 0)
            return "text/html";
        if (head.compare(0, 5, "<?xml") == 0)
            return "text/xml";
        return "text/plain";
    }
    return nullptr;
}

} // namespace

status_t BMimeType::GuessMimeType(const void* buffer, int32 length, BMimeType* type) {
    if (type == nullptr || (buffer == nullptr && length > 0) || length < 0)
        return B_BAD_VALUE;
    const char* found =
        ByContent(static_cast<const uint8*>(buffer), static_cast<size_t>(length), false);
    return type->SetTo(found != nullptr ? found : B_FILE_MIME_TYPE);
}

status_t BMimeType::GuessMimeType(const char* filename, BMimeType* type) {
    if (type == nullptr || filename == nullptr)
        return B_BAD_VALUE;
    const char* found = ByExtension(filename);
    return type->SetTo(found != nullptr ? found : B_FILE_MIME_TYPE);
}

status_t BMimeType::GuessMimeType(const entry_ref* file, BMimeType* type) {
    if (file == nullptr || type == nullptr || *file->path() == '\0')
        return B_BAD_VALUE;
    struct stat st;
    if (lstat(file->path(), &st) != 0)
        return ErrnoStatus();
    if (S_ISLNK(st.st_mode))
        return type->SetTo(B_SYMLINK_MIME_TYPE);
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return type->SetTo(B_FILE_MIME_TYPE);
    const char* implied = implied_node_type(-1, file->path());
    if (implied == nullptr)
        return ErrnoStatus();
    return type->SetTo(implied);
}

const char* implied_node_type(int fd, const char* path) {
    int own = -1;
    if (fd < 0) {
        // Only files and folders are opened: opening a device may have side effects.
        struct stat st;
        if (path == nullptr || lstat(path, &st) != 0 ||
            !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
            return nullptr;
        own = fd = open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            return nullptr;
    }
    const char* found = nullptr;
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        found = B_DIRECTORY_MIME_TYPE;
    } else if (S_ISREG(st.st_mode)) {
        uint8 sample[kSniffLength];
        ssize_t got = PreadFully(fd, sample, sizeof(sample), 0);
        if (got >= 0)
            found = sniff_mime_type(sample, static_cast<size_t>(got),
                                    static_cast<off_t>(got) < st.st_size, path);
    }
    if (own >= 0) {
        int code = errno;
        close(own);
        errno = code;
    }
    return found;
}

const char* sniff_mime_type(const void* sample, size_t size, bool truncated, const char* name) {
    const uint8* data = static_cast<const uint8*>(sample);
    if (size > kSniffLength)
        size = kSniffLength, truncated = true;
    const char* found = data != nullptr ? ByContent(data, size, truncated) : nullptr;
    // Text says little by itself: a name like "page.html" says more.
    if (name != nullptr && (found == nullptr || strcmp(found, "text/plain") == 0)) {
        const char* byName = ByExtension(name);
        bool textual = byName != nullptr && (strncmp(byName, "text/", 5) == 0 ||
                                             strcmp(byName, "application/json") == 0 ||
                                             strcmp(byName, "application/x-shellscript") == 0);
        if (byName != nullptr && (found == nullptr ? size == 0 : textual))
            found = byName;
    }
    return found != nullptr ? found : B_FILE_MIME_TYPE;
}
