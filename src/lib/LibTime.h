#pragma once

// LibTime: a time of day, hours 0-23, minutes and seconds 0-59. Setters and arithmetic
// normalise: seconds outside 0..59 carry into minutes, minutes into hours, and hours wrap
// around the day (negative amounts borrow). LibDateTime overrides the arithmetic so that
// the carried days move its date.

#include <ctime>

#include "platform/support/SupportDefs.h"

class BMessage;

class LibTime {
public:
    LibTime(const int32& hours, const int32& minutes, const int32& seconds);
    // With now true, the current time of day (local or universal); otherwise 00:00:00.
    LibTime(const bool& now = true, const bool& local = true);
    LibTime(const LibTime& other);
    virtual ~LibTime();

    LibTime& operator=(const LibTime& other);

    virtual status_t Archive(BMessage& archive) const;
    // Reads "hours", "minutes" and "seconds" as stored, without normalising; nothing
    // changes when one of them is missing.
    virtual status_t Restore(const BMessage& archive);
    virtual void SetNow(const bool& local = true);
    virtual void AddHours(const int32& hours);
    virtual void AddMinutes(const int32& minutes);
    virtual void AddSeconds(const int32& seconds);
    virtual int32 GetSeconds() const;

    void SetTime(const int32& hours, const int32& minutes, const int32& seconds);
    // The time of day of a moment given in seconds since 1970. With local false the
    // local time of day is moved back to universal time through AddSeconds.
    void SetTime(const int32& secondsSince1970, const bool& local);
    void SetTime(tm* time);
    // Fixed positions "HH:MM:SS": hours from bytes 0-1, minutes from 3-4, seconds from
    // 6-7; a field beyond the end of the text reads 0.
    bool SetTime(const char* text);
    // Hours as a fraction (10.25 is 10:15:00), without normalisation. False for a value
    // that is not a finite number of hours.
    bool SetTime(const float& hours);
    // Up to two groups of one or two digits, hours then minutes, separated by anything
    // else; seconds become 0. False, without changes, for a group of three or more digits.
    bool SetUnformattedTime(const char* text);

    void SetHours(const int32& hours);
    void SetMinutes(const int32& minutes);
    void SetSeconds(const int32& seconds);

    int32 GetHours() const { return fHours; }
    int32 GetMinutes() const { return fMinutes; }
    void GetTime(tm& time) const;

    int32 NumberOfSeconds() const;
    double NumberOfMinutes() const;

    // The difference of two times of day, wrapped into one day.
    LibTime operator-(const LibTime& other) const;

    bool operator==(const LibTime& other) const;
    bool operator!=(const LibTime& other) const;
    bool operator<(const LibTime& other) const;
    bool operator<=(const LibTime& other) const;
    bool operator>(const LibTime& other) const;
    bool operator>=(const LibTime& other) const;

    // The local zone's offset east of universal time at this moment: in seconds, or in
    // minutes for unit 2, or in hours for unit 3.
    static double TimeZone(const int& unit = 1);

    void PrintToStream() const;

protected:
    // Normalises the fields into range; returns the whole days carried (negative when
    // borrowed), which a date-time adds to its date.
    int64 CorrectTime(int64 hours, int64 minutes, int64 seconds);
    int32 Compare(const LibTime& other) const;

    int32 fHours;
    int32 fMinutes;
    int32 fSeconds;
};
