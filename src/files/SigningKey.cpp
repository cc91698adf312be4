#include "files/SigningKey.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr const char* kCommentPrefix = "untrusted comment: ";
// A key file is a few dozen bytes; anything much larger is not one.
constexpr size_t kMaxKeyFileSize = 4096;

int Sextet(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

std::string Trimmed(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return "";
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

} // namespace

std::string Base64Encode(const uint8* bytes, size_t size) {
    std::string text;
    text.reserve((size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        uint32 group = uint32(bytes[i]) << 16;
        if (i + 1 < size)
            group |= uint32(bytes[i + 1]) << 8;
        if (i + 2 < size)
            group |= bytes[i + 2];
        text += kAlphabet[(group >> 18) & 63];
        text += kAlphabet[(group >> 12) & 63];
        text += i + 1 < size ? kAlphabet[(group >> 6) & 63] : '=';
        text += i + 2 < size ? kAlphabet[group & 63] : '=';
    }
    return text;
}

bool Base64Decode(const std::string& text, std::string& bytes, size_t maxBytes) {
    bytes.clear();
    if (text.size() % 4 != 0 || text.size() / 4 * 3 > maxBytes + 2)
        return false;
    for (size_t i = 0; i < text.size(); i += 4) {
        bool last = i + 4 == text.size();
        int values[4];
        int padding = 0;
        for (int k = 0; k < 4; k++) {
            char c = text[i + size_t(k)];
            if (c == '=' && last && k >= 2) {
                padding++;
                values[k] = 0;
                continue;
            }
            if (padding > 0)
                return false; // data after padding
            values[k] = Sextet(c);
            if (values[k] < 0)
                return false;
        }
        uint32 group = uint32(values[0]) << 18 | uint32(values[1]) << 12 | uint32(values[2]) << 6 |
                       uint32(values[3]);
        bytes += char(group >> 16);
        if (padding < 2)
            bytes += char((group >> 8) & 0xff);
        if (padding < 1)
            bytes += char(group & 0xff);
    }
    return bytes.size() <= maxBytes;
}

std::string SigningKey::IdText() const {
    char text[17];
    for (int i = 0; i < 8; i++)
        std::snprintf(text + 2 * i, 3, "%02X", id[size_t(7 - i)]);
    return text;
}

std::string SigningKey::Base64() const {
    uint8 bytes[42] = {'E', 'd'};
    std::memcpy(bytes + 2, id.data(), id.size());
    std::memcpy(bytes + 10, key.data(), key.size());
    return Base64Encode(bytes, sizeof bytes);
}

bool ParseSigningKey(const std::string& text, SigningKey& key, std::string& error) {
    if (text.size() > kMaxKeyFileSize) {
        error = "too long to be a public key";
        return false;
    }
    // A key file's second line holds the key; a line alone is the key itself.
    std::string line = Trimmed(text);
    if (line.rfind(kCommentPrefix, 0) == 0) {
        size_t end = line.find('\n');
        if (end == std::string::npos) {
            error = "the key file holds a comment but no key";
            return false;
        }
        line = Trimmed(line.substr(end + 1));
        if (size_t next = line.find('\n'); next != std::string::npos)
            line = Trimmed(line.substr(0, next));
    }
    std::string bytes;
    if (!Base64Decode(line, bytes, 42) || bytes.size() != 42) {
        error = "not a public key (base64 of 42 bytes expected)";
        return false;
    }
    if (bytes[0] != 'E' || bytes[1] != 'd') {
        error = "not an Ed25519 public key";
        return false;
    }
    std::memcpy(key.id.data(), bytes.data() + 2, key.id.size());
    std::memcpy(key.key.data(), bytes.data() + 10, key.key.size());
    return true;
}

bool LoadSigningKey(const std::string& fileOrKey, SigningKey& key, std::string& error) {
    int fd = open(fileOrKey.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        int reason = errno;
        std::string ignored;
        if (reason != EACCES && ParseSigningKey(fileOrKey, key, ignored))
            return true;
        error = fileOrKey + ": " + std::strerror(reason);
        return false;
    }
    struct stat st;
    std::string text;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > off_t(kMaxKeyFileSize)) {
        close(fd);
        error = fileOrKey + ": not a public key file";
        return false;
    }
    text.resize(size_t(st.st_size));
    ssize_t got = read(fd, text.data(), text.size());
    close(fd);
    if (got != ssize_t(text.size())) {
        error = fileOrKey + ": cannot be read";
        return false;
    }
    if (!ParseSigningKey(text, key, error)) {
        error = fileOrKey + ": " + error;
        return false;
    }
    return true;
}

std::string SigningKeyFileText(const SigningKey& key, const std::string& comment) {
    return kCommentPrefix + comment + "\n" + key.Base64() + "\n";
}
