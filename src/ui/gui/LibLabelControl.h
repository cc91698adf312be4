#pragma once

#include "lib/LibString.h"
#include "platform/interface/gui/View.h"

class BStringView;

// A view with a bold label (and an optional colon) at its left, in front of a control
// that a subclass adds. Disabling greys the label. A label too long for its place (in
// some languages) pushes the colon and the control to the right, so that it shows whole.
class LibLabelControl : public BView {
public:
    LibLabelControl(BRect frame, const float& labelWidth, const char* name, const char* label,
                    const float& bottomInset, const char* colon, uint32 resizingMode);
    ~LibLabelControl() override;

    void SetLabel(const char* text);
    LibString LabelText() const;
    virtual void SetEnabled(bool enabled);

    BStringView* LabelView() const { return fLabel; }
    BStringView* ColonView() const { return fColon; }

protected:
    // The label's place grew (or shrank back) by `delta`: the control moves along.
    virtual void LabelWidened(float delta);

private:
    BStringView* fLabel = nullptr;
    BStringView* fColon = nullptr;
    float fLabelWidth = 0; // the label's place as laid out
    float fWidened = 0;
};
