#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/app/Message.h"
#include "platform/interface/Point.h"
#include "platform/interface/Rect.h"

namespace {

BMessage EveryType() {
    BMessage message('TEST');
    message.AddString("string", "first");
    message.AddString("string", std::string("second"));
    message.AddBool("bool", true);
    message.AddBool("bool", false);
    message.AddInt8("int8", -8);
    message.AddInt16("int16", -1600);
    message.AddInt32("int32", 32);
    message.AddInt32("int32", -2147483647 - 1);
    message.AddInt64("int64", -(1LL << 50));
    message.AddFloat("float", 1.25f);
    message.AddDouble("double", -1e300);
    message.AddRect("rect", BRect(1, 2, 30, 40));
    message.AddPoint("point", BPoint(-5, 6.5f));
    message.AddData("raw", B_RAW_TYPE, "\x00\x01\x02", 3);
    message.AddData("any", B_ANY_TYPE, "anything", 8, false);
    BMessage inner('INNR');
    inner.AddString("leaf", "value");
    message.AddMessage("message", &inner);
    return message;
}

void ExpectEveryType(const BMessage& message) {
    EXPECT_EQ(message.what, static_cast<uint32>('TEST'));
    const char* text = nullptr;
    ASSERT_EQ(message.FindString("string", 1, &text), B_OK);
    EXPECT_STREQ(text, "second");
    std::string copy;
    ASSERT_EQ(message.FindString("string", &copy), B_OK);
    EXPECT_EQ(copy, "first");
    bool flag = true;
    ASSERT_EQ(message.FindBool("bool", 1, &flag), B_OK);
    EXPECT_FALSE(flag);
    int8 i8 = 0;
    int16 i16 = 0;
    int32 i32 = 0;
    int64 i64 = 0;
    ASSERT_EQ(message.FindInt8("int8", &i8), B_OK);
    ASSERT_EQ(message.FindInt16("int16", &i16), B_OK);
    ASSERT_EQ(message.FindInt32("int32", 1, &i32), B_OK);
    ASSERT_EQ(message.FindInt64("int64", &i64), B_OK);
    EXPECT_EQ(i8, -8);
    EXPECT_EQ(i16, -1600);
    EXPECT_EQ(i32, -2147483647 - 1);
    EXPECT_EQ(i64, -(1LL << 50));
    float f = 0;
    double d = 0;
    ASSERT_EQ(message.FindFloat("float", &f), B_OK);
    ASSERT_EQ(message.FindDouble("double", &d), B_OK);
    EXPECT_EQ(f, 1.25f);
    EXPECT_EQ(d, -1e300);
    BRect rect;
    BPoint point;
    ASSERT_EQ(message.FindRect("rect", &rect), B_OK);
    ASSERT_EQ(message.FindPoint("point", &point), B_OK);
    EXPECT_EQ(rect, BRect(1, 2, 30, 40));
    EXPECT_EQ(point.x, -5);
    EXPECT_EQ(point.y, 6.5f);
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(message.FindData("raw", B_RAW_TYPE, &data, &size), B_OK);
    ASSERT_EQ(size, 3);
    EXPECT_EQ(std::memcmp(data, "\x00\x01\x02", 3), 0);
    BMessage inner;
    ASSERT_EQ(message.FindMessage("message", &inner), B_OK);
    EXPECT_EQ(inner.what, static_cast<uint32>('INNR'));
    EXPECT_STREQ(inner.GetString("leaf"), "value");
}

std::string Flat(const BMessage& message) {
    std::string flat;
    EXPECT_EQ(message.Flatten(&flat), B_OK);
    return flat;
}

// A message nested `levels` deep below the top one, built as bytes by hand so that the
// depth limit of Add does not stand in the way.
std::string NestedBytes(int levels) {
    BMessage leaf;
    std::string flat = Flat(leaf);
    for (int i = 0; i < levels; ++i) {
        std::string field;
        uint32 type = B_MESSAGE_TYPE;
        field.append(reinterpret_cast<const char*>(&type), 4);
        field.push_back(0);
        field.push_back(0);
        uint16 nameLength = 1;
        field.append(reinterpret_cast<const char*>(&nameLength), 2);
        uint32 count = 1;
        field.append(reinterpret_cast<const char*>(&count), 4);
        field.push_back('m');
        uint32 size = static_cast<uint32>(flat.size());
        field.append(reinterpret_cast<const char*>(&size), 4);
        field += flat;

        std::string outer = Flat(BMessage());
        uint32 fields = 1;
        std::memcpy(&outer[12], &fields, 4);
        outer += field;
        uint32 total = static_cast<uint32>(outer.size());
        std::memcpy(&outer[16], &total, 4);
        flat = outer;
    }
    return flat;
}

} // namespace

TEST(Message, EveryTypeSurvivesCopyAndFlattening) {
    BMessage original = EveryType();
    ExpectEveryType(original);

    BMessage copied(original);
    ExpectEveryType(copied);
    BMessage assigned;
    assigned = original;
    ExpectEveryType(assigned);

    BMessage read;
    ASSERT_EQ(read.Unflatten(Flat(original).data(), Flat(original).size()), B_OK);
    ExpectEveryType(read);
    EXPECT_EQ(read, original);

    // The unsized form reads the length from the header.
    std::string flat = Flat(original);
    BMessage unsized;
    ASSERT_EQ(unsized.Unflatten(flat.data()), B_OK);
    EXPECT_EQ(unsized, original);

    // The buffer form writes exactly FlattenedSize() bytes and refuses a short buffer.
    std::string buffer(static_cast<size_t>(original.FlattenedSize()), '\0');
    EXPECT_EQ(original.Flatten(buffer.data(), original.FlattenedSize() - 1), B_BAD_VALUE);
    ASSERT_EQ(original.Flatten(buffer.data(), original.FlattenedSize()), B_OK);
    EXPECT_EQ(buffer, flat);
}

TEST(Message, FieldAndValueOrderIsKept) {
    BMessage message;
    const char* names[] = {"zeta", "alpha", "mid", "beta"};
    for (const char* name : names)
        message.AddInt32(name, 1);
    for (int32 i = 0; i < 100; ++i)
        message.AddInt32("alpha", i);

    BMessage read;
    ASSERT_EQ(read.Unflatten(Flat(message).data(), Flat(message).size()), B_OK);
    for (int32 i = 0; i < 4; ++i) {
        char* name = nullptr;
        type_code type = 0;
        int32 count = 0;
        ASSERT_EQ(read.GetInfo(B_INT32_TYPE, i, &name, &type, &count), B_OK);
        EXPECT_STREQ(name, names[i]);
        EXPECT_EQ(type, static_cast<type_code>(B_INT32_TYPE));
    }
    int32 value = -1;
    for (int32 i = 0; i < 100; ++i) {
        ASSERT_EQ(read.FindInt32("alpha", i + 1, &value), B_OK);
        EXPECT_EQ(value, i);
    }
    EXPECT_EQ(read.CountValues("alpha"), 101);
}

TEST(Message, SameMessageAlwaysGivesTheSameBytes) {
    BMessage status('isud');
    status.AddString("message", "Hi");
    // The stored form is a promise to files written by earlier runs: magic, version,
    // what, field count, total size, then type, flags, name length, count, name, and
    // each value with its size.
    const unsigned char expected[] = {'T', 'W', 'M', 'G', 1,  0, 0, 0,   'd', 'u', 's', 'i',
                                      1,   0,   0,   0,   46, 0, 0, 0,   'R', 'T', 'S', 'C',
                                      0,   0,   7,   0,   1,  0, 0, 0,   'm', 'e', 's', 's',
                                      'a', 'g', 'e', 3,   0,  0, 0, 'H', 'i', 0};
    std::string flat = Flat(status);
    ASSERT_EQ(flat.size(), sizeof(expected));
    EXPECT_EQ(std::memcmp(flat.data(), expected, sizeof(expected)), 0);

    BMessage rebuilt(status);
    rebuilt.RemoveName("message");
    rebuilt.AddString("message", "Hi");
    EXPECT_EQ(Flat(rebuilt), flat);
    EXPECT_EQ(Flat(EveryType()), Flat(EveryType()));
}

TEST(Message, NestedRecordsAreCopiedOutChangedAndWrittenBack) {
    BMessage instructions;
    for (int i = 0; i < 3; ++i) {
        BMessage file;
        file.AddString("file_name", ("/build/item" + std::to_string(i)).c_str());
        BMessage meta;
        meta.AddString("destination", "User Selected");
        file.AddMessage("install_meta", &meta);
        instructions.AddMessage("install_file", &file);
    }
    BMessage config;
    config.AddMessage("install_instructions", &instructions);

    BMessage copy;
    ASSERT_EQ(config.FindMessage("install_instructions", &copy), B_OK);
    BMessage record;
    ASSERT_EQ(copy.FindMessage("install_file", 1, &record), B_OK);
    ASSERT_EQ(record.AddBool("install_to_system", true), B_OK);
    ASSERT_EQ(record.ReplaceString("file_name", "/installed/item1"), B_OK);
    ASSERT_EQ(copy.ReplaceMessage("install_file", 1, &record), B_OK);
    ASSERT_EQ(config.ReplaceMessage("install_instructions", &copy), B_OK);

    BMessage read;
    ASSERT_EQ(read.Unflatten(Flat(config).data(), Flat(config).size()), B_OK);
    BMessage again, item;
    ASSERT_EQ(read.FindMessage("install_instructions", &again), B_OK);
    EXPECT_EQ(again.CountValues("install_file"), 3);
    ASSERT_EQ(again.FindMessage("install_file", 1, &item), B_OK);
    EXPECT_STREQ(item.GetString("file_name"), "/installed/item1");
    EXPECT_TRUE(item.GetBool("install_to_system"));
    ASSERT_EQ(again.FindMessage("install_file", 2, &item), B_OK);
    EXPECT_STREQ(item.GetString("file_name"), "/build/item2");
    EXPECT_FALSE(item.HasBool("install_to_system"));
    EXPECT_EQ(again.FindMessage("install_file", 3, &item), B_BAD_INDEX);
}

TEST(Message, LookupsReportWhatWentWrongAndLeaveTheOutputAlone) {
    BMessage message;
    message.AddString("text", "t");
    message.AddInt32("number", 5);

    int32 value = 77;
    EXPECT_EQ(message.FindInt32("missing", &value), B_NAME_NOT_FOUND);
    EXPECT_EQ(message.FindInt32("text", &value), B_BAD_TYPE);
    EXPECT_EQ(message.FindInt32("number", 1, &value), B_BAD_INDEX);
    EXPECT_EQ(message.FindInt32("number", -1, &value), B_BAD_INDEX);
    EXPECT_EQ(value, 77);
    EXPECT_EQ(message.FindInt32(nullptr, &value), B_BAD_VALUE);

    // Adding a value of another type under a used name is refused.
    EXPECT_EQ(message.AddInt32("text", 1), B_BAD_TYPE);
    EXPECT_EQ(message.AddString("number", "1"), B_BAD_TYPE);
    EXPECT_EQ(message.ReplaceInt32("number", 1, 6), B_BAD_INDEX);
    EXPECT_EQ(message.ReplaceInt32("missing", 6), B_NAME_NOT_FOUND);
    EXPECT_EQ(message.ReplaceString("number", "x"), B_BAD_TYPE);
    // A null text counts as an empty one.
    ASSERT_EQ(message.AddString("text", static_cast<const char*>(nullptr)), B_OK);
    const char* empty = nullptr;
    ASSERT_EQ(message.FindString("text", 1, &empty), B_OK);
    EXPECT_STREQ(empty, "");
    EXPECT_EQ(message.AddString(std::string(B_FIELD_NAME_LENGTH + 1, 'n').c_str(), "x"),
              B_BAD_VALUE);
    // Fixed-size values must keep their size; typed fields must have theirs.
    EXPECT_EQ(message.AddData("int", B_INT32_TYPE, "abc", 3), B_BAD_VALUE);
    ASSERT_EQ(message.AddData("fixed", B_RAW_TYPE, "abcd", 4, true), B_OK);
    EXPECT_EQ(message.AddData("fixed", B_RAW_TYPE, "abc", 3, true), B_BAD_VALUE);
    ASSERT_EQ(message.AddData("loose", B_RAW_TYPE, "abcd", 4, false), B_OK);
    EXPECT_EQ(message.AddData("loose", B_RAW_TYPE, "abc", 3, false), B_OK);

    // Defaults of the Get forms.
    EXPECT_EQ(message.GetInt32("missing", -3), -3);
    EXPECT_EQ(message.GetInt32("text", -3), -3);
    EXPECT_EQ(message.GetString("missing"), nullptr);
    EXPECT_STREQ(message.GetString("missing", "d"), "d");
}

TEST(Message, AnyTypeMatchesEitherWayButNeverReadsAValueOfTheWrongSize) {
    BMessage message;
    message.AddData("data", B_ANY_TYPE, "abc", 3, false);
    message.AddInt32("typed", 9);

    const void* data = nullptr;
    ssize_t size = 0;
    EXPECT_EQ(message.FindData("data", B_RAW_TYPE, &data, &size), B_OK);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(message.FindData("typed", B_ANY_TYPE, &data, &size), B_OK);
    EXPECT_EQ(size, 4);
    EXPECT_TRUE(message.HasData("data", B_MESSAGE_TYPE));

    int32 value = 0;
    EXPECT_EQ(message.FindInt32("data", &value), B_BAD_TYPE);
    int64 wide = 0;
    EXPECT_EQ(message.FindInt64("data", &wide), B_BAD_TYPE);
    const char* text = nullptr;
    // The bytes carry no NUL, so they are not handed out as a string.
    EXPECT_EQ(message.FindString("data", &text), B_BAD_TYPE);
    BMessage nested;
    EXPECT_EQ(message.FindMessage("data", &nested), B_BAD_TYPE);
}

TEST(Message, RemovingReplacingAndCounting) {
    BMessage message = EveryType();
    EXPECT_EQ(message.CountNames(B_ANY_TYPE), 13);
    EXPECT_EQ(message.CountNames(B_INT32_TYPE), 1);
    EXPECT_EQ(message.CountNames(B_POINTER_TYPE), 0);

    type_code type = 0;
    int32 count = 0;
    ASSERT_EQ(message.GetInfo("int32", &type, &count), B_OK);
    EXPECT_EQ(count, 2);
    bool fixed = false;
    ASSERT_EQ(message.GetInfo("string", &type, &fixed), B_OK);
    EXPECT_FALSE(fixed);
    const char* name = nullptr;
    EXPECT_EQ(message.GetInfo(B_POINTER_TYPE, 0, &name, &type), B_BAD_TYPE);
    EXPECT_EQ(message.GetInfo(B_INT32_TYPE, 1, &name, &type), B_BAD_INDEX);

    ASSERT_EQ(message.RemoveData("int32", 0), B_OK);
    EXPECT_EQ(message.GetInt32("int32"), -2147483647 - 1);
    ASSERT_EQ(message.RemoveData("int32", 0), B_OK);
    // The last value gone, the field is gone and the name can take another type.
    EXPECT_FALSE(message.HasInt32("int32"));
    EXPECT_EQ(message.GetInfo("int32", &type, &count), B_NAME_NOT_FOUND);
    EXPECT_EQ(message.AddString("int32", "now text"), B_OK);
    EXPECT_EQ(message.RemoveData("int32", 5), B_BAD_INDEX);

    ASSERT_EQ(message.RemoveName("rect"), B_OK);
    EXPECT_EQ(message.RemoveName("rect"), B_NAME_NOT_FOUND);
    // Lookups by name still work after a field in the middle went away.
    EXPECT_EQ(message.GetInt16("int16"), -1600);
    EXPECT_STREQ(message.GetString("int32"), "now text");

    ASSERT_EQ(message.ReplaceString("string", 1, "changed"), B_OK);
    const char* text = nullptr;
    ASSERT_EQ(message.FindString("string", 1, &text), B_OK);
    EXPECT_STREQ(text, "changed");
    ASSERT_EQ(message.Rename("string", "renamed"), B_OK);
    EXPECT_FALSE(message.HasString("string"));
    EXPECT_TRUE(message.HasString("renamed", 1));
    EXPECT_EQ(message.Rename("renamed", "int16"), B_NAME_IN_USE);

    message.MakeEmpty();
    EXPECT_TRUE(message.IsEmpty());
    EXPECT_EQ(message.what, static_cast<uint32>('TEST'));
}

TEST(Message, FoundValuesStayPutWhileOthersAreAdded) {
    BMessage message;
    message.AddString("a", "x");
    const char* first = nullptr;
    ASSERT_EQ(message.FindString("a", &first), B_OK);
    for (int i = 0; i < 1000; ++i) {
        message.AddString("a", "more");
        message.AddInt32(("n" + std::to_string(i)).c_str(), i);
    }
    EXPECT_STREQ(first, "x");
}

// Readers that keep something derived from a message rely on the stamp changing with
// every change and on no two messages sharing one.
TEST(Message, EveryChangeGivesANewStampAndReadsKeepIt) {
    BMessage message;
    std::vector<uint64> seen{message.ChangeStamp()};
    auto changed = [&]() {
        uint64 stamp = message.ChangeStamp();
        for (uint64 old : seen) {
            if (old == stamp)
                return false;
        }
        seen.push_back(stamp);
        return true;
    };
    message.AddInt32("n", 1);
    EXPECT_TRUE(changed());
    message.ReplaceInt32("n", 2);
    EXPECT_TRUE(changed());
    message.AddInt32("n", 3);
    message.RemoveData("n", 0);
    EXPECT_TRUE(changed());
    message.Rename("n", "m");
    EXPECT_TRUE(changed());
    message.RemoveName("m");
    EXPECT_TRUE(changed());
    message.AddString("s", "text");
    const std::string flat = message.Flatten();
    message.Unflatten(flat.data(), flat.size());
    EXPECT_TRUE(changed());
    message.MakeEmpty();
    EXPECT_TRUE(changed());

    // Failed changes and reads keep the stamp.
    const uint64 before = message.ChangeStamp();
    int32 value = 0;
    message.FindInt32("missing", &value);
    EXPECT_NE(message.ReplaceInt32("missing", 1), B_OK);
    message.Flatten();
    EXPECT_EQ(message.ChangeStamp(), before);

    BMessage copy(message);
    EXPECT_NE(copy.ChangeStamp(), message.ChangeStamp());
    BMessage assigned;
    const uint64 fresh = assigned.ChangeStamp();
    assigned = message;
    EXPECT_NE(assigned.ChangeStamp(), fresh);
    EXPECT_NE(assigned.ChangeStamp(), message.ChangeStamp());
}

TEST(Message, TextWithoutItsNulIsStoredWithOne) {
    BMessage message;
    ASSERT_EQ(message.AddData("text", B_STRING_TYPE, "abc", 3), B_OK);
    const char* text = nullptr;
    ASSERT_EQ(message.FindString("text", &text), B_OK);
    EXPECT_STREQ(text, "abc");
    ASSERT_EQ(message.AddData("text", B_STRING_TYPE, "", 0), B_OK);
    ASSERT_EQ(message.FindString("text", 1, &text), B_OK);
    EXPECT_STREQ(text, "");
    ASSERT_EQ(message.ReplaceData("text", B_STRING_TYPE, 0, "xy", 2), B_OK);
    ASSERT_EQ(message.FindString("text", &text), B_OK);
    EXPECT_STREQ(text, "xy");
}

TEST(Message, TruncatedBytesAreRefusedAtEveryLength) {
    std::string flat = Flat(EveryType());
    for (size_t length = 0; length < flat.size(); ++length) {
        // A copy of exactly that length, so that a read past it is caught by sanitizers.
        std::string cut = flat.substr(0, length);
        BMessage message(99);
        message.AddInt32("old", 1);
        EXPECT_NE(message.Unflatten(cut.data(), cut.size()), B_OK) << length;
        EXPECT_TRUE(message.IsEmpty()) << length;
    }
    BMessage message;
    EXPECT_EQ(message.Unflatten(nullptr, 10), B_BAD_VALUE);
    EXPECT_EQ(message.Unflatten("not a message at all", 20), B_NOT_A_MESSAGE);
    // Bytes after a whole message are ignored.
    std::string longer = flat + "trailing";
    EXPECT_EQ(message.Unflatten(longer.data(), longer.size()), B_OK);
}

TEST(Message, EverySingleCorruptedByteGivesAnErrorOrAMessageThatRoundTrips) {
    std::string flat = Flat(EveryType());
    for (size_t at = 0; at < flat.size(); ++at) {
        for (unsigned char change : {0x01, 0x80, 0xFF}) {
            std::string bad = flat;
            bad[at] = static_cast<char>(bad[at] ^ change);
            BMessage message;
            if (message.Unflatten(bad.data(), bad.size()) == B_OK) {
                EXPECT_EQ(Flat(message), bad.substr(0, Flat(message).size())) << at;
            } else {
                EXPECT_TRUE(message.IsEmpty());
            }
        }
    }
}

TEST(Message, HostileCountsAndLengthsAreRefused) {
    BMessage one;
    one.AddData("d", B_RAW_TYPE, "abcd", 4, false);
    std::string flat = Flat(one);
    // Offsets: header 20; field: type 20, flags 24, reserved 25, name length 26,
    // count 28, name 32, value size 33, value 37.
    auto patched = [&](size_t offset, uint32 value, size_t width) {
        std::string bad = flat;
        std::memcpy(&bad[offset], &value, width);
        return bad;
    };
    const std::string cases[] = {
        patched(12, 0xFFFFFFFF, 4), // field count
        patched(12, 0, 4),          // fewer fields than bytes
        patched(16, 0xFFFFFFFF, 4), // total size beyond the bytes
        patched(16, 19, 4),         // total size below the header
        patched(26, 0xFFFF, 2),     // name length
        patched(28, 0xFFFFFFFF, 4), // value count
        patched(28, 0, 4),          // a field without values
        patched(33, 0xFFFFFFFF, 4), // value size
        patched(33, 0xFFFFFFFC, 4), // value size that wraps a 32-bit sum
        patched(4, 2, 2),           // unknown version
        patched(6, 1, 2),           // reserved flags
        patched(24, 0x82, 1),       // unknown field flags
        patched(32, 0, 1),          // NUL inside a name
    };
    for (const std::string& bad : cases) {
        BMessage message;
        EXPECT_NE(message.Unflatten(bad.data(), bad.size()), B_OK);
        EXPECT_TRUE(message.IsEmpty());
    }

    // Two fields of the same name, and a string without its NUL.
    BMessage two;
    two.AddInt32("a", 1);
    two.AddInt32("b", 2);
    std::string duplicate = Flat(two);
    size_t second = duplicate.rfind('b');
    duplicate[second] = 'a';
    BMessage message;
    EXPECT_EQ(message.Unflatten(duplicate.data(), duplicate.size()), B_BAD_DATA);

    BMessage text;
    text.AddString("s", "abc");
    std::string unterminated = Flat(text);
    unterminated[unterminated.size() - 1] = 'd';
    EXPECT_EQ(message.Unflatten(unterminated.data(), unterminated.size()), B_BAD_DATA);

    BMessage nested;
    nested.AddMessage("m", &one);
    std::string badInner = Flat(nested);
    badInner[badInner.size() - 1 - 4 - 1 - 4 - 12] ^= 0x40; // inside the inner header
    EXPECT_NE(message.Unflatten(badInner.data(), badInner.size()), B_OK);
}

TEST(Message, NestingDepthIsCapped) {
    std::string deepest = NestedBytes(B_MESSAGE_MAX_DEPTH);
    BMessage message;
    EXPECT_EQ(message.Unflatten(deepest.data(), deepest.size()), B_OK);
    std::string tooDeep = NestedBytes(B_MESSAGE_MAX_DEPTH + 1);
    EXPECT_EQ(message.Unflatten(tooDeep.data(), tooDeep.size()), B_BAD_DATA);

    // Adding cannot build what could not be read back.
    BMessage chain;
    ASSERT_EQ(chain.Unflatten(deepest.data(), deepest.size()), B_OK);
    BMessage outer;
    EXPECT_EQ(outer.AddMessage("m", &chain), B_BAD_VALUE);
    EXPECT_TRUE(outer.IsEmpty());

    // Read back out of its container, a nested message goes in again one level up, and
    // still no deeper than it was.
    BMessage inner;
    ASSERT_EQ(chain.FindMessage("m", &inner), B_OK);
    EXPECT_EQ(outer.AddMessage("m", &inner), B_OK);
    BMessage beyond;
    EXPECT_EQ(beyond.AddMessage("m", &outer), B_BAD_VALUE);
    EXPECT_EQ(outer.ReplaceMessage("m", &chain), B_BAD_VALUE);

    // A shallow message read from beside a deep one nests as deep as it really is.
    BMessage shallow;
    shallow.AddString("s", "x");
    BMessage deep;
    ASSERT_EQ(inner.FindMessage("m", &deep), B_OK);
    BMessage both;
    ASSERT_EQ(both.AddMessage("deep", &deep), B_OK);
    ASSERT_EQ(both.AddMessage("shallow", &shallow), B_OK);
    BMessage holder;
    ASSERT_EQ(holder.AddMessage("both", &both), B_OK);
    BMessage found;
    ASSERT_EQ(holder.FindMessage("both", &found), B_OK);
    ASSERT_EQ(found.RemoveName("deep"), B_OK);
    BMessage level = found;
    for (int i = 0; i < 10; ++i) {
        BMessage up;
        ASSERT_EQ(up.AddMessage("m", &level), B_OK) << i;
        level = up;
    }
    BMessage readBack;
    ASSERT_EQ(readBack.Unflatten(level.Flatten().data(), level.Flatten().size()), B_OK);
}

TEST(Message, PrintShowsNestedMessagesIndented) {
    BMessage message('isud');
    message.AddString("message", "line\n\"quoted\"");
    BMessage inner;
    inner.AddInt32("deep", 42);
    message.AddMessage("inner", &inner);

    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    message.PrintToStream(file);
    std::rewind(file);
    std::string text;
    char buffer[512];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        text.append(buffer, got);
    std::fclose(file);

    EXPECT_NE(text.find("what = 'isud'"), std::string::npos) << text;
    EXPECT_NE(text.find("\"line\\n\\\"quoted\\\"\""), std::string::npos) << text;
    EXPECT_NE(text.find("\n            entry deep, type='LONG', c=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("42"), std::string::npos);
}
