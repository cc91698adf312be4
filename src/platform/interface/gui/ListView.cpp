#include "platform/interface/gui/ListView.h"

#include <algorithm>
#include <cmath>

#include "platform/app/Message.h"
#include "platform/interface/gui/ScrollBar.h"
#include "platform/interface/gui/Window.h"

BListView::BListView(BRect frame, const char* name, list_view_type type, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags | B_FRAME_EVENTS), fType(type) {}

BListView::~BListView() = default;

bool BListView::AddItem(BListItem* item) {
    return AddItem(item, CountItems());
}

bool BListView::AddItem(BListItem* item, int32 index) {
    if (!item || index < 0 || index > CountItems())
        return false;
    fItems.insert(fItems.begin() + index, item);
    BFont font;
    GetFont(&font);
    item->Update(this, &font);
    if (fAnchor >= index)
        fAnchor++;
    if (fLastSelected >= index)
        fLastSelected++;
    FixupScrollBar();
    Invalidate();
    if (item->IsSelected()) {
        if (fType == B_SINGLE_SELECTION_LIST)
            item->Deselect();
        else
            Notify();
    }
    return true;
}

bool BListView::RemoveItem(BListItem* item) {
    return RemoveItem(IndexOf(item)) != nullptr;
}

BListItem* BListView::RemoveItem(int32 index) {
    BListItem* item = ItemAt(index);
    if (!item)
        return nullptr;
    bool wasSelected = item->IsSelected();
    fItems.erase(fItems.begin() + index);
    item->Deselect();
    if (fAnchor == index)
        fAnchor = -1;
    else if (fAnchor > index)
        fAnchor--;
    if (fLastSelected == index)
        fLastSelected = -1;
    else if (fLastSelected > index)
        fLastSelected--;
    FixupScrollBar();
    Invalidate();
    if (wasSelected)
        Notify();
    return item;
}

bool BListView::RemoveItems(int32 index, int32 count) {
    if (index < 0 || count < 0 || index + count > CountItems())
        return false;
    bool selectionChanged = false;
    for (int32 i = 0; i < count; i++) {
        BListItem* item = fItems[index + i];
        selectionChanged |= item->IsSelected();
        item->Deselect();
    }
    fItems.erase(fItems.begin() + index, fItems.begin() + index + count);
    fAnchor = fLastSelected = -1;
    FixupScrollBar();
    Invalidate();
    if (selectionChanged)
        Notify();
    return true;
}

BListItem* BListView::ItemAt(int32 index) const {
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[index];
}

int32 BListView::IndexOf(const BListItem* item) const {
    auto at = std::find(fItems.begin(), fItems.end(), item);
    return at == fItems.end() ? -1 : (int32)(at - fItems.begin());
}

int32 BListView::IndexOf(BPoint point) const {
    float top = 0;
    if (point.y < 0)
        return -1;
    for (int32 i = 0; i < CountItems(); i++) {
        float bottom = top + std::ceil(fItems[i]->Height()) - 1;
        if (point.y <= bottom)
            return i;
        top = bottom + 1;
    }
    return -1;
}

void BListView::MakeEmpty() {
    bool hadSelection = CurrentSelection() >= 0;
    for (BListItem* item : fItems)
        item->Deselect();
    fItems.clear();
    fAnchor = fLastSelected = -1;
    ScrollTo(BPoint(0, 0));
    FixupScrollBar();
    Invalidate();
    if (hadSelection)
        Notify();
}

bool BListView::SwapItems(int32 a, int32 b) {
    if (!ItemAt(a) || !ItemAt(b))
        return false;
    std::swap(fItems[a], fItems[b]);
    Invalidate();
    return true;
}

bool BListView::MoveItem(int32 from, int32 to) {
    if (!ItemAt(from) || !ItemAt(to))
        return false;
    BListItem* item = fItems[from];
    fItems.erase(fItems.begin() + from);
    fItems.insert(fItems.begin() + to, item);
    Invalidate();
    return true;
}

bool BListView::ReplaceItem(int32 index, BListItem* item) {
    if (!ItemAt(index) || !item)
        return false;
    fItems[index]->Deselect();
    fItems[index] = item;
    BFont font;
    GetFont(&font);
    item->Update(this, &font);
    FixupScrollBar();
    Invalidate();
    return true;
}

void BListView::SortItems(int (*compare)(const void*, const void*)) {
    if (!compare)
        return;
    // The comparison gets pointers to the item pointers, as with qsort.
    std::stable_sort(
        fItems.begin(), fItems.end(),
        [compare](BListItem* const& a, BListItem* const& b) { return compare(&a, &b) < 0; });
    Invalidate();
}

// Selection.

bool BListView::SelectOne(int32 index, bool extend, bool notify) {
    BListItem* item = ItemAt(index);
    if (!item)
        return false;
    bool changed = false;
    if (fType == B_SINGLE_SELECTION_LIST || !extend) {
        for (int32 i = 0; i < CountItems(); i++) {
            if (i != index && fItems[i]->IsSelected()) {
                fItems[i]->Deselect();
                InvalidateItem(i);
                changed = true;
            }
        }
    }
    if (!item->IsSelected()) {
        item->Select();
        InvalidateItem(index);
        changed = true;
    }
    fLastSelected = index;
    if (changed && notify)
        Notify();
    return changed;
}

void BListView::Select(int32 index, bool extend) {
    SelectOne(index, extend, true);
}

void BListView::Select(int32 from, int32 to, bool extend) {
    if (from > to)
        std::swap(from, to);
    from = std::max<int32>(from, 0);
    to = std::min<int32>(to, CountItems() - 1);
    if (from > to)
        return;
    if (fType == B_SINGLE_SELECTION_LIST) {
        Select(to, false);
        return;
    }
    bool changed = false;
    if (!extend) {
        for (int32 i = 0; i < CountItems(); i++) {
            if ((i < from || i > to) && fItems[i]->IsSelected()) {
                fItems[i]->Deselect();
                InvalidateItem(i);
                changed = true;
            }
        }
    }
    for (int32 i = from; i <= to; i++) {
        if (!fItems[i]->IsSelected()) {
            fItems[i]->Select();
            InvalidateItem(i);
            changed = true;
        }
    }
    fLastSelected = to;
    if (changed)
        Notify();
}

bool BListView::IsItemSelected(int32 index) const {
    BListItem* item = ItemAt(index);
    return item && item->IsSelected();
}

int32 BListView::CurrentSelection(int32 index) const {
    if (index < 0)
        return -1;
    for (int32 i = 0; i < CountItems(); i++)
        if (fItems[i]->IsSelected() && index-- == 0)
            return i;
    return -1;
}

void BListView::Deselect(int32 index) {
    BListItem* item = ItemAt(index);
    if (!item || !item->IsSelected())
        return;
    item->Deselect();
    InvalidateItem(index);
    Notify();
}

void BListView::DeselectAll() {
    DeselectExcept(0, -1);
}

void BListView::DeselectExcept(int32 from, int32 to) {
    bool changed = false;
    for (int32 i = 0; i < CountItems(); i++) {
        if ((i < from || i > to) && fItems[i]->IsSelected()) {
            fItems[i]->Deselect();
            InvalidateItem(i);
            changed = true;
        }
    }
    if (changed)
        Notify();
}

void BListView::SelectionChanged() {}

void BListView::SetListType(list_view_type type) {
    fType = type;
    if (type == B_SINGLE_SELECTION_LIST) {
        int32 keep = CurrentSelection();
        if (keep >= 0)
            DeselectExcept(keep, keep);
    }
}

void BListView::SetSelectionMessage(BMessage* message) {
    fSelectionMessage.reset(message);
}

void BListView::SetInvocationMessage(BMessage* message) {
    SetMessage(message);
}

uint32 BListView::SelectionCommand() const {
    return fSelectionMessage ? fSelectionMessage->what : 0;
}

void BListView::Notify() {
    SelectionChanged();
    if (fSelectionMessage)
        Invoke(fSelectionMessage.get());
}

status_t BListView::Invoke(BMessage* message) {
    BMessage* source = message ? message : Message();
    if (!source)
        return B_BAD_VALUE;
    BMessage copy(*source);
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", this);
    for (int32 i = 0; i < CountItems(); i++)
        if (fItems[i]->IsSelected())
            copy.AddInt32("index", i);
    if (!HasTarget() && Window())
        return BMessenger(Window()).SendMessage(&copy);
    return BInvoker::Invoke(&copy);
}

BRect BListView::ItemFrame(int32 index) const {
    if (!ItemAt(index))
        return BRect();
    float top = 0;
    for (int32 i = 0; i < index; i++)
        top += std::ceil(fItems[i]->Height());
    BRect bounds = Bounds();
    return BRect(bounds.left, top, bounds.right, top + std::ceil(fItems[index]->Height()) - 1);
}

void BListView::InvalidateItem(int32 index) {
    BRect frame = ItemFrame(index);
    if (frame.IsValid())
        Invalidate(frame);
}

void BListView::ScrollToSelection() {
    int32 index = CurrentSelection();
    if (index < 0)
        return;
    BRect frame = ItemFrame(index);
    BRect bounds = Bounds();
    if (frame.top < bounds.top)
        ScrollTo(BPoint(bounds.left, frame.top));
    else if (frame.bottom > bounds.bottom)
        ScrollTo(BPoint(bounds.left, frame.bottom - bounds.Height()));
}

float BListView::TotalHeight() const {
    float total = 0;
    for (BListItem* item : fItems)
        total += std::ceil(item->Height());
    return total;
}

void BListView::FixupScrollBar() {
    BScrollBar* bar = ScrollBar(B_VERTICAL);
    if (!bar)
        return;
    float visible = Bounds().Height() + 1;
    float total = TotalHeight();
    bar->SetRange(0, std::max(0.0f, total - visible));
    bar->SetProportion(total > 0 ? std::min(1.0f, visible / total) : 1.0f);
    float step = fItems.empty() ? 16 : std::ceil(fItems[0]->Height());
    bar->SetSteps(step, std::max(step, visible - step));
}

void BListView::UpdateItems() {
    BFont font;
    GetFont(&font);
    for (BListItem* item : fItems)
        item->Update(this, &font);
    FixupScrollBar();
    Invalidate();
}

// Hooks.

void BListView::Draw(BRect updateRect) {
    float top = 0;
    for (int32 i = 0; i < CountItems(); i++) {
        float height = std::ceil(fItems[i]->Height());
        BRect frame(Bounds().left, top, Bounds().right, top + height - 1);
        top += height;
        if (frame.bottom < updateRect.top)
            continue;
        if (frame.top > updateRect.bottom)
            break;
        fItems[i]->DrawItem(this, frame, true);
    }
}

void BListView::MouseDown(BPoint where) {
    if (Flags() & B_NAVIGABLE)
        MakeFocus(true);
    int32 index = IndexOf(where);
    BMessage* current = Window() ? Window()->CurrentMessage() : nullptr;
    int32 modifiers = current ? current->GetInt32("modifiers") : 0;
    int32 clicks = current ? current->GetInt32("clicks", 1) : 1;
    if (index < 0)
        return;
    BListItem* item = fItems[index];
    if (!item->IsEnabled())
        return;
    bool wasSelected = item->IsSelected();
    if (clicks >= 2 && wasSelected) {
        Invoke();
        return;
    }
    if (InitiateDrag(where, index, wasSelected))
        return;
    if (fType == B_MULTIPLE_SELECTION_LIST && (modifiers & B_SHIFT_KEY) && fAnchor >= 0) {
        Select(fAnchor, index, (modifiers & B_COMMAND_KEY) != 0);
    } else if (fType == B_MULTIPLE_SELECTION_LIST && (modifiers & B_COMMAND_KEY)) {
        if (wasSelected)
            Deselect(index);
        else
            Select(index, true);
        fAnchor = index;
    } else {
        Select(index, false);
        fAnchor = index;
    }
    fTracking = fType == B_SINGLE_SELECTION_LIST;
}

void BListView::MouseMoved(BPoint where, uint32, const BMessage*) {
    // Dragging in a single-selection list moves the selection along.
    if (!fTracking)
        return;
    int32 index = IndexOf(where);
    if (index >= 0 && index != CurrentSelection() && fItems[index]->IsEnabled())
        Select(index);
}

void BListView::MouseUp(BPoint) {
    fTracking = false;
}

void BListView::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes != 1 || CountItems() == 0) {
        BView::KeyDown(bytes, numBytes);
        return;
    }
    int32 current = fLastSelected >= 0 ? fLastSelected : CurrentSelection();
    int32 next = current;
    switch (bytes[0]) {
    case B_UP_ARROW:
        next = current <= 0 ? 0 : current - 1;
        break;
    case B_DOWN_ARROW:
        next = current < 0 ? 0 : std::min(current + 1, CountItems() - 1);
        break;
    case B_HOME:
        next = 0;
        break;
    case B_END:
        next = CountItems() - 1;
        break;
    case B_ENTER:
    case B_SPACE:
        if (CurrentSelection() >= 0)
            Invoke();
        return;
    default:
        BView::KeyDown(bytes, numBytes);
        return;
    }
    if (next != current || !IsItemSelected(next)) {
        Select(next, false);
        fAnchor = next;
        ScrollToSelection();
    }
}

void BListView::FrameResized(float, float) {
    UpdateItems();
}

void BListView::AttachedToWindow() {
    UpdateItems();
}

void BListView::SetFont(const BFont* font, uint32 mask) {
    BView::SetFont(font, mask);
    UpdateItems();
}

void BListView::MakeFocus(bool focus) {
    BView::MakeFocus(focus);
    Invalidate();
}

bool BListView::InitiateDrag(BPoint, int32, bool) {
    return false;
}
