#pragma once

// Opens a menu on screen and waits for the user's choice; the toolkit's pop-up menus do
// the work. Only on the toolkit thread.

#include "platform/interface/Rect.h"

class BMenu;
class BMenuItem;
class BWindow;

class MenuTracking {
public:
    // Opens menu below (or, with the marked item over) `field`, a rectangle in window
    // coordinates; answers the chosen item or nullptr. With no display, nullptr.
    static BMenuItem* PullDown(BMenu* menu, BWindow* window, BRect field);
    // Opens menu with its left-top at a point in window coordinates.
    static BMenuItem* PopUp(BMenu* menu, BWindow* window, BPoint where);
};
