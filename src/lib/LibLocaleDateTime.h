#pragma once

// LibLocaleDateTime: the date text and the time text of a LibDateTime joined by a
// separator (" " by default; the replace alert uses ", ").

#include "lib/LibDateTime.h"
#include "lib/LibLocaleDate.h"
#include "lib/LibLocaleTime.h"

class LibLocaleDateTime : public LibLocaleDate, public LibLocaleTime {
public:
    LibLocaleDateTime();
    LibLocaleDateTime(const LibLocaleDateTime& other);
    ~LibLocaleDateTime() override;
    LibLocaleDateTime& operator=(const LibLocaleDateTime& other);

    // The separator between date and time; SetSeperator(char) still sets the one between
    // hours, minutes and seconds.
    void SetSeperator(const char* separator);
    using LibLocaleTime::SetSeperator;
    const LibString& DateTimeSeperator() const { return fSeparator; }

    LibString Format(const LibDateTime& value) const;
    using LibLocaleDate::Format;
    using LibLocaleTime::Format;

    // The separator, then the date settings, then the time settings.
    status_t Archive(BMessage& archive) const;
    status_t Restore(const BMessage& archive);
    void PrintToStream() const;

private:
    LibString fSeparator;
};
