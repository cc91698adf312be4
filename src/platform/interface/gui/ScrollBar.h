#pragma once

// BScrollBar: scrolls its target view; the value is the target's bounds' left (horizontal)
// or top (vertical) coordinate.

#include "platform/interface/gui/View.h"

#define B_V_SCROLL_BAR_WIDTH 14.0f
#define B_H_SCROLL_BAR_HEIGHT 14.0f

class BScrollBar : public BView {
public:
    BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
               orientation direction);

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;

    // Moves the target; the value is kept within the range.
    void SetValue(float value);
    float Value() const { return fValue; }
    // For the target's ScrollTo: sets the value without scrolling the target again.
    void SetValueQuietly(float value);
    virtual void ValueChanged(float newValue);
    void SetRange(float min, float max);
    void GetRange(float* min, float* max) const;
    // The visible part of the whole, 0..1; sizes the thumb.
    void SetProportion(float proportion);
    float Proportion() const { return fProportion; }
    void SetSteps(float smallStep, float largeStep);
    void GetSteps(float* smallStep, float* largeStep) const;
    void SetTarget(BView* target);
    BView* Target() const { return fTarget; }
    orientation Orientation() const { return fOrientation; }

private:
    BRect ThumbRect() const;
    float Length() const;

    BView* fTarget;
    float fMin, fMax, fValue = 0;
    float fProportion = 0;
    float fSmallStep = 1, fLargeStep = 10;
    orientation fOrientation;
    // Dragging the thumb: the offset of the grab point in the thumb.
    int32 fTracking = 0; // 0 none, 1 thumb, 2 up arrow, 3 down arrow, 4 page up, 5 page down
    float fGrabOffset = 0;
};
