#include "ui/gui/LibMenuField.h"

#include <cstring>

#include "engine/LibStdDirName.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/MenuBar.h"
#include "platform/interface/gui/PopUpMenu.h"
#include "ui/gui/xMenuItem.h"

namespace {

struct Encoding {
    const char* label;
    int code;
};

// The text encodings offered, in menu order, with the platform's conversion numbers.
constexpr Encoding kEncodings[] = {
    {"American / Western European (Latin 1)", 0},
    {"Central & Eastern European (Latin 2)", 1},
    {"Southern European (Latin 3)", 2},
    {"Northern European (Latin 4)", 3},
    {"Cyrillic", 4},
    {"Arabic", 5},
    {"Greek", 6},
    {"Hebrew", 7},
    {"Turkish (Latin 5)", 8},
    {"Nordic (Latin 6)", 9},
    {"Macintosh Roman", 10},
    {"Japanese Industrial Standard", 13},
    {"Shift Japanese Industrial Standard", 11},
    {"Japanese Extended UNIX Code", 12},
    {"MS Windows Codepage 1252", 14},
    {"MS Windows Codepage 1251", 17},
    {"Russian", 16},
    {"Japanese Korean", 20},
    {"Baltic Rim (Latin 7)", 21},
    {"Gaelic, Welsh (Latin 8)", 22},
    {"(Latin 9)", 23},
};

bool SameLabel(const BMenuItem* item, const char* label) {
    return item != nullptr && label != nullptr && std::strcmp(item->Label(), label) == 0;
}

} // namespace

LibMenuField::LibMenuField(BRect frame, const char* name, const int& fontSize,
                           const bool& radioMode)
    : BMenuField(frame, name, nullptr, new BPopUpMenu("", radioMode, radioMode, B_ITEMS_IN_COLUMN),
                 B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE) {
    if (fontSize != 0) {
        BFont font(be_plain_font);
        font.SetSize((float)fontSize);
        Menu()->SetFont(&font);
        SetFont(&font);
    }
}

LibMenuField::~LibMenuField() {}

BPopUpMenu* LibMenuField::PopUp() const {
    return static_cast<BPopUpMenu*>(Menu());
}

xMenuItem* LibMenuField::Add(const char* label, BMessage* message, const int32& index) {
    xMenuItem* item = new xMenuItem(label, message);
    bool added = index == -1 ? Menu()->AddItem(item) : Menu()->AddItem(item, index);
    if (!added) {
        delete item;
        return nullptr;
    }
    if (Menu()->CountItems() == 1 && Menu()->IsRadioMode())
        item->SetMarked(true);
    return item;
}

void LibMenuField::AddSeparatorItem() {
    Menu()->AddSeparatorItem();
}

void LibMenuField::Clear() {
    Menu()->RemoveItems(0, Menu()->CountItems(), true);
    // The bar shows nothing once nothing is marked.
    if (Menu()->IsLabelFromMarked() && MenuItem() != nullptr)
        MenuItem()->SetLabel("");
    Invalidate();
}

int32 LibMenuField::CountItems() const {
    return Menu()->CountItems();
}

BMenuItem* LibMenuField::ItemAt(const int32& index) const {
    return Menu()->ItemAt(index);
}

std::unique_ptr<BMenuItem> LibMenuField::RemoveItem(const int32& index) {
    return std::unique_ptr<BMenuItem>(Menu()->RemoveItem(index));
}

std::unique_ptr<BMenuItem> LibMenuField::RemoveItem(const char* label) {
    int32 index = IndexOf(label);
    return std::unique_ptr<BMenuItem>(index < 0 ? nullptr : Menu()->RemoveItem(index));
}

void LibMenuField::SetItem(const int32& index) {
    if (BMenuItem* item = ItemAt(index))
        item->SetMarked(true);
}

void LibMenuField::SetText(const char* label) {
    SetItem(IndexOf(label));
}

void LibMenuField::SetMarked(const char* label, const bool& marked) {
    if (BMenuItem* item = ItemAt(IndexOf(label)))
        item->SetMarked(marked);
}

void LibMenuField::ToggleMarked(const char* label) {
    if (BMenuItem* item = ItemAt(IndexOf(label)))
        item->SetMarked(!item->IsMarked());
}

bool LibMenuField::IsMarked(const char* label) const {
    BMenuItem* item = ItemAt(IndexOf(label));
    return item != nullptr && item->IsMarked();
}

void LibMenuField::MarkFirstEnabled() {
    for (int32 i = 0; i < CountItems(); i++) {
        BMenuItem* item = ItemAt(i);
        if (item->IsEnabled() && !item->IsSeparator()) {
            item->SetMarked(true);
            return;
        }
        item->SetMarked(false);
    }
}

int32 LibMenuField::CurrentSelection() const {
    return Menu()->FindMarkedIndex();
}

LibString LibMenuField::Text() const {
    BMenuItem* item = Menu()->FindMarked();
    return LibString(item != nullptr ? item->Label() : "");
}

int32 LibMenuField::IndexOf(const char* label) const {
    if (label == nullptr)
        return -1;
    for (int32 i = 0; i < CountItems(); i++)
        if (SameLabel(ItemAt(i), label) && !ItemAt(i)->IsSeparator())
            return i;
    return -1;
}

bool LibMenuField::InMenu(const char* label) const {
    return IndexOf(label) >= 0;
}

bool LibMenuField::IsItemEnabled(const int32& index) const {
    BMenuItem* item = ItemAt(index);
    return item != nullptr && item->IsEnabled();
}

bool LibMenuField::IsItemEnabled(const char* label) const {
    return IsItemEnabled(IndexOf(label));
}

void LibMenuField::SetEnableItem(const int32& index, const bool& enabled) {
    if (BMenuItem* item = ItemAt(index))
        item->SetEnabled(enabled);
}

void LibMenuField::SetEnableItem(const char* label, const bool& enabled) {
    SetEnableItem(IndexOf(label), enabled);
}

void LibMenuField::SetEnableAll(const bool& enabled) {
    for (int32 i = CountItems() - 1; i >= 0; i--)
        ItemAt(i)->SetEnabled(enabled);
}

void LibMenuField::Replace(const char* label, const char* newLabel) {
    BMenuItem* item = ItemAt(IndexOf(label));
    if (item == nullptr)
        return;
    item->SetLabel(newLabel != nullptr ? newLabel : "");
    // The bar of a field that shows the marked item follows the new label.
    if (item->IsMarked())
        Menu()->ItemMarked(item);
}

void LibMenuField::SetBitmap(const char* label, const char* resourceName) {
    if (xMenuItem* item = dynamic_cast<xMenuItem*>(ItemAt(IndexOf(label))))
        item->SetBitmap(resourceName);
}

void LibMenuField::SetTo(const BMessage& message, const char* field, const uint32& command) {
    const char* value = nullptr;
    if (field == nullptr || message.FindString(field, 0, &value) != B_OK)
        return;
    LibString marked = Text();
    Clear();
    for (int32 i = 0; message.FindString(field, i, &value) == B_OK; i++)
        Add(value, command != 0 ? new BMessage(command) : nullptr);
    if (InMenu(marked))
        SetText(marked);
}

void LibMenuField::AddStdFolder(const directory_which& which, const uint32& command) {
    LibString name;
    if (!LibGetStdDirName(which, name))
        return;
    Add(name, command != 0 ? new BMessage(command) : nullptr);
}

void LibMenuField::AddStdFolders(const bool& withSystemFolders, const uint32& command) {
    auto addRange = [&](int32 first, int32 last) {
        for (int32 which = first; which <= last; which++)
            AddStdFolder((directory_which)which, command);
    };
    for (int32 which : {0, 1, 4000, 4001, 4002})
        AddStdFolder((directory_which)which, command);
    AddSeparatorItem();
    if (withSystemFolders) {
        addRange(1000, 1014);
        AddSeparatorItem();
    }
    addRange(2000, 2018);
    AddSeparatorItem();
    addRange(3000, 3011);
}

void LibMenuField::AddEncodingItem(const char* label, const int& encoding, const uint32& command) {
    BMessage* message = new BMessage(command);
    message->AddInt32("encoding", encoding);
    Add(label, message);
}

void LibMenuField::AddEncodingChoices(const uint32& command) {
    for (const Encoding& encoding : kEncodings)
        AddEncodingItem(encoding.label, encoding.code, command);
}

void LibMenuField::SetEncodingSelection(const int& encoding) {
    for (int32 i = 0; i < CountItems(); i++) {
        BMessage* message = ItemAt(i)->Message();
        int32 code;
        if (message != nullptr && message->FindInt32("encoding", &code) == B_OK &&
            code == encoding) {
            SetItem(i);
            return;
        }
    }
}

int LibMenuField::CurrentEncodingSelected() const {
    BMenuItem* item = Menu()->FindMarked();
    if (item == nullptr || item->Message() == nullptr)
        return 0;
    return item->Message()->GetInt32("encoding", 0);
}

int32 LibMenuField::StepFrom(int32 from, char key) const {
    int32 count = CountItems();
    if (count == 0)
        return -1;
    int32 index;
    switch (key) {
    case B_UP_ARROW:
        index = from - 1;
        break;
    case B_DOWN_ARROW:
        index = from + 1;
        break;
    case B_HOME:
        index = 0;
        break;
    default: // B_END
        index = count - 1;
        break;
    }
    // Home moves on downwards and End upwards when they land on an item that cannot be
    // chosen.
    int32 direction = (key == B_UP_ARROW || key == B_END) ? -1 : 1;
    for (int32 tries = 0; tries < count; tries++) {
        if (index < 0)
            index = count - 1;
        else if (index >= count)
            index = 0;
        BMenuItem* item = ItemAt(index);
        // Separators are stepped over, and so are disabled items: the keys must not
        // choose what a click could not.
        if (!item->IsSeparator() && item->IsEnabled())
            return index;
        index += direction;
    }
    return -1;
}

void LibMenuField::KeyDown(const char* bytes, int32 numBytes) {
    char key = numBytes == 1 ? bytes[0] : 0;
    if (key != B_UP_ARROW && key != B_DOWN_ARROW && key != B_HOME && key != B_END) {
        BMenuField::KeyDown(bytes, numBytes);
        return;
    }
    int32 marked = CurrentSelection();
    if (marked < 0 || !IsEnabled())
        return;
    int32 next = StepFrom(marked, key);
    if (next < 0 || next == marked)
        return;
    BMenuItem* item = ItemAt(next);
    if (!Menu()->IsRadioMode())
        ItemAt(marked)->SetMarked(false);
    item->SetMarked(true);
    if (item->Message() != nullptr)
        item->Invoke();
}
