#pragma once

// Constants of the interface layer: keys, modifiers, mouse buttons, alignment, borders,
// resizing modes, view flags and the system's user-interface colours.

#include "platform/interface/GraphicsDefs.h"
#include "platform/support/SupportDefs.h"

// Keys as they arrive in KeyDown's bytes.
enum {
    B_BACKSPACE = 0x08,
    B_RETURN = 0x0a,
    B_ENTER = 0x0a,
    B_SPACE = 0x20,
    B_TAB = 0x09,
    B_ESCAPE = 0x1b,
    B_SUBSTITUTE = 0x1a,
    B_LEFT_ARROW = 0x1c,
    B_RIGHT_ARROW = 0x1d,
    B_UP_ARROW = 0x1e,
    B_DOWN_ARROW = 0x1f,
    B_INSERT = 0x05,
    B_DELETE = 0x7f,
    B_HOME = 0x01,
    B_END = 0x04,
    B_PAGE_UP = 0x0b,
    B_PAGE_DOWN = 0x0c,
    B_FUNCTION_KEY = 0x10,
};

// Modifier keys.
enum {
    B_SHIFT_KEY = 0x00000001,
    B_COMMAND_KEY = 0x00000002,
    B_CONTROL_KEY = 0x00000004,
    B_CAPS_LOCK = 0x00000008,
    B_SCROLL_LOCK = 0x00000010,
    B_NUM_LOCK = 0x00000020,
    B_OPTION_KEY = 0x00000040,
    B_MENU_KEY = 0x00000080,
};

// Mouse buttons.
enum {
    B_PRIMARY_MOUSE_BUTTON = 0x01,
    B_SECONDARY_MOUSE_BUTTON = 0x02,
    B_TERTIARY_MOUSE_BUTTON = 0x04,
};

// Transit codes of MouseMoved.
enum { B_ENTERED_VIEW = 0, B_INSIDE_VIEW, B_EXITED_VIEW, B_OUTSIDE_VIEW };

enum alignment { B_ALIGN_LEFT, B_ALIGN_RIGHT, B_ALIGN_CENTER };

enum border_style { B_PLAIN_BORDER, B_FANCY_BORDER, B_NO_BORDER };

enum orientation { B_HORIZONTAL, B_VERTICAL };

enum button_width { B_WIDTH_AS_USUAL, B_WIDTH_FIXED, B_WIDTH_FROM_WIDEST, B_WIDTH_FROM_LABEL };

// Resizing modes: which of the parent's edges a view's edges follow. Each edge has 4 bits
// (left, top, right, bottom from the highest), naming the parent edge it follows.
enum {
    _VIEW_TOP_ = 1,
    _VIEW_LEFT_ = 2,
    _VIEW_BOTTOM_ = 3,
    _VIEW_RIGHT_ = 4,
    _VIEW_CENTER_ = 5,
};
inline constexpr uint32 _rule_(uint32 r1, uint32 r2, uint32 r3, uint32 r4) {
    return (r1 << 12) | (r2 << 8) | (r3 << 4) | r4;
}
enum : uint32 {
    B_FOLLOW_NONE = 0,
    B_FOLLOW_ALL_SIDES = _rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, _VIEW_RIGHT_),
    B_FOLLOW_ALL = B_FOLLOW_ALL_SIDES,
    B_FOLLOW_LEFT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_),
    B_FOLLOW_RIGHT = _rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_),
    B_FOLLOW_LEFT_RIGHT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_),
    B_FOLLOW_H_CENTER = _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_),
    B_FOLLOW_TOP = _rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0),
    B_FOLLOW_BOTTOM = _rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0),
    B_FOLLOW_TOP_BOTTOM = _rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0),
    B_FOLLOW_V_CENTER = _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0),
};

// View flags.
enum : uint32 {
    B_FULL_UPDATE_ON_RESIZE = 0x80000000UL,
    _B_RESERVED1_ = 0x40000000UL,
    B_WILL_DRAW = 0x20000000UL,
    B_PULSE_NEEDED = 0x10000000UL,
    B_NAVIGABLE_JUMP = 0x08000000UL,
    B_FRAME_EVENTS = 0x04000000UL,
    B_NAVIGABLE = 0x02000000UL,
    B_SUBPIXEL_PRECISE = 0x01000000UL,
    B_DRAW_ON_CHILDREN = 0x00800000UL,
};

enum color_which {
    B_PANEL_BACKGROUND_COLOR = 1,
    B_MENU_BACKGROUND_COLOR = 2,
    B_WINDOW_TAB_COLOR = 3,
    B_KEYBOARD_NAVIGATION_COLOR = 4,
    B_DESKTOP_COLOR = 5,
    B_MENU_SELECTION_BACKGROUND_COLOR = 6,
    B_MENU_ITEM_TEXT_COLOR = 7,
    B_MENU_SELECTED_ITEM_TEXT_COLOR = 8,
    B_MENU_SELECTED_BORDER_COLOR = 9,
    B_PANEL_TEXT_COLOR = 10,
    B_DOCUMENT_BACKGROUND_COLOR = 11,
    B_DOCUMENT_TEXT_COLOR = 12,
    B_CONTROL_BACKGROUND_COLOR = 13,
    B_CONTROL_TEXT_COLOR = 14,
    B_CONTROL_BORDER_COLOR = 15,
    B_CONTROL_HIGHLIGHT_COLOR = 16,
    B_NAVIGATION_BASE_COLOR = 4,
    B_SHINE_COLOR = 18,
    B_SHADOW_COLOR = 19,
    B_TOOLTIP_BACKGROUND_COLOR = 20,
    B_TOOLTIP_TEXT_COLOR = 21,
    B_SUCCESS_COLOR = 100,
    B_FAILURE_COLOR = 101,
};

// The system's colour for a user-interface element; unknown elements give black.
rgb_color ui_color(color_which which);

// Lightens (tint < 1) or darkens (tint > 1) a colour, as the old platform's tint_color.
rgb_color tint_color(rgb_color color, float tint);

inline constexpr float B_LIGHTEN_MAX_TINT = 0.0f;
inline constexpr float B_LIGHTEN_2_TINT = 0.385f;
inline constexpr float B_LIGHTEN_1_TINT = 0.590f;
inline constexpr float B_NO_TINT = 1.0f;
inline constexpr float B_DARKEN_1_TINT = 1.147f;
inline constexpr float B_DARKEN_2_TINT = 1.295f;
inline constexpr float B_DARKEN_3_TINT = 1.407f;
inline constexpr float B_DARKEN_4_TINT = 1.555f;
inline constexpr float B_DARKEN_MAX_TINT = 2.0f;
inline constexpr float B_DISABLED_LABEL_TINT = B_DARKEN_3_TINT;
inline constexpr float B_HIGHLIGHT_BACKGROUND_TINT = B_DARKEN_2_TINT;
inline constexpr float B_DISABLED_MARK_TINT = B_LIGHTEN_2_TINT;
