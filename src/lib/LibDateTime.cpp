#include "lib/LibDateTime.h"

#include <cstdio>

#include "lib/xParseDate.h"
#include "platform/app/Message.h"

namespace {

// A field of an ISO 8601 text read as the string type reads numbers: anything that is not
// a plain number reads 0.
int32 IsoField(const LibString& text, int32 first, int32 last) {
    int16 value = 0;
    text.Extract(first, last).GetInt16(value);
    return value;
}

} // namespace

LibDateTime::LibDateTime(const unsigned& day, const unsigned& month, const unsigned& year)
    : LibDate(day, month, year), LibTime(0, 0, 0) {}

LibDateTime::LibDateTime(const bool& local) : LibDate(false, local), LibTime(false, local) {
    SetNow(local);
}

LibDateTime::LibDateTime(const LibDateTime& other) : LibDate(other), LibTime(other) {}

LibDateTime::~LibDateTime() {}

LibDateTime& LibDateTime::operator=(const LibDateTime& other) {
    LibDate::operator=(other);
    LibTime::operator=(other);
    return *this;
}

LibDateTime& LibDateTime::operator=(const LibDate& date) {
    LibDate::operator=(date);
    return *this;
}

LibDateTime& LibDateTime::operator=(const LibTime& time) {
    LibTime::operator=(time);
    return *this;
}

status_t LibDateTime::Archive(BMessage& archive) const {
    status_t status = LibDate::Archive(archive);
    if (status == B_OK)
        status = LibTime::Archive(archive);
    return status;
}

status_t LibDateTime::Restore(const BMessage& archive) {
    // Both parts or neither, so that a damaged archive leaves the value as it was.
    int32 dayNumber = 0, hours = 0, minutes = 0, seconds = 0;
    status_t status = archive.FindInt32("date", &dayNumber);
    if (status == B_OK)
        status = archive.FindInt32("hours", &hours);
    if (status == B_OK)
        status = archive.FindInt32("minutes", &minutes);
    if (status == B_OK)
        status = archive.FindInt32("seconds", &seconds);
    if (status != B_OK)
        return status;
    LibDate::Restore(archive);
    LibTime::Restore(archive);
    return B_OK;
}

void LibDateTime::SetNow(const bool& local) {
    // One reading of the clock for both parts, so that a call at midnight cannot pair
    // today's time with yesterday's date.
    SetDateTime(static_cast<int32>(::time(nullptr)), local);
}

void LibDateTime::AddHours(const int32& hours) {
    CarryDays(CorrectTime(int64(fHours) + hours, fMinutes, fSeconds));
}

void LibDateTime::AddMinutes(const int32& minutes) {
    CarryDays(CorrectTime(fHours, int64(fMinutes) + minutes, fSeconds));
}

void LibDateTime::AddSeconds(const int32& seconds) {
    CarryDays(CorrectTime(fHours, fMinutes, int64(fSeconds) + seconds));
}

void LibDateTime::CarryDays(int64 days) {
    if (days != 0)
        SetFromDayNumber(static_cast<int32>(int64(GetDayNumber()) + days));
}

void LibDateTime::SetDateTime(const int32& secondsSince1970, const bool& local) {
    time_t moment = secondsSince1970;
    tm parts = {};
    if (local)
        localtime_r(&moment, &parts);
    else
        gmtime_r(&moment, &parts);
    // The broken-down time is exact here: its year is always 1900 + tm_year.
    CorrectDate(parts.tm_mday, int64(parts.tm_mon) + 1, int64(parts.tm_year) + 1900);
    CorrectTime(parts.tm_hour, parts.tm_min, parts.tm_sec > 59 ? 59 : parts.tm_sec);
}

void LibDateTime::SetDateTime(tm* time) {
    if (time == nullptr)
        return;
    SetDate(time);
    SetTime(time);
}

void LibDateTime::GetDateTime(tm* time) const {
    if (time == nullptr)
        return;
    GetDate(time);
    GetTime(*time);
}

void LibDateTime::GetDateTime(int32& secondsSince1970) const {
    tm parts = {};
    GetDate(&parts);
    GetTime(parts);
    // Whether summer time applies is for mktime to find out.
    parts.tm_isdst = -1;
    secondsSince1970 = static_cast<int32>(mktime(&parts));
}

LibTime LibDateTime::operator-(const LibDateTime& other) const {
    // The day difference contributes whole multiples of 24 hours, which the wrap into
    // one day removes again: only the times of day count.
    return LibTime::operator-(other);
}

int32 LibDateTime::MinutesSince(const LibDateTime& other) const {
    int64 days = int64(GetDayNumber()) - other.GetDayNumber();
    int64 minutes = static_cast<int64>(NumberOfMinutes() - other.NumberOfMinutes());
    return static_cast<int32>(days * 1440 + minutes);
}

bool LibDateTime::operator==(const LibDateTime& other) const {
    return LibDate::operator==(other) && LibTime::operator==(other);
}

bool LibDateTime::operator!=(const LibDateTime& other) const {
    return !(*this == other);
}

bool LibDateTime::operator<(const LibDateTime& other) const {
    if (!LibDate::operator==(other))
        return LibDate::operator<(other);
    return LibTime::operator<(other);
}

bool LibDateTime::operator<=(const LibDateTime& other) const {
    return !(other < *this);
}

bool LibDateTime::operator>(const LibDateTime& other) const {
    return other < *this;
}

bool LibDateTime::operator>=(const LibDateTime& other) const {
    return !(*this < other);
}

bool LibDateTime::SetIso8601(const LibString& text, const short& zoneHours) {
    int32 length = text.Length();
    if (length <= 14)
        return false;
    // Year, month and day together, so that 31 January does not pass through 31 February.
    SetDate(IsoField(text, 6, 7), IsoField(text, 4, 5), IsoField(text, 0, 3));
    SetTime(IsoField(text, 9, 10), IsoField(text, 11, 12), IsoField(text, 13, 14));
    if (length == 16 && (text[15] == 'Z' || text[15] == 'z'))
        AddHours(zoneHours);
    return true;
}

LibString& LibDateTime::GetIso8601(LibString& out, const short& zoneHours) const {
    LibDateTime value(*this);
    if (zoneHours != 0)
        value.AddHours(-zoneHours);
    out.Formatted("%d%2.2d%2.2dT%2.2ld%2.2ld%2.2ld", value.GetYear(), value.GetMonth(),
                  value.GetDay(), long(value.GetHours()), long(value.GetMinutes()),
                  long(value.LibTime::GetSeconds()));
    if (zoneHours != 0)
        out.Concat("Z");
    return out;
}

bool LibDateTime::Set(const LibString& text) {
    int32 moment = x_parsedate(text.String() == nullptr ? "" : text.String(), -1);
    if (moment == -1) {
        fprintf(stderr, "Error with date time value\n");
        return false;
    }
    SetDateTime(moment, true);
    return true;
}

void LibDateTime::PrintToStream() const {
    LibDate::PrintToStream();
    LibTime::PrintToStream();
}
