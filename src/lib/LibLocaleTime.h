#pragma once

// LibLocaleTime: writes a LibTime as text, on the 12- or 24-hour clock, with or without
// minutes and seconds, a chosen separator and a suffix ("5:26:48 PM", "17:26").

#include "lib/LibString.h"
#include "lib/LibTime.h"

class BMessage;

class LibLocaleTime {
public:
    LibLocaleTime();
    LibLocaleTime(const LibLocaleTime& other);
    virtual ~LibLocaleTime();
    LibLocaleTime& operator=(const LibLocaleTime& other);

    void SetShowSeconds(const bool& show);
    void SetShowMinutes(const bool& show);
    void Set24Clock(const bool& on);
    void SetShowSuffix(const bool& show);
    // Between hours, minutes and seconds; the character 0 writes nothing.
    void SetSeperator(const char& separator);
    void Set24ClockSuffix(const char* suffix);
    void Set12ClockBeforeNoonSuffix(const char* suffix);
    void Set12ClockAfterNoonSuffix(const char* suffix);

    bool ShowSeconds() const { return fShowSeconds; }
    bool ShowMinutes() const { return fShowMinutes; }
    bool Is24Clock() const { return f24Clock; }
    bool ShowSuffix() const { return fShowSuffix; }
    char Seperator() const { return fSeparator; }

    LibString Format(const LibTime& time) const;
    bool Has12ClockSuffix() const;
    // Reads a time written by Format or by a person ("5:26 PM", "17:26:48", "9 am"):
    // up to three groups of digits, hours, minutes, seconds. The after-noon suffix, or a
    // 'P', moves hours below 12 to the afternoon; the before-noon suffix or an 'A' turns
    // 12 into 0. Missing groups read 0.
    LibTime GetTime(const char* text) const;

    status_t Archive(BMessage& archive) const;
    // Every key is read; a missing one gives false, 0 or an empty text.
    status_t Restore(const BMessage& archive);
    void PrintToStream() const;

private:
    bool fShowSeconds;
    bool fShowMinutes;
    char fSeparator;
    bool f24Clock;
    bool fShowSuffix;
    LibString f24Suffix;
    LibString fBeforeNoonSuffix;
    LibString fAfterNoonSuffix;
};
