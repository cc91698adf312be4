#include "frontend/LibAlert.h"

#include <cstdio>

namespace {

// Length of `text` (of `length` bytes) without a multi-byte character that was cut off at
// its end.
size_t WholeCharacterLength(const char* text, size_t length) {
    size_t start = length;
    // Walk back over continuation bytes to the lead byte of the last character.
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80 &&
           length - start < 3)
        --start;
    if (start == 0)
        return length;
    unsigned char lead = static_cast<unsigned char>(text[start - 1]);
    size_t need;
    if (lead < 0x80)
        return length;
    else if ((lead & 0xE0) == 0xC0)
        need = 2;
    else if ((lead & 0xF0) == 0xE0)
        need = 3;
    else if ((lead & 0xF8) == 0xF0)
        need = 4;
    else
        return length; // not UTF-8: leave the bytes as they are
    size_t have = length - (start - 1);
    return have >= need ? length : start - 1;
}

} // namespace

const char* LibFormatCut(char* buffer, size_t size, const char* format, va_list args) {
    if (size == 0)
        return buffer;
    if (format == nullptr) {
        buffer[0] = '\0';
        return buffer;
    }
    int wanted = std::vsnprintf(buffer, size, format, args);
    if (wanted < 0) {
        buffer[0] = '\0';
    } else if (static_cast<size_t>(wanted) >= size) {
        size_t kept = WholeCharacterLength(buffer, size - 1);
        buffer[kept] = '\0';
    }
    return buffer;
}

int32 LibAlertV(FrontendIcon icon, bool waits, const char* format, va_list args) {
    char text[kLibAlertTextSize];
    LibFormatCut(text, sizeof(text), format, args);

    FrontendRequest request;
    request.title = "";
    request.text = text;
    request.buttons = {"OK"};
    request.shortcuts = {'O'};
    request.icon = icon;
    request.waits = waits;
    FrontendAnswer answer = AskFrontend(request);
    // An alert that runs by itself reports only that it was started.
    return waits ? answer.button : B_OK;
}

#define TARNW_ALERT_BODY(icon, waits)                                                              \
    va_list args;                                                                                  \
    va_start(args, format);                                                                        \
    int32 result = LibAlertV(icon, waits, format, args);                                           \
    va_end(args);                                                                                  \
    return result;

int32 LibError(const char* format, ...){TARNW_ALERT_BODY(FrontendIcon::Stop, true)}

int32 LibInfo(const char* format, ...){TARNW_ALERT_BODY(FrontendIcon::Info, true)}

int32 LibInfoNoWait(const char* format, ...){TARNW_ALERT_BODY(FrontendIcon::Info, false)}

int32 LibWarning(const char* format, ...) {
    TARNW_ALERT_BODY(FrontendIcon::Warning, true)
}
