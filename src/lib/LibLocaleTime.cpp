#include "lib/LibLocaleTime.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/app/Message.h"

namespace {

void AppendTwoDigits(LibString& out, int32 value) {
    LibString digits;
    if (value >= 0 && value < 10)
        digits.Formatted("0%d", int(value));
    else
        digits.Formatted("%d", int(value));
    out.Concat(digits);
}

// Upper-cased text without spaces, for comparing suffixes.
std::string Folded(const char* text) {
    std::string result;
    for (const char* p = text == nullptr ? "" : text; *p != '\0'; ++p)
        if (!std::isspace(static_cast<unsigned char>(*p)))
            result += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return result;
}

const char* TextOf(const LibString& text) {
    return text.String() == nullptr ? "" : text.String();
}

} // namespace

LibLocaleTime::LibLocaleTime()
    : fShowSeconds(false), fShowMinutes(true), fSeparator(':'), f24Clock(false), fShowSuffix(true),
      f24Suffix(""), fBeforeNoonSuffix(" AM"), fAfterNoonSuffix(" PM") {}

LibLocaleTime::LibLocaleTime(const LibLocaleTime& other)
    : fShowSeconds(other.fShowSeconds), fShowMinutes(other.fShowMinutes),
      fSeparator(other.fSeparator), f24Clock(other.f24Clock), fShowSuffix(other.fShowSuffix),
      f24Suffix(other.f24Suffix), fBeforeNoonSuffix(other.fBeforeNoonSuffix),
      fAfterNoonSuffix(other.fAfterNoonSuffix) {}

LibLocaleTime::~LibLocaleTime() {}

LibLocaleTime& LibLocaleTime::operator=(const LibLocaleTime& other) {
    fShowSeconds = other.fShowSeconds;
    fShowMinutes = other.fShowMinutes;
    fSeparator = other.fSeparator;
    f24Clock = other.f24Clock;
    fShowSuffix = other.fShowSuffix;
    f24Suffix = other.f24Suffix;
    fBeforeNoonSuffix = other.fBeforeNoonSuffix;
    fAfterNoonSuffix = other.fAfterNoonSuffix;
    return *this;
}

void LibLocaleTime::SetShowSeconds(const bool& show) {
    fShowSeconds = show;
}
void LibLocaleTime::SetShowMinutes(const bool& show) {
    fShowMinutes = show;
}
void LibLocaleTime::Set24Clock(const bool& on) {
    f24Clock = on;
}
void LibLocaleTime::SetShowSuffix(const bool& show) {
    fShowSuffix = show;
}
void LibLocaleTime::SetSeperator(const char& separator) {
    fSeparator = separator;
}

void LibLocaleTime::Set24ClockSuffix(const char* suffix) {
    f24Suffix = suffix == nullptr ? "" : suffix;
}

void LibLocaleTime::Set12ClockBeforeNoonSuffix(const char* suffix) {
    fBeforeNoonSuffix = suffix == nullptr ? "" : suffix;
}

void LibLocaleTime::Set12ClockAfterNoonSuffix(const char* suffix) {
    fAfterNoonSuffix = suffix == nullptr ? "" : suffix;
}

LibString LibLocaleTime::Format(const LibTime& time) const {
    const int32 hours = time.GetHours();
    LibString out;
    if (f24Clock) {
        AppendTwoDigits(out, hours);
    } else {
        int32 shown = hours;
        if (shown > 12)
            shown -= 12;
        if (shown < 1)
            shown = 12;
        out.Formatted("%d", int(shown));
    }
    if (fShowMinutes) {
        if (fSeparator != '\0')
            out.Concat(fSeparator);
        AppendTwoDigits(out, time.GetMinutes());
    }
    if (fShowSeconds) {
        if (fSeparator != '\0')
            out.Concat(fSeparator);
        AppendTwoDigits(out, time.GetSeconds());
    }
    if (fShowSuffix) {
        if (f24Clock)
            out.Concat(TextOf(f24Suffix));
        else
            out.Concat(TextOf(hours > 11 ? fAfterNoonSuffix : fBeforeNoonSuffix));
    }
    return out;
}

bool LibLocaleTime::Has12ClockSuffix() const {
    if (TextOf(fBeforeNoonSuffix)[0] != '\0')
        return true;
    return TextOf(fAfterNoonSuffix)[0] != '\0';
}

LibTime LibLocaleTime::GetTime(const char* text) const {
    LibTime result(0, 0, 0);
    if (text == nullptr)
        return result;

    int32 groups[3] = {0, 0, 0};
    int count = 0;
    for (const char* p = text; *p != '\0' && count < 3;) {
        if (!std::isdigit(static_cast<unsigned char>(*p))) {
            ++p;
            continue;
        }
        int64 value = 0;
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            if (value < 1000000)
                value = value * 10 + (*p - '0');
            ++p;
        }
        groups[count++] = static_cast<int32>(value);
    }

    std::string folded = Folded(text);
    std::string after = Folded(TextOf(fAfterNoonSuffix));
    std::string before = Folded(TextOf(fBeforeNoonSuffix));
    bool afterNoon = (!after.empty() && folded.find(after) != std::string::npos) ||
                     (!after.empty() && folded.find(after[0]) != std::string::npos) ||
                     folded.find('P') != std::string::npos;
    bool beforeNoon =
        !afterNoon && ((!before.empty() && folded.find(before) != std::string::npos) ||
                       folded.find('A') != std::string::npos);
    int32 hours = groups[0];
    if (afterNoon && hours < 12)
        hours += 12;
    else if (beforeNoon && hours == 12)
        hours = 0;
    result.SetTime(hours, groups[1], groups[2]);
    return result;
}

status_t LibLocaleTime::Archive(BMessage& archive) const {
    status_t status = archive.AddBool("show_seconds", fShowSeconds);
    if (status == B_OK)
        status = archive.AddBool("show_minutes", fShowMinutes);
    if (status == B_OK)
        status = archive.AddInt16("seperator", fSeparator);
    if (status == B_OK)
        status = archive.AddBool("24_hour_clock", f24Clock);
    if (status == B_OK)
        status = archive.AddBool("show_suffix", fShowSuffix);
    if (status == B_OK)
        status = archive.AddString("24_hour_suffix", TextOf(f24Suffix));
    if (status == B_OK)
        status = archive.AddString("12_hour_before_noon_suffix", TextOf(fBeforeNoonSuffix));
    if (status == B_OK)
        status = archive.AddString("12_hour_after_noon_suffix", TextOf(fAfterNoonSuffix));
    return status;
}

status_t LibLocaleTime::Restore(const BMessage& archive) {
    auto findBool = [&archive](const char* name) {
        bool value = false;
        return archive.FindBool(name, &value) == B_OK ? value : false;
    };
    auto findString = [&archive](const char* name) {
        const char* value = nullptr;
        return archive.FindString(name, &value) == B_OK && value != nullptr ? value : "";
    };
    fShowSeconds = findBool("show_seconds");
    fShowMinutes = findBool("show_minutes");
    int16 separator = 0;
    if (archive.FindInt16("seperator", &separator) != B_OK)
        separator = 0;
    fSeparator = static_cast<char>(separator);
    f24Clock = findBool("24_hour_clock");
    fShowSuffix = findBool("show_suffix");
    f24Suffix = findString("24_hour_suffix");
    fBeforeNoonSuffix = findString("12_hour_before_noon_suffix");
    fAfterNoonSuffix = findString("12_hour_after_noon_suffix");
    return B_OK;
}

void LibLocaleTime::PrintToStream() const {
    fprintf(stderr, "show sec %d, min %d\n", fShowSeconds ? 1 : 0, fShowMinutes ? 1 : 0);
}
