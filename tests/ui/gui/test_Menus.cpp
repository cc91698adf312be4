// Menu fields, menu buttons, the label control and the volume menu.

#include "platform/interface/gui/GuiTestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "platform/interface/gui/Menu.h"
#include "platform/interface/gui/MenuBar.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/StringView.h"
#include "platform/storage/Volume.h"
#include "support/Sandbox.h"
#include "ui/gui/LibMenuButton.h"
#include "ui/gui/LibMenuField.h"
#include "ui/gui/LibSystemColor.h"
#include "ui/gui/LibVolumeMenu.h"
#include "ui/gui/xMenuItem.h"

using tarnw::test::Sandbox;
using tarnw::test::WriteFile;

namespace {

constexpr uint32 kChosen = 'chsn';

struct MenuFixture {
    RecordingWindow* window;
    LibMenuField* field;

    explicit MenuFixture(bool radio = true) {
        window = new RecordingWindow(BRect(100, 100, 399, 299));
        field = new LibMenuField(BRect(10, 10, 160, 30), "menu", 10, radio);
        window->AddChild(field);
        window->Show();
    }
    ~MenuFixture() { CloseWindow(window); }

    // Adds labelled items sending kChosen with "label"; "-" adds a separator.
    void Fill(std::initializer_list<const char*> labels) {
        window->Lock();
        for (const char* label : labels) {
            if (std::string(label) == "-") {
                field->AddSeparatorItem();
                continue;
            }
            BMessage* message = new BMessage(kChosen);
            message->AddString("label", label);
            field->Add(label, message);
        }
        window->Unlock();
    }
    void Key(char key) {
        char bytes[2] = {key, 0};
        window->Lock();
        field->KeyDown(bytes, 1);
        window->Unlock();
        Settle();
    }
    std::vector<std::string> Chosen() {
        std::vector<std::string> out;
        for (const BMessage& m : window->Received(kChosen))
            out.push_back(m.GetString("label", ""));
        return out;
    }
};

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : fName(name) {
        const char* old = std::getenv(name);
        fHad = old != nullptr;
        if (fHad)
            fOld = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (fHad)
            setenv(fName.c_str(), fOld.c_str(), 1);
        else
            unsetenv(fName.c_str());
    }

private:
    std::string fName, fOld;
    bool fHad = false;
};

} // namespace

TEST(MenuField, RadioModeMarksTheFirstItemOnly) {
    REQUIRE_DISPLAY();
    MenuFixture f;
    f.Fill({"One", "Two", "Three"});
    EXPECT_EQ(f.field->CurrentSelection(), 0);
    EXPECT_STREQ(f.field->Text(), "One");
    // The bar shows the marked item.
    EXPECT_STREQ(f.field->MenuItem()->Label(), "One");
    f.field->SetText("Three");
    EXPECT_EQ(f.field->CurrentSelection(), 2);
    EXPECT_FALSE(f.field->IsMarked("One"));
    EXPECT_STREQ(f.field->MenuItem()->Label(), "Three");
    // Lookups of what is not there answer "none" and change nothing.
    f.field->SetText("Four");
    f.field->SetItem(7);
    EXPECT_EQ(f.field->CurrentSelection(), 2);
    EXPECT_EQ(f.field->IndexOf("Four"), -1);
    EXPECT_FALSE(f.field->InMenu("Four"));
    EXPECT_EQ(f.field->RemoveItem("Four"), nullptr);
    EXPECT_FALSE(f.field->IsItemEnabled(9));
    // An item inserted in front is not marked.
    f.field->Add("Zero", nullptr, 0);
    EXPECT_FALSE(f.field->IsMarked("Zero"));
    EXPECT_EQ(f.field->IndexOf("Three"), 3);
    f.field->Replace("Three", "Drei");
    EXPECT_STREQ(f.field->MenuItem()->Label(), "Drei");
    f.field->Clear();
    EXPECT_EQ(f.field->CountItems(), 0);
    EXPECT_STREQ(f.field->Text(), "");
    EXPECT_EQ(f.field->CurrentSelection(), -1);
}

TEST(MenuField, KeysWrapSkipSeparatorsAndChooseTheItem) {
    REQUIRE_DISPLAY();
    MenuFixture f;
    f.Fill({"A", "B", "-", "C", "D"});
    // Up on the first item wraps to the last and sends its message.
    f.Key(B_UP_ARROW);
    EXPECT_STREQ(f.field->Text(), "D");
    // Down on the last wraps to the first.
    f.Key(B_DOWN_ARROW);
    EXPECT_STREQ(f.field->Text(), "A");
    f.Key(B_DOWN_ARROW);
    // Down from B steps over the separator.
    f.Key(B_DOWN_ARROW);
    EXPECT_STREQ(f.field->Text(), "C");
    f.Key(B_UP_ARROW);
    EXPECT_STREQ(f.field->Text(), "B");
    f.Key(B_END);
    EXPECT_STREQ(f.field->Text(), "D");
    f.Key(B_HOME);
    EXPECT_STREQ(f.field->Text(), "A");
    EXPECT_EQ(f.Chosen(), (std::vector<std::string>{"D", "A", "B", "C", "B", "D", "A"}));
}

TEST(MenuField, KeysNeedAMarkedItemAndSkipDisabledOnes) {
    REQUIRE_DISPLAY();
    MenuFixture f(false);
    f.Fill({"A", "B", "C"});
    // Not in radio mode: nothing is marked, so the keys do nothing.
    EXPECT_EQ(f.field->CurrentSelection(), -1);
    f.Key(B_DOWN_ARROW);
    f.Key(B_END);
    EXPECT_EQ(f.field->CurrentSelection(), -1);
    EXPECT_TRUE(f.Chosen().empty());

    MenuFixture g;
    g.Fill({"-", "A", "B", "C", "-"});
    g.window->Lock();
    g.field->SetEnableItem("B", false);
    g.field->MarkFirstEnabled();
    g.window->Unlock();
    EXPECT_STREQ(g.field->Text(), "A");
    g.Key(B_DOWN_ARROW); // over the disabled B
    EXPECT_STREQ(g.field->Text(), "C");
    g.Key(B_END); // End lands on the separator and moves up from it
    EXPECT_STREQ(g.field->Text(), "C");
    g.Key(B_HOME); // Home lands on the separator and moves down from it
    EXPECT_STREQ(g.field->Text(), "A");
    EXPECT_EQ(g.Chosen(), (std::vector<std::string>{"C", "A"}));
    g.window->Lock();
    g.field->SetEnableAll(false);
    g.window->Unlock();
    EXPECT_FALSE(g.field->IsItemEnabled("A"));
}

TEST(MenuField, SetToKeepsTheMarkedLabel) {
    REQUIRE_DISPLAY();
    MenuFixture f;
    BMessage list;
    for (const char* label : {"A", "B", "C"})
        list.AddString("names", label);
    f.window->Lock();
    f.field->SetTo(list, "names", kChosen);
    f.field->SetText("B");
    BMessage more;
    for (const char* label : {"C", "B", "A", "Z"})
        more.AddString("names", label);
    f.field->SetTo(more, "names", kChosen);
    EXPECT_EQ(f.field->CountItems(), 4);
    EXPECT_STREQ(f.field->Text(), "B");
    EXPECT_EQ(f.field->ItemAt(0)->Message()->what, kChosen);
    // A message without the field leaves the menu alone.
    f.field->SetTo(BMessage(), "names", kChosen);
    EXPECT_EQ(f.field->CountItems(), 4);
    // Without a command the items carry no message.
    f.field->SetTo(list, "names", 0);
    EXPECT_EQ(f.field->ItemAt(0)->Message(), nullptr);
    EXPECT_STREQ(f.field->Text(), "B");
    f.window->Unlock();
}

TEST(MenuField, EncodingsAndStandardFolders) {
    REQUIRE_DISPLAY();
    MenuFixture f;
    f.window->Lock();
    f.field->AddEncodingChoices(kChosen);
    EXPECT_EQ(f.field->CountItems(), 21);
    f.field->SetEncodingSelection(13);
    EXPECT_EQ(f.field->CurrentSelection(), 11);
    EXPECT_STREQ(f.field->Text(), "Japanese Industrial Standard");
    EXPECT_EQ(f.field->CurrentEncodingSelected(), 13);
    f.field->SetEncodingSelection(99); // unknown: unchanged
    EXPECT_EQ(f.field->CurrentEncodingSelected(), 13);
    f.field->Clear();
    EXPECT_EQ(f.field->CurrentEncodingSelected(), 0);

    f.field->AddStdFolders(false, kChosen);
    int32 withoutSystem = f.field->CountItems();
    EXPECT_TRUE(f.field->ItemAt(5)->IsSeparator());
    EXPECT_STREQ(f.field->Text(), f.field->ItemAt(0)->Label());
    f.field->Clear();
    f.field->AddStdFolders(true, kChosen);
    EXPECT_GT(f.field->CountItems(), withoutSystem);
    EXPECT_TRUE(f.field->InMenu("Desktop"));
    f.window->Unlock();
}

TEST(MenuButton, GeometryAndEnabling) {
    REQUIRE_DISPLAY();
    RecordingWindow* window = new RecordingWindow(BRect(100, 100, 399, 299));
    LibMenuButton* button =
        new LibMenuButton(BPoint(10, 146), "volume", "Disk", 70, 130, B_FOLLOW_LEFT | B_FOLLOW_TOP);
    window->AddChild(button);
    window->Show();
    window->Lock();
    EXPECT_EQ(button->Frame(), BRect(10, 146, 210, 171));
    EXPECT_EQ(button->LabelView()->Frame(), BRect(0, 0, 58, 22));
    EXPECT_EQ(button->ColonView()->Frame(), BRect(59, 0, 68, 22));
    EXPECT_STREQ(button->ColonView()->Text(), ":");
    EXPECT_EQ(button->MenuField()->Frame().left, 67);
    EXPECT_STREQ(button->MenuField()->Name(), "menu");
    EXPECT_STREQ(button->LabelText(), "Disk");
    button->SetLabel("Disks");
    EXPECT_STREQ(button->LabelText(), "Disks");

    button->AddItem("one", new BMessage(kChosen));
    button->SetEnabled(false);
    EXPECT_FALSE(button->MenuField()->IsEnabled());
    EXPECT_TRUE(lib_is_same_color(button->LabelView()->HighColor(),
                                  lib_nearest_system_color(128, 128, 128, 255)));
    button->SetEnabled(true);
    EXPECT_TRUE(button->MenuField()->IsEnabled());
    EXPECT_TRUE(lib_is_same_color(button->ColonView()->HighColor(),
                                  lib_nearest_system_color(0, 0, 0, 255)));
    window->Unlock();
    CloseWindow(window);
}

TEST(VolumeMenu, ListsVolumesAndDisablesTheUnusableOnes) {
    REQUIRE_DISPLAY();
    std::filesystem::path table = Sandbox::MakeFolder("mounts") / "mountinfo";
    // Devices with unused major numbers, so that nothing on this machine counts as
    // removable; "/" holds the sandbox's prefix and is the boot volume.
    WriteFile(table, "22 1 240:1 / / rw,relatime - vfat /dev/x1 rw\n"
                     "30 22 240:2 / /mnt/data rw - ext4 /dev/x2 rw\n"
                     "31 22 240:3 / /mnt/old ro - ext4 /dev/x3 ro\n"
                     "32 22 0:45 / /mnt/share rw - nfs4 server:/x rw\n"
                     "33 22 240:4 / /mnt/stick rw - vfat /dev/x4 rw\n"
                     "34 22 240:5 / /mnt/twin rw - xfs /dev/x5 rw\n"
                     "35 22 240:6 / /media/twin rw - ext4 /dev/x6 rw\n");
    ScopedEnv mounts("TARNW_MOUNTINFO", table.string());
    ScopedEnv labels("TARNW_DISK_BY_LABEL", (Sandbox::Root() / "no-labels").string());

    RecordingWindow* window = new RecordingWindow(BRect(100, 100, 399, 299));
    LibVolumeMenu* menu = new LibVolumeMenu(BPoint(10, 10), "volume", kChosen, 70);
    window->AddChild(menu);
    window->Show();
    window->Lock();
    menu->Update();
    std::vector<std::string> names;
    std::vector<bool> enabled;
    for (int32 i = 0; i < menu->CountItems(); i++) {
        names.push_back(menu->MenuField()->ItemAt(i)->Label());
        enabled.push_back(menu->IsItemEnabled(i));
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"/", "data", "old", "share", "stick", "twin", "twin"}));
    // The boot volume is never disabled, whatever its file system.
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, false, false, false, true, true}));
    EXPECT_STREQ(menu->Text(), "/");

    // Flags take effect at the next update, which keeps the chosen volume.
    menu->SetText("data");
    menu->AllowReadOnly(true);
    menu->OnlyBeOS(false);
    menu->AllowShared(false);
    menu->AllowPersistent(false);
    menu->Update();
    EXPECT_STREQ(menu->Text(), "data");
    EXPECT_FALSE(menu->IsItemEnabled("data")); // persistent volumes refused now
    EXPECT_FALSE(menu->IsItemEnabled("share"));
    menu->AllowPersistent(true);
    menu->Update();
    EXPECT_TRUE(menu->IsItemEnabled("old"));
    EXPECT_TRUE(menu->IsItemEnabled("stick"));
    EXPECT_FALSE(menu->IsItemEnabled("share"));
    EXPECT_EQ(menu->MenuField()->ItemAt(1)->Message()->what, kChosen);

    // Two volumes with one name: the first in mount order.
    menu->SetText("twin");
    BVolume volume;
    ASSERT_TRUE(menu->GetCurrentVolume(volume));
    EXPECT_STREQ(volume.MountPoint(), "/mnt/twin");
    menu->Clear();
    EXPECT_FALSE(menu->GetCurrentVolume(volume));
    window->Unlock();
    CloseWindow(window);
}
