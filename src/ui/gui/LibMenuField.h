#pragma once

#include <memory>

#include "lib/LibString.h"
#include "platform/interface/gui/MenuField.h"
#include "platform/storage/FindDirectory.h"

class BMenuItem;
class BMessage;
class BPopUpMenu;
class xMenuItem;

// A pop-up menu field without a label whose items are handled by index or label. In
// radio mode the field shows the marked item. The arrow keys, Home and End step through
// the items (wrapping, skipping separators) and choose them as a click would.
// Every lookup by an index or a label that is not there does nothing and answers -1, ""
// or false.
class LibMenuField : public BMenuField {
public:
    LibMenuField(BRect frame, const char* name, const int& fontSize = 0,
                 const bool& radioMode = true);
    ~LibMenuField() override;

    void KeyDown(const char* bytes, int32 numBytes) override;

    // Inserts an item (the item owns `message`) at index, or appends it for -1. The
    // first item of a radio-mode menu is marked.
    xMenuItem* Add(const char* label, BMessage* message = nullptr, const int32& index = -1);
    void AddSeparatorItem();
    // Removes and deletes every item.
    void Clear();
    int32 CountItems() const;
    BMenuItem* ItemAt(const int32& index) const;
    // Takes the item out of the menu.
    std::unique_ptr<BMenuItem> RemoveItem(const int32& index);
    std::unique_ptr<BMenuItem> RemoveItem(const char* label);

    void SetItem(const int32& index);
    virtual void SetText(const char* label);
    void SetMarked(const char* label, const bool& marked);
    void ToggleMarked(const char* label);
    bool IsMarked(const char* label) const;
    // Marks the first enabled item and unmarks the disabled ones before it.
    void MarkFirstEnabled();

    int32 CurrentSelection() const;
    LibString Text() const;
    int32 IndexOf(const char* label) const;
    bool InMenu(const char* label) const;

    bool IsItemEnabled(const int32& index) const;
    bool IsItemEnabled(const char* label) const;
    void SetEnableItem(const int32& index, const bool& enabled);
    void SetEnableItem(const char* label, const bool& enabled);
    void SetEnableAll(const bool& enabled);

    void Replace(const char* label, const char* newLabel);
    void SetBitmap(const char* label, const char* resourceName);

    // Rebuilds the menu from the strings of `field` (each item with a new message
    // `command`, none for 0) and marks again the item that was marked, if it is still
    // there. Does nothing when the message has no such string.
    void SetTo(const BMessage& message, const char* field, const uint32& command);

    void AddStdFolder(const directory_which& which, const uint32& command);
    void AddStdFolders(const bool& withSystemFolders, const uint32& command);

    void AddEncodingItem(const char* label, const int& encoding, const uint32& command);
    void AddEncodingChoices(const uint32& command);
    void SetEncodingSelection(const int& encoding);
    int CurrentEncodingSelected() const;

    BPopUpMenu* PopUp() const;

private:
    // Index of the item a navigation key leads to from `from`, or -1.
    int32 StepFrom(int32 from, char key) const;
};
