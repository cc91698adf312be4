#include "lib/LibLocaleDate.h"

#include <cstring>
#include <string>

#include "lib/LibStringList.h"
#include "lib/xParseDate.h"
#include "platform/app/Message.h"

namespace {

const char* const kWeekdays[LibLocaleDate::LIB_LANGUAGE_COUNT][7] = {
    {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
    {"Dimanche", "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi"},
    {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"},
    {"Domingo", "Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado"},
    {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"},
};

const char* const kMonths[LibLocaleDate::LIB_LANGUAGE_COUNT][12] = {
    {"January", "February", "March", "April", "May", "June", "July", "August", "September",
     "October", "November", "December"},
    {"Janvier", "Février", "Mars", "Avril", "Mai", "Juin", "Juillet", "Août", "Septembre",
     "Octobre", "Novembre", "Décembre"},
    {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September", "Oktober",
     "November", "Dezember"},
    {"Enero", "Febrero", "Marcha", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
     "Octubre", "Noviembre", "Diciembre"},
    {"１月", "２月", "３月", "４月", "５月", "６月", "７月", "８月", "９月", "１０月", "１１月",
     "１２月"},
};

const char* const kLanguageNames[LibLocaleDate::LIB_LANGUAGE_COUNT] = {
    "English", "French", "German", "Spanish", "Japanese"};

int32 TableIndex(const LibLocaleDate::LanguageType& language) {
    return language >= 0 && language < LibLocaleDate::LIB_LANGUAGE_COUNT ? language : 0;
}

// The first count characters of text (UTF-8 characters, as the string type counts them).
LibString FirstCharacters(const char* text, int32 count) {
    LibString result(text);
    if (count > 0 && result.CharCount() > count)
        result.CharToIndex(count - 1);
    return result;
}

LibString TwoDigits(int value, bool pad) {
    LibString result;
    if (pad && value >= 0 && value < 10)
        result.Formatted("0%d", value);
    else
        result.Formatted("%d", value);
    return result;
}

// Where name occurs in text on its own, that is not as part of a longer name of any
// language ("１月" inside "１１月", "Juni" inside "Junio"); -1 when it does not.
template <size_t N>
long FindName(const std::string& text, const char* name,
              const char* const (&tables)[LibLocaleDate::LIB_LANGUAGE_COUNT][N]) {
    size_t nameLength = std::strlen(name);
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        bool inside = false;
        for (const auto& table : tables) {
            for (const char* other : table) {
                size_t otherLength = std::strlen(other);
                if (otherLength <= nameLength)
                    continue;
                size_t from = at + nameLength > otherLength ? at + nameLength - otherLength : 0;
                for (size_t start = from; start <= at && !inside; ++start)
                    inside = text.compare(start, otherLength, other) == 0;
            }
        }
        if (!inside)
            return static_cast<long>(at);
    }
    return -1;
}

// Replaces the first name of the French, German, Spanish and Japanese tables (in that
// order, first to last name within each) found in text by the English name.
template <size_t N>
void ReplaceFirst(std::string& text,
                  const char* const (&tables)[LibLocaleDate::LIB_LANGUAGE_COUNT][N]) {
    for (int language = 1; language < LibLocaleDate::LIB_LANGUAGE_COUNT; ++language) {
        for (size_t i = 0; i < N; ++i) {
            const char* name = tables[language][i];
            long at = FindName(text, name, tables);
            if (at >= 0) {
                text.replace(static_cast<size_t>(at), std::strlen(name), tables[0][i]);
                return;
            }
        }
    }
}

bool IsElement(char c) {
    return c == 'D' || c == 'M' || c == 'W' || c == 'Y';
}

} // namespace

LibLocaleDate::LibLocaleDate()
    : fWeekdayFormat(LIB_MEDIUM_FORMAT), fMonthFormat(LIB_MEDIUM_FORMAT),
      fDayFormat(LIB_SHORT_FORMAT), fYearFormat(LIB_LONG_FORMAT), fPad(false), fFormat("D M Y"),
      fLanguage(LIB_ENGLISH) {}

LibLocaleDate::LibLocaleDate(const LibLocaleDate& other)
    : fWeekdayFormat(other.fWeekdayFormat), fMonthFormat(other.fMonthFormat),
      fDayFormat(other.fDayFormat), fYearFormat(other.fYearFormat), fPad(other.fPad),
      fFormat(other.fFormat), fLanguage(other.fLanguage) {}

LibLocaleDate::~LibLocaleDate() {}

LibLocaleDate& LibLocaleDate::operator=(const LibLocaleDate& other) {
    fWeekdayFormat = other.fWeekdayFormat;
    fMonthFormat = other.fMonthFormat;
    fDayFormat = other.fDayFormat;
    fYearFormat = other.fYearFormat;
    fPad = other.fPad;
    fFormat = other.fFormat;
    fLanguage = other.fLanguage;
    return *this;
}

void LibLocaleDate::SetFormat(const char* format) {
    fFormat = format == nullptr ? "" : format;
}

void LibLocaleDate::SetLanguage(const LanguageType& language) {
    fLanguage = language;
}

void LibLocaleDate::SetWeekdayFormat(const ElementFormat& format) {
    fWeekdayFormat = format;
}

void LibLocaleDate::SetMonthFormat(const ElementFormat& format) {
    fMonthFormat = format;
}

void LibLocaleDate::SetDayFormat(const ElementFormat& format) {
    fDayFormat = format;
}

void LibLocaleDate::SetYearFormat(const ElementFormat& format) {
    fYearFormat = format;
}

void LibLocaleDate::PadWithZeros(const bool& pad) {
    fPad = pad;
}

LibString LibLocaleDate::Format(const LibDate& date) const {
    LibString out;
    bool dayDone = false, monthDone = false, weekdayDone = false, yearDone = false;
    const char* pattern = fFormat.String();
    for (const char* p = pattern == nullptr ? "" : pattern; *p != '\0'; ++p) {
        switch (*p) {
        case 'D':
            if (!dayDone)
                out.Concat(AddDay(date.GetDay()));
            dayDone = true;
            break;
        case 'M':
            if (!monthDone)
                out.Concat(AddMonth(date.GetMonth()));
            monthDone = true;
            break;
        case 'W':
            if (!weekdayDone)
                out.Concat(AddWeekDay(date));
            weekdayDone = true;
            break;
        case 'Y':
            if (!yearDone)
                out.Concat(AddYear(date.GetYear()));
            yearDone = true;
            break;
        default:
            out.Concat(*p);
            break;
        }
    }
    return out;
}

LibString LibLocaleDate::AddWeekDay(const LibWeekDay& weekday) const {
    const char* name = WeekdayName(fLanguage, weekday);
    int32 characters = 0; // whole
    if (fWeekdayFormat == LIB_SHORT_FORMAT)
        characters = KanjiLaunguage() ? 3 : 2;
    else if (fWeekdayFormat == LIB_MEDIUM_FORMAT && !KanjiLaunguage())
        characters = 3;
    return FirstCharacters(name, characters);
}

LibString LibLocaleDate::AddWeekDay(const LibDate& date) const {
    return AddWeekDay(date.DayOfWeek(0));
}

LibString LibLocaleDate::AddWeekDay(const LibWeekDay& weekday, LibString& out) const {
    out.Concat(AddWeekDay(weekday));
    return out;
}

LibString LibLocaleDate::AddMonth(const int& month) const {
    if (fMonthFormat == LIB_SHORT_FORMAT)
        return TwoDigits(month, fPad);
    const char* name = MonthName(fLanguage, month);
    bool shorten = fMonthFormat == LIB_MEDIUM_FORMAT && !KanjiLaunguage();
    return FirstCharacters(name, shorten ? 3 : 0);
}

LibString LibLocaleDate::AddDay(const int& day) const {
    return TwoDigits(day, fPad);
}

LibString LibLocaleDate::AddYear(const int& year) const {
    int value = fYearFormat == LIB_LONG_FORMAT ? year : year % 100;
    return TwoDigits(value, true);
}

bool LibLocaleDate::KanjiLaunguage() const {
    return fLanguage == LIB_JAPANESE;
}

void LibLocaleDate::AvailableLanguages(LibStringList& list) {
    for (const char* name : kLanguageNames)
        list.Add(name);
}

LibDate LibLocaleDate::GetDate(const char* text) const {
    LibDate date(true, true);
    int month = 0, day = 0, year = 0;
    if (text != nullptr && x_parsedate(text, month, day, year) != -1) {
        // The parser gives years up to 1900 counted from 1900 (a year taken from today,
        // or a two-digit year such as 99); larger ones are full years.
        int64 fullYear = year <= 1900 ? int64(year) + 1900 : year;
        date.SetDate(static_cast<unsigned>(day), static_cast<unsigned>(month),
                     static_cast<unsigned>(fullYear));
    }
    return date;
}

LibString LibLocaleDate::ConvertToEnglish(const char* text) const {
    if (text == nullptr)
        return LibString("");
    if (text[0] == '\0')
        return LibString(text);
    std::string result(text);
    ReplaceFirst(result, kMonths);
    ReplaceFirst(result, kWeekdays);
    return LibString(result.c_str());
}

bool LibLocaleDate::SwapText(LibString& text, const char* word, const char* with) {
    if (word == nullptr || word[0] == '\0' || text.String() == nullptr)
        return false;
    return text.Replace(word, with == nullptr ? "" : with) >= 0;
}

bool LibLocaleDate::RemoveFormat(const char& element) {
    if (!IsElement(element) || fFormat.String() == nullptr)
        return false;
    std::string pattern(fFormat.String());
    bool removed = false;
    for (size_t at = pattern.find(element); at != std::string::npos; at = pattern.find(element)) {
        size_t end = at + 1;
        while (end < pattern.size() && !IsElement(pattern[end]))
            ++end;
        if (end < pattern.size() || at == 0) {
            // Take the separator that follows it ("W, M D Y" becomes "M D Y").
            pattern.erase(at, end - at);
        } else {
            // The last element takes the separator before it ("D M Y" becomes "D M").
            size_t begin = at;
            while (begin > 0 && !IsElement(pattern[begin - 1]))
                --begin;
            pattern.erase(begin, pattern.size() - begin);
        }
        removed = true;
    }
    if (removed)
        fFormat = pattern.c_str();
    return removed;
}

status_t LibLocaleDate::Archive(BMessage& archive) const {
    status_t status = archive.AddInt32("weekday", fWeekdayFormat);
    if (status == B_OK)
        status = archive.AddInt32("month", fMonthFormat);
    if (status == B_OK)
        status = archive.AddInt32("day", fDayFormat);
    if (status == B_OK)
        status = archive.AddInt32("year", fYearFormat);
    if (status == B_OK)
        status = archive.AddBool("pad", fPad);
    if (status == B_OK)
        status = archive.AddString("format", fFormat.String() == nullptr ? "" : fFormat.String());
    if (status == B_OK)
        status = archive.AddInt32("language", fLanguage);
    return status;
}

status_t LibLocaleDate::Restore(const BMessage& archive) {
    int32 value = 0;
    if (archive.FindInt32("weekday", &value) == B_OK)
        fWeekdayFormat = value;
    if (archive.FindInt32("month", &value) == B_OK)
        fMonthFormat = value;
    if (archive.FindInt32("day", &value) == B_OK)
        fDayFormat = value;
    if (archive.FindInt32("year", &value) == B_OK)
        fYearFormat = value;
    bool pad = false;
    if (archive.FindBool("pad", &pad) == B_OK)
        fPad = pad;
    const char* format = nullptr;
    if (archive.FindString("format", &format) == B_OK && format != nullptr)
        fFormat = format;
    if (archive.FindInt32("language", &value) == B_OK)
        fLanguage = value;
    return B_OK;
}

void LibLocaleDate::PrintToStream() const {}

const char* LibLocaleDate::WeekdayName(const LanguageType& language, const int32& weekday) {
    if (weekday < 0 || weekday > 6)
        return "";
    return kWeekdays[TableIndex(language)][weekday];
}

const char* LibLocaleDate::MonthName(const LanguageType& language, const int32& month) {
    if (month < 1 || month > 12)
        return "";
    return kMonths[TableIndex(language)][month - 1];
}
