#pragma once

// BMenuItem: one entry of a menu, with a label, a message, an optional submenu and a
// mark. Choosing it sends its message (with "when", "source" and "index") to its target,
// by default the window of the menu. BSeparatorItem is a line between entries.

#include <string>

#include "platform/interface/gui/Invoker.h"
#include "platform/support/SupportDefs.h"

class BMenu;

class BMenuItem : public BInvoker {
public:
    BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
    // An item that opens submenu (the item owns it).
    explicit BMenuItem(BMenu* submenu, BMessage* message = nullptr);
    ~BMenuItem() override;

    virtual void SetLabel(const char* label);
    const char* Label() const { return fLabel.c_str(); }
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;
    // In a radio-mode menu marking an item unmarks the others; a menu that takes its label
    // from the marked item shows this item's label.
    virtual void SetMarked(bool marked);
    bool IsMarked() const { return fMarked; }
    virtual void SetShortcut(char shortcut, uint32 modifiers);
    char Shortcut(uint32* modifiers = nullptr) const;
    BMenu* Submenu() const { return fSubmenu; }
    // The menu the item is in.
    BMenu* Menu() const { return fMenu; }
    virtual bool IsSeparator() const { return false; }

    status_t Invoke(BMessage* message = nullptr) override;

protected:
    BMessenger DefaultTarget() const override;

private:
    friend class BMenu;

    std::string fLabel;
    BMenu* fSubmenu = nullptr;
    BMenu* fMenu = nullptr;
    bool fEnabled = true;
    bool fMarked = false;
    char fShortcut = 0;
    uint32 fModifiers = 0;
};

class BSeparatorItem : public BMenuItem {
public:
    BSeparatorItem();
    void SetEnabled(bool) override {}
    bool IsSeparator() const override { return true; }
};
