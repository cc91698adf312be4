#pragma once

// LibDateTime: a date and a time of day. Time arithmetic carries whole days into the
// date, so 23:30 on 31 December plus 60 minutes is 00:30 on 1 January.

#include "lib/LibDate.h"
#include "lib/LibString.h"
#include "lib/LibTime.h"

class LibDateTime : public LibDate, public LibTime {
public:
    // That date at 00:00:00.
    LibDateTime(const unsigned& day, const unsigned& month, const unsigned& year);
    // Now, in local or universal time.
    LibDateTime(const bool& local = true);
    LibDateTime(const LibDateTime& other);
    ~LibDateTime() override;

    LibDateTime& operator=(const LibDateTime& other);
    LibDateTime& operator=(const LibDate& date);
    LibDateTime& operator=(const LibTime& time);

    status_t Archive(BMessage& archive) const override;
    status_t Restore(const BMessage& archive) override;
    void SetNow(const bool& local = true) override;
    void AddHours(const int32& hours) override;
    void AddMinutes(const int32& minutes) override;
    void AddSeconds(const int32& seconds) override;

    // A moment in seconds since 1970, as local or universal date and time.
    void SetDateTime(const int32& secondsSince1970, const bool& local);
    void SetDateTime(tm* time);
    void GetDateTime(tm* time) const;
    // The moment of this local date and time, in seconds since 1970 (mktime).
    void GetDateTime(int32& secondsSince1970) const;

    // Day difference times 24 hours plus the difference of the times of day, wrapped
    // into one day.
    LibTime operator-(const LibDateTime& other) const;
    using LibDate::operator-;
    int32 MinutesSince(const LibDateTime& other) const;

    bool operator==(const LibDateTime& other) const;
    bool operator!=(const LibDateTime& other) const;
    bool operator<(const LibDateTime& other) const;
    bool operator<=(const LibDateTime& other) const;
    bool operator>(const LibDateTime& other) const;
    bool operator>=(const LibDateTime& other) const;

    // Basic ISO 8601, "YYYYMMDDTHHMMSS". A text of 14 bytes or fewer is refused. A 16th
    // byte 'Z' marks universal time; zoneHours (the local offset east) is then added.
    bool SetIso8601(const LibString& text, const short& zoneHours);
    // The same form; with zoneHours not 0 the time is moved to universal time by
    // subtracting zoneHours and "Z" is appended, so SetIso8601 reads it back.
    LibString& GetIso8601(LibString& out, const short& zoneHours) const;
    // Free text such as "Dec 6, 2026 5:30 PM" or "tomorrow 10:00", read relative to now.
    bool Set(const LibString& text);

    void PrintToStream() const;

private:
    void CarryDays(int64 days);
};
