#pragma once

// LinkList<T>: a doubly linked list of heap objects that it owns, in insertion order, with
// a built-in cursor. First()/Next() walk the cursor; Position(i) seeks it from wherever is
// nearest (the cursor, the first or the last node). Copying a list copies its elements.
//
// Elements are compared with the element type's operator== (and operator> for
// SortCompare); LibString compares exactly, case included.

#include <memory>
#include <new>
#include <type_traits>

#include "lib/ListNode.h"
#include "platform/support/SupportDefs.h"

template <class T> class LinkList {
public:
    LinkList() : fFirst(nullptr), fLast(nullptr), fCursor(nullptr), fCount(0), fPosition(-1) {}
    LinkList(const LinkList<T>& other) : LinkList() { Insert(other); }
    virtual ~LinkList() { RemoveAllNodes(); }

    virtual void Clear() {
        RemoveAllNodes();
        fPosition = 0;
    }
    virtual int32 Size() const { return fCount; }
    // Ordering hook: true when a sorts after b.
    virtual bool SortCompare(T* a, T* b) {
        if constexpr (requires(const T& x, const T& y) { x > y; })
            return a != nullptr && b != nullptr && *a > *b;
        else
            return false;
    }

    // Appends the element (the list takes ownership); the cursor does not move.
    bool Insert(T* element) {
        ListNode<T>* node = new (std::nothrow) ListNode<T>(element);
        if (node == nullptr)
            return false;
        node->fPrevious = fLast;
        if (fLast != nullptr)
            fLast->fNext = node;
        else
            fFirst = node;
        fLast = node;
        fCount++;
        return true;
    }

    // Appends a copy of every element of other, in its order. Inserting a list into itself
    // doubles it once.
    void Insert(const LinkList<T>& other) {
        int32 count = other.fCount;
        ListNode<T>* node = other.fFirst;
        for (int32 i = 0; i < count && node != nullptr; i++, node = node->fNext) {
            if (node->fElement != nullptr)
                Insert(new T(*node->fElement));
            else
                Insert(static_cast<T*>(nullptr));
        }
    }

    int32 Copy(const LinkList<T>& other) {
        if (&other != this) {
            Clear();
            Insert(other);
        }
        return fCount;
    }

    LinkList<T>& operator=(const LinkList<T>& other) {
        if (&other != this)
            Copy(other);
        return *this;
    }

    T* First() {
        fCursor = fFirst;
        fPosition = 0;
        return fCursor != nullptr ? fCursor->fElement : nullptr;
    }

    // Steps the cursor on; null past the end (and when the cursor is on no node).
    T* Next() {
        if (fCursor == nullptr)
            return nullptr;
        fCursor = fCursor->fNext;
        fPosition++;
        return fCursor != nullptr ? fCursor->fElement : nullptr;
    }

    // Removes the cursor's node and deletes its element. The cursor moves to the node
    // before it, or to the new first node when the first was removed.
    bool Remove() {
        if (fCursor == nullptr)
            return false;
        ListNode<T>* node = fCursor;
        if (node->fPrevious != nullptr) {
            fCursor = node->fPrevious;
            fPosition--;
        } else {
            fCursor = node->fNext;
            fPosition = 0;
        }
        Unlink(node);
        delete node->fElement;
        delete node;
        return true;
    }

    // Moves the cursor to index i and returns its node; null when i is out of range (the
    // cursor does not move then).
    ListNode<T>* Position(const int32& index) {
        int32 i = index;
        if (fCount == 0 || i < 0 || i > fCount - 1)
            return nullptr;
        int32 distance = i - fPosition;
        if (distance < 0)
            distance = -distance;
        if (fCursor != nullptr && fPosition >= 0 && distance < i) {
            if (i > fPosition) {
                for (int32 step = 0; step < distance; step++)
                    fCursor = fCursor->fNext;
            } else {
                for (int32 step = 0; step < distance; step++)
                    fCursor = fCursor->fPrevious;
            }
        } else if (fCount - i < i) {
            fCursor = fLast;
            for (int32 step = 0; step < fCount - i - 1; step++)
                fCursor = fCursor->fPrevious;
        } else {
            fCursor = fFirst;
            for (int32 step = 0; step < i; step++)
                fCursor = fCursor->fNext;
        }
        fPosition = i;
        return fCursor;
    }

    T* Get(const int32& index) {
        ListNode<T>* node = Position(index);
        return node != nullptr ? node->fElement : nullptr;
    }

    // From the cursor on (its own node included), the first element equal to the given
    // one; the cursor stays there. When none is found the position becomes -1.
    T* FindNext(const T* element) {
        while (fCursor != nullptr) {
            if (Equal(fCursor->fElement, element))
                return fCursor->fElement;
            fCursor = fCursor->fNext;
            fPosition++;
        }
        fPosition = -1;
        return nullptr;
    }

    T* Get(const T* element) {
        First();
        return FindNext(element);
    }

    bool InList(const T* element) { return Get(element) != nullptr; }

    // The position of the element (-1 when absent); with null, the current position.
    int32 Position(const T* element) {
        if (element != nullptr)
            Get(element);
        return fPosition;
    }

    // Removes the first element equal to the given one, and with all every further one.
    // Returns true when at least one element was removed.
    bool Remove(const T* element, bool all = false) {
        std::unique_ptr<T> keyCopy;
        bool removed = false;
        T* found = Get(element);
        while (found != nullptr) {
            if (found == element && all) {
                // The key is about to be deleted; keep comparing against a copy of it.
                if constexpr (std::is_copy_constructible_v<T>) {
                    keyCopy.reset(new T(*element));
                    element = keyCopy.get();
                } else {
                    all = false;
                }
            }
            Remove();
            removed = true;
            if (!all)
                break;
            found = FindNext(element);
        }
        return removed;
    }

    // Read-only iteration that leaves the cursor alone: for (T* item : list) ...
    class ConstIterator {
    public:
        explicit ConstIterator(ListNode<T>* node) : fNode(node) {}
        T* operator*() const { return fNode->fElement; }
        ConstIterator& operator++() {
            fNode = fNode->fNext;
            return *this;
        }
        bool operator!=(const ConstIterator& other) const { return fNode != other.fNode; }
        bool operator==(const ConstIterator& other) const { return fNode == other.fNode; }

    private:
        ListNode<T>* fNode;
    };
    ConstIterator begin() const { return ConstIterator(fFirst); }
    ConstIterator end() const { return ConstIterator(nullptr); }

protected:
    static bool Equal(const T* a, const T* b) {
        if (a == b)
            return true;
        if (a == nullptr || b == nullptr)
            return false;
        return *a == *b;
    }

private:
    void Unlink(ListNode<T>* node) {
        if (node->fPrevious != nullptr)
            node->fPrevious->fNext = node->fNext;
        else
            fFirst = node->fNext;
        if (node->fNext != nullptr)
            node->fNext->fPrevious = node->fPrevious;
        else
            fLast = node->fPrevious;
        fCount--;
    }

    void RemoveAllNodes() {
        ListNode<T>* node = fFirst;
        while (node != nullptr) {
            ListNode<T>* next = node->fNext;
            delete node->fElement;
            delete node;
            node = next;
        }
        fFirst = fLast = fCursor = nullptr;
        fCount = 0;
    }

    ListNode<T>* fFirst;
    ListNode<T>* fLast;
    ListNode<T>* fCursor;
    int32 fCount;
    int32 fPosition;
};
