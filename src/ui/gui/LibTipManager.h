#pragma once

#include "platform/app/Messenger.h"
#include "platform/support/SupportDefs.h"

class BMessage;
class LibTipWin;

// Shows the application's tool tips. Any view asks for one by posting a tip message to
// the application, which hands it to MessageReceived():
//   bool "show" (absent: hide), string "tip", int32 "width" (> 0: wrap at that width),
//   point "loc" (screen), int16 "sdelay" (seconds before it appears, default 1, 0 = at
//   once), int16 "edelay" (seconds it stays, default 4).
// The start delay runs on the application's pulse: the application calls PostPending()
// from its Pulse(). The end delay runs on the tip window's pulse. Runs on the
// application's thread.
class LibTipManager {
public:
    LibTipManager();
    virtual ~LibTipManager();

    void MessageReceived(BMessage* message);
    // Shows a pending tip (from the application's pulse).
    void PostPending();

    void SetShowTips(const bool& show);
    void ToggleTips();
    bool ShowsTips() const { return fEnabled; }

    // For tests and the owner: the tip window (none before the first tip message), and
    // whether a tip waits for its start delay.
    LibTipWin* TipWindow() const { return fWindow; }
    bool IsPending() const { return fPending; }

private:
    void Hide();
    void Pop();
    // Locks the tip window if it still exists.
    bool LockWindow();

    LibTipWin* fWindow = nullptr;
    BMessenger fWindowMessenger;
    bool fEnabled = true;
    int32 fStartDelay = 1;
    int32 fEndDelay = 4;
    bool fPending = false;
};
