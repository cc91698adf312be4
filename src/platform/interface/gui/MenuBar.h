#pragma once

// BMenuBar: the bar of a menu field that shows its menu's label and opens it.

#include "platform/interface/gui/Menu.h"

class BMenuBar : public BMenu {
public:
    BMenuBar(BRect frame, const char* name);

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void AttachedToWindow() override;
    // Opens the menu of the bar's first item under the bar; answers the chosen item.
    BMenuItem* Track();
};
