#pragma once

// BMenuField: a label and a bar that opens a pop-up menu. In radio mode with "label from
// marked" the bar shows the marked item's label.

#include <string>

#include "platform/interface/gui/View.h"

class BMenu;
class BMenuBar;
class BMenuItem;

class BMenuField : public BView {
public:
    // The field owns menu.
    BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
               uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
               uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    ~BMenuField() override;

    BMenu* Menu() const { return fMenu; }
    BMenuBar* MenuBar() const { return fBar; }
    // The item in the bar that shows the menu's label.
    BMenuItem* MenuItem() const;
    void SetLabel(const char* label);
    const char* Label() const { return fLabel.empty() ? nullptr : fLabel.c_str(); }
    void SetDivider(float divider);
    float Divider() const { return fDivider; }
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return fEnabled; }
    void SetAlignment(alignment label) { fAlignment = label; }
    alignment Alignment() const { return fAlignment; }

    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void FrameResized(float width, float height) override;
    void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;

private:
    void LayoutBar();

    std::string fLabel;
    BMenu* fMenu;
    BMenuBar* fBar = nullptr;
    float fDivider;
    bool fEnabled = true;
    alignment fAlignment = B_ALIGN_LEFT;
};
