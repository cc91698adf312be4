#pragma once

// LibLocaleDate: writes a LibDate as text in one of five languages from a pattern in
// which D is the day, M the month, W the weekday and Y the year ("D M Y" gives
// "6 Dec 2026", "W, M D Y" gives "Sun, Dec 6 2026"). Each letter is expanded at its first
// occurrence only; any other character is copied. Names are UTF-8 and are shortened by
// characters, not bytes ("Février" becomes "Fév").

#include "lib/LibDate.h"
#include "lib/LibString.h"

class BMessage;
class LibStringList;

class LibLocaleDate {
public:
    // How an element is written; see SetWeekdayFormat and friends.
    typedef int32 ElementFormat;
    enum {
        LIB_SHORT_FORMAT = 0,  // weekday: two characters; month: its number
        LIB_MEDIUM_FORMAT = 1, // weekday and month: three characters
        LIB_LONG_FORMAT = 2    // the whole name; for the year, all its digits
    };
    typedef int32 LanguageType;
    enum {
        LIB_ENGLISH = 0,
        LIB_FRENCH = 1,
        LIB_GERMAN = 2,
        LIB_SPANISH = 3,
        LIB_JAPANESE = 4,
        LIB_LANGUAGE_COUNT = 5
    };

    LibLocaleDate();
    LibLocaleDate(const LibLocaleDate& other);
    virtual ~LibLocaleDate();
    LibLocaleDate& operator=(const LibLocaleDate& other);

    void SetFormat(const char* format);
    // A number outside 0..4 is kept but writes English names.
    void SetLanguage(const LanguageType& language);
    // 0: first two characters of the name; 1: first three; any other value: the whole name.
    void SetWeekdayFormat(const ElementFormat& format);
    // 0: the month number; 1: first three characters of the name (Japanese names stay
    // whole); any other value: the whole name.
    void SetMonthFormat(const ElementFormat& format);
    // Kept and archived; the day is always written as a number.
    void SetDayFormat(const ElementFormat& format);
    // 2: the whole year; any other value: the year modulo 100.
    void SetYearFormat(const ElementFormat& format);
    // Day and month numbers below 10 get a leading "0".
    void PadWithZeros(const bool& pad);

    const LibString& GetFormat() const { return fFormat; }
    LanguageType GetLanguage() const { return fLanguage; }
    ElementFormat GetWeekdayFormat() const { return fWeekdayFormat; }
    ElementFormat GetMonthFormat() const { return fMonthFormat; }
    ElementFormat GetDayFormat() const { return fDayFormat; }
    ElementFormat GetYearFormat() const { return fYearFormat; }
    bool IsPadded() const { return fPad; }

    LibString Format(const LibDate& date) const;

    // The elements as Format writes them.
    LibString AddWeekDay(const LibWeekDay& weekday) const;
    LibString AddWeekDay(const LibDate& date) const;
    // Appends the weekday to out and returns the result.
    LibString AddWeekDay(const LibWeekDay& weekday, LibString& out) const;
    LibString AddMonth(const int& month) const;
    LibString AddDay(const int& day) const;
    LibString AddYear(const int& year) const;

    bool KanjiLaunguage() const;
    // Appends "English", "French", "German", "Spanish", "Japanese".
    static void AvailableLanguages(LibStringList& list);

    // Today, or the date the text names when x_parsedate can read it.
    LibDate GetDate(const char* text) const;
    // Replaces the first month name and then the first weekday name of the French,
    // German, Spanish or Japanese tables found in the text by the English name.
    LibString ConvertToEnglish(const char* text) const;
    // Replaces the first occurrence of word by with; false when word does not occur.
    static bool SwapText(LibString& text, const char* word, const char* with);

    // Removes an element letter (D, M, W or Y) from the pattern together with the
    // separator that joins it to its neighbours; false when the pattern does not use it.
    bool RemoveFormat(const char& element);

    status_t Archive(BMessage& archive) const;
    // Only the settings whose key is present change.
    status_t Restore(const BMessage& archive);
    void PrintToStream() const;

    // The names of one language; English for a number outside 0..4.
    static const char* WeekdayName(const LanguageType& language, const int32& weekday);
    static const char* MonthName(const LanguageType& language, const int32& month);

private:
    ElementFormat fWeekdayFormat;
    ElementFormat fMonthFormat;
    ElementFormat fDayFormat;
    ElementFormat fYearFormat;
    bool fPad;
    LibString fFormat;
    LanguageType fLanguage;
};
