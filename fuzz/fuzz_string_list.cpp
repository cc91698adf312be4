// Feeds arbitrary bytes through the field iterator, the string list and its message
// exchange, and the string's cutting, editing, wildcard and UTF-8 operations, checking
// that every result stays inside the text and that the operations agree with each other.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lib/LibString.h"
#include "lib/LibStringIterator.h"
#include "lib/LibStringList.h"
#include "platform/app/Message.h"

namespace {

void Check(bool condition) {
    if (!condition)
        abort();
}

// Reads the control bytes at the front of the input, 0 once they are used up.
struct Controls {
    const uint8_t* data;
    size_t size;
    size_t used = 0;
    uint8_t Next() { return used < size ? data[used++] : 0; }
};

void ExerciseIterator(const std::string& text, char separator) {
    LibStringIterator iterator(text.c_str());
    LibString field;
    std::vector<std::string> fields;
    size_t calls = 0;
    while (iterator.GetNextField(separator, field)) {
        Check(++calls <= text.size() + 2);
        Check(field.Length() <= (int32)text.size());
        Check(iterator.Position() >= 0 && iterator.Position() <= (int32)text.size());
        fields.emplace_back(static_cast<const char*>(field));
    }
    for (size_t i = 0; i < fields.size() && i < 64; i++) {
        LibString indexed;
        Check(iterator.GetIndexField(separator, (int32)i, indexed));
        Check(fields[i] == static_cast<const char*>(indexed));
    }

    char set[3] = {separator, (char)(separator ^ 1), '\0'};
    iterator.Reset(0);
    calls = 0;
    while (iterator.GetNextField(set, field))
        Check(++calls <= text.size() + 1);
}

void ExerciseList(const std::string& text, char separator) {
    LibStringList list;
    LibStringIterator iterator(text.c_str());
    LibString field;
    while (iterator.GetNextField(separator, field))
        list.Add(field);
    list.Add(field);

    BMessage message('test');
    list.GetFrom(message, "strings");
    LibStringList copy;
    copy.Add("placeholder");
    copy.SetTo(message, "strings");
    Check(copy.Size() == list.Size());
    for (int32 i = 0; i < list.Size(); i++)
        Check(*copy.Get(i) == *list.Get(i));

    if (list.Size() > 0) {
        LibString first(*list.Get(0));
        Check(list.InList(first));
        Check(list.Find(first, true) != nullptr);
        int32 before = list.Size();
        list.LinkList<LibString>::Remove(&first, true);
        Check(list.Size() < before);
        Check(!list.InList(first));
    }
}

void ExerciseString(const std::string& text, Controls& controls) {
    int32 length = (int32)text.size();
    int32 a = (int32)(int8_t)controls.Next();
    int32 b = (int32)(int8_t)controls.Next();
    char c = (char)controls.Next();

    LibString s(text.c_str());
    Check(s.Length() == length);
    Check(s.Extract(a, b).Length() <= length);
    Check(s.Extract(c, (char)b, (a & 1) != 0).Length() <= length);

    LibString edited(s);
    edited.Insert(a, "<>");
    Check(edited.Length() == length + 2);
    edited.Remove(a, b);
    Check(edited.Length() <= length + 2);
    edited = s;
    edited.ToChar(c, a & 3, b);
    Check(edited.Length() <= length);
    edited = s;
    edited.FromChar(c, a & 3, b);
    Check(edited.Length() <= length);
    edited = s;
    edited.ToLast(c, a);
    edited.FromLast(c, b);
    edited.ShiftFrom(a, b);
    Check(edited.Length() <= length);

    // A text without wildcard bytes matches itself; every text matches "*".
    if (text.find_first_of("*?") == std::string::npos)
        Check(s.IsWildCard(text.c_str()));
    Check(s.IsWildCard("*"));
    std::string pattern = text.substr(0, (size_t)(a & 15));
    LibString::CompareWildCard(text.c_str(), pattern.c_str());

    // Walking the characters one by one covers every byte once.
    long long offset = 0;
    uint32 bytes = 0;
    int32 characters = 0;
    while (offset < length) {
        s.NextCharacter(text.c_str(), offset, bytes);
        Check(bytes >= 1);
        characters++;
    }
    Check(offset == length);
    Check(characters == s.CharCount());
    edited = s;
    int32 start = edited.CharToIndex(a);
    Check(start <= length);
    edited = s;
    edited.CharFromIndex(b);
    Check(edited.Length() <= length);

    std::string find = text.substr(0, (size_t)(b & 3));
    std::string with = text.substr(find.size(), (size_t)(a & 3));
    edited = s;
    edited.ReplaceAll(find.c_str(), with.c_str());
    edited = s;
    edited.RemoveAllWords(find.c_str());
    Check(edited.Length() <= length);
    edited = s;
    edited.ToProperCase();
    Check(edited.Length() == length);
    edited.StripPunct();
    edited.StripLeadingSpaces();
    edited.StripTrailingSpaces();
    edited.RemoveRepeatingChar(c);
    Check(edited.Length() <= length);
    LibString word;
    s.Word(a, word);
    Check(word.Length() <= length);

    int32 number = 0;
    double real = 0;
    s.GetInt32(number);
    s.GetFloat64(real);
    s.CompareSub(text.c_str(), (a & 1) != 0, b, a);
    LibStringToBytes(text.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Controls controls{data, size < 4 ? size : 4};
    char separator = (char)controls.Next();
    if (separator == '\0')
        separator = ':';
    // The rest is the text, up to its first NUL byte (strings hold no NUL bytes).
    std::string text(reinterpret_cast<const char*>(data) + controls.size, size - controls.size);
    text = text.c_str();

    ExerciseIterator(text, separator);
    ExerciseList(text, separator);
    ExerciseString(text, controls);
    return 0;
}
