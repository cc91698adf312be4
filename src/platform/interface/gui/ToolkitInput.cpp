#include "platform/interface/gui/ToolkitInput.h"

#include <FL/Fl.H>

#include <algorithm>

#include "platform/app/Message.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/FilePanel.h"
#include "platform/storage/Entry.h"
#include "platform/support/PercentCoding.h"

namespace toolkit_input {

uint32 Modifiers() {
    int state = Fl::event_state();
    uint32 modifiers = 0;
    if (state & FL_SHIFT)
        modifiers |= B_SHIFT_KEY;
    if (state & FL_CTRL)
        modifiers |= B_CONTROL_KEY | B_COMMAND_KEY;
    if (state & FL_ALT)
        modifiers |= B_OPTION_KEY | B_COMMAND_KEY;
    if (state & FL_CAPS_LOCK)
        modifiers |= B_CAPS_LOCK;
    if (state & FL_NUM_LOCK)
        modifiers |= B_NUM_LOCK;
    return modifiers;
}

uint32 Buttons() {
    int state = Fl::event_state();
    uint32 buttons = 0;
    if (state & FL_BUTTON1)
        buttons |= B_PRIMARY_MOUSE_BUTTON;
    if (state & FL_BUTTON3)
        buttons |= B_SECONDARY_MOUSE_BUTTON;
    if (state & FL_BUTTON2)
        buttons |= B_TERTIARY_MOUSE_BUTTON;
    return buttons;
}

std::string KeyBytes(int key) {
    switch (key) {
    case FL_Enter:
    case FL_KP_Enter:
        return std::string(1, (char)B_ENTER);
    case FL_Tab:
        return std::string(1, (char)B_TAB);
    case FL_Escape:
        return std::string(1, (char)B_ESCAPE);
    case FL_BackSpace:
        return std::string(1, (char)B_BACKSPACE);
    case FL_Delete:
        return std::string(1, (char)B_DELETE);
    case FL_Left:
        return std::string(1, (char)B_LEFT_ARROW);
    case FL_Right:
        return std::string(1, (char)B_RIGHT_ARROW);
    case FL_Up:
        return std::string(1, (char)B_UP_ARROW);
    case FL_Down:
        return std::string(1, (char)B_DOWN_ARROW);
    case FL_Home:
        return std::string(1, (char)B_HOME);
    case FL_End:
        return std::string(1, (char)B_END);
    case FL_Page_Up:
        return std::string(1, (char)B_PAGE_UP);
    case FL_Page_Down:
        return std::string(1, (char)B_PAGE_DOWN);
    case FL_Insert:
        return std::string(1, (char)B_INSERT);
    default:
        break;
    }
    // Function keys arrive as B_FUNCTION_KEY; the "key" field tells which one.
    if (key >= FL_F + 1 && key <= FL_F + 12)
        return std::string(1, (char)B_FUNCTION_KEY);
    if (Fl::event_state() & (FL_CTRL | FL_ALT)) {
        if (key > 0 && key < 128)
            return std::string(1, (char)key);
        return std::string();
    }
    const char* text = Fl::event_text();
    if (text && *text)
        return std::string(text, std::min(Fl::event_length(), 8));
    return std::string();
}

int32 AddDroppedRefs(BMessage* message, const char* text, int length) {
    if (!text || length <= 0)
        return 0;
    int32 added = 0;
    std::string list(text, (size_t)length);
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = list.size();
        std::string line = list.substr(start, end - start);
        start = end + 1;
        if (line.rfind("file://", 0) == 0)
            line = line.substr(7);
        // A host part ("file://host/path") is skipped up to the path.
        if (!line.empty() && line[0] != '/') {
            size_t slash = line.find('/');
            if (slash == std::string::npos)
                continue;
            line = line.substr(slash);
        }
        std::string path;
        PercentDecode(line, path, false);
        if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos)
            continue;
        entry_ref ref;
        if (get_ref_for_path(path.c_str(), &ref) == B_OK &&
            AddRefToMessage(message, "refs", ref) == B_OK)
            added++;
    }
    return added;
}

} // namespace toolkit_input
