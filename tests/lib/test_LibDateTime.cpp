#include <gtest/gtest.h>

#include "PinnedZone.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "lib/LibDateTime.h"
#include "lib/LibString.h"
#include "lib/LibTime.h"
#include "platform/app/Message.h"

namespace {

void ExpectTime(const LibTime& time, int32 hours, int32 minutes, int32 seconds) {
    EXPECT_EQ(time.GetHours(), hours);
    EXPECT_EQ(time.GetMinutes(), minutes);
    EXPECT_EQ(time.GetSeconds(), seconds);
}

void ExpectDateTime(const LibDateTime& value, int32 day, int32 month, int32 year, int32 hours,
                    int32 minutes, int32 seconds) {
    EXPECT_EQ(value.GetDay(), day);
    EXPECT_EQ(value.GetMonth(), month);
    EXPECT_EQ(value.GetYear(), year);
    ExpectTime(value, hours, minutes, seconds);
}

// Tests that read the clock or convert moments run in a pinned zone.
class LibDateTimeZoned : public PinnedZoneTest {};

TEST(LibTime, NormalisationWrapsAroundTheDay) {
    LibTime time(10, 0, 0);
    time.SetSeconds(-60);
    ExpectTime(time, 9, 59, 0);
    time.SetHours(-24);
    ExpectTime(time, 0, 59, 0);
    time.SetTime(25, 61, 3661);
    ExpectTime(time, 3, 2, 1);
    time.AddMinutes(-183);
    ExpectTime(time, 23, 59, 1);
    time.AddSeconds(59);
    ExpectTime(time, 0, 0, 0);
    time.AddHours(-1);
    ExpectTime(time, 23, 0, 0);
    time.AddSeconds(INT32_MIN);
    EXPECT_GE(time.GetHours(), 0);
    EXPECT_LT(time.GetHours(), 24);

    EXPECT_EQ(LibTime(1, 2, 3).NumberOfSeconds(), 3723);
    EXPECT_DOUBLE_EQ(LibTime(1, 2, 30).NumberOfMinutes(), 62.5);
    ExpectTime(LibTime(1, 0, 0) - LibTime(2, 30, 0), 22, 30, 0);
    ExpectTime(LibTime(12, 0, 0) - LibTime(11, 59, 59), 0, 0, 1);
}

TEST(LibTime, ComparisonOrdersHoursMinutesSeconds) {
    LibTime a(10, 20, 30), b(10, 21, 0), c(9, 59, 59);
    EXPECT_TRUE(a < b && a <= b && b > a && b >= a && a != b);
    EXPECT_TRUE(c < a);
    EXPECT_TRUE(a == LibTime(10, 20, 30));
    EXPECT_FALSE(a < c || a == b);
}

TEST(LibTime, TextsAndFractions) {
    LibTime time(0, 0, 0);
    EXPECT_TRUE(time.SetTime("10:15:30"));
    ExpectTime(time, 10, 15, 30);
    // Fields past the end of a short text read 0 rather than whatever follows it.
    EXPECT_TRUE(time.SetTime("08:45"));
    ExpectTime(time, 8, 45, 0);

    EXPECT_TRUE(time.SetUnformattedTime("9.5"));
    ExpectTime(time, 9, 5, 0);
    EXPECT_TRUE(time.SetUnformattedTime("at 17h"));
    ExpectTime(time, 17, 0, 0);
    EXPECT_FALSE(time.SetUnformattedTime("123"));
    EXPECT_FALSE(time.SetUnformattedTime("1:123"));
    ExpectTime(time, 17, 0, 0);

    EXPECT_TRUE(time.SetTime(10.25f));
    ExpectTime(time, 10, 15, 0);
    EXPECT_TRUE(time.SetTime(1.5125f));
    ExpectTime(time, 1, 30, 45);
    EXPECT_FALSE(time.SetTime(static_cast<float>(NAN)));
    ExpectTime(time, 1, 30, 45);
}

TEST(LibTime, ArchiveRestoresWhatWasStored) {
    BMessage archive;
    ASSERT_EQ(LibTime(17, 26, 48).Archive(archive), B_OK);
    int32 value = 0;
    EXPECT_EQ(archive.FindInt32("minutes", &value), B_OK);
    EXPECT_EQ(value, 26);
    LibTime restored(0, 0, 0);
    ASSERT_EQ(restored.Restore(archive), B_OK);
    ExpectTime(restored, 17, 26, 48);

    BMessage partial;
    partial.AddInt32("hours", 5);
    EXPECT_NE(restored.Restore(partial), B_OK);
    ExpectTime(restored, 17, 26, 48);
}

TEST_F(LibDateTimeZoned, TimeZoneOffsets) {
    Use("JST-9");
    EXPECT_DOUBLE_EQ(LibTime::TimeZone(1), 32400.0);
    EXPECT_DOUBLE_EQ(LibTime::TimeZone(2), 540.0);
    EXPECT_DOUBLE_EQ(LibTime::TimeZone(3), 9.0);
    Use("UTC0");
    EXPECT_DOUBLE_EQ(LibTime::TimeZone(3), 0.0);
}

TEST(LibDateTime, TimeArithmeticCarriesIntoTheDate) {
    LibDateTime value(31, 12, 2026);
    ExpectDateTime(value, 31, 12, 2026, 0, 0, 0);
    value.SetTime(23, 30, 0);
    value.AddMinutes(60);
    ExpectDateTime(value, 1, 1, 2027, 0, 30, 0);

    LibDateTime march(1, 3, 2001);
    march.SetTime(0, 30, 0);
    march.AddHours(-1);
    ExpectDateTime(march, 28, 2, 2001, 23, 30, 0);
    LibDateTime leap(1, 3, 2000);
    leap.SetTime(0, 30, 0);
    leap.AddHours(-1);
    ExpectDateTime(leap, 29, 2, 2000, 23, 30, 0);

    leap.AddSeconds(-86400 * 366 + 1);
    ExpectDateTime(leap, 28, 2, 1999, 23, 30, 1);
    leap.AddHours(24 * 365);
    ExpectDateTime(leap, 28, 2, 2000, 23, 30, 1);

    // Through the base class too: the carry is not lost.
    LibTime& asTime = leap;
    asTime.AddMinutes(30);
    ExpectDateTime(leap, 29, 2, 2000, 0, 0, 1);
}

TEST(LibDateTime, DifferencesAndOrder) {
    LibDateTime earlier(6, 12, 2026), later(7, 12, 2026);
    earlier.SetTime(23, 0, 0);
    later.SetTime(1, 30, 0);
    EXPECT_EQ(later.MinutesSince(earlier), 150);
    EXPECT_EQ(earlier.MinutesSince(later), -150);
    ExpectTime(later - earlier, 2, 30, 0);
    EXPECT_EQ(later - 1, LibDate(6, 12, 2026));

    EXPECT_TRUE(earlier < later && earlier <= later && later > earlier && later != earlier);
    LibDateTime sameDay(6, 12, 2026);
    sameDay.SetTime(22, 59, 59);
    EXPECT_TRUE(sameDay < earlier);
    sameDay.SetTime(23, 0, 0);
    EXPECT_TRUE(sameDay == earlier);

    LibDateTime assigned(1, 1, 2000);
    assigned = LibTime(5, 6, 7);
    ExpectDateTime(assigned, 1, 1, 2000, 5, 6, 7);
    assigned = LibDate(2, 2, 2002);
    ExpectDateTime(assigned, 2, 2, 2002, 5, 6, 7);
}

TEST_F(LibDateTimeZoned, MomentsInLocalAndUniversalTime) {
    UseBerlin();
    const int32 summer = Utc(2026, 7, 6, 22, 30, 0);
    LibDateTime value(1, 1, 2000);
    value.SetDateTime(summer, true);
    ExpectDateTime(value, 7, 7, 2026, 0, 30, 0);
    value.SetDateTime(summer, false);
    ExpectDateTime(value, 6, 7, 2026, 22, 30, 0);

    // Back to a moment: summer time is taken into account.
    value.SetDateTime(summer, true);
    int32 moment = 0;
    value.GetDateTime(moment);
    EXPECT_EQ(moment, summer);
    const int32 winter = Utc(2026, 12, 6, 17, 30, 0);
    value.SetDateTime(winter, true);
    value.GetDateTime(moment);
    EXPECT_EQ(moment, winter);

    // Universal now is the universal date and time of one moment, not shifted twice.
    LibDateTime universal(false);
    time_t now = time(nullptr);
    tm parts = {};
    gmtime_r(&now, &parts);
    EXPECT_EQ(universal.GetYear(), parts.tm_year + 1900);
    EXPECT_EQ(universal.GetMonth(), parts.tm_mon + 1);
    EXPECT_EQ(universal.GetDay(), parts.tm_mday);
    EXPECT_LE(std::abs(universal.GetHours() * 60 + universal.GetMinutes() -
                       (parts.tm_hour * 60 + parts.tm_min)),
              1);
}

TEST(LibDateTime, Iso8601) {
    LibDateTime value(31, 1, 2000);
    ASSERT_TRUE(value.SetIso8601("20000215T101500", 0));
    ExpectDateTime(value, 15, 2, 2000, 10, 15, 0);

    EXPECT_FALSE(value.SetIso8601("20000215T10150", 0));
    ExpectDateTime(value, 15, 2, 2000, 10, 15, 0);

    // Universal time moved into the local zone, date following.
    ASSERT_TRUE(value.SetIso8601("20001231T230000Z", 2));
    ExpectDateTime(value, 1, 1, 2001, 1, 0, 0);

    LibString text;
    value.GetIso8601(text, 0);
    EXPECT_STREQ(text, "20010101T010000");
    value.GetIso8601(text, 2);
    EXPECT_STREQ(text, "20001231T230000Z");
    LibDateTime back(1, 1, 1990);
    ASSERT_TRUE(back.SetIso8601(text, 2));
    EXPECT_TRUE(back == value);
}

TEST_F(LibDateTimeZoned, FreeTextThroughTheParser) {
    UseBerlin();
    LibDateTime value(1, 1, 2000);
    ASSERT_TRUE(value.Set("Dec 6, 2026 5:30 PM"));
    // Afternoon hours are taken as they are written.
    ExpectDateTime(value, 6, 12, 2026, 17, 30, 0);
    ASSERT_TRUE(value.Set("6.12.26 09:05"));
    ExpectDateTime(value, 6, 12, 2026, 9, 5, 0);
    EXPECT_FALSE(value.Set("noon"));
    ExpectDateTime(value, 6, 12, 2026, 9, 5, 0);
}

TEST(LibDateTime, ArchiveHoldsDateAndTime) {
    LibDateTime value(29, 2, 2000);
    value.SetTime(13, 14, 15);
    BMessage archive;
    ASSERT_EQ(value.Archive(archive), B_OK);
    int32 number = 0;
    EXPECT_EQ(archive.FindInt32("date", &number), B_OK);
    EXPECT_EQ(number, value.GetDayNumber());

    LibDateTime restored(1, 1, 1990);
    ASSERT_EQ(restored.Restore(archive), B_OK);
    ExpectDateTime(restored, 29, 2, 2000, 13, 14, 15);

    BMessage dateOnly;
    LibDate(3, 3, 2003).Archive(dateOnly);
    EXPECT_NE(restored.Restore(dateOnly), B_OK);
    ExpectDateTime(restored, 29, 2, 2000, 13, 14, 15);
}

} // namespace
