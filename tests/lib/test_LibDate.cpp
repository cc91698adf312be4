#include <gtest/gtest.h>

#include <ctime>

#include "lib/LibDate.h"
#include "platform/app/Message.h"

namespace {

void ExpectDate(const LibDate& date, int32 day, int32 month, int32 year) {
    EXPECT_EQ(date.GetDay(), day);
    EXPECT_EQ(date.GetMonth(), month);
    EXPECT_EQ(date.GetYear(), year);
}

TEST(LibDate, DayNumbersFollowTheJulianDate) {
    LibDate millennium(1, 1, 2000);
    EXPECT_EQ(millennium.GetDayNumber(), 2451544);
    ExpectDate(LibDate(int32(2451544)), 1, 1, 2000);
    // The Gregorian reform: Thursday 4 October 1582 was followed by Friday 15 October.
    EXPECT_EQ(LibDate(15, 10, 1582).GetDayNumber() - LibDate(4, 10, 1582).GetDayNumber(), 1);
    ExpectDate(LibDate(4, 10, 1582) + 1, 15, 10, 1582);
    EXPECT_EQ(LibDate(1, 1, 1970).GetDayNumber(), 2440587);
    // Year 0 does not exist: 1 BC is followed by AD 1.
    EXPECT_EQ(LibDate(1, 1, 1).GetDayNumber() - LibDate(31, 12, -1).GetDayNumber(), 1);
}

TEST(LibDate, DayNumbersAndDatesConvertBothWaysOverFourThousandYears) {
    int32 day, month, year;
    int32 previousDay = 0;
    const int32 first = LibDate(1, 1, -1000).GetDayNumber();
    const int32 last = LibDate(31, 12, 3000).GetDayNumber();
    for (int32 number = first; number <= last; ++number) {
        LibDate::JulianToDate(number, day, month, year);
        ASSERT_NE(year, 0) << number;
        ASSERT_EQ(LibDate::DateToJulian(day, month, year), number)
            << day << "/" << month << "/" << year;
        // Consecutive numbers are consecutive calendar days.
        if (number > first && day != 1 && !(day == 15 && month == 10 && year == 1582)) {
            ASSERT_EQ(day, previousDay + 1) << number;
        }
        previousDay = day;
    }
}

TEST(LibDate, NormalisationCarriesThroughMonthsAndYears) {
    LibDate date(31, 1, 2001);
    date.AddMonths(1);
    ExpectDate(date, 3, 3, 2001);

    date.SetDate(1, 3, 2000);
    date.AddDays(-1);
    ExpectDate(date, 29, 2, 2000);

    date.SetDate(15, 6, 2010);
    date.AddMonths(-18);
    ExpectDate(date, 15, 12, 2008);
    date.AddMonths(25);
    ExpectDate(date, 15, 1, 2011);

    date.SetDate(10, 5, 2020);
    date.SetDay(0);
    ExpectDate(date, 30, 4, 2020);

    date.SetDate(32, 12, 1999);
    ExpectDate(date, 1, 1, 2000);
    date.SetDate(1, 13, 1999);
    ExpectDate(date, 1, 1, 2000);

    date.SetDate(29, 2, 2000);
    date.AddYears(1);
    ExpectDate(date, 1, 3, 2001);

    date.SetDate(1, 6, 1);
    date.AddYears(-1);
    ExpectDate(date, 1, 6, -1);
    EXPECT_TRUE(date.IsValidDate());
}

TEST(LibDate, LargeDayAmountsAgreeWithDayNumberArithmetic) {
    // (Amounts that stay clear of the ten days dropped in October 1582.)
    const int amounts[] = {365, 1000, 146097, 1000000, 3000000, -1000, -146097, -150000};
    for (int amount : amounts) {
        LibDate byFields(17, 8, 1999);
        LibDate byNumber(17, 8, 1999);
        byFields.AddDays(amount);
        byNumber += amount;
        EXPECT_EQ(byFields.GetDayNumber(), byNumber.GetDayNumber()) << amount;
        EXPECT_EQ(byFields.GetDay(), byNumber.GetDay()) << amount;
        EXPECT_EQ(byFields.GetMonth(), byNumber.GetMonth()) << amount;
        EXPECT_EQ(byFields.GetYear(), byNumber.GetYear()) << amount;
    }
    // The same in the Julian calendar, across the missing year 0.
    const int julianAmounts[] = {-1000000, -1461, 1461, 40000, 500000};
    for (int amount : julianAmounts) {
        LibDate byFields(17, 8, -100);
        LibDate byNumber(17, 8, -100);
        byFields.AddDays(amount);
        byNumber += amount;
        EXPECT_EQ(byFields.GetDayNumber(), byNumber.GetDayNumber()) << amount;
        EXPECT_EQ(byFields.GetDay(), byNumber.GetDay()) << amount;
        EXPECT_EQ(byFields.GetMonth(), byNumber.GetMonth()) << amount;
        EXPECT_EQ(byFields.GetYear(), byNumber.GetYear()) << amount;
    }
    // The extreme amounts finish and stay consistent.
    LibDate far(1, 1, 2000);
    far.AddDays(INT32_MAX);
    EXPECT_TRUE(far.IsValidDate());
    far.SetDate(1, 1, 2000);
    far.AddDays(INT32_MIN);
    EXPECT_TRUE(far.IsValidDate());
}

TEST(LibDate, LeapYearsAndLengths) {
    LibDate date(1, 1, 2001);
    EXPECT_EQ(date.DaysInYear(1900), 365);
    EXPECT_EQ(date.DaysInYear(2000), 366);
    EXPECT_EQ(date.DaysInYear(1500), 366);
    EXPECT_EQ(date.DaysInYear(1582), 365);
    EXPECT_EQ(date.DaysInYear(), 365);
    EXPECT_FALSE(date.IsLeapYear(2100));
    EXPECT_TRUE(date.IsLeapYear(2024));
    EXPECT_EQ(date.DaysInMonth(2, 2000), 29);
    EXPECT_EQ(date.DaysInMonth(2, 1900), 28);
    EXPECT_EQ(date.DaysInMonth(4, 2001), 30);
    EXPECT_EQ(date.DaysInMonth(12, 2001), 31);
    EXPECT_EQ(date.DaysInMonth(), 31);
    EXPECT_EQ(LibDate(31, 12, 2000).GetDayOfYear(), 366);
    EXPECT_EQ(LibDate(1, 3, 2001).GetDayOfYear(), 60);

    LibDate invalid(false);
    EXPECT_FALSE(invalid.IsValidDate());
    EXPECT_TRUE(LibDate(29, 2, 2000).IsValidDate());
}

TEST(LibDate, Weekdays) {
    LibDate date(1, 1, 2000);
    EXPECT_EQ(date.DayOfWeek(0), LIB_SATURDAY);
    EXPECT_EQ(date.DayOfWeek(), LIB_SATURDAY);
    EXPECT_EQ(date.DayOfWeek(3u), LIB_MONDAY);
    EXPECT_TRUE(date.IsWeekEnd());
    EXPECT_FALSE(date.IsWeekEnd(3));
    EXPECT_EQ(LibDate(6, 12, 2026).DayOfWeek(0), LIB_SUNDAY);
    EXPECT_EQ(LibDate(1, 3, 2000).DayOfWeek(0), LIB_WEDNESDAY);
    // The weekday formula agrees with the day numbers for every Gregorian date.
    for (LibDate day(15, 10, 1582); day < LibDate(1, 1, 2400); day += 97)
        ASSERT_EQ(day.DayOfWeek(0), (day.GetDayNumber() + 2) % 7) << day.GetDayNumber();

    EXPECT_EQ(date.DayOfWeek("friday"), LIB_FRIDAY);
    EXPECT_EQ(date.DayOfWeek("MON"), LIB_MONDAY);
    EXPECT_EQ(date.DayOfWeek("w"), LIB_WEDNESDAY);
    EXPECT_EQ(date.DayOfWeek("Su"), LIB_SUNDAY);
    EXPECT_EQ(date.DayOfWeek("S"), LIB_SATURDAY);
    EXPECT_EQ(date.DayOfWeek("tue"), LIB_TUESDAY);
    EXPECT_EQ(date.DayOfWeek("Th"), LIB_THURSDAY);
    EXPECT_EQ(date.DayOfWeek("x"), LIB_SUNDAY);
    EXPECT_EQ(date.DayOfWeek(""), LIB_SUNDAY);
}

TEST(LibDate, NextAndPreviousWeekday) {
    LibDate sunday(6, 12, 2026);
    LibDate date(sunday);
    date.SetToNext(LIB_SUNDAY);
    EXPECT_EQ(date - sunday, 7);
    date = sunday;
    date.SetToNext(LIB_MONDAY);
    EXPECT_EQ(date - sunday, 1);
    date = sunday;
    date.SetToPrev(LIB_SUNDAY);
    EXPECT_EQ(date - sunday, -7);
    date = sunday;
    date.SetToPrev(LIB_MONDAY);
    EXPECT_EQ(date - sunday, -6);
    ExpectDate(date, 30, 11, 2026);
}

TEST(LibDate, FreeFormAndFixedTexts) {
    LibDate date(10, 10, 2001);
    EXPECT_TRUE(date.SetUnformattedDate("2/5/99"));
    ExpectDate(date, 5, 2, 2099);
    EXPECT_TRUE(date.SetUnformattedDate("12-1"));
    ExpectDate(date, 1, 12, 2099);
    EXPECT_TRUE(date.SetUnformattedDate("7 4 1776"));
    ExpectDate(date, 4, 7, 1776);
    EXPECT_TRUE(date.SetUnformattedDate("3"));
    ExpectDate(date, 1, 3, 1776);

    LibDate before(date);
    EXPECT_FALSE(date.SetUnformattedDate("123/1/2000"));
    EXPECT_FALSE(date.SetUnformattedDate("1/123/2000"));
    EXPECT_FALSE(date.SetUnformattedDate("1/2/345"));
    EXPECT_FALSE(date.SetUnformattedDate("1/2/3"));
    EXPECT_FALSE(date.SetUnformattedDate("1/2/20001"));
    EXPECT_FALSE(date.SetUnformattedDate("2/0/0000"));
    EXPECT_FALSE(date.SetUnformattedDate(nullptr));
    EXPECT_EQ(date, before);
    ExpectDate(date, 1, 3, 1776);

    EXPECT_TRUE(date.SetDate("12/25/1999"));
    ExpectDate(date, 25, 12, 1999);
    EXPECT_FALSE(date.SetDate("12/25"));
    EXPECT_FALSE(date.SetDate("12/25/0000"));
    EXPECT_FALSE(date.SetDate(static_cast<const char*>(nullptr)));
    ExpectDate(date, 25, 12, 1999);

    date.SetDate(31, 1, 2001);
    EXPECT_TRUE(date.SetMonth("Ju"));
    ExpectDate(date, 1, 7, 2001); // 31 June is 1 July
    EXPECT_TRUE(date.SetMonth("Dec"));
    EXPECT_EQ(date.GetMonth(), 12);
    EXPECT_FALSE(date.SetMonth("dec"));
    EXPECT_FALSE(date.SetMonth(""));
    EXPECT_FALSE(date.SetMonth("Decembers"));
    EXPECT_EQ(date.GetMonth(), 12);
}

TEST(LibDate, BrokenDownTimes) {
    tm parts = {};
    parts.tm_mday = 6;
    parts.tm_mon = 11;
    parts.tm_year = 126;
    LibDate date(false);
    date.SetDate(&parts);
    ExpectDate(date, 6, 12, 2026);
    parts.tm_year = 5; // two-digit years up to 50 are this century
    date.SetDate(&parts);
    ExpectDate(date, 6, 12, 2005);

    tm back = {};
    date.GetDate(&back);
    EXPECT_EQ(back.tm_year, 105);
    EXPECT_EQ(back.tm_mon, 11);
    EXPECT_EQ(back.tm_mday, 6);
    LibDate again(false);
    again.SetDate(&back);
    EXPECT_EQ(again, date);

    tm full = {};
    LibDate(31, 12, 2000).GetDate(full);
    EXPECT_EQ(full.tm_year, 100);
    EXPECT_EQ(full.tm_mon, 11);
    EXPECT_EQ(full.tm_mday, 31);
    EXPECT_EQ(full.tm_wday, 0);
    EXPECT_EQ(full.tm_yday, 365);
    EXPECT_EQ(full.tm_isdst, -1);
}

TEST(LibDate, OperatorsMoveAndCompareDayNumbers) {
    LibDate date(28, 2, 2000);
    ++date;
    ExpectDate(date, 29, 2, 2000);
    date++;
    ExpectDate(date, 1, 3, 2000);
    --date;
    ExpectDate(date, 29, 2, 2000);
    date += 366;
    ExpectDate(date, 1, 3, 2001);
    date -= 365;
    ExpectDate(date, 1, 3, 2000);
    ExpectDate(date + 31, 1, 4, 2000);
    ExpectDate(date - 1, 29, 2, 2000);
    EXPECT_EQ(LibDate(1, 1, 2001) - LibDate(1, 1, 2000), 366);
    EXPECT_EQ(LibDate(1, 1, 2000).DaysSince(LibDate(1, 1, 2001)), -366);

    LibDate a(1, 1, 2000), b(2, 1, 2000);
    EXPECT_TRUE(a < b && a <= b && b > a && b >= a && a != b);
    EXPECT_TRUE(a == LibDate(1, 1, 2000));
    EXPECT_FALSE(a > b || a >= b || b < a);
}

TEST(LibDate, ArchiveKeepsTheDayNumber) {
    BMessage archive;
    ASSERT_EQ(LibDate(29, 2, 2000).Archive(archive), B_OK);
    int32 number = 0;
    ASSERT_EQ(archive.FindInt32("date", &number), B_OK);
    EXPECT_EQ(number, LibDate(29, 2, 2000).GetDayNumber());

    LibDate restored(1, 1, 1990);
    ASSERT_EQ(restored.Restore(archive), B_OK);
    ExpectDate(restored, 29, 2, 2000);

    BMessage empty;
    EXPECT_NE(restored.Restore(empty), B_OK);
    ExpectDate(restored, 29, 2, 2000);
}

} // namespace
