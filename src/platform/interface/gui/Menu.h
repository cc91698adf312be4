#pragma once

// BMenu: an ordered list of menu items; it owns them. In radio mode exactly one item is
// marked at a time; with "label from marked" the control showing the menu shows the
// marked item's label.

#include <vector>

#include "platform/app/Messenger.h"
#include "platform/interface/gui/View.h"

class BMenuItem;

enum menu_layout { B_ITEMS_IN_ROW = 0, B_ITEMS_IN_COLUMN, B_ITEMS_IN_MATRIX };

class BMenu : public BView {
public:
    explicit BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
    ~BMenu() override;

    bool AddItem(BMenuItem* item);
    bool AddItem(BMenuItem* item, int32 index);
    // Adds submenu under an item named after it.
    bool AddItem(BMenu* submenu);
    bool AddSeparatorItem();
    // Removes without deleting (the caller owns the item then).
    bool RemoveItem(BMenuItem* item);
    BMenuItem* RemoveItem(int32 index);
    bool RemoveItems(int32 index, int32 count, bool deleteItems = false);

    BMenuItem* ItemAt(int32 index) const;
    BMenu* SubmenuAt(int32 index) const;
    int32 CountItems() const { return (int32)fItems.size(); }
    int32 IndexOf(const BMenuItem* item) const;
    int32 IndexOf(const BMenu* submenu) const;
    BMenuItem* FindItem(const char* label) const;
    BMenuItem* FindItem(uint32 command) const;
    BMenuItem* FindMarked() const;
    int32 FindMarkedIndex() const;

    virtual void SetRadioMode(bool on);
    bool IsRadioMode() const { return fRadioMode; }
    virtual void SetLabelFromMarked(bool on);
    bool IsLabelFromMarked() const { return fLabelFromMarked; }
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;
    status_t SetTargetForItems(BHandler* target);
    status_t SetTargetForItems(BMessenger messenger);

    // The item that opens this menu (a submenu's item, or a menu field's bar item).
    BMenuItem* Superitem() const { return fSuperitem; }
    BMenu* Supermenu() const { return fSupermenu; }
    menu_layout Layout() const { return fLayout; }

    // What happens when the user picks an item: the mark moves in radio mode, the label
    // follows, and the item is invoked.
    void ChooseItem(BMenuItem* item);
    // The window whose views show this menu (through its super items), or nullptr.
    BWindow* OwnerWindow() const;
    // Called when an item was marked; redraws the control that shows the menu.
    void ItemMarked(BMenuItem* item);
    void SetSuperitem(BMenuItem* item, BMenu* supermenu);
    // The view that shows this menu (a menu field's bar); redrawn when the label changes.
    void SetShowingView(BView* view) { fShowingView = view; }
    BView* ShowingView() const;

private:
    std::vector<BMenuItem*> fItems;
    menu_layout fLayout;
    bool fRadioMode = false;
    bool fLabelFromMarked = false;
    bool fEnabled = true;
    BMenuItem* fSuperitem = nullptr;
    BMenu* fSupermenu = nullptr;
    BView* fShowingView = nullptr;
};
