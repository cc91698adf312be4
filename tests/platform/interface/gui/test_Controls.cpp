#include "GuiTestSupport.h"

#include "platform/interface/gui/CheckBox.h"
#include "platform/interface/gui/ListView.h"
#include "platform/interface/gui/Menu.h"
#include "platform/interface/gui/MenuBar.h"
#include "platform/interface/gui/MenuField.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/PopUpMenu.h"
#include "platform/interface/gui/ScrollView.h"
#include "platform/interface/gui/StringView.h"

namespace {

// A list of n text rows, each `height` pixels high, at the window's left-top.
struct ListFixture {
    RecordingWindow* window;
    BListView* list;

    ListFixture(list_view_type type, int rows) {
        window = new RecordingWindow(BRect(100, 100, 399, 399));
        list = new BListView(BRect(0, 0, 200, 100), "list", type);
        list->SetSelectionMessage(new BMessage('sel '));
        list->SetInvocationMessage(new BMessage('inv '));
        window->AddChild(
            new BScrollView("scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));
        for (int i = 0; i < rows; i++)
            list->AddItem(new BStringItem(("row " + std::to_string(i)).c_str()));
        window->Show();
    }
    ~ListFixture() {
        window->Lock();
        while (BListItem* item = list->RemoveItem((int32)0))
            delete item;
        window->Unlock();
        CloseWindow(window);
    }
    // Window point in the middle of a row (the list sits 2 pixels in, inside its frame).
    BPoint Row(int32 index) {
        BRect frame = list->ItemFrame(index);
        return list->ConvertToWindow(BPoint(20, (frame.top + frame.bottom) / 2));
    }
    std::vector<int32> Selected() {
        std::vector<int32> out;
        for (int32 i = 0; list->CurrentSelection(i) >= 0; i++)
            out.push_back(list->CurrentSelection(i));
        return out;
    }
};

} // namespace

TEST(ListView, ClicksSelectAndModifiersExtendOrToggle) {
    ListFixture f(B_MULTIPLE_SELECTION_LIST, 8);
    Click(f.window, f.Row(1));
    Settle();
    EXPECT_EQ(f.Selected(), (std::vector<int32>{1}));
    Click(f.window, f.Row(4), B_PRIMARY_MOUSE_BUTTON, B_SHIFT_KEY);
    Settle();
    EXPECT_EQ(f.Selected(), (std::vector<int32>{1, 2, 3, 4}));
    Click(f.window, f.Row(2), B_PRIMARY_MOUSE_BUTTON, B_COMMAND_KEY);
    Settle();
    EXPECT_EQ(f.Selected(), (std::vector<int32>{1, 3, 4}));
    // A plain click starts over.
    Click(f.window, f.Row(6));
    Settle();
    EXPECT_EQ(f.Selected(), (std::vector<int32>{6}));
    // Each change sent one selection message listing the selected rows.
    auto messages = f.window->Received('sel ');
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].CountValues("index"), 4);
    EXPECT_EQ(messages.back().GetInt32("index", -1), 6);
    // A click below the last row changes nothing.
    Click(f.window, f.list->ConvertToWindow(BPoint(20, 99)));
    Settle();
    EXPECT_EQ(f.Selected(), (std::vector<int32>{6}));
}

TEST(ListView, SingleSelectionDoubleClickAndKeys) {
    ListFixture f(B_SINGLE_SELECTION_LIST, 20);
    Click(f.window, f.Row(2));
    Click(f.window, f.Row(3), B_PRIMARY_MOUSE_BUTTON, B_SHIFT_KEY);
    Settle();
    EXPECT_EQ(f.Selected(), (std::vector<int32>{3}));
    Click(f.window, f.Row(3), B_PRIMARY_MOUSE_BUTTON, 0, 2);
    ASSERT_TRUE(Pump([&] { return f.window->CountReceived('inv ') == 1; }));
    EXPECT_EQ(f.window->Received('inv ')[0].GetInt32("index", -1), 3);
    // Arrow keys move the selection and scroll it into view; Enter invokes.
    f.window->Lock();
    f.list->MakeFocus(true);
    f.window->Unlock();
    for (int i = 0; i < 12; i++)
        PressKey(f.window, "\x1f");
    PressKey(f.window, "\n");
    ASSERT_TRUE(Pump([&] { return f.window->CountReceived('inv ') == 2; }));
    EXPECT_EQ(f.Selected(), (std::vector<int32>{15}));
    f.window->Lock();
    BRect visible = f.list->Bounds();
    BRect row = f.list->ItemFrame(15);
    f.window->Unlock();
    EXPECT_TRUE(visible.Contains(row)) << "selected row scrolled into view";
    // The scroll bar follows the list's scrolling.
    f.window->Lock();
    EXPECT_FLOAT_EQ(f.list->ScrollBar(B_VERTICAL)->Value(), visible.top);
    f.window->Unlock();
}

TEST(ListView, RemovingRowsKeepsTheSelectionOnTheSameItems) {
    BWindow* window = new RecordingWindow(BRect(0, 0, 100, 100));
    BListView list(BRect(0, 0, 100, 100), "list", B_MULTIPLE_SELECTION_LIST);
    BStringItem* items[5];
    for (int i = 0; i < 5; i++)
        list.AddItem(items[i] = new BStringItem("x"));
    list.Select(1);
    list.Select(3, true);
    delete list.RemoveItem((int32)0);
    EXPECT_EQ(list.CurrentSelection(0), 0);
    EXPECT_EQ(list.CurrentSelection(1), 2);
    EXPECT_EQ(list.ItemAt(2), items[3]);
    EXPECT_EQ(list.RemoveItem(99), nullptr);
    EXPECT_EQ(list.IndexOf(BPoint(5, -1)), -1);
    list.DeselectAll();
    EXPECT_EQ(list.CurrentSelection(), -1);
    // A single-selection list never holds two.
    list.SetListType(B_SINGLE_SELECTION_LIST);
    list.Select(0, 3, false);
    EXPECT_EQ(list.CurrentSelection(1), -1);
    while (BListItem* item = list.RemoveItem((int32)0))
        delete item;
    window->Lock();
    window->Quit();
}

TEST(Menu, RadioModeMarksOneAndTheFieldShowsIt) {
    auto* window = new RecordingWindow(BRect(100, 100, 399, 199));
    auto* menu = new BPopUpMenu("pick");
    BMenuItem* english = new BMenuItem("English", new BMessage('lang'));
    BMenuItem* german = new BMenuItem("Deutsch", new BMessage('lang'));
    BMenuItem* off = new BMenuItem("Other", new BMessage('lang'));
    menu->AddItem(english);
    menu->AddSeparatorItem();
    menu->AddItem(german);
    menu->AddItem(off);
    off->SetEnabled(false);
    auto* field = new BMenuField(BRect(10, 10, 200, 30), "field", "Language:", menu);
    window->AddChild(field);
    EXPECT_STREQ(field->MenuItem()->Label(), "pick");
    english->SetMarked(true);
    EXPECT_STREQ(field->MenuItem()->Label(), "English");
    german->SetMarked(true);
    EXPECT_FALSE(english->IsMarked());
    EXPECT_EQ(menu->FindMarked(), german);
    EXPECT_EQ(menu->FindMarkedIndex(), 2);
    EXPECT_EQ(menu->IndexOf(off), 3);
    EXPECT_EQ(menu->FindItem("Other"), off);
    EXPECT_EQ(menu->FindItem('lang'), english);
    EXPECT_STREQ(field->MenuItem()->Label(), "Deutsch");
    // Choosing as the user does: marks, relabels and sends to the window.
    window->Show();
    window->Lock();
    menu->ChooseItem(english);
    menu->ChooseItem(off); // disabled: nothing happens
    window->Unlock();
    ASSERT_TRUE(Pump([&] { return window->CountReceived('lang') == 1; }));
    Settle();
    EXPECT_EQ(window->CountReceived('lang'), 1u);
    EXPECT_EQ(window->Received('lang')[0].GetInt32("index", -1), 0);
    EXPECT_STREQ(field->MenuItem()->Label(), "English");
    // A disabled menu field disables its items.
    window->Lock();
    field->SetEnabled(false);
    EXPECT_FALSE(english->IsEnabled());
    window->Unlock();
    CloseWindow(window);
}

TEST(Menu, RemovingGivesTheItemBack) {
    BMenu menu("m");
    auto* a = new BMenuItem("a", nullptr);
    auto* b = new BMenuItem("b", nullptr);
    menu.AddItem(a);
    menu.AddItem(b);
    EXPECT_FALSE(menu.AddItem(a)) << "an item is in one menu only";
    EXPECT_TRUE(menu.RemoveItem(a));
    EXPECT_EQ(a->Menu(), nullptr);
    EXPECT_EQ(menu.CountItems(), 1);
    EXPECT_EQ(menu.RemoveItem(5), nullptr);
    delete a;
}

TEST(Controls, CheckBoxAndStringView) {
    REQUIRE_DISPLAY();
    auto* window = new RecordingWindow(BRect(100, 100, 299, 199));
    auto* check =
        new BCheckBox(BRect(10, 10, 150, 30), "check", "Apply to all", new BMessage('chk '));
    auto* label = new BStringView(BRect(10, 40, 150, 55), "label", "text");
    window->AddChild(check);
    window->AddChild(label);
    window->Show();
    Click(window, BPoint(20, 20));
    Click(window, BPoint(20, 20));
    Click(window, BPoint(20, 20));
    ASSERT_TRUE(Pump([&] { return window->CountReceived('chk ') == 3; }));
    auto sent = window->Received('chk ');
    EXPECT_EQ(sent[0].GetInt32("be:value", -1), B_CONTROL_ON);
    EXPECT_EQ(sent[1].GetInt32("be:value", -1), B_CONTROL_OFF);
    EXPECT_EQ(check->Value(), B_CONTROL_ON);
    window->Lock();
    label->SetText(nullptr);
    EXPECT_STREQ(label->Text(), "");
    window->Unlock();
    CloseWindow(window);
}
