#include "lib/LibDate.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/app/Message.h"

namespace {

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

// The day number at 0 h, following the Julian Date conventions: the Gregorian reform
// (15 October 1582) follows 4 October 1582 directly.
int64 DayNumber(int64 day, int64 month, int64 year) {
    int64 y = year < 0 ? year + 1 : year;
    int64 m = month;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    int64 b = 0;
    if (y * 10000 + m * 100 + day >= 15821015) {
        int64 a = y / 100;
        b = 2 - a + a / 4;
    }
    // Years before our era count down; rounding them down (not toward zero) keeps every
    // 4-year cycle the same length, so that day numbers of dates BC run on without gaps.
    return static_cast<int64>(std::floor(365.25 * static_cast<double>(y))) +
           static_cast<int64>(30.6001 * static_cast<double>(m + 1)) + day + 1720994 + b;
}

int64 FloorDiv(int64 value, int64 divisor) {
    int64 quotient = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0))
        --quotient;
    return quotient;
}

// The next and previous year, skipping the year 0 that does not exist.
int64 NextYear(int64 year) {
    return year == -1 ? 1 : year + 1;
}
int64 PreviousYear(int64 year) {
    return year == 1 ? -1 : year - 1;
}

// Astronomical numbering counts 1 BC as year 0, so that years can be added across it.
int64 Astronomical(int64 year) {
    return year < 0 ? year + 1 : year;
}
int64 Historical(int64 astronomical) {
    return astronomical <= 0 ? astronomical - 1 : astronomical;
}

// Decimal value of bytes [first, first + count) of text, read like atoi; bytes beyond the
// end of the text are not read.
int32 FieldAt(const char* text, size_t length, size_t first, size_t count) {
    if (first >= length)
        return 0;
    char field[16] = {};
    size_t n = length - first < count ? length - first : count;
    if (n >= sizeof(field))
        n = sizeof(field) - 1;
    std::memcpy(field, text + first, n);
    return static_cast<int32>(std::strtol(field, nullptr, 10));
}

} // namespace

LibDate::LibDate(const unsigned& day, const unsigned& month, const unsigned& year)
    : fDayNumber(0), fDay(0), fMonth(0), fYear(0) {
    SetDate(day, month, year);
}

LibDate::LibDate(const int32& dayNumber) : fDayNumber(0), fDay(0), fMonth(0), fYear(0) {
    SetFromDayNumber(dayNumber);
}

LibDate::LibDate(const int64& dayNumber) : fDayNumber(0), fDay(0), fMonth(0), fYear(0) {
    SetFromDayNumber(static_cast<int32>(dayNumber));
}

LibDate::LibDate(const bool& today, const bool& local)
    : fDayNumber(0), fDay(0), fMonth(0), fYear(0) {
    if (today)
        SetToday(local);
}

LibDate::LibDate(const LibDate& other)
    : fDayNumber(other.fDayNumber), fDay(other.fDay), fMonth(other.fMonth), fYear(other.fYear) {}

LibDate::~LibDate() {}

LibDate& LibDate::operator=(const LibDate& other) {
    fDayNumber = other.fDayNumber;
    fDay = other.fDay;
    fMonth = other.fMonth;
    fYear = other.fYear;
    return *this;
}

status_t LibDate::Archive(BMessage& archive) const {
    return archive.AddInt32("date", fDayNumber);
}

status_t LibDate::Restore(const BMessage& archive) {
    int32 dayNumber = 0;
    status_t status = archive.FindInt32("date", &dayNumber);
    if (status != B_OK)
        return status;
    SetFromDayNumber(dayNumber);
    return B_OK;
}

void LibDate::SetDate(const unsigned& day, const unsigned& month, const unsigned& year) {
    // Negative years arrive as large unsigned values; reading them back as signed keeps
    // years BC working.
    CorrectDate(static_cast<int32>(day), static_cast<int32>(month), static_cast<int32>(year));
}

void LibDate::SetDate(const int32& dayNumber) {
    SetFromDayNumber(dayNumber);
}

bool LibDate::SetDate(const char* text) {
    if (text == nullptr)
        return false;
    size_t length = std::strlen(text);
    if (length < 7)
        return false;
    int32 month = FieldAt(text, length, 0, 2);
    int32 day = FieldAt(text, length, 3, 2);
    int32 year = FieldAt(text, length, 6, 12);
    if (year == 0)
        return false;
    CorrectDate(day, month, year);
    return true;
}

bool LibDate::SetUnformattedDate(const char* text) {
    if (text == nullptr)
        return false;
    // Up to three groups of digits: month, day, year.
    int32 groups[3] = {0, 0, 0};
    int32 digits[3] = {0, 0, 0};
    int count = 0;
    const char* p = text;
    while (*p != '\0' && count < 3) {
        if (!std::isdigit(static_cast<unsigned char>(*p))) {
            ++p;
            continue;
        }
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            if (digits[count] < 5)
                groups[count] = groups[count] * 10 + (*p - '0');
            ++digits[count];
            ++p;
        }
        ++count;
    }
    if (digits[0] > 2 || digits[1] > 2)
        return false;
    if (digits[2] != 0 && digits[2] != 2 && digits[2] != 4)
        return false;

    int64 month = digits[0] > 0 ? groups[0] : 1;
    int64 day = digits[1] > 0 ? groups[1] : 1;
    int64 year = fYear;
    if (digits[2] == 2) {
        // The century of the current year: 99 on a date in 2001 is 2099.
        int64 century = fYear / 100;
        year = century * 100 + (fYear < 0 ? -groups[2] : groups[2]);
    } else if (digits[2] == 4) {
        year = groups[2];
    }
    // There is no year 0 ("0000"); such a text is refused like any other bad year.
    if (year == 0)
        return false;
    CorrectDate(day, month, year);
    return true;
}

void LibDate::SetDate(tm* time) {
    if (time == nullptr)
        return;
    int64 year = time->tm_year <= 50 ? 2000 + int64(time->tm_year) : 1900 + int64(time->tm_year);
    CorrectDate(time->tm_mday, int64(time->tm_mon) + 1, year);
}

void LibDate::SetToday(const bool& local) {
    time_t now = ::time(nullptr);
    tm parts = {};
    if (local)
        localtime_r(&now, &parts);
    else
        gmtime_r(&now, &parts);
    CorrectDate(parts.tm_mday, int64(parts.tm_mon) + 1, int64(parts.tm_year) + 1900);
}

void LibDate::SetYear(const unsigned& year) {
    CorrectDate(fDay, fMonth, static_cast<int32>(year));
}

void LibDate::SetMonth(const unsigned& month) {
    CorrectDate(fDay, static_cast<int32>(month), fYear);
}

void LibDate::SetMonth(const int& month) {
    CorrectDate(fDay, month, fYear);
}

bool LibDate::SetMonth(const char* name) {
    if (name == nullptr || name[0] == '\0')
        return false;
    size_t length = std::strlen(name);
    for (int32 i = 0; i < 12; ++i) {
        if (std::strncmp(kMonthNames[i], name, length) == 0) {
            CorrectDate(fDay, i + 1, fYear);
            return true;
        }
    }
    return false;
}

void LibDate::SetDay(const unsigned& day) {
    CorrectDate(static_cast<int32>(day), fMonth, fYear);
}

void LibDate::GetDate(tm* time) const {
    if (time == nullptr)
        return;
    time->tm_mday = fDay;
    time->tm_mon = fMonth - 1;
    time->tm_year = fYear <= 50 ? fYear - 2000 : fYear - 1900;
}

void LibDate::GetDate(tm& time) const {
    time.tm_mon = fMonth - 1;
    time.tm_mday = fDay;
    time.tm_year = fYear - 1900;
    time.tm_wday = DayOfWeek(0);
    time.tm_yday = GetDayOfYear() - 1;
    time.tm_isdst = -1;
}

void LibDate::AddYears(const int& years) {
    int64 year = int64(fYear) + years;
    // There is no year 0 between 1 BC and AD 1.
    if (fYear > 0 && year <= 0)
        --year;
    else if (fYear < 0 && year >= 0)
        ++year;
    CorrectDate(fDay, fMonth, year);
}

void LibDate::AddMonths(const int& months) {
    CorrectDate(fDay, int64(fMonth) + months, fYear);
}

void LibDate::AddDays(const int& days) {
    CorrectDate(int64(fDay) + days, fMonth, fYear);
}

LibDate& LibDate::operator++() {
    SetFromDayNumber(fDayNumber + 1);
    return *this;
}

LibDate LibDate::operator++(int) {
    LibDate before(*this);
    ++*this;
    return before;
}

LibDate& LibDate::operator--() {
    SetFromDayNumber(fDayNumber - 1);
    return *this;
}

LibDate LibDate::operator--(int) {
    LibDate before(*this);
    --*this;
    return before;
}

LibDate& LibDate::operator+=(const int32& days) {
    SetFromDayNumber(static_cast<int32>(int64(fDayNumber) + days));
    return *this;
}

LibDate& LibDate::operator-=(const int32& days) {
    SetFromDayNumber(static_cast<int32>(int64(fDayNumber) - days));
    return *this;
}

LibDate LibDate::operator+(const int32& days) const {
    LibDate result(*this);
    result += days;
    return result;
}

LibDate LibDate::operator-(const int32& days) const {
    LibDate result(*this);
    result -= days;
    return result;
}

int32 LibDate::operator-(const LibDate& other) const {
    return DaysSince(other);
}

int32 LibDate::DaysSince(const LibDate& other) const {
    return static_cast<int32>(int64(fDayNumber) - other.fDayNumber);
}

bool LibDate::IsValidDate() const {
    return fMonth >= 1 && fMonth <= 12 && fDay >= 1 && fDay <= MonthLength(fMonth, fYear);
}

bool LibDate::IsLeapYear(unsigned year) const {
    return IsLeap(static_cast<int32>(year));
}

int32 LibDate::DaysInYear(unsigned year) const {
    int64 which = year == 0 ? fYear : static_cast<int32>(year);
    return IsLeap(which) ? 366 : 365;
}

int32 LibDate::DaysInMonth() const {
    return MonthLength(fMonth, fYear);
}

int32 LibDate::DaysInMonth(const unsigned& month, const unsigned& year) const {
    return MonthLength(static_cast<int32>(month), static_cast<int32>(year));
}

int32 LibDate::GetDayOfYear() const {
    return static_cast<int32>(int64(fDayNumber) - DayNumber(1, 1, fYear) + 1);
}

LibWeekDay LibDate::DayOfWeek(const unsigned& day) const {
    int64 d = day == 0 ? fDay : static_cast<int32>(day);
    int64 y = fYear;
    int64 m = fMonth;
    if (m <= 2) {
        y -= 1;
        m += 10;
    } else {
        m -= 2;
    }
    int64 c = y / 100;
    int64 k = y - 100 * c;
    int64 w = (d + (26 * m - 2) / 10 + k + k / 4 + c / 4 - 2 * c) % 7;
    if (w < 0)
        w += 7;
    return static_cast<LibWeekDay>(w);
}

LibWeekDay LibDate::DayOfWeek(const int& day) const {
    return DayOfWeek(static_cast<unsigned>(day));
}

LibWeekDay LibDate::DayOfWeek(const char* name) const {
    if (name == nullptr)
        return LIB_SUNDAY;
    char first = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    char second =
        first == '\0' ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(name[1])));
    switch (first) {
    case 'F':
        return LIB_FRIDAY;
    case 'M':
        return LIB_MONDAY;
    case 'W':
        return LIB_WEDNESDAY;
    case 'S':
        return second == 'U' ? LIB_SUNDAY : LIB_SATURDAY;
    case 'T':
        return second == 'U' ? LIB_TUESDAY : LIB_THURSDAY;
    default:
        return LIB_SUNDAY;
    }
}

bool LibDate::IsWeekEnd(unsigned day) const {
    LibWeekDay weekday = DayOfWeek(day);
    return weekday == LIB_SATURDAY || weekday == LIB_SUNDAY;
}

void LibDate::SetToNext(const LibWeekDay& weekday) {
    int32 target = ((weekday % 7) + 7) % 7;
    int32 ahead = (target - DayOfWeek(0) + 7) % 7;
    *this += ahead == 0 ? 7 : ahead;
}

void LibDate::SetToPrev(const LibWeekDay& weekday) {
    int32 target = ((weekday % 7) + 7) % 7;
    int32 back = (DayOfWeek(0) - target + 7) % 7;
    *this -= back == 0 ? 7 : back;
}

void LibDate::PrintToStream() const {
    fprintf(stderr, "LibDate: %d/%d/%d (%ld)\n", fMonth, fDay, fYear, long(fDayNumber));
}

int32 LibDate::DateToJulian(const int32& day, const int32& month, const int32& year) {
    if (year == 0)
        return 0;
    return static_cast<int32>(DayNumber(day, month, year));
}

void LibDate::JulianToDate(const int32& dayNumber, int32& day, int32& month, int32& year) {
    int64 j = dayNumber;
    int64 z = j + 1;
    int64 a = z;
    if (z > 2299160) {
        int64 alpha = static_cast<int64>((static_cast<double>(z) - 1867216.25) / 36524.25);
        a = j + 2 + alpha - alpha / 4;
    }
    int64 b = a + 1524;
    int64 c = static_cast<int64>(std::floor((static_cast<double>(b) - 122.1) / 365.25));
    int64 d = b - static_cast<int64>(std::floor(365.25 * static_cast<double>(c)));
    int64 e = static_cast<int64>(std::floor(static_cast<double>(d) / 30.6001));
    int64 dd = d - static_cast<int64>(std::floor(30.6001 * static_cast<double>(e)));
    int64 mm = e <= 13 ? e - 1 : e - 13;
    int64 yy = mm > 2 ? c - 4716 : c - 4715;
    // The algorithm counts years astronomically (0 is 1 BC); dates keep year 0 out.
    if (yy <= 0)
        --yy;
    day = static_cast<int32>(dd);
    month = static_cast<int32>(mm);
    year = static_cast<int32>(yy);
}

void LibDate::CorrectDate() {
    CorrectDate(fDay, fMonth, fYear);
}

void LibDate::CorrectDate(int64 day, int64 month, int64 year) {
    // The month first, by whole years.
    if (month < 1 || month > 12) {
        int64 years = FloorDiv(month - 1, 12);
        month -= years * 12;
        int64 target = year + years;
        if (year > 0 && target <= 0)
            --target;
        else if (year < 0 && target >= 0)
            ++target;
        year = target;
    }
    if (year != 0) {
        // Then the day, a month at a time; whole years (and whole 400- and 4-year cycles
        // where the calendar repeats) are taken in one step so that large amounts stay
        // cheap. The result is the same as walking month by month.
        while (day > MonthLength(month, year)) {
            if (month == 1) {
                if (year >= 1582 && day > 146097) {
                    int64 cycles = (day - 1) / 146097;
                    day -= cycles * 146097;
                    year += cycles * 400;
                    continue;
                }
                const int64 astronomical = Astronomical(year);
                if (astronomical + 4 <= 1582 && day > 1461) {
                    int64 cycles = (day - 1) / 1461;
                    if (astronomical + cycles * 4 > 1582)
                        cycles = (1582 - astronomical) / 4;
                    day -= cycles * 1461;
                    year = Historical(astronomical + cycles * 4);
                    continue;
                }
                int64 length = IsLeap(year) ? 366 : 365;
                if (day > length) {
                    day -= length;
                    year = NextYear(year);
                    continue;
                }
            }
            day -= MonthLength(month, year);
            if (++month > 12) {
                month = 1;
                year = NextYear(year);
            }
        }
        while (day <= 0) {
            if (month == 1) {
                if (year - 400 >= 1582 && -day >= 146097) {
                    int64 cycles = -day / 146097;
                    if (year - cycles * 400 < 1582)
                        cycles = (year - 1582) / 400;
                    day += cycles * 146097;
                    year -= cycles * 400;
                    continue;
                }
                const int64 astronomical = Astronomical(year);
                if (astronomical <= 1582 && -day >= 1461) {
                    int64 cycles = -day / 1461;
                    day += cycles * 1461;
                    year = Historical(astronomical - cycles * 4);
                    continue;
                }
                int64 previous = PreviousYear(year);
                int64 length = IsLeap(previous) ? 366 : 365;
                if (day + length <= 0) {
                    day += length;
                    year = previous;
                    continue;
                }
            }
            if (--month < 1) {
                month = 12;
                year = PreviousYear(year);
            }
            day += MonthLength(month, year);
        }
    }
    fDay = static_cast<int32>(day);
    fMonth = static_cast<int32>(month);
    fYear = static_cast<int32>(year);
    // Year 0 does not exist: such a date keeps its old day number.
    if (fYear != 0)
        fDayNumber = static_cast<int32>(DayNumber(fDay, fMonth, fYear));
}

void LibDate::SetFromDayNumber(int32 dayNumber) {
    fDayNumber = dayNumber;
    JulianToDate(dayNumber, fDay, fMonth, fYear);
}

bool LibDate::IsLeap(int64 year) {
    // Years BC count from 1 BC (-1), which the Julian calendar made a leap year.
    if (year < 0)
        year += 1;
    if (year < 1582)
        return year % 4 == 0;
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int32 LibDate::MonthLength(int64 month, int64 year) {
    static const int32 kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && IsLeap(year))
        return 29;
    return kLengths[month - 1];
}
