#include "platform/interface/gui/WindowHints.h"

namespace {

bool IsModalFeel(window_feel feel) {
    return feel == B_MODAL_APP_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL ||
           feel == B_MODAL_SUBSET_WINDOW_FEEL;
}

bool IsFloatingFeel(window_feel feel) {
    return feel == B_FLOATING_APP_WINDOW_FEEL || feel == B_FLOATING_ALL_WINDOW_FEEL ||
           feel == B_FLOATING_SUBSET_WINDOW_FEEL;
}

} // namespace

const char* WindowHints::TypeAtomName() const {
    switch (type) {
    case Type::Dialog:
        return "_NET_WM_WINDOW_TYPE_DIALOG";
    case Type::Tooltip:
        return "_NET_WM_WINDOW_TYPE_TOOLTIP";
    case Type::PopupMenu:
        return "_NET_WM_WINDOW_TYPE_POPUP_MENU";
    case Type::Normal:
        break;
    }
    return "_NET_WM_WINDOW_TYPE_NORMAL";
}

WindowHints WindowHints::For(window_look look, window_feel feel, uint32 flags, bool dialog) {
    WindowHints hints;
    bool avoidsFocus = (flags & B_AVOID_FOCUS) != 0;
    hints.drawnBorder = look == B_BORDERED_WINDOW_LOOK;
    if (look == B_NO_BORDER_WINDOW_LOOK || (look == B_BORDERED_WINDOW_LOOK && avoidsFocus)) {
        // A window without a tab that must never take the focus (a tip) or has no frame
        // at all: a window manager would frame it and hand it the focus, so it is not
        // left to one.
        hints.overrideRedirect = true;
        hints.decorated = false;
        hints.takesFocus = false;
        hints.type = avoidsFocus && IsFloatingFeel(feel) ? Type::Tooltip : Type::PopupMenu;
        return hints;
    }

    hints.decorated = look != B_BORDERED_WINDOW_LOOK;
    hints.takesFocus = !avoidsFocus;
    if (dialog || look == B_MODAL_WINDOW_LOOK || IsModalFeel(feel) || IsFloatingFeel(feel)) {
        hints.type = Type::Dialog;
        hints.transient = true;
    }

    bool resizable =
        (flags & B_NOT_RESIZABLE) == 0 && (flags & (B_NOT_H_RESIZABLE | B_NOT_V_RESIZABLE)) !=
                                              (B_NOT_H_RESIZABLE | B_NOT_V_RESIZABLE);
    bool minimizable = (flags & B_NOT_MINIMIZABLE) == 0 && !hints.transient;
    bool zoomable = (flags & B_NOT_ZOOMABLE) == 0 && resizable;
    bool closable = (flags & B_NOT_CLOSABLE) == 0;
    bool movable = (flags & B_NOT_MOVABLE) == 0;

    hints.motifFlags = kMotifHintsFunctions | kMotifHintsDecorations;
    hints.motifFunctions =
        (movable ? kMotifFunctionMove : 0) | (resizable ? kMotifFunctionResize : 0) |
        (minimizable ? kMotifFunctionMinimize : 0) | (zoomable ? kMotifFunctionMaximize : 0) |
        (closable ? kMotifFunctionClose : 0);
    if (hints.decorated)
        hints.motifDecorations = kMotifDecorBorder | kMotifDecorTitle | kMotifDecorMenu |
                                 (resizable ? kMotifDecorResizeHandle : 0) |
                                 (minimizable ? kMotifDecorMinimize : 0) |
                                 (zoomable ? kMotifDecorMaximize : 0);
    return hints;
}
