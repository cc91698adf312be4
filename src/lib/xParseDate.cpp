#include "lib/xParseDate.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

// Longer texts are refused outright; no pattern can use more tokens than kMaxTokens.
const size_t kMaxTextLength = 32768;
const size_t kMaxTokens = 128;

enum TokenKind {
    kNone = -2, // past the last token
    kOther = -1,
    kUnknownWord = 0,
    kWeekday = 1,
    kNumber = 2,
    kSigned = 3,
    kColon = 4,
    kMeridian = 5,
    kStandardZone = 6,
    kDaylightZone = 7,
    kMonth = 8,
    kSecondUnit = 9,
    kMonthUnit = 10,
    kComma = 11,
    kDot = 12,
    kOrdinal = 13,
    kDash = 14,
    kPlus = 15,
    kDayWord = 16,
    kNegativeZero = 17
};

struct Token {
    int kind;
    int64 value;
};

struct Word {
    const char* name;
    int kind;
    int value;
};

// Matched by prefix for words of three or more letters ("DEC", "WEDS").
const Word kNames[] = {
    {"JANUARY", kMonth, 1},     {"FEBRUARY", kMonth, 2},   {"MARCH", kMonth, 3},
    {"APRIL", kMonth, 4},       {"MAY", kMonth, 5},        {"JUNE", kMonth, 6},
    {"JULY", kMonth, 7},        {"AUGUST", kMonth, 8},     {"SEPTEMBER", kMonth, 9},
    {"OCTOBER", kMonth, 10},    {"NOVEMBER", kMonth, 11},  {"DECEMBER", kMonth, 12},
    {"SUNDAY", kWeekday, 0},    {"MONDAY", kWeekday, 1},   {"TUESDAY", kWeekday, 2},
    {"WEDNESDAY", kWeekday, 3}, {"THURSDAY", kWeekday, 4}, {"FRIDAY", kWeekday, 5},
    {"SATURDAY", kWeekday, 6},
};

// Matched exactly; the first entry of a name wins, so later duplicates of a zone name
// never apply. Zones give minutes west of universal time (of standard time for the
// daylight ones).
const Word kWords[] = {
    {"ST", kOrdinal, 0},           {"ND", kOrdinal, 0},
    {"RD", kOrdinal, 0},           {"TH", kOrdinal, 0},
    {"AM", kMeridian, 0},          {"PM", kMeridian, 12},
    {"LAST", kSigned, -1},         {"THIS", kSigned, 0},
    {"NEXT", kSigned, 1},          {"TOMORROW", kDayWord, 1},
    {"TODAY", kDayWord, 0},        {"YESTERDAY", kDayWord, -1},
    {"YEAR", kMonthUnit, 12},      {"MONTH", kMonthUnit, 1},
    {"WEEK", kSecondUnit, 604800}, {"DAY", kSecondUnit, 86400},
    {"HOUR", kSecondUnit, 3600},   {"MINUTE", kSecondUnit, 60},
    {"MIN", kSecondUnit, 60},      {"SECOND", kSecondUnit, 1},
    {"SEC", kSecondUnit, 1},       {"GMT", kStandardZone, 0},
    {"UT", kStandardZone, 0},      {"UTC", kStandardZone, 0},
    {"CUT", kStandardZone, 0},     {"Z", kStandardZone, 0},
    {"WET", kStandardZone, 0},     {"BST", kDaylightZone, 0},
    {"NST", kStandardZone, 210},   {"NDT", kDaylightZone, 210},
    {"AST", kStandardZone, 240},   {"AST4", kStandardZone, 240},
    {"ADT", kDaylightZone, 240},   {"AST4ADT", kDaylightZone, 240},
    {"EST", kStandardZone, 300},   {"EST5", kStandardZone, 300},
    {"EDT", kDaylightZone, 300},   {"EST5EDT", kDaylightZone, 300},
    {"CST", kStandardZone, 360},   {"CST6", kStandardZone, 360},
    {"CDT", kDaylightZone, 360},   {"CST6CDT", kDaylightZone, 360},
    {"MST", kStandardZone, 420},   {"MST7", kStandardZone, 420},
    {"MDT", kDaylightZone, 420},   {"MST7MDT", kDaylightZone, 420},
    {"PST", kStandardZone, 480},   {"PST8", kStandardZone, 480},
    {"PDT", kDaylightZone, 480},   {"PST8PDT", kDaylightZone, 480},
    {"YST", kStandardZone, 560},   {"YST9", kStandardZone, 560},
    {"YDT", kDaylightZone, 560},   {"YST9YDT", kDaylightZone, 560},
    {"AKST", kStandardZone, 560},  {"AKDT", kDaylightZone, 560},
    {"HST", kStandardZone, 600},   {"HST10", kStandardZone, 600},
    {"HAST", kStandardZone, 600},  {"HADT", kDaylightZone, 600},
    {"CES", kDaylightZone, -60},   {"CEST", kDaylightZone, -60},
    {"MEZ", kStandardZone, -60},   {"MEZT", kDaylightZone, -60},
    {"CET", kStandardZone, -60},   {"MET", kStandardZone, -60},
    {"EET", kStandardZone, -120},  {"MSK", kStandardZone, -180},
    {"MSD", kDaylightZone, -180},  {"WAST", kStandardZone, -480},
    {"WADT", kDaylightZone, -480}, {"HKT", kStandardZone, -480},
    {"CCT", kStandardZone, -480},  {"JST", kStandardZone, -560},
    {"KST", kStandardZone, -560},  {"KDT", kStandardZone, -560},
    {"CAST", kStandardZone, -590}, {"CADT", kDaylightZone, -590},
    {"EAST", kStandardZone, -600}, {"EADT", kDaylightZone, -600},
    {"NZST", kStandardZone, -720}, {"NZDT", kDaylightZone, -720},
    {"FST", kStandardZone, 120},   {"FDT", kDaylightZone, 120},
    {"BST", kStandardZone, 180},   {"EST", kStandardZone, 180},
    {"EDT", kDaylightZone, 180},   {"WST", kStandardZone, 240},
    {"WDT", kDaylightZone, 240},   {"CST", kStandardZone, 300},
    {"CDT", kDaylightZone, 300},   {"AST", kStandardZone, 300},
    {"ADT", kDaylightZone, 300},   {"CST", kStandardZone, 300},
    {"CDT", kDaylightZone, 300},   {"EST", kStandardZone, 360},
    {"EDT", kDaylightZone, 360},   {"SST", kStandardZone, 660},
    {"IST", kStandardZone, -120},  {"IDT", kDaylightZone, -120},
    {"IDT", kDaylightZone, -210},  {"IST", kStandardZone, -210},
    {"CST", kStandardZone, -480},  {"CDT", kDaylightZone, -480},
    {"SST", kStandardZone, -480},  {"GST", kStandardZone, 180},
    {"WAT", kStandardZone, -60},   {"AT", kStandardZone, 120},
    {"GST", kStandardZone, -600},  {"NFT", kStandardZone, 210},
    {"IDLW", kStandardZone, 720},  {"MEWT", kStandardZone, -60},
    {"MEST", kDaylightZone, -60},  {"SWT", kStandardZone, -60},
    {"SST", kDaylightZone, -60},   {"FWT", kStandardZone, -60},
    {"FST", kDaylightZone, -60},   {"BT", kStandardZone, -180},
    {"IT", kStandardZone, -210},   {"ZP4", kStandardZone, -240},
    {"ZP5", kStandardZone, -300},  {"IST", kStandardZone, -330},
    {"ZP6", kStandardZone, -360},  {"NST", kStandardZone, -420},
    {"SST", kStandardZone, -420},  {"JT", kStandardZone, -450},
    {"NZT", kStandardZone, -720},  {"IDLE", kStandardZone, -720},
    {"CAT", kStandardZone, 600},   {"NT", kStandardZone, 660},
    {"AHST", kStandardZone, 600},  {"HDT", kDaylightZone, 600},
    {"DST", kDaylightZone, -60},   {"DDST", kDaylightZone, -60},
};

// Letters: A weekday, B month word or number, m month number, d day, H/I hour, M minute,
// S second, p meridian, Y/y year, Z zone, T relative expression; "[x]" is optional.
const char* const kPatterns[] = {
    "[A][,] B d[,] H:M:S [p] Y[,] [Z]",
    "[A][,] B d[,] [Y][,] H:M:S [p] [Z]",
    "[A][,] B d[,] [Y][,] H:M [p][,] [Z]",
    "[A][,] B d[,] [Y][,] H [p][,] [Z]",
    "[A][,] B d[,] H:M [p][,] [Y] [Z]",
    "[A][,] d B[,] [Y][,] H:M [p][,] [Z]",
    "[A][,] d B[,] [Y][,] H:M:S [p][,] [Z]",
    "[A][,] d B[,] H:M:S [Y][,] [p][,] [Z]",
    "[A][,] d B[,] H:M [Y][,] [p][,] [Z]",
    "d.m.y H:M:S [p] [Z]",
    "d.m.y H:M [p] [Z]",
    "d.m.y",
    "d.B.y",
    "d.B.Y",
    "[A][,] m-d-y[,] [H][:][M] [p]",
    "[A][,] m-d[,] H:M [p]",
    "[A][,] m-d[,] H[p]",
    "[A][,] m-d",
    "[A][,] B d[,] Y",
    "[A][,] H:M [p]",
    "[A][,] H [p]",
    "H:M [p][,] [A]",
    "H [p][,] [A]",
    "[A][,] B d[,] H:M:S [p] [Z] [Y]",
    "[A][,] B d[,] H:M [p] [Z] [Y]",
    "[A][,] d B [,] H:M:S [p] [Z] [Y]",
    "[A][,] d B [,] H:M [p] [Z] [Y]",
    "[A][,] d-B-Y H:M:S [p] [Z]",
    "[A][,] d-B-Y H:M [p] [Z]",
    "d B Y H:M:S [Z]",
    "d B Y H:M [Z]",
    "y-m-d",
    "d-m-y",
    "d-m-Y",
    "d-B-y",
    "d-B-Y",
    "y-m-d H:M:S [p] [Z]",
    "m-d-y H[p]",
    "m-d-y H:M[p]",
    "m-d-y H:M:S[p]",
    "y m d",
    "Y m d",
    "Y B d",
    "H[p] m-d-y",
    "H:M[p] m-d-y",
    "H:M:S[p] m-d-y",
    "A[,] H:M:S [p] [Z]",
    "A[,] H:M [p] [Z]",
    "H:M:S [p] [Z]",
    "H:M [p] [Z]",
    "A[,] [B] [d] [Y]",
    "A[,] [d] [B] [Y]",
    "B d[,][Y] H[p][,] [Z]",
    "B d[,] H[p]",
    "B d [,] H:M [p]",
    "d B [,][Y] H [p] [Z]",
    "d B [,] H:M [p]",
    "B d [,][Y]",
    "B d [,] H:M [p][,] [Y]",
    "B d [,] H [p][,] [Y]",
    "d B [,][Y]",
    "H[p] [,] B d",
    "H:M[p] [,] B d",
    "T [T][T][T][T][T]",
    "T H:M:S [p]",
    "T H:M [p]",
    "T H [p]",
    "H:M [p] T",
    "H [p] T",
    "H [p]",
};

const int64 kUnset = INT64_MIN;

// The reference moment as local broken-down time.
struct Now {
    int64 second, minute, hour, day, month, year, weekday; // year: since 1900
};

struct Fields {
    int64 day = kUnset, month = kUnset, year = kUnset, weekday = kUnset;
    int64 hour = kUnset, minute = kUnset, second = kUnset, meridian = kUnset;
    int64 zone = kUnset, offset = kUnset;
    int64 relativeSeconds = 0;
    int64 relativeMonths = 0;
    bool relative = false;
    bool nextWeekday = false; // "next <weekday>" or "+1 <weekday>"
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// Reads a run of digits; values beyond the 32-bit range saturate.
int64 ReadNumber(const char*& p) {
    int64 value = 0;
    while (IsDigit(*p)) {
        if (value <= INT32_MAX)
            value = value * 10 + (*p - '0');
        ++p;
    }
    return value > INT32_MAX ? INT32_MAX : value;
}

Token ClassifyWord(std::string word) {
    if (word[0] == '.')
        return {kDot, 0};
    std::string stripped;
    for (char c : word)
        if (c != '.')
            stripped += c;
    word = stripped;
    // Plurals: "DAYS", "HOURS", "WEDS".
    if (!word.empty() && word.back() == 'S' && word != "THIS" && word != "CES")
        word.pop_back();
    if (word.size() >= 3) {
        for (const Word& entry : kNames)
            if (std::strncmp(entry.name, word.c_str(), word.size()) == 0)
                return {entry.kind, entry.value};
    }
    for (const Word& entry : kWords)
        if (word == entry.name)
            return {entry.kind, entry.value};
    return {kUnknownWord, 0};
}

// Skips a comment whose "(" is at p; false when it is not closed properly.
bool SkipComment(const char*& p) {
    int depth = 1;
    while (depth > 0) {
        char next = p[1];
        if (next == '\0' || next == '\r')
            return false;
        ++p;
        if (*p == '\\') {
            if (p[1] == '\0')
                return false;
            ++p;
        } else if (*p == '(') {
            ++depth;
        } else if (*p == ')') {
            --depth;
        }
    }
    ++p;
    return true;
}

bool Tokenize(const char* text, std::vector<Token>& tokens) {
    const char* p = text;
    while (*p != '\0') {
        if (tokens.size() > kMaxTokens)
            return false;
        char c = *p;
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++p;
        } else if (c == '(') {
            if (!SkipComment(p))
                return false;
        } else if (c == '+' || c == '-') {
            int64 sign = c == '-' ? -1 : 1;
            ++p;
            if (*p == '+' || *p == '-')
                ++p;
            if (IsDigit(*p)) {
                int64 value = ReadNumber(p);
                if (sign < 0 && value == 0)
                    tokens.push_back({kNegativeZero, 0});
                else
                    tokens.push_back({kSigned, sign * value});
            } else {
                tokens.push_back({sign > 0 ? kPlus : kDash, 0});
            }
        } else if (IsDigit(c)) {
            tokens.push_back({kNumber, ReadNumber(p)});
        } else if (IsLetter(c) || c == '.') {
            std::string word;
            while (IsLetter(*p) || *p == '.') {
                word += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
                ++p;
            }
            tokens.push_back(ClassifyWord(word));
        } else {
            if (c == ':')
                tokens.push_back({kColon, 0});
            else if (c == '/')
                tokens.push_back({kDash, 0});
            else if (c == ',')
                tokens.push_back({kComma, 0});
            else
                tokens.push_back({kOther, static_cast<unsigned char>(c)});
            ++p;
        }
    }
    return tokens.size() <= kMaxTokens;
}

bool IsLeap(int64 year) {
    // year as the parser keeps it: years since 1900 for anything up to 1900.
    if (year > 1752)
        return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return year % 4 == 0;
}

int64 ReducedYear(int64 year) {
    return year > 1900 ? year - 1900 : year;
}

int64 MonthLength(int64 month, int64 year) {
    static const int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 31;
    if (month == 2 && IsLeap(ReducedYear(year)))
        return 29;
    return kLengths[month - 1];
}

class PatternMatcher {
public:
    PatternMatcher(const std::vector<Token>& tokens, const Now& now) : fTokens(tokens), fNow(now) {}

    bool Match(const char* pattern, Fields& fields) {
        fPos = 0;
        fFields = Fields();
        for (const char* p = pattern; *p != '\0'; ++p) {
            if (*p == ' ')
                continue;
            if (*p == '[') {
                // An optional element: skipped when it does not accept the token.
                Accept(p[1]);
                while (*p != ']' && *p != '\0')
                    ++p;
                if (*p == '\0')
                    break;
                continue;
            }
            if (!Accept(*p))
                return false;
        }
        if (fPos != fTokens.size())
            return false;
        Complete();
        if (!IsValid())
            return false;
        ApplyRelative();
        fields = fFields;
        return true;
    }

private:
    int Kind(size_t index) const {
        return index < fTokens.size() ? fTokens[index].kind : static_cast<int>(kNone);
    }
    int64 Value(size_t index) const { return index < fTokens.size() ? fTokens[index].value : 0; }

    bool TakeNumber(int64& field) {
        if (Kind(fPos) != kNumber)
            return false;
        field = Value(fPos++);
        return true;
    }

    bool Accept(char letter) {
        Fields& f = fFields;
        switch (letter) {
        case 'A':
            if (Kind(fPos) != kWeekday)
                return false;
            f.weekday = Value(fPos++);
            return true;
        case 'B':
            if (Kind(fPos) != kMonth && Kind(fPos) != kNumber)
                return false;
            f.month = Value(fPos++);
            return true;
        case 'm':
            return TakeNumber(f.month);
        case 'd':
            if (!TakeNumber(f.day))
                return false;
            if (Kind(fPos) == kOrdinal)
                ++fPos;
            ZeroUnsetTime();
            return true;
        case 'H':
        case 'I':
            return TakeNumber(f.hour);
        case 'M':
            return TakeNumber(f.minute);
        case 'S':
            return TakeNumber(f.second);
        case 'p':
            if (Kind(fPos) != kMeridian)
                return false;
            f.meridian = Value(fPos++);
            return true;
        case 'Y':
        case 'y':
            if (!TakeNumber(f.year))
                return false;
            if (f.year >= 0 && f.year <= 37)
                f.year += 2000;
            return true;
        case ',':
            return TakeKind(kComma);
        case ':':
            return TakeKind(kColon);
        case '.':
            return TakeKind(kDot);
        case '-':
            if (Kind(fPos) == kDash) {
                ++fPos;
                return true;
            }
            if ((Kind(fPos) == kSigned || Kind(fPos) == kNegativeZero) && Value(fPos) <= 0) {
                // "12-25" reads as 12 and 25: the sign was the separator.
                fTokens[fPos] = {kNumber, -Value(fPos)};
                return true;
            }
            return false;
        case '+':
            if (Kind(fPos) == kPlus) {
                ++fPos;
                return true;
            }
            if (Kind(fPos) == kSigned && Value(fPos) >= 0) {
                fTokens[fPos] = {kNumber, Value(fPos)};
                return true;
            }
            return false;
        case 'Z':
            return AcceptZone();
        case 'T':
            return AcceptRelative();
        default:
            return false;
        }
    }

    bool TakeKind(int kind) {
        if (Kind(fPos) != kind)
            return false;
        ++fPos;
        return true;
    }

    static bool IsNumeric(int kind) {
        return kind == kNumber || kind == kSigned || kind == kNegativeZero;
    }

    bool AcceptZone() {
        Fields& f = fFields;
        int kind = Kind(fPos);
        if (kind == kDaylightZone) {
            f.zone = Value(fPos++) - 60;
        } else if (kind == kStandardZone) {
            f.zone = Value(fPos++);
            if (Kind(fPos) == kDaylightZone)
                f.zone += Value(fPos++);
        } else if (!IsNumeric(kind)) {
            return false;
        }
        if (IsNumeric(Kind(fPos))) {
            int64 value = Value(fPos++);
            if (value >= -12 && value <= 12)
                f.offset = value * 60;
            else
                f.offset = value - (value / 100) * 40; // HHMM: +0130 is 90 minutes
        }
        return true;
    }

    void ZeroUnsetTime() {
        Fields& f = fFields;
        if (f.hour == kUnset)
            f.hour = 0;
        if (f.minute == kUnset)
            f.minute = 0;
        if (f.second == kUnset)
            f.second = 0;
    }

    bool AcceptRelative() {
        Fields& f = fFields;
        int t = Kind(fPos);
        int n = Kind(fPos + 1);
        int64 value = Value(fPos);
        ZeroUnsetTime();

        if (t == kDayWord) {
            f.relativeSeconds += value * 86400;
            fPos += 1;
        } else if (IsNumeric(t) && n == kSecondUnit) {
            f.hour = fNow.hour;
            f.minute = fNow.minute;
            f.second = fNow.second;
            int64 amount = value * Value(fPos + 1);
            // "-2 hours 30 minutes" means two and a half hours back.
            f.relativeSeconds += f.relativeSeconds < 0 ? -amount : amount;
            f.meridian = kUnset;
            fPos += 2;
        } else if (IsNumeric(t) && n == kMonthUnit) {
            int64 amount = value * Value(fPos + 1);
            bool backwards = f.relativeMonths < 0 || f.relativeSeconds < 0;
            f.relativeMonths += backwards ? -amount : amount;
            fPos += 2;
        } else if ((t == kSigned || t == kNegativeZero || t == kPlus || t == kDash) &&
                   n == kWeekday) {
            RelativeWeekday(t, t == kSigned || t == kNegativeZero ? value : 0, Value(fPos + 1));
            fPos += 2;
        } else if ((t == kSigned || t == kNegativeZero) && n == kColon &&
                   Kind(fPos + 2) == kNumber) {
            if (f.hour == 0)
                f.hour = fNow.hour;
            if (f.minute == 0)
                f.minute = fNow.minute;
            if (f.second == 0)
                f.second = fNow.second;
            bool back = value < 0 || t == kNegativeZero;
            int64 minutes = Value(fPos + 2);
            f.relativeSeconds = value * 3600 + (back ? -minutes : minutes) * 60;
            fPos += 3;
            if (Kind(fPos) == kColon && Kind(fPos + 1) == kNumber) {
                int64 seconds = Value(fPos + 1);
                f.relativeSeconds += back ? -seconds : seconds;
                fPos += 2;
            }
        } else {
            return false;
        }
        f.relative = true;
        return true;
    }

    void RelativeWeekday(int kind, int64 value, int64 weekday) {
        Fields& f = fFields;
        const int64 today = fNow.weekday;
        const int64 day = 86400;
        int64 weeks = kind == kSigned ? value : 0;
        if (weekday != today) {
            if (kind == kNegativeZero || (kind == kSigned && value > 0))
                weeks -= 1;
        } else {
            if (kind == kPlus)
                weeks = 1;
            else if (kind == kDash)
                weeks = -1;
        }
        f.relativeSeconds += weeks * 604800;
        if (value == -1) {
            // "last <weekday>": that day of the previous week.
            if (weekday < today)
                f.relativeSeconds -= (today - weekday) * day;
            else if (weekday > today)
                f.relativeSeconds += (weekday - today) * day;
        } else if (value == 0) {
            if (today < weekday)
                f.relativeSeconds += (weekday - today) * day;
            else
                f.relativeSeconds += (7 - (today - weekday)) * day;
        } else if (value == 1) {
            if (weekday < today)
                f.relativeSeconds += (7 - (today - weekday)) * day;
            else if (weekday > today)
                f.relativeSeconds += (weekday - today + 7) * day;
            f.nextWeekday = true;
        }
    }

    void Complete() {
        Fields& f = fFields;
        if (f.relative) {
            if (f.hour != kUnset) {
                if (f.minute == kUnset)
                    f.minute = 0;
                if (f.second == kUnset)
                    f.second = 0;
            } else {
                f.hour = fNow.hour;
                f.meridian = kUnset;
                if (f.minute != kUnset) {
                    f.second = 0;
                } else {
                    f.minute = fNow.minute;
                    if (f.second == kUnset)
                        f.second = fNow.second;
                }
            }
        } else {
            ZeroUnsetTime();
        }
        if (f.month == kUnset)
            f.month = fNow.month;
        if (f.year == kUnset)
            f.year = fNow.year;
        if (f.weekday == kUnset)
            f.weekday = fNow.weekday;
        if (f.day == kUnset) {
            f.day = f.weekday - fNow.weekday + fNow.day;
            if (f.relativeSeconds == 0 && (f.nextWeekday || f.weekday < fNow.weekday))
                f.day += 7;
            // A weekday past the end of the month falls in the next one (and after
            // December, in the next year).
            int64 length = MonthLength(f.month, f.year);
            if (f.month >= 1 && f.month <= 12 && f.day > length) {
                f.day -= length;
                if (++f.month > 12) {
                    f.month = 1;
                    ++f.year;
                }
            }
        }
    }

    bool IsValid() const {
        const Fields& f = fFields;
        if (f.meridian != kUnset && f.hour > 12)
            return false;
        if (f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute >= 60 || f.second < 0 ||
            f.second >= 60)
            return false;
        if (f.month < 1 || f.month > 12)
            return false;
        if (ReducedYear(f.year) < -1)
            return false;
        // There is no day 0 ("Dec 0" is refused rather than read as 30 November).
        return f.day >= 1 && f.day <= MonthLength(f.month, f.year);
    }

    void ApplyRelative() {
        Fields& f = fFields;
        f.second += f.relativeSeconds;
        f.month += f.relativeMonths;
        if (f.month < 1 || f.month > 12) {
            // Whole years, rounding toward the earlier one for negative amounts.
            int64 shift = (f.month - 1) / 12;
            if ((f.month - 1) % 12 < 0)
                --shift;
            f.month -= shift * 12;
            f.year += shift;
        }
    }

    std::vector<Token> fTokens;
    const Now& fNow;
    size_t fPos = 0;
    Fields fFields;
};

int64 ReferenceTime(int32 now) {
    return now == -1 ? static_cast<int64>(static_cast<int32>(time(nullptr))) : now;
}

Now BrokenDown(int64 reference) {
    time_t moment = static_cast<time_t>(reference);
    tm local = {};
    localtime_r(&moment, &local);
    return {local.tm_sec,     local.tm_min,  local.tm_hour, local.tm_mday,
            local.tm_mon + 1, local.tm_year, local.tm_wday};
}

bool Parse(const char* text, int32 reference, Fields& fields) {
    if (text == nullptr || std::strlen(text) > kMaxTextLength)
        return false;
    std::vector<Token> tokens;
    if (!Tokenize(text, tokens))
        return false;
    Now now = BrokenDown(ReferenceTime(reference));
    for (const char* pattern : kPatterns) {
        PatternMatcher matcher(tokens, now);
        if (matcher.Match(pattern, fields))
            return true;
    }
    return false;
}

int64 CalendarTime(const Fields& f) {
    static const int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int64 year = ReducedYear(f.year);
    int64 days = year * 365 + (year + 3) / 4 - 25569;
    for (int64 month = 1; month < f.month && month <= 12; ++month)
        days += month == 2 && year % 4 == 0 ? 29 : kLengths[month - 1];
    days += f.day;

    int64 hour = f.hour;
    if (f.meridian == 0 && hour == 12)
        hour = 0;
    else if (f.meridian == 12 && hour != 12)
        hour += 12;
    int64 t = days * 86400 + hour * 3600 + f.minute * 60 + f.second;

    if (f.zone != kUnset || f.offset != kUnset) {
        int64 zone = f.zone == kUnset ? 0 : f.zone;
        int64 offset = f.offset == kUnset ? 0 : f.offset;
        t += (zone - offset) * 60;
    } else {
        // Local time: move by the standard offset, then one hour back in summer time.
        tzset();
        t += timezone;
        time_t moment = static_cast<time_t>(t);
        tm local = {};
        if (localtime_r(&moment, &local) != nullptr && local.tm_isdst > 0)
            t -= 3600;
    }
    return t;
}

} // namespace

int x_parsedate_etc(const char* text, int32 now, int* flags, int& day, int& month, int& year,
                    int& hour, int& minute, int32& second, int& meridian, int& zone, int& offset) {
    if (flags != nullptr)
        *flags = 0;
    Fields f;
    if (!Parse(text, now, f))
        return -1;
    if (flags != nullptr && f.relative)
        *flags |= X_PARSEDATE_RELATIVE_TIME;
    day = static_cast<int>(f.day);
    month = static_cast<int>(f.month);
    year = static_cast<int>(f.year);
    hour = static_cast<int>(f.hour);
    minute = static_cast<int>(f.minute);
    second = static_cast<int32>(f.second);
    meridian = f.meridian == kUnset ? -1 : static_cast<int>(f.meridian);
    zone = f.zone == kUnset ? X_PARSEDATE_NO_ZONE : static_cast<int>(f.zone);
    offset = f.offset == kUnset ? X_PARSEDATE_NO_ZONE : static_cast<int>(f.offset);
    return 1;
}

int32 x_parsedate(const char* text, int32 now) {
    Fields f;
    if (!Parse(text, now, f))
        return -1;
    // Calendar times are 32-bit, as they always were: later moments wrap.
    return static_cast<int32>(CalendarTime(f));
}

int x_parsedate(const char* text, int& month, int& day, int& year) {
    Fields f;
    if (!Parse(text, -1, f))
        return -1;
    int32 result = static_cast<int32>(CalendarTime(f));
    if (result != -1) {
        month = static_cast<int>(f.month);
        day = static_cast<int>(f.day);
        year = static_cast<int>(f.year);
    }
    return result;
}
