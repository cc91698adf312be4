#include "lib/LinkList.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// An element that counts its live instances, so ownership faults show up as leaks or
// double deletions.
struct Item {
    static int live;
    int value;
    explicit Item(int v) : value(v) { live++; }
    Item(const Item& other) : value(other.value) { live++; }
    virtual ~Item() { live--; }
    bool operator==(const Item& other) const { return value == other.value; }
    bool operator>(const Item& other) const { return value > other.value; }
};
int Item::live = 0;

// An element type without ordering: the list must still compile and work.
struct Plain {
    int value;
    bool operator==(const Plain& other) const { return value == other.value; }
};

std::vector<int> Values(LinkList<Item>& list) {
    std::vector<int> values;
    for (Item* item = list.First(); item != nullptr; item = list.Next())
        values.push_back(item->value);
    return values;
}

LinkList<Item>* MakeList(std::initializer_list<int> values) {
    auto* list = new LinkList<Item>;
    for (int v : values)
        list->Insert(new Item(v));
    return list;
}

class LinkListTest : public testing::Test {
protected:
    void SetUp() override { Item::live = 0; }
    void TearDown() override { EXPECT_EQ(Item::live, 0) << "elements leaked or lost"; }
};

} // namespace

TEST_F(LinkListTest, KeepsInsertionOrderAndOwnsElements) {
    LinkList<Item> list;
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Next(), nullptr); // no cursor: harmless
    EXPECT_TRUE(list.Insert(new Item(1)));
    list.Insert(new Item(2));
    list.Insert(new Item(3));
    EXPECT_EQ(list.Size(), 3);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Item::live, 3);

    list.First();
    list.Insert(new Item(4)); // the cursor does not move
    EXPECT_EQ(list.Position(static_cast<const Item*>(nullptr)), 0);
    EXPECT_EQ(list.Next()->value, 2);

    std::vector<int> seen;
    for (Item* item : list)
        seen.push_back(item->value);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));

    list.Clear();
    EXPECT_EQ(list.Size(), 0);
    EXPECT_EQ(Item::live, 0);
    EXPECT_EQ(list.Position(static_cast<const Item*>(nullptr)), 0);
}

TEST_F(LinkListTest, RemoveMovesTheCursorBack) {
    std::unique_ptr<LinkList<Item>> list(MakeList({1, 2, 3}));
    EXPECT_FALSE(LinkList<Item>().Remove());

    list->First();
    EXPECT_TRUE(list->Remove()); // the first: cursor on the new first
    EXPECT_EQ(list->Position(static_cast<const Item*>(nullptr)), 0);
    EXPECT_EQ(list->Get(0)->value, 2);

    list->Get(1);
    EXPECT_TRUE(list->Remove()); // any other: cursor on the node before
    EXPECT_EQ(list->Position(static_cast<const Item*>(nullptr)), 0);
    EXPECT_EQ(Values(*list), (std::vector<int>{2}));
    EXPECT_EQ(Item::live, 1);

    // The usual removal walk: every other element can go.
    list.reset(MakeList({0, 1, 2, 3, 4, 5}));
    for (Item* item = list->First(); item != nullptr; item = list->Next()) {
        if (item->value % 2 == 1)
            list->Remove();
    }
    EXPECT_EQ(Values(*list), (std::vector<int>{0, 2, 4}));

    list->First();
    while (list->Remove()) {
    }
    EXPECT_EQ(list->Size(), 0);
    EXPECT_EQ(list->First(), nullptr);
}

TEST_F(LinkListTest, SeeksFromTheNearestPlace) {
    std::unique_ptr<LinkList<Item>> list(MakeList({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(list->Get(8)->value, 8); // unpositioned: from the last node
    EXPECT_EQ(list->Get(5)->value, 5);
    EXPECT_EQ(list->Get(6)->value, 6); // one step from the cursor
    EXPECT_EQ(list->Get(1)->value, 1); // from the first node
    EXPECT_EQ(list->Get(9)->value, 9);
    EXPECT_EQ(list->Get(0)->value, 0);
    EXPECT_EQ(list->Get(-1), nullptr);
    EXPECT_EQ(list->Get(10), nullptr);
    EXPECT_EQ(list->Position(static_cast<const Item*>(nullptr)), 0); // unchanged
    for (int i : {3, 7, 2, 9, 0, 4, 4, 8, 1})
        EXPECT_EQ(list->Get(i)->value, i);
    EXPECT_EQ(LinkList<Item>().Get(0), nullptr);
}

TEST_F(LinkListTest, FindsEqualElements) {
    std::unique_ptr<LinkList<Item>> list(MakeList({1, 2, 3, 2}));
    Item two(2), missing(7);
    EXPECT_TRUE(list->InList(&two));
    EXPECT_EQ(list->Position(&two), 1);
    EXPECT_NE(list->Get(&two), &two); // the list's own element
    list->Next();
    EXPECT_EQ(list->FindNext(&two)->value, 2);
    EXPECT_EQ(list->Position(static_cast<const Item*>(nullptr)), 3);

    EXPECT_FALSE(list->InList(&missing));
    EXPECT_EQ(list->Position(static_cast<const Item*>(nullptr)), -1);
    EXPECT_EQ(list->Position(&missing), -1);
    EXPECT_EQ(list->FindNext(&two), nullptr); // no cursor after a failed search
}

TEST_F(LinkListTest, RemoveEqualElements) {
    Item x(9);
    std::unique_ptr<LinkList<Item>> list(MakeList({1, 9, 2, 9}));
    EXPECT_TRUE(list->Remove(&x, true));
    EXPECT_EQ(Values(*list), (std::vector<int>{1, 2}));

    list.reset(MakeList({1, 9, 2, 9}));
    EXPECT_TRUE(list->Remove(&x, false));
    EXPECT_EQ(Values(*list), (std::vector<int>{1, 2, 9}));
    Item absent(5);
    EXPECT_FALSE(list->Remove(&absent, false));
    EXPECT_FALSE(list->Remove(&absent, true));
    EXPECT_EQ(list->Size(), 3);

    // Removing with the list's own element as the key keeps working after that
    // element is gone.
    list.reset(MakeList({9, 1, 9, 9}));
    EXPECT_TRUE(list->Remove(list->Get(0), true));
    EXPECT_EQ(Values(*list), (std::vector<int>{1}));
}

TEST_F(LinkListTest, CopiesCopyTheElements) {
    std::unique_ptr<LinkList<Item>> list(MakeList({1, 2}));
    LinkList<Item> other;
    other.Insert(new Item(7));
    EXPECT_EQ(other.Copy(*list), 2);
    EXPECT_EQ(Values(other), (std::vector<int>{1, 2}));
    EXPECT_NE(other.Get(0), list->Get(0));
    EXPECT_EQ(Item::live, 4);

    other.Insert(*list);
    EXPECT_EQ(Values(other), (std::vector<int>{1, 2, 1, 2}));
    other.Insert(other); // into itself: doubled once, not for ever
    EXPECT_EQ(other.Size(), 8);

    other = other;
    EXPECT_EQ(other.Size(), 8);
    EXPECT_EQ(other.Copy(other), 8);

    LinkList<Item> constructed(*list);
    list.reset();
    EXPECT_EQ(Values(constructed), (std::vector<int>{1, 2}));
    LinkList<Item> assigned;
    assigned = constructed;
    EXPECT_EQ(Values(assigned), (std::vector<int>{1, 2}));
}

TEST_F(LinkListTest, SortCompareOrdersOrSaysNo) {
    LinkList<Item> list;
    Item a(2), b(1);
    EXPECT_TRUE(list.SortCompare(&a, &b));
    EXPECT_FALSE(list.SortCompare(&b, &a));

    LinkList<Plain> plain;
    Plain p{1}, q{2};
    EXPECT_FALSE(plain.SortCompare(&p, &q));
    plain.Insert(new Plain{2});
    EXPECT_TRUE(plain.InList(&q));
}
