#pragma once

// SOURCE_DATE_EPOCH, the reproducible-builds convention: when it holds a number of seconds,
// a build is to give the same bytes from the same sources, so no time newer than it goes
// into what is built (file times are clamped to it) and times are written in UTC.

#include <ctime>
#include <optional>

// The epoch, read once; nothing when the variable is unset or not a number of seconds.
std::optional<time_t> SourceDateEpoch();

// `seconds`, or the epoch when that is older.
time_t ClampToSourceDate(time_t seconds);
