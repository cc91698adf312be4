#pragma once

// BListItem: one row of a BListView, with its own height, selection and enabled state;
// subclasses draw it. BStringItem shows a line of text.

#include <string>

#include "platform/interface/Font.h"
#include "platform/interface/Rect.h"
#include "platform/support/SupportDefs.h"

class BView;

class BListItem {
public:
    explicit BListItem(uint32 outlineLevel = 0, bool expanded = true);
    virtual ~BListItem();

    float Height() const { return fHeight; }
    float Width() const { return fWidth; }
    bool IsSelected() const { return fSelected; }
    void Select() { fSelected = true; }
    void Deselect() { fSelected = false; }
    virtual void SetEnabled(bool enabled) { fEnabled = enabled; }
    bool IsEnabled() const { return fEnabled; }
    void SetHeight(float height) { fHeight = height; }
    void SetWidth(float width) { fWidth = width; }
    uint32 OutlineLevel() const { return fOutlineLevel; }
    bool IsExpanded() const { return fExpanded; }
    void SetExpanded(bool expanded) { fExpanded = expanded; }

    // frame is the row in the owner's coordinates; complete asks for the background too.
    virtual void DrawItem(BView* owner, BRect frame, bool complete = false) = 0;
    // Called when the item joins a list and when the list's font or width changes; sets
    // the width to the owner's and the height to the font's line height.
    virtual void Update(BView* owner, const BFont* font);

private:
    float fWidth = 0;
    float fHeight = 0;
    uint32 fOutlineLevel;
    bool fSelected = false;
    bool fEnabled = true;
    bool fExpanded;
};

class BStringItem : public BListItem {
public:
    explicit BStringItem(const char* text, uint32 outlineLevel = 0, bool expanded = true);

    void DrawItem(BView* owner, BRect frame, bool complete = false) override;
    void Update(BView* owner, const BFont* font) override;
    virtual void SetText(const char* text);
    const char* Text() const { return fText.c_str(); }

private:
    std::string fText;
    float fBaselineOffset = 0;
};
