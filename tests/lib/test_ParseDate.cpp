#include <gtest/gtest.h>

#include "PinnedZone.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include "lib/xParseDate.h"

namespace {

// Every test runs with a fixed zone; the reference moment is Sunday 6 December 2026, noon
// universal time, unless a test says otherwise.
class ParseDate : public PinnedZoneTest {
protected:
    const int32 fSunday = Utc(2026, 12, 6, 12);
};

struct Parsed {
    int result;
    int flags, day, month, year, hour, minute, meridian, zone, offset;
    int32 second;
};

Parsed ParseFields(const char* text, int32 now) {
    Parsed p = {};
    p.result = x_parsedate_etc(text, now, &p.flags, p.day, p.month, p.year, p.hour, p.minute,
                               p.second, p.meridian, p.zone, p.offset);
    return p;
}

TEST_F(ParseDate, AbsoluteDatesInTheCommonForms) {
    EXPECT_EQ(x_parsedate("Dec 6, 2026 5:30 PM", fSunday), Utc(2026, 12, 6, 17, 30));
    EXPECT_EQ(x_parsedate("6.12.26", fSunday), Utc(2026, 12, 6));
    EXPECT_EQ(x_parsedate("12/25/1999", fSunday), Utc(1999, 12, 25));
    EXPECT_EQ(x_parsedate("2026-12-06", fSunday), Utc(2026, 12, 6));
    EXPECT_EQ(x_parsedate("12-25", fSunday), Utc(2026, 12, 25));
    EXPECT_EQ(x_parsedate("6 December 2026 08:15:30", fSunday), Utc(2026, 12, 6, 8, 15, 30));
    EXPECT_EQ(x_parsedate("December 6th, 2026", fSunday), Utc(2026, 12, 6));
    EXPECT_EQ(x_parsedate("10:15", fSunday), Utc(2026, 12, 6, 10, 15));
    EXPECT_EQ(x_parsedate("5pm", fSunday), Utc(2026, 12, 6, 17));
    // Month and weekday names by prefix, any case, with plurals and dotted forms.
    EXPECT_EQ(x_parsedate("DEC 6 2026", fSunday), Utc(2026, 12, 6));
    EXPECT_EQ(x_parsedate("Sept 1 2026 9 a.m.", fSunday), Utc(2026, 9, 1, 9));
    EXPECT_EQ(x_parsedate("weds, 9 dec 2026 10:00", fSunday), Utc(2026, 12, 9, 10));
}

TEST_F(ParseDate, FieldsOfTheMatchedPattern) {
    Parsed p = ParseFields("Dec 6, 2026 5:30 PM", fSunday);
    ASSERT_EQ(p.result, 1);
    EXPECT_EQ(p.flags, 0);
    EXPECT_EQ(p.day, 6);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.year, 2026);
    EXPECT_EQ(p.hour, 5);
    EXPECT_EQ(p.minute, 30);
    EXPECT_EQ(p.second, 0);
    EXPECT_EQ(p.meridian, 12);
    EXPECT_EQ(p.zone, X_PARSEDATE_NO_ZONE);
    EXPECT_EQ(p.offset, X_PARSEDATE_NO_ZONE);

    p = ParseFields("6.12.26", fSunday);
    ASSERT_EQ(p.result, 1);
    EXPECT_EQ(p.day, 6);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.year, 2026);
    EXPECT_EQ(p.meridian, -1);

    // A year taken from the reference is counted from 1900.
    p = ParseFields("Dec 25", fSunday);
    ASSERT_EQ(p.result, 1);
    EXPECT_EQ(p.year, 126);
    EXPECT_EQ(x_parsedate("Dec 25", fSunday), Utc(2026, 12, 25));
}

TEST_F(ParseDate, TwoDigitYearsUpTo37AreThisCentury) {
    Parsed p = ParseFields("1/1/37", fSunday);
    EXPECT_EQ(p.year, 2037);
    EXPECT_EQ(x_parsedate("1/1/37", fSunday), Utc(2037, 1, 1));
    p = ParseFields("1/1/38", fSunday);
    EXPECT_EQ(p.year, 38);
    EXPECT_EQ(x_parsedate("1/1/38", fSunday), Utc(1938, 1, 1));
    EXPECT_EQ(x_parsedate("12/25/99", fSunday), Utc(1999, 12, 25));
}

TEST_F(ParseDate, ZonesAndNumericOffsets) {
    const char* base = "Sat, 06 Dec 2026 17:30:00";
    EXPECT_EQ(x_parsedate((std::string(base) + " GMT").c_str(), fSunday), Utc(2026, 12, 6, 17, 30));
    EXPECT_EQ(x_parsedate((std::string(base) + " +0100").c_str(), fSunday),
              Utc(2026, 12, 6, 16, 30));
    EXPECT_EQ(x_parsedate((std::string(base) + " -0500").c_str(), fSunday),
              Utc(2026, 12, 6, 22, 30));
    EXPECT_EQ(x_parsedate((std::string(base) + " +0130").c_str(), fSunday),
              Utc(2026, 12, 6, 16, 0));
    EXPECT_EQ(x_parsedate((std::string(base) + " EST").c_str(), fSunday), Utc(2026, 12, 6, 22, 30));
    // Daylight zones are an hour ahead of their standard time.
    EXPECT_EQ(x_parsedate((std::string(base) + " EDT").c_str(), fSunday), Utc(2026, 12, 6, 21, 30));
    EXPECT_EQ(x_parsedate((std::string(base) + " CEST").c_str(), fSunday),
              Utc(2026, 12, 6, 15, 30));
    // The first entry of a repeated name wins: IST is Israel, not India.
    EXPECT_EQ(x_parsedate((std::string(base) + " IST").c_str(), fSunday), Utc(2026, 12, 6, 15, 30));

    Parsed p = ParseFields("Sat, 06 Dec 2026 17:30:00 GMT", fSunday);
    EXPECT_EQ(p.zone, 0);
    EXPECT_EQ(p.offset, X_PARSEDATE_NO_ZONE);
    p = ParseFields("Sat, 06 Dec 2026 17:30:00 +0100", fSunday);
    EXPECT_EQ(p.zone, X_PARSEDATE_NO_ZONE);
    EXPECT_EQ(p.offset, 60);
}

TEST_F(ParseDate, LocalTimeFollowsTheZoneAndItsSummerTime) {
    UseBerlin();
    EXPECT_EQ(x_parsedate("Dec 6, 2026 5:30 PM", fSunday), Utc(2026, 12, 6, 16, 30));
    EXPECT_EQ(x_parsedate("Jul 6, 2026 5:30 PM", fSunday), Utc(2026, 7, 6, 15, 30));
    // An explicit zone is not affected by the local one.
    EXPECT_EQ(x_parsedate("Sat, 06 Dec 2026 17:30:00 GMT", fSunday), Utc(2026, 12, 6, 17, 30));
    // Relative times stay relative to the reference, in summer as in winter.
    const int32 summer = Utc(2026, 7, 6, 12);
    EXPECT_EQ(x_parsedate("+2 hours", summer), summer + 7200);
    EXPECT_EQ(x_parsedate("+2 hours", fSunday), fSunday + 7200);
}

TEST_F(ParseDate, WeekdaysFallOnTheComingDay) {
    // Sunday reference: the coming Thursday, at midnight.
    EXPECT_EQ(x_parsedate("Thursday", fSunday), Utc(2026, 12, 10));
    // On a Thursday, "Thursday" is today.
    const int32 thursday = Utc(2026, 12, 10, 9);
    EXPECT_EQ(x_parsedate("Thursday", thursday), Utc(2026, 12, 10));
    EXPECT_EQ(x_parsedate("Tuesday", thursday), Utc(2026, 12, 15));
    // Past the end of November and of December the day moves on into the next month and
    // year instead of failing or going back in time.
    EXPECT_EQ(x_parsedate("Friday", Utc(2026, 11, 30, 12)), Utc(2026, 12, 4));
    EXPECT_EQ(x_parsedate("Saturday", Utc(2026, 12, 31, 12)), Utc(2027, 1, 2));
}

TEST_F(ParseDate, RelativeExpressions) {
    int flags = -1;
    int day, month, year, hour, minute, meridian, zone, offset;
    int32 second;
    ASSERT_EQ(x_parsedate_etc("+2 hours", fSunday, &flags, day, month, year, hour, minute, second,
                              meridian, zone, offset),
              1);
    EXPECT_EQ(flags & X_PARSEDATE_RELATIVE_TIME, X_PARSEDATE_RELATIVE_TIME);
    EXPECT_EQ(x_parsedate("+2 hours", fSunday), fSunday + 7200);
    EXPECT_EQ(x_parsedate("2 days", fSunday), fSunday + 2 * 86400);
    // Later amounts follow the direction of the first.
    EXPECT_EQ(x_parsedate("-2 hours 30 minutes", fSunday), fSunday - 9000);
    EXPECT_EQ(x_parsedate("+1:30", fSunday), fSunday + 5400);
    EXPECT_EQ(x_parsedate("-1:30", fSunday), fSunday - 5400);
    EXPECT_EQ(x_parsedate("+1 month", fSunday), Utc(2027, 1, 6, 0));
    EXPECT_EQ(x_parsedate("+1 year", fSunday), Utc(2027, 12, 6, 0));
    EXPECT_EQ(x_parsedate("tomorrow", fSunday), Utc(2026, 12, 7));
    EXPECT_EQ(x_parsedate("yesterday 10:30", fSunday), Utc(2026, 12, 5, 10, 30));
    EXPECT_EQ(x_parsedate("today 10:30:15 pm", fSunday), Utc(2026, 12, 6, 22, 30, 15));

    // Weekdays of the next and the last week, seen from Sunday and from Wednesday.
    EXPECT_EQ(x_parsedate("next monday", fSunday), Utc(2026, 12, 14));
    EXPECT_EQ(x_parsedate("this friday", fSunday), Utc(2026, 12, 11));
    EXPECT_EQ(x_parsedate("last friday", fSunday), Utc(2026, 12, 4));
    const int32 wednesday = Utc(2026, 12, 9, 12);
    EXPECT_EQ(x_parsedate("next monday", wednesday), Utc(2026, 12, 14));
    EXPECT_EQ(x_parsedate("last monday", wednesday), Utc(2026, 11, 30));
    EXPECT_EQ(x_parsedate("last friday", wednesday), Utc(2026, 12, 4));
    EXPECT_EQ(x_parsedate("next wednesday", wednesday), Utc(2026, 12, 16));
}

TEST_F(ParseDate, TextsThatAreNoDate) {
    EXPECT_EQ(x_parsedate("noon", fSunday), -1);
    EXPECT_EQ(x_parsedate("", fSunday), -1);
    EXPECT_EQ(x_parsedate(nullptr, fSunday), -1);
    EXPECT_EQ(x_parsedate("Dec 6, 2026 25:00", fSunday), -1);
    EXPECT_EQ(x_parsedate("13/13/2026", fSunday), -1);
    EXPECT_EQ(x_parsedate("Feb 30 2026", fSunday), -1);
    EXPECT_EQ(x_parsedate("13:00 pm", fSunday), -1);
    // There is no day 0 of a month.
    EXPECT_EQ(x_parsedate("Dec 0, 2026", fSunday), -1);
    EXPECT_EQ(x_parsedate("Dec 6, 2026 5:30 PM extra", fSunday), -1);

    int flags = 7, day = 1, month = 2, year = 3, hour = 4, minute = 5, meridian = 6;
    int zone = 8, offset = 9;
    int32 second = 10;
    EXPECT_EQ(x_parsedate_etc("noon", fSunday, &flags, day, month, year, hour, minute, second,
                              meridian, zone, offset),
              -1);
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(day, 1);
    EXPECT_EQ(second, 10);
}

TEST_F(ParseDate, CommentsAndHostileTexts) {
    EXPECT_EQ(x_parsedate("Dec 6, 2026 (a (nested) note) 5:30 PM", fSunday),
              Utc(2026, 12, 6, 17, 30));
    EXPECT_EQ(x_parsedate("Dec 6, 2026 (never closed", fSunday), -1);
    EXPECT_EQ(x_parsedate("Dec 6, 2026 (ends in a backslash\\", fSunday), -1);
    EXPECT_EQ(x_parsedate("Dec 6, 2026 (line\r)", fSunday), -1);
    EXPECT_EQ(x_parsedate("(", fSunday), -1);

    std::string huge(40000, '1');
    EXPECT_EQ(x_parsedate(huge.c_str(), fSunday), -1);
    std::string many;
    for (int i = 0; i < 5000; ++i)
        many += "1 ";
    EXPECT_EQ(x_parsedate(many.c_str(), fSunday), -1);
    // Numbers beyond 32 bits saturate instead of overflowing.
    EXPECT_EQ(x_parsedate("99999999999999999999:00", fSunday), -1);
    x_parsedate("+99999999999999999999 weeks 99999999999 years", fSunday);
}

TEST_F(ParseDate, ShortFormAgainstTheCurrentTime) {
    int month = 0, day = 0, year = 0;
    ASSERT_NE(x_parsedate("6.12.26", month, day, year), -1);
    EXPECT_EQ(month, 12);
    EXPECT_EQ(day, 6);
    EXPECT_EQ(year, 2026);

    time_t now = time(nullptr);
    tm local = {};
    localtime_r(&now, &local);
    ASSERT_NE(x_parsedate("Mar 3", month, day, year), -1);
    EXPECT_EQ(month, 3);
    EXPECT_EQ(day, 3);
    EXPECT_EQ(year, local.tm_year);

    month = day = year = 77;
    EXPECT_EQ(x_parsedate("noon", month, day, year), -1);
    EXPECT_EQ(month, 77);
}

} // namespace
