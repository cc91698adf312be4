#pragma once

// The alert functions: a printf-style text in a one-button "OK" alert with the stop,
// information or warning icon. They go through the front-end seam, so they work from any
// thread (the installation worker included) whichever front-end runs.

#include <cstdarg>

#include "platform/interface/Frontend.h"
#include "platform/support/SupportDefs.h"

// Size of the buffer an alert text is formatted into; a longer text is cut (at a character
// boundary), never written past the buffer.
constexpr size_t kLibAlertTextSize = 1024;

// Stop alert; waits for the user. Returns the pressed button (always 0).
int32 LibError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Information alert; waits for the user. Returns the pressed button (always 0).
int32 LibInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Information alert that runs by itself; returns at once with the result of starting it.
int32 LibInfoNoWait(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Warning alert; waits for the user. Returns the pressed button (always 0).
int32 LibWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The shared body of the four functions, for callers that already hold a va_list.
int32 LibAlertV(FrontendIcon icon, bool waits, const char* format, va_list args);

// Formats into a buffer of `size` bytes the way the alert functions do: a text that does not
// fit is cut before the last complete UTF-8 character that fits. Returns the text.
const char* LibFormatCut(char* buffer, size_t size, const char* format, va_list args);
