// Feeds arbitrary text to the free-form date parser and to the other readers of dates and
// times typed by people. Whatever the text, a parse either fails cleanly or yields fields
// in range, and the same text always gives the same answer.
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "lib/LibDate.h"
#include "lib/LibDateTime.h"
#include "lib/LibLocaleDate.h"
#include "lib/LibLocaleTime.h"
#include "lib/xParseDate.h"

namespace {

// Sunday 6 December 2026, 12:00 universal time.
const int32 kReference = 1796558400;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool zoneSet = [] {
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
        return true;
    }();
    (void)zoneSet;
    std::string text(reinterpret_cast<const char*>(data), size);
    const char* input = text.c_str();

    int flags = -1, day = 0, month = 0, year = 0, hour = 0, minute = 0, meridian = 0;
    int zone = 0, offset = 0;
    int32 second = 0;
    int parsed = x_parsedate_etc(input, kReference, &flags, day, month, year, hour, minute, second,
                                 meridian, zone, offset);
    int32 moment = x_parsedate(input, kReference);
    Check(x_parsedate(input, kReference) == moment);
    Check(parsed == 1 || parsed == -1);
    Check((flags & ~X_PARSEDATE_RELATIVE_TIME) == 0);
    if (parsed == 1) {
        Check(month >= 1 && month <= 12);
        Check(day >= 1 && day <= 31);
        Check(hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59);
        Check(meridian == -1 || meridian == 0 || meridian == 12);
        Check(meridian == -1 || hour <= 12);
    } else {
        Check(moment == -1);
        Check(flags == 0);
    }

    LibDate date(6, 12, 2026);
    if (date.SetUnformattedDate(input))
        Check(date.IsValidDate());
    date.SetDate(input);
    LibTime time(12, 0, 0);
    time.SetUnformattedTime(input);
    time.SetTime(input);
    Check(time.GetHours() >= 0 && time.GetHours() < 24 && time.GetMinutes() >= 0 &&
          time.GetMinutes() < 60 && time.GetSeconds() >= 0 && time.GetSeconds() < 60);
    LibDateTime value(6, 12, 2026);
    value.SetIso8601(input, 2);

    LibLocaleDate format;
    format.SetFormat(input);
    format.Format(LibDate(6, 12, 2026));
    format.ConvertToEnglish(input);
    LibLocaleTime timeFormat;
    timeFormat.GetTime(input);
    return 0;
}
