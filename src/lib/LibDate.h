#pragma once

// LibDate: a calendar date kept together with its day number. The day number is the
// integer part of the astronomical Julian Date at 0 h of the date (1 January 2000 is
// 2451544) and is the only field the comparisons look at. Every setter normalises the
// fields (31 January plus one month is 3 March in a common year) and recomputes the day
// number; moving the day number recomputes the fields. Dates before 15 October 1582 are
// Julian calendar dates, later ones Gregorian; year 0 does not exist (1 BC is year -1).

#include <ctime>

#include "platform/support/SupportDefs.h"

class BMessage;

// Weekdays as used throughout the library: 0 Sunday, 1 Monday ... 6 Saturday.
typedef int32 LibWeekDay;
enum {
    LIB_SUNDAY = 0,
    LIB_MONDAY = 1,
    LIB_TUESDAY = 2,
    LIB_WEDNESDAY = 3,
    LIB_THURSDAY = 4,
    LIB_FRIDAY = 5,
    LIB_SATURDAY = 6
};

class LibDate {
public:
    // Day, month, year.
    LibDate(const unsigned& day, const unsigned& month, const unsigned& year);
    // From a day number.
    LibDate(const int32& dayNumber);
    // The same for a day number held in a wider integer (the old 32-bit long).
    LibDate(const int64& dayNumber);
    // With today true, the current date (local or universal); otherwise all fields are 0
    // and the caller assigns a date before use.
    LibDate(const bool& today = true, const bool& local = true);
    LibDate(const LibDate& other);
    virtual ~LibDate();

    LibDate& operator=(const LibDate& other);

    virtual status_t Archive(BMessage& archive) const;
    virtual status_t Restore(const BMessage& archive);

    // Setting.
    void SetDate(const unsigned& day, const unsigned& month, const unsigned& year);
    void SetDate(const int32& dayNumber);
    // Fixed positions "MM/DD/YYYY": month from bytes 0-1, day from 3-4, year from byte 6
    // on. A text too short to hold a year, or with year 0, is refused (false, nothing
    // changes).
    bool SetDate(const char* text);
    // Up to three groups of digits, month, day and year, separated by anything else. The
    // year takes 0 digits (kept), 2 (century of the current year) or 4. False, without
    // changes, for a group with too many digits, a year of 1 or 3 digits or year 0.
    bool SetUnformattedDate(const char* text);
    // tm_year up to 50 is read as 2000 + tm_year, larger values as 1900 + tm_year.
    void SetDate(tm* time);
    void SetToday(const bool& local = true);
    void SetYear(const unsigned& year);
    void SetMonth(const unsigned& month);
    void SetMonth(const int& month);
    // The first month name ("January" ... "December") that begins with the whole text,
    // exact case ("Ju" is June). False, and the month unchanged, when none does.
    bool SetMonth(const char* name);
    void SetDay(const unsigned& day);

    // Reading.
    int32 GetYear() const { return fYear; }
    int32 GetMonth() const { return fMonth; }
    int32 GetDay() const { return fDay; }
    int32 GetDayNumber() const { return fDayNumber; }
    // The inverse of SetDate(tm*): tm_mday, tm_mon and tm_year (year - 2000 up to year
    // 50, else year - 1900).
    void GetDate(tm* time) const;
    // A broken-down time for the C library: tm_mday, tm_mon, tm_year (year - 1900),
    // tm_wday, tm_yday; tm_isdst is -1 (not known).
    void GetDate(tm& time) const;

    // Arithmetic on the fields, normalised afterwards.
    void AddYears(const int& years);
    void AddMonths(const int& months);
    void AddDays(const int& days);

    // Arithmetic on the day number.
    LibDate& operator++();
    LibDate operator++(int);
    LibDate& operator--();
    LibDate operator--(int);
    LibDate& operator+=(const int32& days);
    LibDate& operator-=(const int32& days);
    LibDate operator+(const int32& days) const;
    LibDate operator-(const int32& days) const;
    int32 operator-(const LibDate& other) const;
    int32 DaysSince(const LibDate& other) const;

    bool operator==(const LibDate& other) const { return fDayNumber == other.fDayNumber; }
    bool operator!=(const LibDate& other) const { return fDayNumber != other.fDayNumber; }
    bool operator<(const LibDate& other) const { return fDayNumber < other.fDayNumber; }
    bool operator<=(const LibDate& other) const { return fDayNumber <= other.fDayNumber; }
    bool operator>(const LibDate& other) const { return fDayNumber > other.fDayNumber; }
    bool operator>=(const LibDate& other) const { return fDayNumber >= other.fDayNumber; }

    // Calendar facts.
    bool IsValidDate() const;
    bool IsLeapYear(unsigned year) const;
    // 365 or 366; 0 means the object's year.
    int32 DaysInYear(unsigned year = 0) const;
    int32 DaysInMonth() const;
    int32 DaysInMonth(const unsigned& month, const unsigned& year) const;
    int32 GetDayOfYear() const;
    // Weekday of the given day of the object's month and year; 0 means the object's day.
    LibWeekDay DayOfWeek(const unsigned& day) const;
    LibWeekDay DayOfWeek(const int& day = 0) const;
    // Weekday of an English day name by its first letters, case-insensitive ("Tu" is
    // Tuesday, "T" Thursday, "Su" Sunday, "S" Saturday); anything else gives Sunday.
    LibWeekDay DayOfWeek(const char* name) const;
    // Saturday or Sunday; 0 means the object's day.
    bool IsWeekEnd(unsigned day = 0) const;

    // Move to the next (previous) date with that weekday: 1 to 7 days later (earlier).
    void SetToNext(const LibWeekDay& weekday);
    void SetToPrev(const LibWeekDay& weekday);

    void PrintToStream() const;

    // The day number of a date (0 for year 0) and the date of a day number.
    static int32 DateToJulian(const int32& day, const int32& month, const int32& year);
    static void JulianToDate(const int32& dayNumber, int32& day, int32& month, int32& year);

protected:
    // Normalises day, month and year and recomputes the day number.
    void CorrectDate();
    // Normalises a date whose fields are given in a wider type.
    void CorrectDate(int64 day, int64 month, int64 year);
    void SetFromDayNumber(int32 dayNumber);

private:
    static bool IsLeap(int64 year);
    static int32 MonthLength(int64 month, int64 year);

    int32 fDayNumber;
    int32 fDay;
    int32 fMonth;
    int32 fYear;
};
