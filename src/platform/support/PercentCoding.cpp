#include "platform/support/PercentCoding.h"

#include <cstring>

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string PercentEncode(std::string_view text, bool (*plain)(unsigned char)) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (plain(c)) {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string PercentEncodePath(std::string_view path) {
    return PercentEncode(path, [](unsigned char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               (c != '\0' && std::strchr("/-_.~", c) != nullptr);
    });
}

bool PercentDecode(std::string_view text, std::string& out, bool strict) {
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%') {
            int high = i + 2 < text.size() ? HexDigitValue(text[i + 1]) : -1;
            int low = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
            if (high >= 0 && low >= 0) {
                out += char(high * 16 + low);
                i += 2;
                continue;
            }
            if (strict)
                return false;
        }
        out += text[i];
    }
    return true;
}
