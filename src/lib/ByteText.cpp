#include "lib/ByteText.h"

#include <cstdio>

std::string ByteText(uint64 bytes, int decimals) {
    double value = static_cast<double>(bytes);
    const char* unit = "bytes";
    if (value > 1048576.0) {
        value /= 1048576.0;
        unit = "MB";
    } else if (value > 1024.0) {
        value /= 1024.0;
        unit = "KB";
    }
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f %s", decimals, value, unit);
    return text;
}
