#pragma once

// BAlert: a small modal window with an icon, a text and up to three buttons. Go() shows it
// and waits for a button (from any thread: on the window thread the alert runs its own
// loop; another thread blocks while the toolkit thread runs the alert, and a thread that
// is told to stop gets the first button). Go(BInvoker*) returns at once and later sends
// the invoker's message with "which" = the button's index.
//
// The rightmost (last) button is the default button. SetShortcut(index, key) lets a bare
// key press a button (B_ESCAPE for Escape).

#include <memory>
#include <string>

#include "platform/interface/gui/Window.h"

class BButton;
class BInvoker;
class BTextView;
class BView;
struct AlertPendingAnswer;

enum alert_type { B_EMPTY_ALERT = 0, B_INFO_ALERT, B_IDEA_ALERT, B_WARNING_ALERT, B_STOP_ALERT };

class BAlert : public BWindow {
public:
    BAlert(const char* title, const char* text, const char* button0, const char* button1 = nullptr,
           const char* button2 = nullptr, button_width width = B_WIDTH_AS_USUAL,
           alert_type type = B_INFO_ALERT);
    ~BAlert() override;

    void SetShortcut(int32 index, char key);
    char Shortcut(int32 index) const;
    BButton* ButtonAt(int32 index) const;
    int32 CountButtons() const { return fButtonCount; }
    BTextView* TextView() const { return fTextView; }
    alert_type Type() const { return fType; }

    // Shows the alert and answers the index of the pressed button. The alert is gone
    // when Go() returns.
    int32 Go();
    // Shows the alert and returns; the invoker (owned by the alert from now on) is
    // invoked with "which" when a button is pressed. nullptr: just close.
    status_t Go(BInvoker* invoker);

    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;
    void FrameResized(float width, float height) override;

    // Draws the 32 x 32 icon of an alert type with its left-top at `where`.
    static void DrawIcon(BView* view, alert_type type, BPoint where);

private:
    void Layout();
    // Centres the alert on the application's main window (on the screen without one) and
    // keeps it on the screen; done as it is shown, when its size is final.
    void PlaceOverMainWindow();
    void Answer(int32 index);

    alert_type fType;
    button_width fButtonWidth;
    BButton* fButtons[3] = {nullptr, nullptr, nullptr};
    char fShortcuts[3] = {0, 0, 0};
    int32 fButtonCount = 0;
    BTextView* fTextView = nullptr;
    BView* fIconView = nullptr;
    std::shared_ptr<AlertPendingAnswer> fAnswer;
    std::unique_ptr<BInvoker> fInvoker;
    bool fAsync = false;
};
