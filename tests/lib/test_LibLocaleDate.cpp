#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "lib/LibLocaleDate.h"
#include "lib/LibLocaleDateTime.h"
#include "lib/LibLocaleTime.h"
#include "lib/LibStringList.h"
#include "platform/app/Message.h"

namespace {

std::string Text(const LibString& text) {
    return text.String() == nullptr ? "" : text.String();
}

const LibDate kSunday(6, 12, 2026);

TEST(LibLocaleDate, PatternsAndElementFormats) {
    LibLocaleDate format;
    EXPECT_EQ(Text(format.Format(kSunday)), "6 Dec 2026");
    format.SetFormat("W, M D Y");
    EXPECT_EQ(Text(format.Format(kSunday)), "Sun, Dec 6 2026");
    // Each letter is written once; later ones vanish, other characters stay.
    format.SetFormat("D D/M.Y!");
    EXPECT_EQ(Text(format.Format(kSunday)), "6 /Dec.2026!");

    format.SetFormat("D/M/Y");
    format.SetMonthFormat(0);
    format.SetYearFormat(0);
    EXPECT_EQ(Text(format.Format(LibDate(5, 3, 2005))), "5/3/05");
    format.PadWithZeros(true);
    EXPECT_EQ(Text(format.Format(LibDate(5, 3, 2005))), "05/03/05");
    EXPECT_EQ(Text(format.Format(LibDate(15, 11, 2000))), "15/11/00");

    format.SetFormat("W M");
    format.SetWeekdayFormat(0);
    format.SetMonthFormat(2);
    EXPECT_EQ(Text(format.Format(kSunday)), "Su December");
    format.SetWeekdayFormat(2);
    EXPECT_EQ(Text(format.Format(kSunday)), "Sunday December");
    format.SetWeekdayFormat(7);
    format.SetMonthFormat(9);
    EXPECT_EQ(Text(format.Format(kSunday)), "Sunday December");
}

TEST(LibLocaleDate, NamesInFiveLanguagesCutByCharacters) {
    LibLocaleDate format;
    format.SetFormat("W M");
    format.SetLanguage(LibLocaleDate::LIB_FRENCH);
    EXPECT_EQ(Text(format.Format(LibDate(1, 2, 2026))), "Dim Fév");
    EXPECT_EQ(Text(format.Format(LibDate(1, 8, 2026))), "Sam Aoû");
    format.SetLanguage(LibLocaleDate::LIB_GERMAN);
    EXPECT_EQ(Text(format.Format(LibDate(1, 3, 2026))), "Son Mär");
    format.SetLanguage(LibLocaleDate::LIB_SPANISH);
    format.SetWeekdayFormat(0);
    format.SetMonthFormat(2);
    EXPECT_EQ(Text(format.Format(LibDate(4, 3, 2026))), "Mi Marcha");

    // Japanese names are never shortened.
    format.SetLanguage(LibLocaleDate::LIB_JAPANESE);
    EXPECT_TRUE(format.KanjiLaunguage());
    format.SetMonthFormat(1);
    EXPECT_EQ(Text(format.Format(kSunday)), "日曜日 １２月");
    format.SetWeekdayFormat(1);
    EXPECT_EQ(Text(format.Format(kSunday)), "日曜日 １２月");

    // A language number outside the tables writes English rather than reading past them.
    format.SetLanguage(42);
    EXPECT_FALSE(format.KanjiLaunguage());
    EXPECT_EQ(Text(format.Format(kSunday)), "Sun Dec");
    EXPECT_EQ(Text(format.AddMonth(13)), "");
    EXPECT_EQ(Text(format.AddWeekDay(LibWeekDay(9))), "");

    LibStringList languages;
    LibLocaleDate::AvailableLanguages(languages);
    std::string all;
    for (const LibString* name : languages)
        all += Text(*name) + ";";
    EXPECT_EQ(all, "English;French;German;Spanish;Japanese;");
}

TEST(LibLocaleDate, ElementOperations) {
    LibLocaleDate format;
    EXPECT_EQ(Text(format.AddWeekDay(LibWeekDay(3))), "Wed");
    EXPECT_EQ(Text(format.AddWeekDay(kSunday)), "Sun");
    LibString out("On ");
    EXPECT_EQ(Text(format.AddWeekDay(LibWeekDay(1), out)), "On Mon");
    EXPECT_EQ(Text(out), "On Mon");
    EXPECT_EQ(Text(format.AddDay(7)), "7");
    format.PadWithZeros(true);
    EXPECT_EQ(Text(format.AddDay(7)), "07");
    EXPECT_EQ(Text(format.AddYear(2026)), "2026");
    format.SetYearFormat(1);
    EXPECT_EQ(Text(format.AddYear(2026)), "26");

    format.SetFormat("W, M D Y");
    EXPECT_TRUE(format.RemoveFormat('W'));
    EXPECT_EQ(Text(format.GetFormat()), "M D Y");
    EXPECT_TRUE(format.RemoveFormat('Y'));
    EXPECT_EQ(Text(format.GetFormat()), "M D");
    EXPECT_FALSE(format.RemoveFormat('W'));
    EXPECT_FALSE(format.RemoveFormat('x'));
}

TEST(LibLocaleDate, ReadingDatesBack) {
    LibLocaleDate format;
    LibDate date = format.GetDate("Dec 6, 2026");
    EXPECT_EQ(date, LibDate(6, 12, 2026));
    EXPECT_EQ(format.GetDate("6.12.26"), LibDate(6, 12, 2026));
    EXPECT_EQ(format.GetDate("12/25/99"), LibDate(25, 12, 1999));
    // Without a year, and for unreadable text, the current year and today.
    LibDate today(true, true);
    EXPECT_EQ(format.GetDate("Mar 3"), LibDate(3, 3, static_cast<unsigned>(today.GetYear())));
    EXPECT_EQ(format.GetDate("not a date"), today);

    EXPECT_EQ(Text(format.ConvertToEnglish("6 Février 2026")), "6 February 2026");
    EXPECT_EQ(Text(format.ConvertToEnglish("Mittwoch, 9 Dezember")), "Wednesday, 9 December");
    EXPECT_EQ(Text(format.ConvertToEnglish("Lunes 3 Junio")), "Monday 3 June");
    EXPECT_EQ(Text(format.ConvertToEnglish("１２月 ６")), "December ６");
    EXPECT_EQ(Text(format.ConvertToEnglish("１１月")), "November");
    // One month and one weekday at most.
    EXPECT_EQ(Text(format.ConvertToEnglish("Mai Juin")), "May Juin");
    EXPECT_EQ(Text(format.ConvertToEnglish("")), "");
    EXPECT_EQ(Text(format.ConvertToEnglish("Dec 6")), "Dec 6");
    EXPECT_EQ(format.GetDate(format.ConvertToEnglish("6 Décembre 2026")), kSunday);

    LibString text("a cat and a cat");
    EXPECT_TRUE(LibLocaleDate::SwapText(text, "cat", "dog"));
    EXPECT_EQ(Text(text), "a dog and a cat");
    EXPECT_FALSE(LibLocaleDate::SwapText(text, "bird", "dog"));
    EXPECT_FALSE(LibLocaleDate::SwapText(text, "", "dog"));
}

TEST(LibLocaleDate, ArchiveAndPartialRestore) {
    LibLocaleDate format;
    format.SetFormat("W, M D Y");
    format.SetLanguage(LibLocaleDate::LIB_GERMAN);
    format.SetWeekdayFormat(2);
    format.PadWithZeros(true);
    BMessage archive;
    ASSERT_EQ(format.Archive(archive), B_OK);
    const char* name = nullptr;
    type_code type = 0;
    ASSERT_EQ(archive.GetInfo(B_ANY_TYPE, 0, &name, &type), B_OK);
    EXPECT_STREQ(name, "weekday");

    LibLocaleDate restored;
    ASSERT_EQ(restored.Restore(archive), B_OK);
    EXPECT_EQ(Text(restored.Format(kSunday)), "Sonntag, Dez 06 2026");

    // Missing keys keep their settings.
    BMessage empty;
    restored.Restore(empty);
    EXPECT_EQ(Text(restored.Format(kSunday)), "Sonntag, Dez 06 2026");
    BMessage onlyLanguage;
    onlyLanguage.AddInt32("language", LibLocaleDate::LIB_ENGLISH);
    restored.Restore(onlyLanguage);
    EXPECT_EQ(Text(restored.Format(kSunday)), "Sunday, Dec 06 2026");
}

TEST(LibLocaleTime, TwelveAndTwentyFourHourClocks) {
    LibLocaleTime format;
    EXPECT_EQ(Text(format.Format(LibTime(17, 26, 48))), "5:26 PM");
    format.SetShowSeconds(true);
    EXPECT_EQ(Text(format.Format(LibTime(17, 26, 48))), "5:26:48 PM");
    format.SetShowSeconds(false);
    EXPECT_EQ(Text(format.Format(LibTime(0, 5, 0))), "12:05 AM");
    EXPECT_EQ(Text(format.Format(LibTime(12, 0, 0))), "12:00 PM");
    EXPECT_EQ(Text(format.Format(LibTime(0, 0, 0))), "12:00 AM");
    EXPECT_EQ(Text(format.Format(LibTime(11, 59, 0))), "11:59 AM");

    format.SetShowMinutes(false);
    format.SetShowSeconds(true);
    EXPECT_EQ(Text(format.Format(LibTime(17, 26, 48))), "5:48 PM");

    format.SetShowMinutes(true);
    format.SetShowSeconds(false);
    format.Set24Clock(true);
    format.SetSeperator('.');
    EXPECT_EQ(Text(format.Format(LibTime(9, 5, 0))), "09.05");
    format.Set24ClockSuffix(" h");
    EXPECT_EQ(Text(format.Format(LibTime(21, 5, 0))), "21.05 h");
    format.SetShowSuffix(false);
    EXPECT_EQ(Text(format.Format(LibTime(21, 5, 0))), "21.05");

    EXPECT_TRUE(format.Has12ClockSuffix());
    format.Set12ClockBeforeNoonSuffix("");
    EXPECT_TRUE(format.Has12ClockSuffix());
    format.Set12ClockAfterNoonSuffix("");
    EXPECT_FALSE(format.Has12ClockSuffix());
}

TEST(LibLocaleTime, ReadingTimesBack) {
    LibLocaleTime format;
    LibTime time = format.GetTime("5:26:48 PM");
    EXPECT_EQ(time, LibTime(17, 26, 48));
    EXPECT_EQ(format.GetTime("12:05 AM"), LibTime(0, 5, 0));
    EXPECT_EQ(format.GetTime("12:30 pm"), LibTime(12, 30, 0));
    EXPECT_EQ(format.GetTime("17:26"), LibTime(17, 26, 0));
    EXPECT_EQ(format.GetTime("9 p"), LibTime(21, 0, 0));
    EXPECT_EQ(format.GetTime(""), LibTime(0, 0, 0));
}

TEST(LibLocaleTime, ArchiveAndFullRestore) {
    LibLocaleTime format;
    format.SetShowSeconds(true);
    format.Set24Clock(true);
    format.SetSeperator('h');
    BMessage archive;
    ASSERT_EQ(format.Archive(archive), B_OK);
    int16 separator = 0;
    ASSERT_EQ(archive.FindInt16("seperator", &separator), B_OK);
    EXPECT_EQ(separator, 'h');

    LibLocaleTime restored;
    ASSERT_EQ(restored.Restore(archive), B_OK);
    EXPECT_EQ(Text(restored.Format(LibTime(7, 8, 9))), "07h08h09");

    // Every key is read: an empty message clears flags and suffixes.
    BMessage empty;
    restored.Restore(empty);
    EXPECT_FALSE(restored.ShowMinutes());
    EXPECT_FALSE(restored.Has12ClockSuffix());
    EXPECT_EQ(restored.Seperator(), '\0');
    EXPECT_EQ(Text(restored.Format(LibTime(17, 8, 9))), "5");
    restored.SetShowMinutes(true);
    EXPECT_EQ(Text(restored.Format(LibTime(17, 8, 9))), "508");
}

TEST(LibLocaleDateTime, DateAndTimeJoined) {
    // As the replace alert shows file dates.
    LibLocaleDateTime format;
    format.SetFormat("W, M D Y");
    format.SetSeperator(", ");
    format.SetShowSeconds(true);
    LibDateTime value(6, 12, 2026);
    value.SetTime(17, 26, 48);
    EXPECT_EQ(Text(format.Format(value)), "Sun, Dec 6 2026, 5:26:48 PM");
    EXPECT_EQ(Text(format.Format(LibDate(7, 12, 2026))), "Mon, Dec 7 2026");
    EXPECT_EQ(Text(format.Format(LibTime(8, 0, 0))), "8:00:00 AM");

    // Defaults, as the installation log writes its times.
    LibLocaleDateTime plain;
    plain.SetShowSeconds(true);
    EXPECT_EQ(Text(plain.Format(value)), "6 Dec 2026 5:26:48 PM");

    BMessage archive;
    ASSERT_EQ(format.Archive(archive), B_OK);
    const char* name = nullptr;
    type_code type = 0;
    ASSERT_EQ(archive.GetInfo(B_ANY_TYPE, 0, &name, &type), B_OK);
    EXPECT_STREQ(name, "field_seperator");
    LibLocaleDateTime restored;
    ASSERT_EQ(restored.Restore(archive), B_OK);
    EXPECT_EQ(Text(restored.Format(value)), "Sun, Dec 6 2026, 5:26:48 PM");

    LibLocaleDateTime copy(format);
    EXPECT_EQ(Text(copy.Format(value)), Text(format.Format(value)));
}

} // namespace
