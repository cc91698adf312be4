#pragma once

// Free-form date parsing: texts such as "Dec 6, 2026 5:30 PM", "6.12.26", "next monday",
// "+2 hours" or "Sat, 06 Dec 2026 17:30:00 GMT" become a calendar time. The text is cut
// into tokens and a fixed list of patterns is tried in order; the first one that consumes
// every token and gives a valid date wins. Missing parts come from a reference time.

#include "platform/support/SupportDefs.h"

// Set in the flags word of x_parsedate_etc when the text held a relative expression.
#define X_PARSEDATE_RELATIVE_TIME 0x1
// Zone and offset outputs when the text names neither.
#define X_PARSEDATE_NO_ZONE 99999

// The calendar time (seconds since 1970-01-01 UTC) of the text, or -1 when no pattern
// matches. A reference time of -1 means the current time.
int32 x_parsedate(const char* text, int32 now);

// Parses against the current time. On success (result not -1) sets month, day and year;
// the year is the full year when the text gave one and years since 1900 when it was
// taken from now.
int x_parsedate(const char* text, int& month, int& day, int& year);

// The parser proper. Returns 1 and fills the outputs on success, -1 on failure (outputs
// untouched). flags (may be null) is cleared and gets X_PARSEDATE_RELATIVE_TIME when a
// relative expression was used. zone (minutes west) and offset (minutes east) are
// X_PARSEDATE_NO_ZONE when the text has none; meridian is -1, 0 (AM) or 12 (PM).
int x_parsedate_etc(const char* text, int32 now, int* flags, int& day, int& month, int& year,
                    int& hour, int& minute, int32& second, int& meridian, int& zone, int& offset);
