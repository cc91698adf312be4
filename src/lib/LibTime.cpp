#include "lib/LibTime.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/app/Message.h"

namespace {

int64 FloorDiv(int64 value, int64 divisor) {
    int64 quotient = value / divisor;
    if (value % divisor != 0 && (value < 0) != (divisor < 0))
        --quotient;
    return quotient;
}

// Decimal value of bytes [first, first + 2) of text; bytes past its end read nothing.
int32 TwoDigitsAt(const char* text, size_t length, size_t first) {
    if (first >= length)
        return 0;
    char field[3] = {text[first], first + 1 < length ? text[first + 1] : '\0', '\0'};
    return static_cast<int32>(std::strtol(field, nullptr, 10));
}

} // namespace

LibTime::LibTime(const int32& hours, const int32& minutes, const int32& seconds)
    : fHours(0), fMinutes(0), fSeconds(0) {
    CorrectTime(hours, minutes, seconds);
}

LibTime::LibTime(const bool& now, const bool& local) : fHours(0), fMinutes(0), fSeconds(0) {
    // The virtual SetNow is not used here: a derived object is not constructed yet.
    if (now)
        LibTime::SetNow(local);
}

LibTime::LibTime(const LibTime& other)
    : fHours(other.fHours), fMinutes(other.fMinutes), fSeconds(other.fSeconds) {}

LibTime::~LibTime() {}

LibTime& LibTime::operator=(const LibTime& other) {
    fHours = other.fHours;
    fMinutes = other.fMinutes;
    fSeconds = other.fSeconds;
    return *this;
}

status_t LibTime::Archive(BMessage& archive) const {
    status_t status = archive.AddInt32("hours", fHours);
    if (status == B_OK)
        status = archive.AddInt32("minutes", fMinutes);
    if (status == B_OK)
        status = archive.AddInt32("seconds", fSeconds);
    return status;
}

status_t LibTime::Restore(const BMessage& archive) {
    int32 hours = 0, minutes = 0, seconds = 0;
    status_t status = archive.FindInt32("hours", &hours);
    if (status == B_OK)
        status = archive.FindInt32("minutes", &minutes);
    if (status == B_OK)
        status = archive.FindInt32("seconds", &seconds);
    if (status != B_OK)
        return status;
    fHours = hours;
    fMinutes = minutes;
    fSeconds = seconds;
    return B_OK;
}

void LibTime::SetNow(const bool& local) {
    SetTime(static_cast<int32>(::time(nullptr)), local);
}

void LibTime::AddHours(const int32& hours) {
    CorrectTime(int64(fHours) + hours, fMinutes, fSeconds);
}

void LibTime::AddMinutes(const int32& minutes) {
    CorrectTime(fHours, int64(fMinutes) + minutes, fSeconds);
}

void LibTime::AddSeconds(const int32& seconds) {
    CorrectTime(fHours, fMinutes, int64(fSeconds) + seconds);
}

int32 LibTime::GetSeconds() const {
    return fSeconds;
}

void LibTime::SetTime(const int32& hours, const int32& minutes, const int32& seconds) {
    CorrectTime(hours, minutes, seconds);
}

void LibTime::SetTime(const int32& secondsSince1970, const bool& local) {
    time_t moment = secondsSince1970;
    tm parts = {};
    localtime_r(&moment, &parts);
    fHours = parts.tm_hour;
    fMinutes = parts.tm_min;
    fSeconds = parts.tm_sec > 59 ? 59 : parts.tm_sec;
    if (!local)
        AddSeconds(static_cast<int32>(-parts.tm_gmtoff));
}

void LibTime::SetTime(tm* time) {
    if (time == nullptr)
        return;
    CorrectTime(time->tm_hour, time->tm_min, time->tm_sec);
}

bool LibTime::SetTime(const char* text) {
    if (text == nullptr)
        return false;
    size_t length = std::strlen(text);
    CorrectTime(TwoDigitsAt(text, length, 0), TwoDigitsAt(text, length, 3),
                TwoDigitsAt(text, length, 6));
    return true;
}

bool LibTime::SetTime(const float& hours) {
    if (!std::isfinite(hours) || std::fabs(hours) > 1.0e9f)
        return false;
    double whole = std::trunc(static_cast<double>(hours));
    double fraction = (static_cast<double>(hours) - whole) * 60.0;
    double minutes = std::trunc(fraction);
    double seconds = std::trunc((fraction - minutes) * 60.0);
    fHours = static_cast<int32>(whole);
    fMinutes = static_cast<int32>(minutes);
    fSeconds = static_cast<int32>(seconds);
    return true;
}

bool LibTime::SetUnformattedTime(const char* text) {
    if (text == nullptr)
        return false;
    int32 groups[2] = {0, 0};
    int count = 0;
    const char* p = text;
    while (*p != '\0' && count < 2) {
        if (!std::isdigit(static_cast<unsigned char>(*p))) {
            ++p;
            continue;
        }
        int digits = 0;
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            if (++digits > 2)
                return false;
            groups[count] = groups[count] * 10 + (*p - '0');
            ++p;
        }
        ++count;
    }
    CorrectTime(groups[0], groups[1], 0);
    return true;
}

void LibTime::SetHours(const int32& hours) {
    CorrectTime(hours, fMinutes, fSeconds);
}

void LibTime::SetMinutes(const int32& minutes) {
    CorrectTime(fHours, minutes, fSeconds);
}

void LibTime::SetSeconds(const int32& seconds) {
    CorrectTime(fHours, fMinutes, seconds);
}

void LibTime::GetTime(tm& time) const {
    time.tm_hour = fHours;
    time.tm_min = fMinutes;
    time.tm_sec = fSeconds;
}

int32 LibTime::NumberOfSeconds() const {
    return static_cast<int32>(int64(fHours) * 3600 + int64(fMinutes) * 60 + fSeconds);
}

double LibTime::NumberOfMinutes() const {
    return NumberOfSeconds() / 60.0;
}

LibTime LibTime::operator-(const LibTime& other) const {
    LibTime difference(false);
    difference.CorrectTime(int64(fHours) - other.fHours, int64(fMinutes) - other.fMinutes,
                           int64(fSeconds) - other.fSeconds);
    return difference;
}

int32 LibTime::Compare(const LibTime& other) const {
    if (fHours != other.fHours)
        return fHours < other.fHours ? -1 : 1;
    if (fMinutes != other.fMinutes)
        return fMinutes < other.fMinutes ? -1 : 1;
    if (fSeconds != other.fSeconds)
        return fSeconds < other.fSeconds ? -1 : 1;
    return 0;
}

bool LibTime::operator==(const LibTime& other) const {
    return Compare(other) == 0;
}
bool LibTime::operator!=(const LibTime& other) const {
    return Compare(other) != 0;
}
bool LibTime::operator<(const LibTime& other) const {
    return Compare(other) < 0;
}
bool LibTime::operator<=(const LibTime& other) const {
    return Compare(other) <= 0;
}
bool LibTime::operator>(const LibTime& other) const {
    return Compare(other) > 0;
}
bool LibTime::operator>=(const LibTime& other) const {
    return Compare(other) >= 0;
}

double LibTime::TimeZone(const int& unit) {
    time_t now = ::time(nullptr);
    tm parts = {};
    localtime_r(&now, &parts);
    double offset = static_cast<double>(parts.tm_gmtoff);
    if (unit == 2)
        return offset / 60.0;
    if (unit == 3)
        return offset / 3600.0;
    return offset;
}

void LibTime::PrintToStream() const {
    fprintf(stderr, "Time: %2.2ld:%2.2ld:%2.2ld\n", long(fHours), long(fMinutes), long(fSeconds));
}

int64 LibTime::CorrectTime(int64 hours, int64 minutes, int64 seconds) {
    minutes += FloorDiv(seconds, 60);
    seconds -= FloorDiv(seconds, 60) * 60;
    hours += FloorDiv(minutes, 60);
    minutes -= FloorDiv(minutes, 60) * 60;
    int64 days = FloorDiv(hours, 24);
    hours -= days * 24;
    fHours = static_cast<int32>(hours);
    fMinutes = static_cast<int32>(minutes);
    fSeconds = static_cast<int32>(seconds);
    return days;
}
