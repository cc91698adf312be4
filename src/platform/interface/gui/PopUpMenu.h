#pragma once

// BPopUpMenu: a menu that opens at a point, e.g. under a menu field or at a click.

#include "platform/interface/gui/Menu.h"

class BPopUpMenu : public BMenu {
public:
    BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
               menu_layout layout = B_ITEMS_IN_COLUMN);

    // Opens the menu with its left-top at screenWhere and waits until the user picks an
    // item or dismisses it; answers the item (nullptr when dismissed). With
    // deliversMessage the chosen item is also invoked. Only on the window thread; async
    // is not supported and is treated as synchronous.
    BMenuItem* Go(BPoint screenWhere, bool deliversMessage = false, bool openAnyway = false,
                  bool async = false);
};
