#include "platform/interface/gui/Menu.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/app/Message.h"
#include "platform/interface/gui/MenuBar.h"
#include "platform/interface/gui/MenuField.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/MenuTracking.h"
#include "platform/interface/gui/PopUpMenu.h"
#include "platform/interface/gui/Window.h"

// BMenuItem.

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
    : BInvoker(message, BMessenger()), fLabel(label ? label : ""), fShortcut(shortcut),
      fModifiers(modifiers) {}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message)
    : BInvoker(message, BMessenger()), fLabel(submenu ? submenu->Name() : ""), fSubmenu(submenu) {
    if (submenu)
        submenu->SetSuperitem(this, nullptr);
}

BMenuItem::~BMenuItem() {
    delete fSubmenu;
}

void BMenuItem::SetLabel(const char* label) {
    fLabel = label ? label : "";
    if (fMenu) {
        if (BView* view = fMenu->ShowingView())
            view->Invalidate();
        if (fMarked && fMenu->IsLabelFromMarked())
            fMenu->ItemMarked(this);
    }
}

void BMenuItem::SetEnabled(bool enabled) {
    fEnabled = enabled;
    if (fSubmenu)
        fSubmenu->SetEnabled(enabled);
    if (fMenu)
        if (BView* view = fMenu->ShowingView())
            view->Invalidate();
}

bool BMenuItem::IsEnabled() const {
    if (!fEnabled)
        return false;
    return !fMenu || fMenu->IsEnabled();
}

void BMenuItem::SetMarked(bool marked) {
    if (marked == fMarked)
        return;
    fMarked = marked;
    if (marked && fMenu)
        fMenu->ItemMarked(this);
}

void BMenuItem::SetShortcut(char shortcut, uint32 modifiers) {
    fShortcut = shortcut;
    fModifiers = modifiers;
}

char BMenuItem::Shortcut(uint32* modifiers) const {
    if (modifiers)
        *modifiers = fModifiers;
    return fShortcut;
}

BMessenger BMenuItem::DefaultTarget() const {
    BWindow* window = fMenu ? fMenu->OwnerWindow() : nullptr;
    return window ? BMessenger(window) : BMessenger();
}

status_t BMenuItem::Invoke(BMessage* message) {
    BMessage* source = message ? message : Message();
    if (!source)
        return B_BAD_VALUE;
    BMessage copy(*source);
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", this);
    copy.AddInt32("index", fMenu ? fMenu->IndexOf(this) : -1);
    return BInvoker::Invoke(&copy);
}

BSeparatorItem::BSeparatorItem() : BMenuItem("", nullptr) {
    BMenuItem::SetEnabled(false);
}

// BMenu.

BMenu::BMenu(const char* name, menu_layout layout)
    : BView(BRect(0, 0, 10, 10), name, B_FOLLOW_NONE, B_WILL_DRAW), fLayout(layout) {
    SetFont(be_plain_font);
}

BMenu::~BMenu() {
    for (BMenuItem* item : fItems) {
        item->fMenu = nullptr;
        delete item;
    }
}

bool BMenu::AddItem(BMenuItem* item) {
    return AddItem(item, CountItems());
}

bool BMenu::AddItem(BMenuItem* item, int32 index) {
    if (!item || item->fMenu || index < 0 || index > CountItems())
        return false;
    fItems.insert(fItems.begin() + index, item);
    item->fMenu = this;
    if (item->fSubmenu)
        item->fSubmenu->SetSuperitem(item, this);
    if (item->IsMarked())
        ItemMarked(item);
    if (BView* view = ShowingView())
        view->Invalidate();
    return true;
}

bool BMenu::AddItem(BMenu* submenu) {
    if (!submenu)
        return false;
    return AddItem(new BMenuItem(submenu));
}

bool BMenu::AddSeparatorItem() {
    return AddItem(new BSeparatorItem());
}

bool BMenu::RemoveItem(BMenuItem* item) {
    return RemoveItem(IndexOf(item)) != nullptr;
}

BMenuItem* BMenu::RemoveItem(int32 index) {
    BMenuItem* item = ItemAt(index);
    if (!item)
        return nullptr;
    fItems.erase(fItems.begin() + index);
    item->fMenu = nullptr;
    if (BView* view = ShowingView())
        view->Invalidate();
    return item;
}

bool BMenu::RemoveItems(int32 index, int32 count, bool deleteItems) {
    if (index < 0 || count < 0 || index + count > CountItems())
        return false;
    for (int32 i = 0; i < count; i++) {
        BMenuItem* item = RemoveItem(index);
        if (deleteItems)
            delete item;
    }
    return true;
}

BMenuItem* BMenu::ItemAt(int32 index) const {
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[index];
}

BMenu* BMenu::SubmenuAt(int32 index) const {
    BMenuItem* item = ItemAt(index);
    return item ? item->Submenu() : nullptr;
}

int32 BMenu::IndexOf(const BMenuItem* item) const {
    auto at = std::find(fItems.begin(), fItems.end(), item);
    return at == fItems.end() ? -1 : (int32)(at - fItems.begin());
}

int32 BMenu::IndexOf(const BMenu* submenu) const {
    for (int32 i = 0; i < CountItems(); i++)
        if (fItems[i]->Submenu() == submenu)
            return i;
    return -1;
}

BMenuItem* BMenu::FindItem(const char* label) const {
    if (!label)
        return nullptr;
    for (BMenuItem* item : fItems) {
        if (std::strcmp(item->Label(), label) == 0)
            return item;
        if (item->Submenu())
            if (BMenuItem* found = item->Submenu()->FindItem(label))
                return found;
    }
    return nullptr;
}

BMenuItem* BMenu::FindItem(uint32 command) const {
    for (BMenuItem* item : fItems) {
        if (item->Message() && item->Command() == command)
            return item;
        if (item->Submenu())
            if (BMenuItem* found = item->Submenu()->FindItem(command))
                return found;
    }
    return nullptr;
}

BMenuItem* BMenu::FindMarked() const {
    for (BMenuItem* item : fItems)
        if (item->IsMarked())
            return item;
    return nullptr;
}

int32 BMenu::FindMarkedIndex() const {
    return IndexOf(FindMarked());
}

void BMenu::SetRadioMode(bool on) {
    fRadioMode = on;
    if (!on)
        fLabelFromMarked = false;
}

void BMenu::SetLabelFromMarked(bool on) {
    fLabelFromMarked = on;
    if (on)
        fRadioMode = true;
}

void BMenu::SetEnabled(bool enabled) {
    fEnabled = enabled;
    if (BView* view = ShowingView())
        view->Invalidate();
}

bool BMenu::IsEnabled() const {
    if (!fEnabled)
        return false;
    return !fSupermenu || fSupermenu->IsEnabled();
}

status_t BMenu::SetTargetForItems(BHandler* target) {
    for (BMenuItem* item : fItems) {
        status_t status = item->SetTarget(target);
        if (status != B_OK)
            return status;
    }
    return B_OK;
}

status_t BMenu::SetTargetForItems(BMessenger messenger) {
    for (BMenuItem* item : fItems)
        item->SetTarget(messenger);
    return B_OK;
}

void BMenu::SetSuperitem(BMenuItem* item, BMenu* supermenu) {
    fSuperitem = item;
    fSupermenu = supermenu;
}

BView* BMenu::ShowingView() const {
    if (fShowingView)
        return fShowingView;
    return fSupermenu ? fSupermenu->ShowingView() : nullptr;
}

BWindow* BMenu::OwnerWindow() const {
    if (Window())
        return Window();
    if (BView* view = ShowingView())
        return view->Window();
    return fSupermenu ? fSupermenu->OwnerWindow() : nullptr;
}

void BMenu::ItemMarked(BMenuItem* item) {
    if (fRadioMode) {
        for (BMenuItem* other : fItems)
            if (other != item && other->IsMarked())
                other->fMarked = false;
    }
    if (fLabelFromMarked && fSuperitem)
        fSuperitem->SetLabel(item->Label());
    if (BView* view = ShowingView())
        view->Invalidate();
}

void BMenu::ChooseItem(BMenuItem* item) {
    if (!item || !item->IsEnabled() || item->IsSeparator())
        return;
    BMenu* menu = item->Menu();
    if (menu && menu->IsRadioMode())
        item->SetMarked(true);
    item->Invoke();
}

// BPopUpMenu.

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked, menu_layout layout)
    : BMenu(name, layout) {
    SetRadioMode(radioMode);
    if (labelFromMarked)
        SetLabelFromMarked(true);
}

BMenuItem* BPopUpMenu::Go(BPoint screenWhere, bool deliversMessage, bool, bool) {
    // The window under the pointer gets the menu; points are taken relative to it.
    BWindow* window = nullptr;
    for (BWindow* candidate : BWindow::AllWindows()) {
        if (!candidate->IsHidden() && candidate->Frame().Contains(screenWhere)) {
            window = candidate;
            break;
        }
    }
    BPoint where = window ? window->ConvertFromScreen(screenWhere) : screenWhere;
    BMenuItem* chosen = MenuTracking::PopUp(this, window, where);
    if (chosen && deliversMessage)
        ChooseItem(chosen);
    else if (chosen && chosen->Menu() && chosen->Menu()->IsRadioMode())
        chosen->SetMarked(true);
    return chosen;
}

// BMenuBar.

BMenuBar::BMenuBar(BRect frame, const char* name) : BMenu(name, B_ITEMS_IN_ROW) {
    MoveTo(frame.LeftTop());
    ResizeTo(frame.Width(), frame.Height());
    SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
    SetFlags(B_WILL_DRAW);
    SetShowingView(this);
}

void BMenuBar::AttachedToWindow() {
    SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
}

void BMenuBar::Draw(BRect) {
    BRect r = Bounds();
    rgb_color base = ui_color(B_MENU_BACKGROUND_COLOR);
    SetHighColor(base);
    FillRect(r);
    SetHighColor(255, 255, 255);
    StrokeLine(r.LeftBottom(), r.LeftTop());
    StrokeLine(r.LeftTop(), r.RightTop());
    SetHighColor(tint_color(base, B_DARKEN_2_TINT));
    StrokeLine(r.RightTop(), r.RightBottom());
    StrokeLine(r.RightBottom(), r.LeftBottom());
    BMenuItem* item = ItemAt(0);
    if (!item)
        return;
    bool enabled = IsEnabled() && item->IsEnabled();
    font_height fh;
    GetFontHeight(&fh);
    float base_y = std::floor(r.top + (r.Height() + 1 - (fh.ascent + fh.descent)) / 2 + fh.ascent);
    SetHighColor(enabled ? rgb_color{0, 0, 0, 255} : tint_color(base, B_DISABLED_LABEL_TINT));
    SetLowColor(base);
    // The label is cut to leave room for the arrow.
    float room = r.Width() - 18;
    BFont font;
    GetFont(&font);
    std::string label = font.TruncatedString(item->Label(), B_TRUNCATE_END, room);
    DrawString(label.c_str(), BPoint(r.left + 5, base_y));
    // The pop-up mark.
    float cx = r.right - 7, cy = std::floor((r.top + r.bottom) / 2);
    FillTriangle(BPoint(cx - 3, cy - 1), BPoint(cx + 3, cy - 1), BPoint(cx, cy + 2));
}

BMenuItem* BMenuBar::Track() {
    BMenuItem* item = ItemAt(0);
    if (!item || !item->Submenu() || !IsEnabled() || !item->IsEnabled() || !Window())
        return nullptr;
    BRect field = ConvertToWindow(Bounds());
    return MenuTracking::PullDown(item->Submenu(), Window(), field);
}

void BMenuBar::MouseDown(BPoint) {
    BMenuItem* item = ItemAt(0);
    if (!item || !item->Submenu())
        return;
    if (BMenuItem* chosen = Track())
        item->Submenu()->ChooseItem(chosen);
}

// BMenuField.

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
                       uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), fLabel(label ? label : ""), fMenu(menu) {
    SetFont(be_plain_font);
    fDivider = fLabel.empty() ? 0 : std::floor(StringWidth(fLabel.c_str()) + 6);
    fBar = new BMenuBar(BRect(0, 0, 10, 10), "_mc_mb_");
    if (!fMenu)
        fMenu = new BPopUpMenu("");
    auto* item = new BMenuItem(fMenu);
    if (BMenuItem* marked = fMenu->FindMarked(); marked && fMenu->IsLabelFromMarked())
        item->SetLabel(marked->Label());
    fBar->AddItem(item);
    AddChild(fBar);
    LayoutBar();
}

BMenuField::~BMenuField() = default;

BMenuItem* BMenuField::MenuItem() const {
    return fBar->ItemAt(0);
}

void BMenuField::LayoutBar() {
    BRect bounds = Bounds();
    font_height fh;
    GetFontHeight(&fh);
    float height = std::min(bounds.Height(), std::ceil(fh.ascent + fh.descent) + 6);
    fBar->MoveTo(fDivider + 1, 1);
    fBar->ResizeTo(std::max(10.0f, bounds.Width() - fDivider - 2), std::max(4.0f, height - 1));
}

void BMenuField::SetLabel(const char* label) {
    fLabel = label ? label : "";
    Invalidate();
}

void BMenuField::SetDivider(float divider) {
    fDivider = std::max(0.0f, std::floor(divider));
    LayoutBar();
    Invalidate();
}

void BMenuField::SetEnabled(bool enabled) {
    fEnabled = enabled;
    fMenu->SetEnabled(enabled);
    fBar->SetEnabled(enabled);
    Invalidate();
}

void BMenuField::AttachedToWindow() {
    AdoptParentViewColor();
}

void BMenuField::Draw(BRect) {
    if (!fLabel.empty()) {
        font_height fh;
        GetFontHeight(&fh);
        BRect barFrame = fBar->Frame();
        float y = std::floor(barFrame.top + (barFrame.Height() + 1 - (fh.ascent + fh.descent)) / 2 +
                             fh.ascent);
        SetHighColor(fEnabled ? rgb_color{0, 0, 0, 255}
                              : tint_color(ViewColor(), B_DISABLED_LABEL_TINT));
        float x = 0;
        float w = StringWidth(fLabel.c_str());
        if (fAlignment == B_ALIGN_RIGHT)
            x = fDivider - 4 - w;
        else if (fAlignment == B_ALIGN_CENTER)
            x = std::floor((fDivider - w) / 2);
        DrawString(fLabel.c_str(), BPoint(x, y));
    }
    // A frame around the bar.
    BRect frame = fBar->Frame().InsetByCopy(-1, -1);
    SetHighColor(tint_color(ViewColor(), B_DARKEN_2_TINT));
    StrokeRect(frame);
    if (IsFocus() && Window() && Window()->IsActive()) {
        SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
        StrokeRect(frame);
    }
}

void BMenuField::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_DOWN_ARROW || bytes[0] == B_ENTER)) {
        if (fEnabled)
            fBar->MouseDown(B_ORIGIN);
        return;
    }
    BView::KeyDown(bytes, numBytes);
}

void BMenuField::FrameResized(float, float) {
    LayoutBar();
}

void BMenuField::SetFont(const BFont* font, uint32 mask) {
    BView::SetFont(font, mask);
    if (fBar) {
        fBar->SetFont(font, mask);
        LayoutBar();
    }
}
