#include "lib/LibStringIterator.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::string Text(const LibString& s) {
    const char* text = s;
    return text != nullptr ? text : "<null>";
}

// Every (field, result) pair up to and including the first false.
std::vector<std::pair<std::string, bool>> Fields(const char* text, char separator) {
    LibStringIterator iterator(text);
    std::vector<std::pair<std::string, bool>> fields;
    LibString field;
    for (int guard = 0; guard < 100; guard++) {
        bool more = iterator.GetNextField(separator, field);
        fields.emplace_back(Text(field), more);
        if (!more)
            break;
    }
    return fields;
}

using FieldList = std::vector<std::pair<std::string, bool>>;

} // namespace

TEST(LibStringIterator, SplitsOnOneSeparator) {
    EXPECT_EQ(Fields("a:bb:cd", ':'),
              (FieldList{{"a", true}, {"bb", true}, {"cd", true}, {"d", false}}));
    EXPECT_EQ(Fields("a:bb:c", ':'), (FieldList{{"a", true}, {"bb", true}, {"c", false}}));
    EXPECT_EQ(Fields("", ':'), (FieldList{{"", false}}));
    EXPECT_EQ(Fields("::", ':'), (FieldList{{"", true}, {"", true}, {"", false}}));
    EXPECT_EQ(Fields("Typical;Documents;", ';'),
              (FieldList{{"Typical", true}, {"Documents", true}, {"", false}}));
    EXPECT_EQ(Fields("whole", ':'), (FieldList{{"whole", true}, {"e", false}}));
}

TEST(LibStringIterator, CallersTakeTheRestFromThePosition) {
    // How a PATH-like list is read completely: the fields, then what follows the last
    // separator.
    LibStringIterator path("/bin:/usr/bin:/opt/x");
    LibString field;
    std::vector<std::string> seen;
    while (path.GetNextField(':', field))
        seen.push_back(Text(field));
    EXPECT_EQ(seen, (std::vector<std::string>{"/bin", "/usr/bin", "/opt/x"}));
    EXPECT_EQ(path.Position(), path.Length() - 1);
}

TEST(LibStringIterator, PositionsOutsideTheTextAreSafe) {
    LibStringIterator iterator("ab:c");
    LibString field("old");
    iterator.Reset(100);
    EXPECT_FALSE(iterator.GetNextField(':', field));
    EXPECT_EQ(Text(field), "");
    iterator.Reset(-5);
    EXPECT_TRUE(iterator.GetNextField(':', field));
    EXPECT_EQ(Text(field), "ab");
    iterator.Reset(3);
    EXPECT_FALSE(iterator.GetNextField(':', field));
    EXPECT_EQ(Text(field), "c");
}

TEST(LibStringIterator, SplitsOnAnyOfASet) {
    LibStringIterator iterator("a,b;c");
    LibString field;
    EXPECT_TRUE(iterator.GetNextField(",;", field));
    EXPECT_EQ(Text(field), "a");
    EXPECT_TRUE(iterator.GetNextField(",;", field));
    EXPECT_EQ(Text(field), "b");
    EXPECT_FALSE(iterator.GetNextField(",;", field));
    EXPECT_EQ(Text(field), "c");
    EXPECT_EQ(iterator.Position(), 4); // unchanged at the end
    EXPECT_FALSE(iterator.GetNextField(",;", field));
    EXPECT_EQ(Text(field), "c");

    iterator.Reset(0);
    EXPECT_FALSE(iterator.GetNextField("", field)); // an empty set never matches
    EXPECT_EQ(Text(field), "a,b;c");
    EXPECT_FALSE(iterator.GetNextField(static_cast<const char*>(nullptr), field));
}

TEST(LibStringIterator, IndexedFields) {
    LibStringIterator iterator("a:bb:cd");
    LibString field("untouched");
    EXPECT_TRUE(iterator.GetIndexField(':', 2, field));
    EXPECT_EQ(Text(field), "cd");
    EXPECT_TRUE(iterator.GetIndexField(':', 0, field));
    EXPECT_EQ(Text(field), "a");

    LibStringIterator shorter("a:bb:c");
    field = "untouched";
    EXPECT_FALSE(shorter.GetIndexField(':', 2, field));
    EXPECT_EQ(Text(field), "untouched");
    EXPECT_TRUE(shorter.GetIndexField(':', 1, field));
    EXPECT_EQ(Text(field), "bb");
    EXPECT_FALSE(shorter.GetIndexField(':', -1, field));
    EXPECT_EQ(Text(field), "bb");
}

TEST(LibStringIterator, ConstructionAndAssignmentSetThePosition) {
    LibStringIterator iterator("x:y:z");
    LibString field;
    iterator.GetNextField(':', field);
    EXPECT_EQ(iterator.Position(), 2);

    LibStringIterator copy(iterator);
    EXPECT_EQ(copy.Position(), 2);
    LibStringIterator assigned;
    assigned = iterator;
    EXPECT_EQ(assigned.Position(), 2);
    EXPECT_TRUE(assigned.GetNextField(':', field));
    EXPECT_EQ(Text(field), "y");

    iterator = "p:q";
    EXPECT_EQ(iterator.Position(), 0);
    iterator.GetNextField(':', field);
    iterator = LibString("r:s");
    EXPECT_EQ(iterator.Position(), 0);
    iterator.GetNextField(':', field);
    iterator = iterator; // self-assignment keeps text and position
    EXPECT_EQ(iterator.Position(), 2);
    EXPECT_EQ(Text(iterator), "r:s");

    LibStringIterator sized(16);
    EXPECT_EQ(Text(sized), "");
    EXPECT_EQ(sized.BufferSize(), 17);
    LibStringIterator fromString(LibString("m"));
    EXPECT_EQ(Text(fromString), "m");

    // The field may be the iterator itself.
    LibStringIterator self("one:two");
    EXPECT_TRUE(self.GetNextField(':', self));
    EXPECT_EQ(Text(self), "one");

    testing::internal::CaptureStderr();
    copy.PrintToStream();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "LibString:: <x:y:z>, buffer 6\nposition 2\n");
}
