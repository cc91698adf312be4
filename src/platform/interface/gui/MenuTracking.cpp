#include "platform/interface/gui/MenuTracking.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Menu_Item.H>

#include <cmath>
#include <vector>

#include "platform/interface/DisplayScale.h"
#include "platform/interface/gui/FltkPainter.h"
#include "platform/interface/gui/GuiHost.h"
#include "platform/interface/gui/Menu.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/Window.h"

namespace {

// The toolkit's flat menu description: submenus inline, ended by an empty entry.
void Flatten(BMenu* menu, std::vector<Fl_Menu_Item>& out) {
    for (int32 i = 0; i < menu->CountItems(); i++) {
        BMenuItem* item = menu->ItemAt(i);
        if (item->IsSeparator()) {
            if (!out.empty())
                out.back().flags |= FL_MENU_DIVIDER;
            continue;
        }
        Fl_Menu_Item entry{};
        entry.text = item->Label();
        entry.user_data_ = item;
        if (!item->IsEnabled() || !menu->IsEnabled())
            entry.flags |= FL_MENU_INACTIVE;
        if (menu->IsRadioMode())
            entry.flags |= FL_MENU_RADIO;
        else if (item->IsMarked())
            entry.flags |= FL_MENU_TOGGLE;
        if (item->IsMarked())
            entry.flags |= FL_MENU_VALUE;
        if (BMenu* sub = item->Submenu()) {
            entry.flags |= FL_SUBMENU;
            entry.flags &= ~(FL_MENU_RADIO | FL_MENU_TOGGLE | FL_MENU_VALUE);
            out.push_back(entry);
            Flatten(sub, out);
            out.push_back(Fl_Menu_Item{});
            continue;
        }
        out.push_back(entry);
    }
}

BMenuItem* Run(BMenu* menu, BWindow* window, BRect field, bool pulldown) {
    if (!GuiHost::HasDisplay() || !GuiHost::IsGuiThread() || menu->CountItems() == 0)
        return nullptr;
    std::vector<Fl_Menu_Item> items;
    Flatten(menu, items);
    items.push_back(Fl_Menu_Item{});
    if (items.size() <= 1)
        return nullptr;
    BFont font;
    menu->GetFont(&font);
    // The toolkit takes the menu's font from the widget it opens for.
    Fl_Choice carrier(0, 0, 0, 0);
    carrier.textfont(FltkPainter::FontIndex(font));
    PixelGrid grid{DisplayScale::Factor()};
    BFont menuFont(font);
    menuFont.SetSize(font.Size() + 2);
    carrier.textsize((Fl_Fontsize)FltkPainter::FontSize(menuFont, grid.scale));
    carrier.hide();
    const Fl_Menu_Item* picked = nullptr;
    int marked = menu->FindMarkedIndex();
    if (marked >= 0) {
        // Index among the flattened entries of the top level.
        for (const Fl_Menu_Item& entry : items)
            if (entry.user_data_ == menu->ItemAt(marked))
                picked = &entry;
    }
    (void)window;
    const Fl_Menu_Item* chosen;
    if (pulldown)
        chosen = items[0].pulldown(grid.First(field.left), grid.First(field.top),
                                   grid.Last(field.right) - grid.First(field.left) + 1,
                                   grid.Last(field.bottom) - grid.First(field.top) + 1, picked,
                                   &carrier);
    else
        chosen = items[0].popup(grid.First(field.left), grid.First(field.top), nullptr, nullptr,
                                &carrier);
    if (!chosen || (chosen->flags & (FL_SUBMENU | FL_MENU_INACTIVE)))
        return nullptr;
    return (BMenuItem*)chosen->user_data_;
}

} // namespace

BMenuItem* MenuTracking::PullDown(BMenu* menu, BWindow* window, BRect field) {
    return Run(menu, window, field, true);
}

BMenuItem* MenuTracking::PopUp(BMenu* menu, BWindow* window, BPoint where) {
    return Run(menu, window, BRect(where, where), false);
}
