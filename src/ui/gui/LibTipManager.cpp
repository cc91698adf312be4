#include "ui/gui/LibTipManager.h"

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/app/Messenger.h"
#include "ui/gui/LibTipWin.h"

namespace {

constexpr bigtime_t kSecond = 1000000;

void SetApplicationPulse(bigtime_t rate) {
    if (be_app != nullptr)
        be_app->SetPulseRate(rate);
}

} // namespace

LibTipManager::LibTipManager() {}

LibTipManager::~LibTipManager() {
    // The tip window may already be gone: an application that ends quits its windows
    // before its members are destroyed.
    if (LockWindow())
        fWindow->Quit();
    fWindow = nullptr;
}

void LibTipManager::SetShowTips(const bool& show) {
    fEnabled = show;
    if (!fEnabled && fWindow != nullptr)
        Hide();
}

void LibTipManager::ToggleTips() {
    SetShowTips(!fEnabled);
}

bool LibTipManager::LockWindow() {
    return fWindow != nullptr && fWindowMessenger.LockTarget();
}

void LibTipManager::Hide() {
    if (LockWindow()) {
        if (!fWindow->IsHidden())
            fWindow->Hide();
        fWindow->Unlock();
    }
    fPending = false;
    SetApplicationPulse(0);
}

void LibTipManager::Pop() {
    if (!LockWindow())
        return;
    fWindow->Pop();
    fWindow->SetPulseRate(fEndDelay * kSecond);
    fWindow->Unlock();
    fPending = false;
}

void LibTipManager::MessageReceived(BMessage* message) {
    if (!fEnabled || message == nullptr)
        return;
    if (fWindow == nullptr || !fWindowMessenger.IsValid()) {
        fWindow = new LibTipWin();
        fWindow->Run();
        fWindowMessenger = BMessenger(nullptr, fWindow);
    }
    if (!message->GetBool("show", false)) {
        Hide();
        return;
    }

    int32 width = 0;
    if (message->FindInt32("width", &width) != B_OK)
        width = 0;
    BPoint where(0, 0);
    message->FindPoint("loc", &where);
    if (LockWindow()) {
        // A new tip restarts the delays of the one shown.
        fWindow->SetPulseRate(0);
        fWindow->SetText(message->GetString("tip", ""), width);
        fWindow->MoveTo(where);
        fWindow->Unlock();
    }

    int16 delay;
    fStartDelay = message->FindInt16("sdelay", &delay) == B_OK ? delay : 1;
    fEndDelay = message->FindInt16("edelay", &delay) == B_OK ? delay : 4;
    if (fStartDelay < 0)
        fStartDelay = 0;
    if (fEndDelay < 0)
        fEndDelay = 0;
    fPending = true;
    SetApplicationPulse(fStartDelay * kSecond);
    if (fStartDelay == 0)
        Pop();
}

void LibTipManager::PostPending() {
    if (!fPending || fWindow == nullptr)
        return;
    Pop();
}
