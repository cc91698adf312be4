#pragma once

// BControl: a view with a label, a value and an enabled state that sends its message
// (with "when", "source" and "be:value") to its target when the user operates it. A
// control without a target sends to its window.

#include <string>

#include "platform/interface/gui/Invoker.h"
#include "platform/interface/gui/View.h"

enum { B_CONTROL_OFF = 0, B_CONTROL_ON = 1 };

class BControl : public BView, public BInvoker {
public:
    BControl(BRect frame, const char* name, const char* label, BMessage* message,
             uint32 resizingMode, uint32 flags);
    ~BControl() override;

    void AttachedToWindow() override;
    void MakeFocus(bool focus = true) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void WindowActivated(bool active) override;

    virtual void SetLabel(const char* label);
    const char* Label() const { return fLabel.c_str(); }
    virtual void SetValue(int32 value);
    int32 Value() const { return fValue; }
    // Disabled controls ignore the user and leave the keyboard navigation.
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const { return fEnabled; }

    status_t Invoke(BMessage* message = nullptr) override;

protected:
    bool IsTracking() const { return fTracking; }
    void SetTracking(bool tracking) { fTracking = tracking; }
    // The colours and marks every control draws with.
    rgb_color LabelColor() const;
    bool ShowsFocus() const;

private:
    std::string fLabel;
    int32 fValue = B_CONTROL_OFF;
    bool fEnabled = true;
    bool fTracking = false;
    uint32 fNavigableFlags;
};
