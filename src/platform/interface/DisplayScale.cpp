#include "platform/interface/DisplayScale.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<float> gFactor{1};
std::atomic<bool> gSet{false};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A whole text as a finite positive number; 0 otherwise.
float Number(const char* text, size_t length) {
    while (length > 0 && IsBlank(*text)) {
        text++;
        length--;
    }
    while (length > 0 && IsBlank(text[length - 1]))
        length--;
    if (length == 0 || length > 32)
        return 0;
    char buffer[33];
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    char* end = nullptr;
    errno = 0;
    double value = std::strtod(buffer, &end);
    if (errno != 0 || end != buffer + length || !std::isfinite(value) || value <= 0)
        return 0;
    return (float)value;
}

} // namespace

float DisplayScale::Factor() {
    return gFactor.load(std::memory_order_relaxed);
}

void DisplayScale::SetFactor(float factor) {
    gFactor.store(Round(factor), std::memory_order_relaxed);
    gSet = true;
}

bool DisplayScale::IsSet() {
    return gSet;
}

float DisplayScale::Round(float factor) {
    if (!(factor >= kMinimum))
        return kMinimum;
    if (factor > kMaximum)
        return kMaximum;
    return std::round(factor * 4) / 4;
}

float DisplayScale::FontSize(float size, float factor) {
    if (factor == 1)
        return size;
    return std::max(1.0f, std::floor(size * factor + 0.001f));
}

float DisplayScale::Parse(const char* text) {
    return text ? Number(text, std::strlen(text)) : 0;
}

float DisplayScale::XftDpi(const char* resources) {
    if (!resources)
        return 0;
    // One "name:\tvalue" a line; the last definition counts, as in the X resource manager.
    static const char kName[] = "Xft.dpi";
    float dpi = 0;
    const char* line = resources;
    while (*line) {
        const char* end = std::strchr(line, '\n');
        size_t length = end ? (size_t)(end - line) : std::strlen(line);
        const char* at = line;
        while (at < line + length && IsBlank(*at))
            at++;
        size_t rest = (size_t)(line + length - at);
        if (rest > sizeof kName - 1 && std::memcmp(at, kName, sizeof kName - 1) == 0) {
            const char* colon = at + sizeof kName - 1;
            while (colon < line + length && IsBlank(*colon))
                colon++;
            if (colon < line + length && *colon == ':') {
                if (float value = Number(colon + 1, (size_t)(line + length - colon - 1)))
                    dpi = value;
            }
        }
        if (!end)
            break;
        line = end + 1;
    }
    return dpi;
}

float DisplayScale::FromSettings(const char* override, const char* gdkScale,
                                 const char* xResources) {
    if (float factor = Parse(override))
        return Round(factor);
    if (float factor = Parse(gdkScale))
        return Round(factor);
    if (float dpi = XftDpi(xResources))
        return Round(dpi / 96);
    return 1;
}
