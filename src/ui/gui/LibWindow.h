#pragma once

#include "platform/interface/gui/Window.h"

class BMessage;
class BView;

// The window base of the installer: places a window at one of nine places on the screen
// or around another window, keeps its relative place when the screen resolution changes,
// shows and hides without nesting, can bring itself forward, and turns Shift+F1 into a
// help request ('help') to the application.
class LibWindow : public BWindow {
public:
    enum ScreenPosition {
        kTopLeft = 0,
        kTopCenter = 1,
        kTopRight = 2,
        kMiddleLeft = 3,
        kCenter = 4,
        kMiddleRight = 5,
        kBottomLeft = 6,
        kBottomCenter = 7,
        kBottomRight = 8,
    };

    static constexpr uint32 kHelpRequest = 'help';

    LibWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
              uint32 workspaces = B_CURRENT_WORKSPACE);
    ~LibWindow() override;

    void MessageReceived(BMessage* message) override;
    // Sees key presses before the focus view does (for the help key).
    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void ScreenChanged(BRect screenFrame, color_space depth) override;
    // Show a hidden window, hide a shown one; repeated calls do not nest.
    void Show() override;
    void Hide() override;
    // Lets a subclass add data to a help request; answer true to have `inserts` sent.
    virtual bool InsertHelpRequest(BView* view, BMessage& inserts);

    // Moves the window to `position` on the main screen, or around `reference` when one
    // is given (then kept on the screen). Values outside the nine leave it where it is.
    void SetPosition(const ScreenPosition& position, BWindow* reference = nullptr);
    // Shows the window if hidden and activates it if it is not in front.
    void Pop();

    // The screen frame the window last saw.
    BRect ScreenFrame() const { return fScreenFrame; }

    // The placement arithmetic, without a window: the new left-top of a window whose
    // bounds are `bounds`, on `screen`, with `tab` pixels above it for a title tab, next
    // to `reference` when given. False for a position outside the nine.
    static bool PlacementFor(int32 position, BRect bounds, BRect screen, float tab,
                             const BRect* reference, BPoint* leftTop);
    // Where a window at `leftTop` goes when the screen changes from oldScreen to
    // newScreen, so that it keeps its relative place.
    static BPoint ScaledForScreen(BPoint leftTop, BRect oldScreen, BRect newScreen);
    // Whether a key-down message is Shift+F1.
    static bool IsHelpKey(const BMessage& keyDown);
    // The help request for `view` (the view under the mouse): "window", then "view"
    // for the view and each of its parents.
    void BuildHelpRequest(BView* view, BMessage& request);

private:
    void PostHelpRequest();

    BRect fScreenFrame;
};
