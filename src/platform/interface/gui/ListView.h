#pragma once

// BListView: a vertical list of items. A click selects the row under the mouse; in a
// multiple-selection list Shift extends the selection from the last clicked row and the
// Command key adds or removes one row. A change of the selection sends the selection
// message; a double click or Enter sends the invocation message (both with "index",
// the selected rows, "when" and "source"). The list owns nothing: removed items are the
// caller's.

#include <vector>

#include "platform/interface/gui/Invoker.h"
#include "platform/interface/gui/ListItem.h"
#include "platform/interface/gui/View.h"

enum list_view_type { B_SINGLE_SELECTION_LIST, B_MULTIPLE_SELECTION_LIST };

class BListView : public BView, public BInvoker {
public:
    BListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
              uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
              uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    ~BListView() override;

    // Items.
    virtual bool AddItem(BListItem* item);
    virtual bool AddItem(BListItem* item, int32 index);
    virtual bool RemoveItem(BListItem* item);
    virtual BListItem* RemoveItem(int32 index);
    virtual bool RemoveItems(int32 index, int32 count);
    BListItem* ItemAt(int32 index) const;
    BListItem* FirstItem() const { return ItemAt(0); }
    BListItem* LastItem() const { return ItemAt(CountItems() - 1); }
    int32 IndexOf(const BListItem* item) const;
    // The row at a point in the view's coordinates, or -1.
    int32 IndexOf(BPoint point) const;
    bool HasItem(const BListItem* item) const { return IndexOf(item) >= 0; }
    int32 CountItems() const { return (int32)fItems.size(); }
    bool IsEmpty() const { return fItems.empty(); }
    // Removes every item without deleting it.
    virtual void MakeEmpty();
    bool SwapItems(int32 a, int32 b);
    bool MoveItem(int32 from, int32 to);
    bool ReplaceItem(int32 index, BListItem* item);
    void SortItems(int (*compare)(const void*, const void*));

    // Selection.
    void Select(int32 index, bool extend = false);
    void Select(int32 from, int32 to, bool extend = false);
    bool IsItemSelected(int32 index) const;
    // The index-th selected row (in row order), or -1.
    int32 CurrentSelection(int32 index = 0) const;
    void Deselect(int32 index);
    void DeselectAll();
    void DeselectExcept(int32 from, int32 to);
    virtual void SelectionChanged();
    void SetListType(list_view_type type);
    list_view_type ListType() const { return fType; }

    void SetSelectionMessage(BMessage* message);
    void SetInvocationMessage(BMessage* message);
    BMessage* SelectionMessage() const { return fSelectionMessage.get(); }
    uint32 SelectionCommand() const;
    BMessage* InvocationMessage() const { return Message(); }
    uint32 InvocationCommand() const { return Command(); }
    status_t Invoke(BMessage* message = nullptr) override;

    BRect ItemFrame(int32 index) const;
    void InvalidateItem(int32 index);
    void ScrollToSelection();

    // Hooks.
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void FrameResized(float width, float height) override;
    void AttachedToWindow() override;
    void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;
    void MakeFocus(bool focus = true) override;
    // A press on a row that may start a drag; answer true to take over the press.
    virtual bool InitiateDrag(BPoint point, int32 index, bool wasSelected);

protected:
    // The row a Shift-click extends a range from.
    void SetAnchor(int32 index) { fAnchor = index; }

private:
    bool SelectOne(int32 index, bool extend, bool notify);
    void Notify();
    void FixupScrollBar();
    void UpdateItems();
    float TotalHeight() const;

    std::vector<BListItem*> fItems;
    list_view_type fType;
    std::unique_ptr<BMessage> fSelectionMessage;
    int32 fAnchor = -1;
    int32 fLastSelected = -1;
    bool fTracking = false;
};
