#pragma once

#include <memory>

#include "lib/LibString.h"
#include "ui/gui/LibLabelControl.h"
#include "ui/gui/LibMenuField.h"

class BHandler;

// A labelled pop-up menu: the label ("Label:") and, after it, a LibMenuField named
// "menu", 25 pixels high. The item operations forward to the menu field.
class LibMenuButton : public LibLabelControl {
public:
    LibMenuButton(const BPoint& where, const char* name, const char* label, const float& labelWidth,
                  const float& menuWidth, const uint32& resizingMode, const int& fontSize = 0,
                  const bool& radioMode = true);
    ~LibMenuButton() override;

    void MakeFocus(bool focus = true) override;
    void SetEnabled(bool enabled) override;

    LibMenuField* MenuField() const { return fMenu; }

    xMenuItem* AddItem(const char* label, BMessage* message = nullptr, const int32& index = -1);
    xMenuItem* AddItem(const LibString& label, BMessage* message = nullptr,
                       const int32& index = -1);
    void AddSeparatorItem();
    void Clear();
    int32 CountItems() const;
    void SetItem(const int32& index);
    void SetText(const char* label);
    void SetText(const LibString& label);
    int32 IndexOf(const char* label) const;
    LibString Text() const;
    int32 CurrentSelection() const;
    std::unique_ptr<BMenuItem> RemoveItem(const int32& index);
    std::unique_ptr<BMenuItem> RemoveItem(const char* label);
    bool IsItemEnabled(const int32& index) const;
    bool IsItemEnabled(const char* label) const;
    void SetEnableItem(const int32& index, const bool& enabled);
    void SetEnableItem(const char* label, const bool& enabled);
    bool InMenu(const char* label) const;
    void ReplaceItem(const char* label, const char* newLabel);
    void SetTo(const BMessage& message, const char* field, const uint32& command);
    void AddStdFolders(const bool& withSystemFolders, const uint32& command);
    void AddEncodingChoices(const uint32& command);
    void SetEncodingSelection(const int& encoding);
    int CurrentEncodingSelected() const;

    // Makes `handler` the target of every item of the menu.
    void SetTarget(BHandler* handler);

protected:
    // The menu keeps its right end and gives up what the label needs.
    void LabelWidened(float delta) override;

private:
    LibMenuField* fMenu;
};
